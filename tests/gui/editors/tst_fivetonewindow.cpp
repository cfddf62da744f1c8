#include "app/AppWindows.h"
#include "editors/FiveToneWindow.h"
#include "grid/XStringGrid.h"
#include "support/core/AreaTexts.h"
#include "support/core/ImageChanges.h"
#include "support/gui/EditorChecks.h"
#include "support/gui/EditorInput.h"
#include "support/gui/WindowLayout.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QSettings>
#include <QtTest>
#include <memory>

namespace {

constexpr int kArea = frame::kFiveToneArea;
const QString kPort = QStringLiteral("ttyVR4");

// Area 4 as a radio might hold it, every byte as the window writes it back.
TRadioImage SampleImage()
{
    TRadioImage image;
    // Standards (duration ms, group-call digit, repeat digit): CCIR 100 A E, EIA 44 1 2,
    // EEA 255 0 F, ZVEI1 100 A E, ZVEI2 70 5 9; reserved; delays 500, 1000, 0, 50 ms.
    image.setBlock(kArea, 0, Hex("640A0E2C0102FF000F640A0E460509000000000032640005"));
    // Encode entry 1: 12345, 45678, ABCDE, 00123, EIA. Entry 2 unused.
    image.setBlock(kArea, 1, Hex("452301785604DEBC0A2301000200"));
    // Encode entry 16: 00001, FFFFF, 00000, 00000, ZVEI2.
    image.setBlock(kArea, 8, Hex("0000000000000000000000000000010000FFFF0F0000000000000500"));
    // Decode entry 1: EEA; 12345 监听, 45678 报警, ABCDE 唤醒; reply 56789.
    image.setBlock(kArea, 9, Hex("3345230178560485DEBC0A896705"));
    // Decode entry 16: CCIR, every code 00001 or 0, every function 通话.
    image.setBlock(kArea, 16, Hex("00000000000000000000000000000101000000000000000000000000"));
    return image;
}

// Tone frequencies of the digits 0..F.
const QHash<QString, QStringList> &Frequencies()
{
    static const QHash<QString, QStringList> table{
        {"CCIR", {"1981.0", "1124.0", "1197.0", "1275.0", "1358.0", "1446.0", "1540.0", "1640.0", "1747.0",
                  "1860.0", "2400.0", "930.0", "2247.0", "991.0", "2110.0", "1055.0"}},
        {"EIA", {"600.0", "741.0", "882.0", "1023.0", "1164.0", "1305.0", "1446.0", "1587.0", "1728.0",
                 "1869.0", "2151.0", "2433.0", "2010.0", "2292.0", "459.0", "1091.0"}},
        {"EEA", {"1981.0", "1124.0", "1197.0", "1275.0", "1358.0", "1446.0", "1540.0", "1640.0", "1747.0",
                 "1860.0", "1055.0", "930.0", "2400.0", "991.0", "2110.0", "2247.0"}},
        {"ZVEI1", {"2400.0", "1060.0", "1160.0", "1270.0", "1400.0", "1530.0", "1670.0", "1830.0", "2000.0",
                   "2200.0", "2800.0", "810.0", "970.0", "885.0", "2600.0", "680.0"}},
        {"ZVEI2", {"2400.0", "1060.0", "1160.0", "1270.0", "1400.0", "1530.0", "1670.0", "1830.0", "2000.0",
                   "2200.0", "885.0", "810.0", "740.0", "680.0", "970.0", "2600.0"}},
    };
    return table;
}

}  // namespace

class TestFiveToneWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void createdAsDescribed();
    void controlsLieInsideTheirParents();
    void standardBoxShowsFrequencies_data();
    void standardBoxShowsFrequencies();
    void readFetchesEveryBlockInOrder();
    void readThenWriteLeavesImageUnchanged();
    void editChangesExactlyItsBytes_data();
    void editChangesExactlyItsBytes();
    void writeReportsAfterTheLastAcknowledgement();
    void entryRules_data();
    void entryRules();
    void badInputIsRefused_data();
    void badInputIsRefused();
    void screenshots();

private:
    void makeWindow(const TRadioImage &image, int resendMs = 150);
    void readAll();
    QStringList frequencyBoxes() const;
    QString boxText(const QString &name) const;

    std::unique_ptr<WindowRig<TForm5>> m_rig;
};

void TestFiveToneWindow::initTestCase()
{
    SetApplicationFont();
}

void TestFiveToneWindow::init()
{
    makeWindow(TRadioImage());
}

void TestFiveToneWindow::cleanup()
{
    m_rig.reset();
}

void TestFiveToneWindow::makeWindow(const TRadioImage &image, int resendMs)
{
    m_rig.reset();
    m_rig = std::make_unique<WindowRig<TForm5>>(image, kPort, resendMs);
}

void TestFiveToneWindow::readAll()
{
    m_rig->Read();
}

QStringList TestFiveToneWindow::frequencyBoxes() const
{
    QStringList texts;
    for (int digit = 1; digit <= 16; ++digit)
        texts << boxText(QStringLiteral("Edit%1").arg(digit));
    return texts;
}

QString TestFiveToneWindow::boxText(const QString &name) const
{
    return ShownText(m_rig->form->Control(name));
}

void TestFiveToneWindow::createdAsDescribed()
{
    TForm5 &f = *m_rig->form;
    CheckEditorFrame(f);
    QCOMPARE(f.size(), QSize(777, 529));
    QVERIFY(!(f.windowFlags() & Qt::WindowMaximizeButtonHint));

    QTabWidget *pages = f.PageControl1();
    QCOMPARE(pages->count(), 3);
    QCOMPARE(pages->tabText(0), "标准");
    QCOMPARE(pages->tabText(1), "编码");
    QCOMPARE(pages->tabText(2), "解码");
    QCOMPARE(pages->currentIndex(), 2);

    // Standards page.
    QWidget *standardsPage = f.Page("标准");
    auto *standard = qobject_cast<QComboBox *>(f.Control("CCIR"));
    QVERIFY(standard);
    QCOMPARE(standard->parentWidget(), standardsPage);
    QCOMPARE(f.Label("CCIR")->text(), "标准名称：");
    QCOMPARE(standard->currentText(), "CCIR");
    QStringList items;
    for (int i = 0; i < standard->count(); ++i)
        items << standard->itemText(i);
    QCOMPARE(items, QStringList({"CCIR", "EIA", "EEA", "ZVEI1", "ZVEI2"}));
    const QString digits = QStringLiteral("0123456789ABCDEF");
    for (int digit = 0; digit < 16; ++digit) {
        auto *box = qobject_cast<QLineEdit *>(f.Control(QStringLiteral("Edit%1").arg(digit + 1)));
        QVERIFY(box);
        QCOMPARE(box->parentWidget(), standardsPage);
        QVERIFY(box->isReadOnly());
        QCOMPARE(f.Label(box->objectName())->text(), QString(digits[digit]));
        // 0-7 in the left column, 8-F in the right one, top to bottom.
        auto *first = f.Control(digit < 8 ? "Edit1" : "Edit9");
        QCOMPARE(box->x(), first->x());
        QVERIFY(digit < 8 || box->x() > f.Control("Edit1")->x());
        if (digit % 8 > 0)
            QVERIFY(box->y() > f.Control(QStringLiteral("Edit%1").arg(digit))->y());
    }
    QCOMPARE(frequencyBoxes(), Frequencies().value("CCIR"));
    QCOMPARE(f.xg1()->parentWidget(), standardsPage);
    QCOMPARE(f.xg1()->RowCount(), 6);
    QCOMPARE(RowTexts(m_rig->form->xg1(), 0, 0), QStringList({"5 TONE 标准", "发射时长（MS）", "群呼码", "重复码"}));
    const QStringList names{"CCIR", "EIA", "EEA", "ZVEI1", "ZVEI2"};
    for (int row = 1; row <= 5; ++row)
        QCOMPARE(RowTexts(m_rig->form->xg1(), row, 0), QStringList({names[row - 1], "100", "A", "E"}));

    // Encode page.
    QWidget *encodePage = f.Page("编码");
    QCOMPARE(f.xg2()->parentWidget(), encodePage);
    QCOMPARE(RowTexts(m_rig->form->xg2(), 0, 0),
             QStringList({"信息码", "第一帧编码", "第二帧编码", "第三帧编码", "确认码", "使用标准"}));
    QStringList delays;
    for (int ms = 50; ms <= 1000; ms += 50)
        delays << QString::number(ms);
    const QStringList delayLabels{"发送第一帧编码的延迟时间（MS）", "发送第二帧编码的延迟时间（MS）",
                                  "发送第三帧编码的延迟时间（MS）", "各组码第一个音的扩展时长"};
    for (int i = 0; i < 4; ++i) {
        const QString name = QStringLiteral("cb%1").arg(i + 1);
        auto *box = qobject_cast<QComboBox *>(f.Control(name));
        QVERIFY(box);
        QCOMPARE(box->parentWidget(), encodePage);
        QVERIFY(box->isEditable());
        QCOMPARE(box->currentText(), "500");
        QStringList list;
        for (int j = 0; j < box->count(); ++j)
            list << box->itemText(j);
        QCOMPARE(list, delays);
        QCOMPARE(f.Label(name)->text(), delayLabels[i]);
    }

    // Decode page.
    QWidget *decodePage = f.Page("解码");
    QCOMPARE(f.xg3()->parentWidget(), decodePage);
    QCOMPARE(RowTexts(m_rig->form->xg3(), 0, 0), QStringList({"信息码", "使用标准", "第一帧解码", "功   能", "第二帧解码",
                                                            "功   能", "第三帧解码", "功   能", "回复码"}));
    QCOMPARE(f.Control("ed1")->parentWidget(), decodePage);
    QCOMPARE(f.Label("ed1")->text(), "复位时间（MS）");
    QCOMPARE(boxText("ed1"), "6000");

    for (int row = 1; row <= 16; ++row) {
        QCOMPARE(f.xg2()->Cells(0, row), QString::number(row));
        QCOMPARE(f.xg3()->Cells(0, row), QString::number(row));
        QCOMPARE(RowTexts(m_rig->form->xg2(), row), QStringList(5, QString()));
        QCOMPARE(RowTexts(m_rig->form->xg3(), row), QStringList(8, QString()));
    }
}

void TestFiveToneWindow::controlsLieInsideTheirParents()
{
    CheckEditorLayout(*m_rig->form);
}

void TestFiveToneWindow::standardBoxShowsFrequencies_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("shown");  // the standard whose frequencies the boxes show

    QTest::addRow("EIA from the list") << QStringList{"box:CCIR", "key:Down"} << "EIA";
    QTest::addRow("EEA from the list") << QStringList{"box:CCIR", "key:Down", "key:Down"} << "EEA";
    QTest::addRow("ZVEI1 from the list") << QStringList{"box:CCIR", "key:Down", "key:Down", "key:Down"} << "ZVEI1";
    QTest::addRow("ZVEI2 typed") << QStringList{"box:CCIR", "type:ZVEI2"} << "ZVEI2";
    QTest::addRow("back to CCIR") << QStringList{"box:CCIR", "type:EIA", "box:CCIR", "type:CCIR"} << "CCIR";
    QTest::addRow("a text naming none keeps the boxes") << QStringList{"box:CCIR", "type:EEAX"} << "EEA";
}

void TestFiveToneWindow::standardBoxShowsFrequencies()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, shown);

    QString failed;
    QVERIFY2(RunSteps(*m_rig->form, steps, &failed), qPrintable(failed));
    QCOMPARE(frequencyBoxes(), Frequencies().value(shown));
    QCOMPARE(m_rig->form->Texts().Controls().Text("Edit11"), Frequencies().value(shown)[10]);
}

void TestFiveToneWindow::readFetchesEveryBlockInOrder()
{
    makeWindow(SampleImage());
    // The port is opened under the main window's name, and the transfer shows.
    CheckReadOnClosedPort(*m_rig, kPort, 16);
    QList<QByteArray> requests;
    for (int block = 0; block <= 16; ++block)
        requests << readRequest(kArea, block);
    QCOMPARE(WithoutRepeats(m_rig->frames()), requests);

    QCOMPARE(RowTexts(m_rig->form->xg1(), 1, 0), QStringList({"CCIR", "100", "A", "E"}));
    QCOMPARE(RowTexts(m_rig->form->xg1(), 2, 0), QStringList({"EIA", "44", "1", "2"}));
    QCOMPARE(RowTexts(m_rig->form->xg1(), 3, 0), QStringList({"EEA", "255", "0", "F"}));
    QCOMPARE(RowTexts(m_rig->form->xg1(), 4, 0), QStringList({"ZVEI1", "100", "A", "E"}));
    QCOMPARE(RowTexts(m_rig->form->xg1(), 5, 0), QStringList({"ZVEI2", "70", "5", "9"}));
    QCOMPARE(boxText("cb1"), "500");
    QCOMPARE(boxText("cb2"), "1000");
    QCOMPARE(boxText("cb3"), "0");
    QCOMPARE(boxText("cb4"), "50");
    QCOMPARE(boxText("ed1"), "6000");
    QCOMPARE(RowTexts(m_rig->form->xg2(), 1), QStringList({"12345", "45678", "ABCDE", "00123", "EIA"}));
    QCOMPARE(RowTexts(m_rig->form->xg2(), 2), QStringList(5, QString()));
    QCOMPARE(RowTexts(m_rig->form->xg2(), 16), QStringList({"00001", "FFFFF", "00000", "00000", "ZVEI2"}));
    QCOMPARE(RowTexts(m_rig->form->xg3(), 1),
             QStringList({"EEA", "12345", "监听", "45678", "报警", "ABCDE", "唤醒", "56789"}));
    QCOMPARE(RowTexts(m_rig->form->xg3(), 2), QStringList(8, QString()));
    QCOMPARE(RowTexts(m_rig->form->xg3(), 16),
             QStringList({"CCIR", "00001", "通话", "00000", "通话", "00000", "通话", "00000"}));
}

void TestFiveToneWindow::readThenWriteLeavesImageUnchanged()
{
    const TRadioImage image = SampleImage();
    makeWindow(image);
    readAll();
    CheckWriteSucceeds(*m_rig, 16);

    QList<QByteArray> frames;
    for (int block = 0; block <= 16; ++block)
        frames << blockFrame(kArea, block, image.block(kArea, block));
    // The backup's read, the blocks, then the verify's read of as many.
    const QList<QByteArray> sent = WithoutRepeats(m_rig->frames());
    QCOMPARE(sent.size(), 3 * frames.size());
    QCOMPARE(sent.mid(frames.size(), frames.size()), frames);
    QCOMPARE(ChangedBytes(image, m_rig->radio.image()), QStringList());
}

void TestFiveToneWindow::editChangesExactlyItsBytes_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("changed");  // area/block/offset
    QTest::addColumn<QByteArray>("bytes");     // their new values, in hex

    QTest::addRow("tone duration") << QStringList{"cell:xg1:1,5", "type:255", "key:Enter"} << QStringList{"4/0/12"}
                                   << QByteArray("FF");
    QTest::addRow("repeat digit") << QStringList{"cell:xg1:3,2", "type:B", "key:Enter"} << QStringList{"4/0/5"}
                                  << QByteArray("0B");
    QTest::addRow("third delay") << QStringList{"box:cb3", "type:120"} << QStringList{"4/0/22"} << QByteArray("0C");
    QTest::addRow("code in lower case") << QStringList{"cell:xg2:2,1", "type:abc", "key:Enter"}
                                        << QStringList{"4/1/3", "4/1/4", "4/1/5"} << QByteArray("BC0A00");
    QTest::addRow("standard of an encode entry") << QStringList{"cell:xg2:5,16", "key:F2", "key:Up", "key:Enter"}
                                                 << QStringList{"4/8/26"} << QByteArray("04");
    QTest::addRow("new encode entry")
        << QStringList{"cell:xg2:1,2", "type:1", "key:Enter"}
        << QStringList{"4/1/14", "4/1/17", "4/1/18", "4/1/19", "4/1/20", "4/1/21", "4/1/22", "4/1/23", "4/1/24",
                       "4/1/25", "4/1/26"}
        << QByteArray("01452301785604DEBC0A01");
    QTest::addRow("function from the list") << QStringList{"cell:xg3:3,1", "key:F2", "key:Down", "key:Enter"}
                                            << QStringList{"4/9/0"} << QByteArray("43");
    QStringList decodeEntry2;
    for (int offset = 14; offset < 28; ++offset)
        decodeEntry2 << QStringLiteral("4/9/%1").arg(offset);
    QTest::addRow("new decode entry") << QStringList{"cell:xg3:1,2", "key:F2", "key:Down", "key:Enter"}
                                      << decodeEntry2 << QByteArray("0245230178560421DEBC0A896705");
    QTest::addRow("reset time is no part of the area") << QStringList{"box:ed1", "type:7000"} << QStringList()
                                                       << QByteArray();
}

void TestFiveToneWindow::editChangesExactlyItsBytes()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, changed);
    QFETCH(QByteArray, bytes);

    makeWindow(SampleImage());
    CheckStepsChangeBytes(*m_rig, steps, changed, bytes, 16);
}

void TestFiveToneWindow::writeReportsAfterTheLastAcknowledgement()
{
    // A long resend interval, so the wait for the lost acknowledgement can be seen.
    makeWindow(TRadioImage(), 1000);
    RadioFaults faults;
    readAll();  // the verify is not what this looks at, nor the write's own backup read
    QSettings().setValue(QStringLiteral("write/verify"), false);
    const auto forget = qScopeGuard([] { QSettings().remove(QStringLiteral("write/verify")); });
    faults.drop = FaultTrigger::nth(17 + 17 + 17);  // past the two reads, the acknowledgement of block 16
    m_rig->radio.setFaults(faults);

    // Empty tables are written as zero bytes.
    QTest::mouseClick(m_rig->form->wbtn(), Qt::LeftButton);
    QTRY_COMPARE(m_rig->frames().size(), 17 + 17);  // the backup's read, then the write
    QCOMPARE(m_rig->frames().last().left(4), QByteArray::fromHex("57041020"));
    QVERIFY(m_rig->link->IsBusy());
    QCOMPARE(m_rig->messages.texts(), QStringList());

    QTRY_COMPARE(m_rig->messages.texts(), QStringList({"写入成功"}));
    QCOMPARE(m_rig->frames().size(), 17 + 18);
    QVERIFY(m_rig->form->wbtn()->isEnabled());
    QVERIFY(m_rig->form->ProgressBar1()->isHidden());
    for (int block = 1; block <= 16; ++block)
        QCOMPARE(m_rig->radio.image().block(kArea, block), Block{});
}

void TestFiveToneWindow::entryRules_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("texts");  // columns 1 on

    const QStringList encodeFill{"12345", "45678", "ABCDE", "CCIR"};
    const QStringList decodeFill{"12345", "通话", "45678", "主叫", "ABCDE", "被叫", "56789"};
    QTest::addRow("first frame code typed") << QStringList{"cell:xg2:1,3", "type:123", "key:Enter"} << "xg2" << 3
                                            << QStringList{"123"} + encodeFill;
    QTest::addRow("first frame code from the default") << QStringList{"cell:xg2:1,4", "key:F2", "key:Enter"} << "xg2"
                                                       << 4 << QStringList{"12345"} + encodeFill;
    QTest::addRow("first frame code again replaces earlier choices")
        << QStringList{"cell:xg2:1,5", "type:1", "key:Enter", "cell:xg2:5,5", "key:F2", "key:Down", "key:Enter",
                       "cell:xg2:3,5", "type:9", "key:Enter", "cell:xg2:1,5", "type:77", "key:Enter"}
        << "xg2" << 5 << QStringList{"77"} + encodeFill;
    QTest::addRow("code of an unused encode entry stays empty") << QStringList{"cell:xg2:3,6", "type:777", "key:Enter"}
                                                                << "xg2" << 6 << QStringList(5, QString());
    QTest::addRow("standard of an unused encode entry stays empty")
        << QStringList{"cell:xg2:5,7", "key:F2", "key:Enter"} << "xg2" << 7 << QStringList(5, QString());
    QTest::addRow("decode standard from the list") << QStringList{"cell:xg3:1,7", "key:F2", "key:Down", "key:Enter"}
                                                   << "xg3" << 7 << QStringList{"EIA"} + decodeFill;
    QTest::addRow("decode standard again replaces earlier choices")
        << QStringList{"cell:xg3:1,10", "key:F2", "key:Enter", "cell:xg3:3,10", "key:F2", "key:Down", "key:Down",
                       "key:Enter", "cell:xg3:1,10", "key:F2", "key:Down", "key:Down", "key:Enter"}
        << "xg3" << 10 << QStringList{"EEA"} + decodeFill;
    QTest::addRow("function of an unused decode entry stays empty")
        << QStringList{"cell:xg3:3,8", "key:F2", "key:Enter"} << "xg3" << 8 << QStringList(8, QString());
    QTest::addRow("code of an unused decode entry stays empty") << QStringList{"cell:xg3:2,9", "type:1", "key:Enter"}
                                                                << "xg3" << 9 << QStringList(8, QString());
}

void TestFiveToneWindow::entryRules()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, grid);
    QFETCH(int, row);
    QFETCH(QStringList, texts);

    QString failed;
    QVERIFY2(RunSteps(*m_rig->form, steps, &failed), qPrintable(failed));
    QCOMPARE(RowTexts(m_rig->form->Grid(grid), row), texts);
    QCOMPARE(m_rig->form->Texts().Grid(grid).Cell(1, row), texts[0]);
    QCOMPARE(m_rig->messages.texts(), QStringList());
}

void TestFiveToneWindow::badInputIsRefused_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("message");

    QTest::addRow("tone duration above 255") << QStringList{"cell:xg1:1,1", "type:300", "key:Enter"}
                                             << "标准 CCIR 发射时长（MS）: '300' is not in the range 0 to 255";
    QTest::addRow("group-call digit not hexadecimal") << QStringList{"cell:xg1:2,3", "type:G", "key:Enter"}
                                                      << "标准 EEA 群呼码: 'G' is not one hexadecimal digit";
    QTest::addRow("repeat digit of two digits") << QStringList{"cell:xg1:3,5", "type:10", "key:Enter"}
                                                << "标准 ZVEI2 重复码: '10' is not one hexadecimal digit";
    QTest::addRow("delay not a multiple of 10")
        << QStringList{"box:cb1", "type:1005"}
        << "发送第一帧编码的延迟时间（MS）: '1005' is not a multiple of 10 from 0 to 2550";
    QTest::addRow("extension above 2550")
        << QStringList{"box:cb4", "type:2560"} << "各组码第一个音的扩展时长: '2560' is not a multiple of 10 from 0 to 2550";
    QTest::addRow("code of six digits")
        << QStringList{"cell:xg2:1,2", "type:123456", "key:Enter"}
        << "编码 2 第一帧编码: '123456' is not a code of one to five hexadecimal digits";
    QTest::addRow("acknowledge code not hexadecimal")
        << QStringList{"cell:xg2:1,1", "key:F2", "key:Enter", "cell:xg2:4,1", "type:12G", "key:Enter"}
        << "编码 1 确认码: '12G' is not a code of one to five hexadecimal digits";
    QTest::addRow("encode standard not in the list")
        << QStringList{"cell:xg2:1,16", "key:F2", "key:Enter", "cell:xg2:5,16", "type:ccir", "key:Enter"}
        << "编码 16 使用标准: 'ccir' is not one of CCIR, EIA, EEA, ZVEI1, ZVEI2";
    QTest::addRow("decode standard not in the list")
        << QStringList{"cell:xg3:1,2", "type:ZVEI3", "key:Enter"}
        << "解码 2 使用标准: 'ZVEI3' is not one of CCIR, EIA, EEA, ZVEI1, ZVEI2";
    QTest::addRow("function not in the list")
        << QStringList{"cell:xg3:1,2", "key:F2", "key:Enter", "cell:xg3:5,2", "type:xx", "key:Enter"}
        << "解码 2 第二帧功能: 'xx' is not one of 通话, 主叫, 被叫, 监听, 巡查, 报警, 遥毙, 遥晕, 唤醒";
    QTest::addRow("reply code of six digits")
        << QStringList{"cell:xg3:1,9", "key:F2", "key:Enter", "cell:xg3:8,9", "type:ABCDEF", "key:Enter"}
        << "解码 9 回复码: 'ABCDEF' is not a code of one to five hexadecimal digits";
}

void TestFiveToneWindow::badInputIsRefused()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, message);

    QString failed;
    QVERIFY2(RunSteps(*m_rig->form, steps, &failed), qPrintable(failed));
    CheckWriteRefused(*m_rig, message);
}



// Renders every page, and a read in progress, for a person to look at.
void TestFiveToneWindow::screenshots()
{
    UseScreenshotLanguage();
    makeWindow(SampleImage());
    SaveEditorScreenshots(*m_rig, QStringLiteral("fivetone"));
}

QTEST_MAIN(TestFiveToneWindow)
#include "tst_fivetonewindow.moc"
