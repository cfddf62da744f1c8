#include "editors/FskWindow.h"

#include "app/AppWindows.h"
#include "grid/EditCellEditor.h"
#include "grid/XStringGrid.h"
#include "protocol/FactoryImage.h"
#include "support/core/AreaTexts.h"
#include "support/core/ImageChanges.h"
#include "support/gui/EditorChecks.h"
#include "support/gui/EditorInput.h"
#include "support/gui/WindowLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(QList<int>)

namespace {

const QString kPortName = QStringLiteral("/dev/ttyUSB1");

// Area 2 as a radio might hold it, every setting away from the window's start values. The other
// areas keep the factory contents, so a write that strays shows in the image.
TRadioImage SampleImage()
{
    TRadioImage image = FactoryImage();
    // queue 300, ID 4660, 1200 bps, 400 ms -> 250 ms, timer 30 s, side tone off, reserved,
    // entry 1 (1, 65535), entry 2 empty
    image.setBlock(frame::kFskArea, 0, Hex("2C01 3412 0C FA00 1E 00 0000000000000000000000 0100FFFF 00000000"));
    // entries 3-9: (5, -), empty, (7, 8), (9999, 10000), (-, 42), empty, (1, 1)
    image.setBlock(frame::kFskArea, 1, Hex("05000000 00000000 07000800 0F271027 00002A00 00000000 01000100"));
    // entries 10-16: (10, 1010), empty, empty, (300, 1300), empty, empty, (16, 1016)
    image.setBlock(frame::kFskArea, 2, Hex("0A00F203 00000000 00000000 2C011405 00000000 00000000 1000F803"));
    return image;
}

// "q3" is the queue and "i3" the ID of table entry 3, anything else a control's object name.
bool IsCell(const QString &target)
{
    static const QRegularExpression cell(QStringLiteral("^[qi]\\d+$"));
    return cell.match(target).hasMatch();
}

int CellColumn(const QString &target)
{
    return target.startsWith(QLatin1Char('q')) ? TFskTexts::kQueueColumn : TFskTexts::kIdColumn;
}

int CellRow(const QString &target)
{
    return target.mid(1).toInt();
}

// One FSK window on the sample image, the port closed as after a main read.
struct Rig : WindowRig<TForm6> {
    Rig()
        : WindowRig(SampleImage(), kPortName)
    {
    }

    void Enter(const QString &target, const QString &text)
    {
        if (IsCell(target))
            EditCell(form->xg1(), CellColumn(target), CellRow(target), text, Qt::Key_Return);
        else
            EnterText(form->Control(target), text);
    }
    QString Shown(const QString &target) const
    {
        if (IsCell(target))
            return form->xg1()->Cells(CellColumn(target), CellRow(target));
        return ShownText(form->Control(target));
    }
};

}  // namespace

class TestFskWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void window();
    void controls_data();
    void controls();
    void queueGrid();
    void layoutFits();
    void screenshots();

    void readFillsWindow_data();
    void readFillsWindow();
    void readCountsReplies_data();
    void readCountsReplies();
    void editAndWrite_data();
    void editAndWrite();
    void readThenWriteKeepsImage();
    void badInputSendsNothing_data();
    void badInputSendsNothing();
    void emptyCellOpenedAndLeftStaysEmpty();

    void guardEndsUnansweredTransfer_data();
    void guardEndsUnansweredTransfer();
    void closingOnlyHides_data();
    void closingOnlyHides();
};

void TestFskWindow::initTestCase()
{
    SetApplicationFont();
}

void TestFskWindow::window()
{
    Rig rig;
    TForm6 &form = *rig.form;
    CheckEditorFrame(form);
    QCOMPARE(form.size(), QSize(696, 480));
    QVERIFY(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!form.PageControl1());

}

void TestFskWindow::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("initial");

    QTest::newRow("ed1") << "ed1" << "队列（自身）" << "100";
    QTest::newRow("ed2") << "ed2" << "ID（自身）" << "1000";
    QTest::newRow("cb1") << "cb1" << "队列同步波特率[bps]" << "2400";
    QTest::newRow("ed3") << "ed3" << "数据发射延迟时间[MS]" << "400";
    QTest::newRow("ed4") << "ed4" << "信息模式定时器[S]" << "10";
    QTest::newRow("CheckBox1") << "CheckBox1" << "" << "checked";
}

void TestFskWindow::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, label);
    QFETCH(QString, initial);

    Rig rig;
    QWidget *control = rig.form->Control(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), rig.form->findChild<QWidget *>(QStringLiteral("client")));  // not on a page
    QCOMPARE(ShownText(control), initial);
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        QVERIFY(!combo->isEditable());  // a list only
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0), QStringLiteral("1200"));
        QCOMPARE(combo->itemText(1), QStringLiteral("2400"));
        QCOMPARE(combo->currentIndex(), 1);
    }
    if (auto *check = qobject_cast<QCheckBox *>(control))
        QCOMPARE(check->text(), QStringLiteral("PTT ID侧音"));

    QLabel *shownLabel = rig.form->Label(name);
    QCOMPARE(shownLabel ? shownLabel->text() : QString(), label);
    if (shownLabel) {
        // Left of its control, on the same line.
        QVERIFY(shownLabel->geometry().right() < control->x());
        QVERIFY(qAbs(shownLabel->geometry().center().y() - control->geometry().center().y()) <= 2);
    }
    // The settings sit left of the table.
    QVERIFY(control->geometry().right() < rig.form->xg1()->x());
}

void TestFskWindow::queueGrid()
{
    Rig rig;
    TXStringGrid *grid = rig.form->xg1();
    QVERIFY(grid);
    QCOMPARE(grid->ColCount(), 3);
    QCOMPARE(grid->RowCount(), 17);
    QCOMPARE(grid->FixedCols(), 1);
    QCOMPARE(grid->FixedRows(), 1);
    QCOMPARE(grid->Cells(0, 0), QStringLiteral("编号"));
    QCOMPARE(grid->Cells(1, 0), QStringLiteral("队列"));
    QCOMPARE(grid->Cells(2, 0), QStringLiteral("ID"));
    for (int row = 1; row <= 16; ++row) {
        QCOMPARE(grid->Cells(0, row), QString::number(row));
        QCOMPARE(grid->Cells(1, row), QString());
        QCOMPARE(grid->Cells(2, row), QString());
    }
    QVERIFY(!grid->Columns()[0].Editor());
    auto *editor = qobject_cast<TEditCellEditor *>(grid->Columns()[1].Editor());
    QVERIFY(editor);
    QCOMPARE(editor->objectName(), QStringLiteral("EditCellEditor1"));
    QCOMPARE(grid->Columns()[2].Editor(), editor);
    QCOMPARE(editor->DefaultText(), QString());
}

void TestFskWindow::layoutFits()
{
    Rig rig;
    CheckEditorLayout(*rig.form);
}

void TestFskWindow::screenshots()
{
    UseScreenshotLanguage();
    Rig rig;
    SaveEditorScreenshots(rig, QStringLiteral("fsk"));
}

void TestFskWindow::readFillsWindow_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("shown");

    const std::pair<const char *, const char *> rows[] = {
        {"ed1", "300"}, {"ed2", "4660"},  {"cb1", "1200"}, {"ed3", "250"},  {"ed4", "30"},
        {"CheckBox1", "unchecked"},
        {"q1", "1"},    {"i1", "65535"},  {"q2", ""},      {"i2", ""},      {"q3", "5"},
        {"i3", ""},     {"q4", ""},       {"q5", "7"},     {"i5", "8"},     {"q6", "9999"},
        {"i6", "10000"}, {"q7", ""},      {"i7", "42"},    {"q9", "1"},     {"i9", "1"},
        {"q10", "10"},  {"i10", "1010"},  {"q13", "300"},  {"i13", "1300"}, {"q15", ""},
        {"q16", "16"},  {"i16", "1016"},
    };
    for (const auto &[target, shown] : rows)
        QTest::newRow(target) << QString::fromLatin1(target) << QString::fromUtf8(shown);
}

void TestFskWindow::readFillsWindow()
{
    QFETCH(QString, target);
    QFETCH(QString, shown);

    Rig rig;
    // A stored 0 empties what the window held.
    for (const char *cell : {"q2", "i3", "q15"})
        rig.Enter(QString::fromLatin1(cell), QStringLiteral("77"));
    rig.Click(rig.form->rbtn());
    QVERIFY(!rig.form->rbtn()->isEnabled());
    QCOMPARE(rig.form->ProgressBar1()->maximum(), 4);
    QTRY_VERIFY(rig.Idle());
    QCOMPARE(rig.Shown(target), shown);
    QVERIFY(rig.messages.messages.isEmpty());  // a read ends without a word
}

void TestFskWindow::readCountsReplies_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QList<int>>("requests");
    QTest::addColumn<QString>("ownQueue");  // ed1 afterwards: "100" when block 0 never came
    QTest::addColumn<QString>("entry3");    // q3 afterwards
    QTest::addColumn<int>("neverSent");     // the block the read says it never got; -1: none

    QTest::newRow("plain") << "" << QList<int>{0, 1, 2} << "300" << "5" << -1;
    // The next request follows the replies counted, not the block a reply carries; the block
    // passed over shows what the window held, and the read says so.
    QTest::newRow("first reply carries block 1") << "wrong-block=1" << QList<int>{0, 1, 2} << "100" << "5" << 0;
    QTest::newRow("second reply carries block 2") << "wrong-block=2" << QList<int>{0, 1, 2} << "300" << "" << 1;
    // A block outside the area is neither shown nor counted; the request is repeated.
    QTest::newRow("third reply carries block 3") << "wrong-block=3" << QList<int>{0, 1, 2, 2} << "300" << "5" << -1;
    QTest::newRow("first reply carries block 127") << "far-block=1" << QList<int>{0, 0, 1, 2} << "300" << "5" << -1;
}

void TestFskWindow::readCountsReplies()
{
    QFETCH(QString, fault);
    QFETCH(QList<int>, requests);
    QFETCH(QString, ownQueue);
    QFETCH(QString, entry3);
    QFETCH(int, neverSent);

    Rig rig;
    if (!fault.isEmpty()) {
        QString error;
        QVERIFY2(rig.radio.faults().add(fault, &error), qPrintable(error));
    }
    rig.link->SetResendInterval(100);
    rig.Click(rig.form->rbtn());
    QTRY_VERIFY(rig.Idle());
    QCOMPARE(RequestedBlocks(rig.channel->written(), frame::kFskArea), requests);
    QCOMPARE(rig.Shown(QStringLiteral("ed1")), ownQueue);
    QCOMPARE(rig.Shown(QStringLiteral("q3")), entry3);
    if (neverSent < 0)
        QVERIFY(rig.messages.messages.isEmpty());
    else
        QCOMPARE(rig.messages.texts(), QStringList{QStringLiteral("读取不完整：电台没有发来FSK 队列同步 第 %1 块。窗口中这些位置显示的不是"
                                                                   "电台的内容，写入前请重新读取。").arg(neverSent)});
    // Nothing asked after the third reply.
    QTest::qWait(300);
    QCOMPARE(RequestedBlocks(rig.channel->written(), frame::kFskArea), requests);
}

void TestFskWindow::editAndWrite_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("changes");  // block:offset=bytes of area 2

    QTest::newRow("own queue") << "ed1" << "65535" << "0:0=FFFF";
    QTest::newRow("own ID 1000") << "ed2" << "1000" << "0:2=E803";
    QTest::newRow("own ID in hex") << "ed2" << "$10" << "0:2=1000";
    QTest::newRow("baud 2400") << "cb1" << "2400" << "0:4=18";
    QTest::newRow("delay 0") << "ed3" << "0" << "0:5=0000";
    QTest::newRow("timer 255") << "ed4" << "255" << "0:7=FF";
    QTest::newRow("side tone on") << "CheckBox1" << "" << "0:8=FF";
    QTest::newRow("entry 1 queue cleared") << "q1" << "" << "0:20=0000";
    QTest::newRow("entry 2 ID") << "i2" << "7" << "0:26=0700";
    QTest::newRow("entry 4 queue") << "q4" << "65535" << "1:4=FFFF";
    QTest::newRow("entry 9 ID") << "i9" << "2" << "1:26=0200";
    QTest::newRow("entry 10 queue cleared") << "q10" << "" << "2:0=0000";
    QTest::newRow("entry 16 ID cleared") << "i16" << "" << "2:26=0000";
}

void TestFskWindow::editAndWrite()
{
    QFETCH(QString, target);
    QFETCH(QString, text);
    QFETCH(QString, changes);

    Rig rig;
    rig.Read();
    rig.Enter(target, text);
    CheckWriteSucceeds(rig, 4);
    const TRadioImage expected = WithChanges(SampleImage(), frame::kFskArea, changes);
    QVERIFY2(rig.radio.image() == expected, qPrintable(Differences(rig.radio.image(), expected)));
}

void TestFskWindow::readThenWriteKeepsImage()
{
    Rig rig;
    rig.Read();
    CheckWriteSucceeds(rig, 4);
    QVERIFY2(rig.radio.image() == SampleImage(), qPrintable(Differences(rig.radio.image(), SampleImage())));

    // Three 4-byte heads, each followed by its 28 data bytes, no check value.
    QByteArray frames;
    for (int block = 0; block < 3; ++block)
        frames += blockFrameWithoutCrc(frame::kFskArea, block, SampleImage().block(frame::kFskArea, block));
    // After the backup's three read requests; then the verify's three.
    QCOMPARE(rig.channel->written().size(), 3 * 4 + 3 * (4 + 28) + 3 * 4);
    QCOMPARE(rig.channel->written().mid(3 * 4, frames.size()).toHex(' '), frames.toHex(' '));
}

void TestFskWindow::badInputSendsNothing_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("own queue too big") << "ed1" << "65536" << "队列（自身）: '65536' is not in the range 0 to 65535";
    QTest::newRow("own ID empty") << "ed2" << "" << "ID（自身）: '' is not a valid integer value";
    QTest::newRow("delay negative") << "ed3" << "-5" << "数据发射延迟时间[MS]: '-5' is not in the range 0 to 65535";
    QTest::newRow("timer too long") << "ed4" << "256" << "信息模式定时器[S]: '256' is not in the range 0 to 255";
    QTest::newRow("timer fraction") << "ed4" << "1.5" << "信息模式定时器[S]: '1.5' is not a valid integer value";
    QTest::newRow("queue too big") << "q3" << "70000" << "编号 3 队列: '70000' is not in the range 0 to 65535";
    QTest::newRow("ID not a number") << "i16" << "abc" << "编号 16 ID: 'abc' is not a valid integer value";
}

void TestFskWindow::badInputSendsNothing()
{
    QFETCH(QString, target);
    QFETCH(QString, text);
    QFETCH(QString, message);

    Rig rig;
    rig.Enter(target, text);
    CheckWriteRefused(rig, message);
}

// The table's editor has no default text and the table no entry rule.
void TestFskWindow::emptyCellOpenedAndLeftStaysEmpty()
{
    Rig rig;
    EditCell(rig.form->xg1(), TFskTexts::kIdColumn, 5, std::nullopt, Qt::Key_Return);
    QVERIFY(!rig.form->xg1()->ActiveEditor());
    QCOMPARE(rig.form->xg1()->Cells(TFskTexts::kIdColumn, 5), QString());
    rig.Enter(QStringLiteral("q5"), QStringLiteral("123456789"));
    QCOMPARE(rig.Shown(QStringLiteral("q5")), QStringLiteral("123456789"));
    QCOMPARE(rig.form->Texts().xg1().Cell(TFskTexts::kQueueColumn, 5), QStringLiteral("123456789"));
}

void TestFskWindow::guardEndsUnansweredTransfer_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("realTime");  // wait the ten seconds, or fire the guard at once
    QTest::addColumn<int>("sentBefore");  // bytes on the wire when the guard fires: a write is never repeated
    QTest::addColumn<QString>("message");

    QTest::newRow("write, silent radio, ten seconds") << true << "silent" << true << 32 << "写入失败：电台无应答";
    // The radio stored every block but its last acknowledgement was lost: no success. The 9th
    // answer: past the read's three and the write's own backup read's three.
    QTest::newRow("write, last acknowledgement lost") << true << "drop=9" << false << 96 << "写入失败：电台无应答";
    // An unanswered read request is.
    QTest::newRow("read, silent radio") << false << "silent" << false << -1 << "读取失败：电台无应答";
}

void TestFskWindow::guardEndsUnansweredTransfer()
{
    QFETCH(bool, write);
    QFETCH(QString, fault);
    QFETCH(bool, realTime);
    QFETCH(int, sentBefore);
    QFETCH(QString, message);

    Rig rig;
    CheckGuardEndsTransfer(rig, write, fault, realTime, sentBefore, message);
}



void TestFskWindow::closingOnlyHides_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Close button") << false;
    QTest::newRow("title bar close box") << true;
}

void TestFskWindow::closingOnlyHides()
{
    QFETCH(bool, closeBox);

    Rig rig;
    rig.Enter(QStringLiteral("ed3"), QStringLiteral("123"));
    rig.Enter(QStringLiteral("cb1"), QStringLiteral("1200"));
    rig.Enter(QStringLiteral("i4"), QStringLiteral("4444"));
    CheckClosingOnlyHides(rig, closeBox);
    QCOMPARE(rig.Shown(QStringLiteral("ed3")), QStringLiteral("123"));
    QCOMPARE(rig.Shown(QStringLiteral("cb1")), QStringLiteral("1200"));
    QCOMPARE(rig.Shown(QStringLiteral("i4")), QStringLiteral("4444"));
    QCOMPARE(rig.form->Texts().Controls().Text(QStringLiteral("cb1")), QStringLiteral("1200"));
}

QTEST_MAIN(TestFskWindow)
#include "tst_fskwindow.moc"
