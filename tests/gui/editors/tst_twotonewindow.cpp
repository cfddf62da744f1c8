#include "app/AppWindows.h"
#include "editors/TwoToneWindow.h"
#include "grid/XStringGrid.h"
#include "support/core/AreaTexts.h"
#include "support/core/ImageChanges.h"
#include "support/gui/EditorChecks.h"
#include "support/gui/EditorInput.h"
#include "support/gui/WindowLayout.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QSettings>
#include <QtTest>
#include <memory>

namespace {

constexpr int kArea = frame::kTwoToneArea;
const QString kPort = QStringLiteral("ttyVR3");

// Area 3 as a radio might hold it, every byte as the window writes it back.
TRadioImage SampleImage()
{
    TRadioImage image;
    // Tones A-D 1981, 1124, 1197, 1275 Hz; reset 6000 ms; durations 100, 250 ms; gap 1000 ms;
    // reserved; encode entry 1 = 300/2000 Hz, entry 2 empty.
    image.setBlock(kArea, 0, Hex("BD076404AD04FB0470176400FA00E803000000002C01D00700000000"));
    // Encode entry 5 (third of block 1) = 1500/2500 Hz.
    image.setBlock(kArea, 1, Hex("0000000000000000DC05C409"));
    // Decode entry 1: AB 提醒 3, DB 提醒并回复 16, no third code, CA 回复 1. Entry 2 unused.
    image.setBlock(kArea, 3, Hex("AB0103DB0310000000CA0201"));
    // Decode entry 16: BA 无 1 and nothing more.
    image.setBlock(kArea, 10, Hex("000000000000000000000000BA0001"));
    return image;
}

QByteArray Request(int block)
{
    return readRequest(kArea, block);
}

}  // namespace

class TestTwoToneWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void createdAsDescribed();
    void controlsLieInsideTheirParents();
    void readFetchesEveryBlockInOrder();
    void readThenWriteLeavesImageUnchanged();
    void editChangesExactlyItsBytes_data();
    void editChangesExactlyItsBytes();
    void writeReportsAfterTheLastAcknowledgement();
    void decodeEntryRules_data();
    void decodeEntryRules();
    void badInputIsRefused_data();
    void badInputIsRefused();
    void windowGoesWhileEditing_data();
    void windowGoesWhileEditing();
    void screenshots();

private:
    void makeWindow(const TRadioImage &image, int resendMs = 150);
    void readAll();

    std::unique_ptr<WindowRig<TForm4>> m_rig;
};

void TestTwoToneWindow::initTestCase()
{
    SetApplicationFont();
}

void TestTwoToneWindow::init()
{
    makeWindow(TRadioImage());
}

void TestTwoToneWindow::cleanup()
{
    m_rig.reset();
}

void TestTwoToneWindow::makeWindow(const TRadioImage &image, int resendMs)
{
    m_rig.reset();
    m_rig = std::make_unique<WindowRig<TForm4>>(image, kPort, resendMs);
}

void TestTwoToneWindow::readAll()
{
    m_rig->Read();
}

void TestTwoToneWindow::createdAsDescribed()
{
    TForm4 &f = *m_rig->form;
    CheckEditorFrame(f);
    QCOMPARE(f.size(), QSize(685, 563));
    QVERIFY(!(f.windowFlags() & Qt::WindowMaximizeButtonHint));

    QTabWidget *pages = f.PageControl1();
    QCOMPARE(pages->count(), 2);
    QCOMPARE(pages->tabText(0), "编码");
    QCOMPARE(pages->tabText(1), "解码");
    QCOMPARE(pages->currentIndex(), 0);

    // Encode page: the grid and the three time boxes.
    QWidget *encode = f.Page("编码");
    QCOMPARE(f.xg1()->parentWidget(), encode);
    QCOMPARE(f.xg1()->RowCount(), 17);
    QCOMPARE(RowTexts(m_rig->form->xg1(), 0, 0), QStringList({"信息码", "第一个频率（HZ）", "第二个频率（HZ）"}));
    QStringList times;
    for (int ms = 50; ms <= 1000; ms += 50)
        times << QString::number(ms);
    const QHash<QString, QString> timeLabels{{"cb1", "第一个频率时间长（MS）"},
                                             {"cb2", "第二个频率时间长（MS）"},
                                             {"cb3", "前后两个频率的间隔时间长（MS）"}};
    for (auto it = timeLabels.begin(); it != timeLabels.end(); ++it) {
        auto *box = qobject_cast<QComboBox *>(f.Control(it.key()));
        QVERIFY(box);
        QCOMPARE(box->parentWidget(), encode);
        QVERIFY(box->isEditable());
        QCOMPARE(box->currentText(), "500");
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        QCOMPARE(items, times);
        QCOMPARE(f.Label(it.key())->text(), it.value());
    }

    // Decode page: the grid in its group box, with 13 columns and their captions.
    QGroupBox *decodeGroup = f.Group("2TONE解码");
    QVERIFY(decodeGroup);
    QCOMPARE(decodeGroup->parentWidget(), f.Page("解码"));
    QCOMPARE(f.xg2()->parentWidget(), decodeGroup);
    QStringList captions{"信息码"};
    for (int slot = 1; slot <= 4; ++slot)
        captions << QStringLiteral("解码%1").arg(slot) << "响应方式" << "提示";
    QCOMPARE(RowTexts(m_rig->form->xg2(), 0, 0), captions);
    for (int row = 1; row <= 16; ++row) {
        QCOMPARE(f.xg1()->Cells(0, row), QString::number(row));
        QCOMPARE(f.xg2()->Cells(0, row), QString::number(row));
        QCOMPARE(RowTexts(m_rig->form->xg1(), row), QStringList({"", ""}));
        QCOMPARE(RowTexts(m_rig->form->xg2(), row), QStringList(12, QString()));
    }

    // Below the pages: the tones, read-only, and the editable reset time.
    QGroupBox *tones = f.Group("两音频率");
    QVERIFY(tones);
    QCOMPARE(tones->parentWidget(), f.findChild<QWidget *>(QStringLiteral("client")));  // not on a page
    const QList<QStringList> boxes{{"ed1", "A音（HZ）", "1981"}, {"ed2", "B音（HZ）", "1124"},
                                   {"ed3", "C音（HZ）", "1197"}, {"ed4", "D音（HZ）", "1275"},
                                   {"ed5", "复位时间（MS）", "6000"}};
    for (const QStringList &b : boxes) {
        auto *edit = qobject_cast<QLineEdit *>(f.Control(b[0]));
        QVERIFY(edit);
        QCOMPARE(edit->parentWidget(), tones);
        QCOMPARE(f.Label(b[0])->text(), b[1]);
        QCOMPARE(edit->text(), b[2]);
        QCOMPARE(edit->isReadOnly(), b[0] != "ed5");
    }
}

void TestTwoToneWindow::controlsLieInsideTheirParents()
{
    CheckEditorLayout(*m_rig->form);
}

void TestTwoToneWindow::readFetchesEveryBlockInOrder()
{
    makeWindow(SampleImage());
    // The port is opened under the main window's name, and the transfer shows.
    CheckReadOnClosedPort(*m_rig, kPort, 11);
    QList<QByteArray> requests;
    for (int block = 0; block <= 10; ++block)
        requests << Request(block);
    QCOMPARE(WithoutRepeats(m_rig->frames()), requests);

    const QHash<QString, QString> boxes{{"ed1", "1981"}, {"ed2", "1124"}, {"ed3", "1197"}, {"ed4", "1275"},
                                        {"ed5", "6000"}, {"cb1", "100"},  {"cb2", "250"},  {"cb3", "1000"}};
    for (auto it = boxes.begin(); it != boxes.end(); ++it)
        QCOMPARE(ShownText(m_rig->form->Control(it.key())), it.value());
    QCOMPARE(RowTexts(m_rig->form->xg1(), 1), QStringList({"300", "2000"}));
    QCOMPARE(RowTexts(m_rig->form->xg1(), 2), QStringList({"", ""}));
    QCOMPARE(RowTexts(m_rig->form->xg1(), 5), QStringList({"1500", "2500"}));
    QCOMPARE(RowTexts(m_rig->form->xg1(), 16), QStringList({"", ""}));
    QCOMPARE(RowTexts(m_rig->form->xg2(), 1),
             QStringList({"AB", "提醒", "3", "DB", "提醒并回复", "16", "", "", "", "CA", "回复", "1"}));
    QCOMPARE(RowTexts(m_rig->form->xg2(), 2), QStringList(12, QString()));
    QCOMPARE(RowTexts(m_rig->form->xg2(), 16),
             QStringList({"BA", "无", "1", "", "", "", "", "", "", "", "", ""}));
}

void TestTwoToneWindow::readThenWriteLeavesImageUnchanged()
{
    const TRadioImage image = SampleImage();
    makeWindow(image);
    readAll();
    CheckWriteSucceeds(*m_rig, 11);

    QList<QByteArray> frames;
    for (int block = 0; block <= 10; ++block)
        frames << blockFrame(kArea, block, image.block(kArea, block));
    // The backup's read, the blocks, then the verify's read of as many.
    const QList<QByteArray> sent = WithoutRepeats(m_rig->frames());
    QCOMPARE(sent.size(), 3 * frames.size());
    QCOMPARE(sent.mid(frames.size(), frames.size()), frames);
    QCOMPARE(ChangedBytes(image, m_rig->radio.image()), QStringList());
}

void TestTwoToneWindow::editChangesExactlyItsBytes_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("changed");  // area/block/offset
    QTest::addColumn<QByteArray>("bytes");     // their new values, in hex

    QTest::addRow("encode frequency") << QStringList{"cell:xg1:1,5", "type:1234", "key:Enter"}
                                      << QStringList{"3/1/8", "3/1/9"} << QByteArray("D204");
    QTest::addRow("encode entry 16 filled") << QStringList{"cell:xg1:2,16", "key:F2", "type:440", "key:Enter"}
                                            << QStringList{"3/2/26", "3/2/27"} << QByteArray("B801");
    QTest::addRow("encode frequency emptied") << QStringList{"cell:xg1:2,1", "key:F2", "key:Delete",
                                                             "key:Enter"}
                                              << QStringList{"3/0/22", "3/0/23"} << QByteArray("0000");
    QTest::addRow("second duration") << QStringList{"box:cb2", "type:750"} << QStringList{"3/0/12", "3/0/13"}
                                     << QByteArray("EE02");
    QTest::addRow("reset time") << QStringList{"box:ed5", "type:6500"} << QStringList{"3/0/8", "3/0/9"}
                                << QByteArray("6419");
    QTest::addRow("mode from the list") << QStringList{"cell:xg2:2,1", "key:F2", "key:Down", "key:Enter"}
                                        << QStringList{"3/3/1"} << QByteArray("02");
    QTest::addRow("new decode entry") << QStringList{"cell:xg2:1,2", "key:F2", "key:Enter"}
                                      << QStringList{"3/3/12", "3/3/14", "3/3/15", "3/3/17", "3/3/18", "3/3/20",
                                                     "3/3/21", "3/3/23"}
                                      << QByteArray("AB01AB01AB01AB01");
    QTest::addRow("third code filled in") << QStringList{"cell:xg2:7,1", "type:CD", "key:Enter", "cell:xg2:9,1",
                                                         "type:7", "key:Enter", "cell:xg2:8,1", "key:F2",
                                                         "key:Enter"}
                                          << QStringList{"3/3/6", "3/3/8"} << QByteArray("CD07");
}

void TestTwoToneWindow::editChangesExactlyItsBytes()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, changed);
    QFETCH(QByteArray, bytes);

    makeWindow(SampleImage());
    CheckStepsChangeBytes(*m_rig, steps, changed, bytes, 11);
}

void TestTwoToneWindow::writeReportsAfterTheLastAcknowledgement()
{
    // A long resend interval, so the wait for the lost acknowledgement can be seen.
    makeWindow(TRadioImage(), 1000);
    RadioFaults faults;
    readAll();  // the verify is not what this looks at, nor the write's own backup read
    QSettings().setValue(QStringLiteral("write/verify"), false);
    const auto forget = qScopeGuard([] { QSettings().remove(QStringLiteral("write/verify")); });
    faults.drop = FaultTrigger::nth(11 + 11 + 11);  // past the two reads, the acknowledgement of block 10
    m_rig->radio.setFaults(faults);

    QTest::mouseClick(m_rig->form->wbtn(), Qt::LeftButton);
    QTRY_COMPARE(m_rig->frames().size(), 11 + 11);  // the backup's read, then the write
    QCOMPARE(m_rig->frames().last().left(4), QByteArray::fromHex("57030A20"));
    QVERIFY(m_rig->link->IsBusy());
    QCOMPARE(m_rig->messages.texts(), QStringList());
    QVERIFY(!m_rig->form->wbtn()->isEnabled());

    // The resend brings the acknowledgement.
    QTRY_COMPARE(m_rig->messages.texts(), QStringList({"写入成功"}));
    QCOMPARE(m_rig->frames().size(), 11 + 12);
    QVERIFY(m_rig->form->wbtn()->isEnabled());
    QVERIFY(m_rig->form->ProgressBar1()->isHidden());
}

void TestTwoToneWindow::decodeEntryRules_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("texts");  // columns 1..12

    const QStringList fill{"无", "1", "AB", "无", "1", "AB", "无", "1", "AB", "无", "1"};
    QTest::addRow("first code from the default") << QStringList{"cell:xg2:1,3", "key:F2", "key:Enter"} << 3
                                                 << QStringList{"AB"} + fill;
    QTest::addRow("first code from the list") << QStringList{"cell:xg2:1,4", "key:F2", "key:Down", "key:Down",
                                                             "key:Enter"}
                                              << 4 << QStringList{"AD"} + fill;
    QTest::addRow("first code typed") << QStringList{"cell:xg2:1,16", "type:DB", "key:Enter"} << 16
                                      << QStringList{"DB"} + fill;
    QTest::addRow("first code again replaces earlier choices")
        << QStringList{"cell:xg2:1,5", "key:F2", "key:Enter", "cell:xg2:2,5", "key:F2", "key:Down", "key:Enter",
                       "cell:xg2:12,5", "type:9", "key:Enter", "cell:xg2:1,5", "key:F2", "key:Down", "key:Enter"}
        << 5 << QStringList{"AC"} + fill;
    // Left as it was (F2, Enter), the first code keeps the choices.
    QTest::addRow("first code committed unchanged keeps the choices")
        << QStringList{"cell:xg2:1,5", "key:F2", "key:Enter", "cell:xg2:12,5", "type:9", "key:Enter",
                       "cell:xg2:1,5", "key:F2", "key:Enter"}
        << 5 << QStringList{"AB"} + fill.mid(0, fill.size() - 1) + QStringList{"9"};
    QTest::addRow("other columns keep their choices")
        << QStringList{"cell:xg2:1,6", "type:CA", "key:Enter", "cell:xg2:5,6", "key:F2", "key:Down", "key:Down",
                       "key:Down", "key:Enter", "cell:xg2:9,6", "type:12", "key:Enter"}
        << 6 << QStringList{"CA", "无", "1", "AB", "提醒并回复", "1", "AB", "无", "12", "AB", "无", "1"};
    QTest::addRow("mode of an unused entry stays empty")
        << QStringList{"cell:xg2:2,7", "key:F2", "key:Down", "key:Enter"} << 7 << QStringList(12, QString());
    QTest::addRow("code of an unused entry stays empty") << QStringList{"cell:xg2:4,8", "type:BC", "key:Enter"} << 8
                                                          << QStringList(12, QString());
    QTest::addRow("prompt of an unused entry stays empty") << QStringList{"cell:xg2:12,9", "type:3", "key:Enter"}
                                                            << 9 << QStringList(12, QString());
}

void TestTwoToneWindow::decodeEntryRules()
{
    QFETCH(QStringList, steps);
    QFETCH(int, row);
    QFETCH(QStringList, texts);

    QString failed;
    QVERIFY2(RunSteps(*m_rig->form, steps, &failed), qPrintable(failed));
    QCOMPARE(RowTexts(m_rig->form->xg2(), row), texts);
    QCOMPARE(m_rig->form->Texts().Grid("xg2").Cell(1, row), texts[0]);
    QCOMPARE(m_rig->messages.texts(), QStringList());
}

void TestTwoToneWindow::badInputIsRefused_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("message");

    QTest::addRow("reset time above 16 bits") << QStringList{"box:ed5", "type:70000"}
                                              << "复位时间（MS）: '70000' is not in the range 0 to 65535";
    QTest::addRow("duration not a number") << QStringList{"box:cb1", "type:abc"}
                                           << "第一个频率时间长（MS）: 'abc' is not a valid integer value";
    QTest::addRow("gap above 16 bits") << QStringList{"box:cb3", "type:65536"}
                                       << "前后两个频率的间隔时间长（MS）: '65536' is not in the range 0 to 65535";
    QTest::addRow("frequency above 16 bits") << QStringList{"cell:xg1:1,3", "type:70000", "key:Enter"}
                                             << "编码 3 第一个频率（HZ）: '70000' is not in the range 0 to 65535";
    QTest::addRow("frequency not a number") << QStringList{"cell:xg1:2,16", "type:12a", "key:Enter"}
                                            << "编码 16 第二个频率（HZ）: '12a' is not a valid integer value";
    QTest::addRow("first code with another letter")
        << QStringList{"cell:xg2:1,4", "type:AE", "key:Enter"}
        << "解码 4 解码1: 'AE' is not a decode code of two letters A to D";
    QTest::addRow("code of three letters")
        << QStringList{"cell:xg2:1,2", "key:F2", "key:Enter", "cell:xg2:10,2", "type:ABC", "key:Enter"}
        << "解码 2 解码4: 'ABC' is not a decode code of two letters A to D";
    QTest::addRow("mode not in the list")
        << QStringList{"cell:xg2:1,1", "key:F2", "key:Enter", "cell:xg2:5,1", "type:x", "key:Enter"}
        << "解码 1 响应方式2: 'x' is not one of 无, 提醒, 回复, 提醒并回复";
    QTest::addRow("prompt 17") << QStringList{"cell:xg2:1,1", "key:F2", "key:Enter", "cell:xg2:3,1", "type:17",
                                              "key:Enter"}
                               << "解码 1 提示1: '17' is not in the range 1 to 16";
    QTest::addRow("prompt 0") << QStringList{"cell:xg2:1,9", "key:F2", "key:Enter", "cell:xg2:12,9", "type:0",
                                             "key:Enter"}
                              << "解码 9 提示4: '0' is not in the range 1 to 16";
}

void TestTwoToneWindow::badInputIsRefused()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, message);

    QString failed;
    QVERIFY2(RunSteps(*m_rig->form, steps, &failed), qPrintable(failed));
    CheckWriteRefused(*m_rig, message);
}



void TestTwoToneWindow::windowGoesWhileEditing_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addRow("drop-down open") << QStringList{"cell:xg2:1,2", "key:F2", "key:Down"};
    QTest::addRow("text typed in a cell") << QStringList{"cell:xg1:1,2", "type:12"};
    QTest::addRow("box being typed in") << QStringList{"box:ed5", "type:7"};
}

// The window and its area go at the end of the run with whatever is being edited: the edit
// ends without reaching the area that is gone.
void TestTwoToneWindow::windowGoesWhileEditing()
{
    QFETCH(QStringList, steps);

    QString failed;
    QVERIFY2(RunSteps(*m_rig->form, steps, &failed), qPrintable(failed));
    QVERIFY(QApplication::focusWidget());
    m_rig->DestroyWindow();
    QCOMPARE(m_rig->messages.texts(), QStringList());
}

// Renders every page, and a read in progress, for a person to look at.
void TestTwoToneWindow::screenshots()
{
    UseScreenshotLanguage();
    makeWindow(SampleImage());
    SaveEditorScreenshots(*m_rig, QStringLiteral("twotone"));
}

QTEST_MAIN(TestTwoToneWindow)
#include "tst_twotonewindow.moc"
