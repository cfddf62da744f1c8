#include "editors/DtmfWindow.h"

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
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>
#include <memory>

namespace {

const QString kPortName = QStringLiteral("/dev/ttyUSB3");

// Area 1 as a radio might hold it, every field away from the window's start values. The other
// areas keep the factory contents, so a write that strays shows in the image.
TRadioImage SampleImage()
{
    TRadioImage image = FactoryImage();
    // rate 15; 500, 200, 100 ms; D key 2000 ms; side tone off; reserved;
    // ID "*0#" (ID table); group call "#"; reset 5 s; alarm "连续"; answer "ID码"; clear on;
    // ID count 3; counts of memories 1-8
    image.setBlock(frame::kDtmfArea, 0, Hex("0F 32 14 0A 14 00 00000000 BC0A0000 0C 05 02 02 FF 03"
                                            "03 06 00 03 08 01 01 01"));
    // memories 1-6: "123", "DD1234", empty, "*0#", "12345678", "A"
    image.setBlock(frame::kDtmfArea, 1, Hex("23010000 34120000 00000000 AC0B0000 78563412 0D000000"));
    // memories 7-12: "#", "9", "5551234", "D12" (no count: shows "12"), empty, "ABCD"
    image.setBlock(frame::kDtmfArea, 2, Hex("0C000000 09000000 34125505 12000000 00000000 F0DE0000"));
    // memories 13-16: "*", "#0", "88", "12345678"
    image.setBlock(frame::kDtmfArea, 3, Hex("0B000000 CA000000 88000000 78563412"));
    return image;
}

// "m3" is autodial memory 3, anything else a control's object name.
bool IsMemory(const QString &target)
{
    return target.startsWith(QLatin1Char('m'));
}

// One DTMF window on the sample image, the port closed as after a main read.
struct Rig : WindowRig<TForm2> {
    Rig()
        : WindowRig(SampleImage(), kPortName)
    {
    }

    void Enter(const QString &target, const QString &text)
    {
        if (IsMemory(target))
            EditCell(form->xg2(), TDtmfTexts::kMemoryColumn, target.mid(1).toInt(), text, Qt::Key_Return);
        else
            EnterText(form->Control(target), text);
    }
    QString Shown(const QString &target) const
    {
        if (IsMemory(target))
            return form->xg2()->Cells(TDtmfTexts::kMemoryColumn, target.mid(1).toInt());
        return ShownText(form->Control(target));
    }
};

}  // namespace

class TestDtmfWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void window();
    void controls_data();
    void controls();
    void memoryGrid();
    void layoutFits();
    void screenshots();

    void readFillsWindow_data();
    void readFillsWindow();
    void readAsksBlocksInOrder();
    void editAndWrite_data();
    void editAndWrite();
    void readThenWriteKeepsImage();
    void badInputSendsNothing_data();
    void badInputSendsNothing();
    void emptyMemoryOpenedAndLeftGetsDefault_data();
    void emptyMemoryOpenedAndLeftGetsDefault();
    void typedTextKeepsEightCharacters_data();
    void typedTextKeepsEightCharacters();

    void guardEndsSilentTransfer_data();
    void guardEndsSilentTransfer();
    void closingOnlyHides_data();
    void closingOnlyHides();
};

void TestDtmfWindow::initTestCase()
{
    SetApplicationFont();
}

void TestDtmfWindow::window()
{
    Rig rig;
    TForm2 &form = *rig.form;
    CheckEditorFrame(form);
    QCOMPARE(form.size(), QSize(428, 485));
    QVERIFY(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

    QTabWidget *pages = form.PageControl1();
    QVERIFY(pages);
    QCOMPARE(pages->count(), 2);
    QCOMPARE(pages->tabText(0), QStringLiteral("DTMF编码"));
    QCOMPARE(pages->tabText(1), QStringLiteral("DTMF解码"));
    QCOMPARE(pages->currentIndex(), 0);
    for (const QString &caption : {QStringLiteral("DTMF编码"), QStringLiteral("DTMF解码")}) {
        QGroupBox *group = form.Group(caption);
        QVERIFY(group);
        QCOMPARE(group->title(), caption);
        QCOMPARE(group->parentWidget(), form.Page(caption));
    }

    // Bottom row: the buttons under the progress bar, both under the pages.
    QVERIFY(form.ProgressBar1()->geometry().top() >= pages->geometry().bottom());
    for (QPushButton *button : {form.rbtn(), form.wbtn(), form.Button3()})
        QVERIFY(button->geometry().top() >= form.ProgressBar1()->geometry().bottom());
}

void TestDtmfWindow::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("label");  // as the window shows it
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("initial");

    const QString encode = QStringLiteral("DTMF编码");
    const QString decode = QStringLiteral("DTMF解码");
    const QString pad = QStringLiteral("     ");
    QStringList delays;
    for (int ms = 100; ms <= 1000; ms += 50)
        delays << QString::number(ms);
    QStringList dKey{QStringLiteral("D码")};
    for (int ms = 1000; ms <= 10000; ms += 1000)
        dKey << QString::number(ms);
    QStringList reset{QStringLiteral("关")};
    for (int s = 1; s <= 15; ++s)
        reset << QString::number(s);

    QTest::newRow("cb1") << "cb1" << encode << "DTMF速率" << QStringList{"6", "8", "10", "15"} << "6";
    QTest::newRow("cb2") << "cb2" << encode << QStringLiteral("首位数码时间（毫秒）") + pad
                         << QStringList{"100", "500", "1000"} << "0";
    QTest::newRow("cb3") << "cb3" << encode << QStringLiteral("首位数码延迟（毫秒）") + pad << delays << "100";
    QTest::newRow("cb4") << "cb4" << encode << QStringLiteral("*和#音时间（毫秒）") + pad
                         << QStringList{"0", "100", "500", "1000"} << "0";
    QTest::newRow("cb5") << "cb5" << encode << QStringLiteral("D键设定(毫秒)") << dKey << "D码";
    QTest::newRow("CheckB1") << "CheckB1" << encode << "" << QStringList() << "checked";
    QTest::newRow("Edit1") << "Edit1" << decode << QStringLiteral("ID码") + pad << QStringList() << "12345678";
    QTest::newRow("cb6") << "cb6" << decode << QStringLiteral("组呼码") + pad
                         << QStringList{"关", "A", "B", "C", "D", "*", "#"} << "关";
    QTest::newRow("cb7") << "cb7" << decode << QStringLiteral("自动复位定时器（秒）") + pad << reset << "10";
    QTest::newRow("cb8") << "cb8" << decode << QStringLiteral("呼叫告警") + pad
                         << QStringList{"常规", "连续", "关"} << "常规";
    QTest::newRow("cb9") << "cb9" << decode << QStringLiteral("自动应答") + pad
                         << QStringList{"关", "告警", "ID码"} << "关";
    QTest::newRow("CheckB2") << "CheckB2" << decode << QStringLiteral("清除自动应答") + pad << QStringList()
                             << "unchecked";
}

void TestDtmfWindow::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, page);
    QFETCH(QString, label);
    QFETCH(QStringList, items);
    QFETCH(QString, initial);

    Rig rig;
    QWidget *control = rig.form->Control(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), rig.form->Group(page));
    QCOMPARE(ShownText(control), initial);
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        QVERIFY(combo->isEditable());  // typed text as well as the list
        // A text typed and ended with Enter is the box's text; it does not join the list.
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo, QStringLiteral("77"));
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(combo->currentText(), QStringLiteral("77"));
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        QCOMPARE(shown, items);
    }
    if (auto *check = qobject_cast<QCheckBox *>(control))
        QCOMPARE(check->text(), name == "CheckB1" ? QStringLiteral("DTMF侧音") : QString());

    QLabel *shownLabel = rig.form->Label(name);
    QCOMPARE(shownLabel ? shownLabel->text() : QString(), label);
    if (!shownLabel)
        return;
    const QRect l = shownLabel->geometry();
    const QRect c = control->geometry();
    if (page == QStringLiteral("DTMF编码")) {
        // Above its box, at its left edge.
        QVERIFY(l.bottom() < c.top() && c.top() - l.bottom() < 12);
        QCOMPARE(l.left(), c.left());
    } else {
        // Left of its control, on the same line.
        QVERIFY(l.right() < c.left());
        QVERIFY(qAbs(l.center().y() - c.center().y()) <= 2);
    }
}

void TestDtmfWindow::memoryGrid()
{
    Rig rig;
    TXStringGrid *grid = rig.form->xg2();
    QVERIFY(grid);
    QCOMPARE(grid->parentWidget(), rig.form->Group(QStringLiteral("DTMF编码")));
    QCOMPARE(grid->ColCount(), 2);
    QCOMPARE(grid->RowCount(), 17);
    QCOMPARE(grid->FixedCols(), 1);
    QCOMPARE(grid->FixedRows(), 1);
    QCOMPARE(grid->ColWidths(0), 64);
    QCOMPARE(grid->ColWidths(1), 102);
    for (int row = 0; row < 17; ++row)
        QCOMPARE(grid->RowHeights(row), 24);
    QCOMPARE(grid->Cells(0, 0), QStringLiteral("信息码"));
    QCOMPARE(grid->Cells(1, 0), QStringLiteral("自动拨号存储器"));
    for (int row = 1; row <= 16; ++row) {
        QCOMPARE(grid->Cells(0, row), QString::number(row));
        QCOMPARE(grid->Cells(1, row), QString());
    }
    QVERIFY(grid->Options().testFlag(TGridOption::Editing));
    QVERIFY(grid->Options().testFlag(TGridOption::RangeSelect));
    QVERIFY(!grid->ImmediateEditMode());
    QVERIFY(!grid->MultiLine());
    QCOMPARE(grid->FixedLineColor(), QColor(Qt::black));
    for (int col = 0; col < 2; ++col)
        QCOMPARE(grid->Columns()[col].Alignment(), Qt::AlignCenter);
    QVERIFY(!grid->Columns()[0].Editor());
    auto *editor = qobject_cast<TEditCellEditor *>(grid->Columns()[1].Editor());
    QVERIFY(editor);
    QCOMPARE(editor->objectName(), QStringLiteral("EditCellEditor1"));
    QCOMPARE(editor->DefaultText(), QStringLiteral("12345678"));
    QVERIFY(!editor->hasElipsis());
    // Left of the boxes of its page.
    QVERIFY(grid->geometry().right() < rig.form->Control(QStringLiteral("cb1"))->x());
}

void TestDtmfWindow::layoutFits()
{
    Rig rig;
    // The sixteen memories scroll; the grid's width leaves room for the scroll bar.
    CheckEditorLayout(*rig.form, {QStringLiteral("xg2")});
}

void TestDtmfWindow::screenshots()
{
    UseScreenshotLanguage();
    Rig rig;
    SaveEditorScreenshots(rig, QStringLiteral("dtmf"));
}

void TestDtmfWindow::readFillsWindow_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("shown");

    const std::pair<const char *, const char *> rows[] = {
        {"cb1", "15"},        {"cb2", "500"},      {"cb3", "200"},      {"cb4", "100"},
        {"cb5", "2000"},      {"CheckB1", "unchecked"},
        {"Edit1", "*0#"},     {"cb6", "#"},        {"cb7", "5"},        {"cb8", "连续"},
        {"cb9", "ID码"},      {"CheckB2", "checked"},
        {"m1", "123"},        {"m2", "DD1234"},    {"m3", ""},          {"m4", "*0#"},
        {"m5", "12345678"},   {"m6", "A"},         {"m7", "#"},         {"m8", "9"},
        // 9-16 have no digit count: the digits without leading "D"s
        {"m9", "5551234"},    {"m10", "12"},       {"m11", ""},         {"m12", "ABCD"},
        {"m13", "*"},         {"m14", "#0"},       {"m15", "88"},       {"m16", "12345678"},
    };
    for (const auto &[target, shown] : rows)
        QTest::newRow(target) << QString::fromLatin1(target) << QString::fromUtf8(shown);
}

void TestDtmfWindow::readFillsWindow()
{
    QFETCH(QString, target);
    QFETCH(QString, shown);

    Rig rig;
    // An empty memory in the radio clears what the window held.
    rig.Enter(QStringLiteral("m3"), QStringLiteral("77"));
    rig.Enter(QStringLiteral("m11"), QStringLiteral("77"));
    rig.Click(rig.form->rbtn());
    QVERIFY(!rig.form->rbtn()->isEnabled());
    QTRY_VERIFY(rig.Idle());
    QCOMPARE(rig.Shown(target), shown);
    QVERIFY(rig.messages.messages.isEmpty());  // a read ends without a word
}

void TestDtmfWindow::readAsksBlocksInOrder()
{
    Rig rig;
    CheckReadOnClosedPort(rig, kPortName, 5);
    QCOMPARE(RequestedBlocks(rig.channel->written(), frame::kDtmfArea), QList<int>({0, 1, 2, 3}));
    QCOMPARE(rig.radio.image(), SampleImage());
}

void TestDtmfWindow::editAndWrite_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("changes");  // block:offset=bytes of area 1

    QTest::newRow("rate") << "cb1" << "10" << "0:0=0A";
    QTest::newRow("first digit time") << "cb2" << "1000" << "0:1=64";
    QTest::newRow("first digit delay") << "cb3" << "2550" << "0:2=FF";
    QTest::newRow("star and hash time") << "cb4" << "0" << "0:3=00";
    QTest::newRow("D key 3000") << "cb5" << "3000" << "0:4=1E";
    QTest::newRow("D key D码") << "cb5" << "D码" << "0:4=00";
    QTest::newRow("side tone on") << "CheckB1" << "" << "0:5=FF";
    QTest::newRow("ID code") << "Edit1" << "12345678" << "0:10=78563412 0:19=08";
    QTest::newRow("ID code lower-case") << "Edit1" << "a0" << "0:10=DB000000 0:19=02";
    QTest::newRow("ID code short") << "Edit1" << "12" << "0:10=12000000 0:19=02";
    QTest::newRow("group call D") << "cb6" << "D" << "0:14=00";
    QTest::newRow("group call off") << "cb6" << "关" << "0:14=FF";
    QTest::newRow("group call *") << "cb6" << "*" << "0:14=0B";
    QTest::newRow("auto reset off") << "cb7" << "关" << "0:15=00";
    QTest::newRow("auto reset 255") << "cb7" << "255" << "0:15=FF";
    QTest::newRow("call alarm off") << "cb8" << "关" << "0:16=00";
    QTest::newRow("call alarm normal") << "cb8" << "常规" << "0:16=01";
    QTest::newRow("auto answer alarm") << "cb9" << "告警" << "0:17=01";
    QTest::newRow("clear auto answer off") << "CheckB2" << "" << "0:18=00";
    QTest::newRow("memory 1") << "m1" << "*0#" << "1:0=AC0B0000";
    QTest::newRow("memory 2 lower-case") << "m2" << "abcd" << "1:4=F0DE0000 0:21=04";
    QTest::newRow("memory 3 filled") << "m3" << "7" << "1:8=07000000 0:22=01";
    QTest::newRow("memory 8 cleared") << "m8" << "" << "2:4=00000000 0:27=00";
    QTest::newRow("memory 9 with trailing D") << "m9" << "9D" << "2:8=90000000";
    QTest::newRow("memory 12") << "m12" << "1234" << "2:20=34120000";
    QTest::newRow("memory 16 cleared") << "m16" << "" << "3:12=00000000";
}

void TestDtmfWindow::editAndWrite()
{
    QFETCH(QString, target);
    QFETCH(QString, text);
    QFETCH(QString, changes);

    Rig rig;
    rig.Read();
    rig.Enter(target, text);
    CheckWriteSucceeds(rig, 5);
    const TRadioImage expected = WithChanges(SampleImage(), frame::kDtmfArea, changes);
    QVERIFY2(rig.radio.image() == expected, qPrintable(Differences(rig.radio.image(), expected)));
}

// Memories 9-16 included: without digit counts they still go back as they came.
void TestDtmfWindow::readThenWriteKeepsImage()
{
    Rig rig;
    rig.Read();
    CheckWriteSucceeds(rig, 5);
    QVERIFY2(rig.radio.image() == SampleImage(), qPrintable(Differences(rig.radio.image(), SampleImage())));

    // Four 34-byte frames with their check values, blocks 0 to 3.
    QByteArray frames;
    for (int block = 0; block < 4; ++block)
        frames += blockFrame(frame::kDtmfArea, block, SampleImage().block(frame::kDtmfArea, block));
    // After the backup's four read requests; then the verify's four.
    QCOMPARE(rig.channel->written().size(), 4 * 4 + 4 * 34 + 4 * 4);
    QCOMPARE(rig.channel->written().mid(4 * 4, frames.size()).toHex(' '), frames.toHex(' '));
}

void TestDtmfWindow::badInputSendsNothing_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    const QString digits = QStringLiteral("is not a DTMF code of up to 8 characters 0-9, A-D, *, #");
    QTest::newRow("rate above 255") << "cb1" << "256" << "DTMF速率: '256' is not in the range 0 to 255";
    QTest::newRow("rate negative") << "cb1" << "-1" << "DTMF速率: '-1' is not in the range 0 to 255";
    QTest::newRow("rate empty") << "cb1" << "" << "DTMF速率: '' is not a valid integer value";
    QTest::newRow("first digit time not tens") << "cb2" << "105"
                                               << "首位数码时间（毫秒）: '105' is not a multiple of 10 from 0 to 2550";
    QTest::newRow("first digit delay too long") << "cb3" << "2560"
                                                << "首位数码延迟（毫秒）: '2560' is not a multiple of 10 from 0 to 2550";
    QTest::newRow("star and hash time not a number") << "cb4" << "abc"
                                                     << "*和#音时间（毫秒）: 'abc' is not a valid integer value";
    QTest::newRow("D key not hundreds") << "cb5" << "1050"
                                        << "D键设定(毫秒): '1050' is not \"D码\" or a multiple of 100 from 0 to 25500";
    QTest::newRow("D key too long") << "cb5" << "25600"
                                    << "D键设定(毫秒): '25600' is not \"D码\" or a multiple of 100 from 0 to 25500";
    QTest::newRow("auto reset too long") << "cb7" << "256"
                                         << "自动复位定时器（秒）: '256' is not \"关\" or a number from 0 to 255";
    QTest::newRow("group call not a key") << "cb6" << "E" << "组呼码: 'E' is not one of 关, A, B, C, D, *, #";
    QTest::newRow("call alarm unknown") << "cb8" << "开" << "呼叫告警: '开' is not one of 关, 常规, 连续";
    QTest::newRow("auto answer unknown") << "cb9" << "开" << "自动应答: '开' is not one of 关, 告警, ID码";
    QTest::newRow("ID code letter") << "Edit1" << "12E4" << "ID码: '12E4' " + digits;
    QTest::newRow("memory letter") << "m5" << "12X4" << "DTMF编码 5 自动拨号存储器: '12X4' " + digits;
    QTest::newRow("memory 16 blank inside") << "m16" << "1 2" << "DTMF编码 16 自动拨号存储器: '1 2' " + digits;
}

void TestDtmfWindow::badInputSendsNothing()
{
    QFETCH(QString, target);
    QFETCH(QString, text);
    QFETCH(QString, message);

    Rig rig;
    rig.Enter(target, text);
    CheckWriteRefused(rig, message);
}

void TestDtmfWindow::emptyMemoryOpenedAndLeftGetsDefault_data()
{
    QTest::addColumn<int>("leaveKey");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Down") << int(Qt::Key_Down);
    QTest::newRow("Up") << int(Qt::Key_Up);
}

void TestDtmfWindow::emptyMemoryOpenedAndLeftGetsDefault()
{
    QFETCH(int, leaveKey);

    Rig rig;
    EditCell(rig.form->xg2(), TDtmfTexts::kMemoryColumn, 7, std::nullopt, leaveKey);
    QVERIFY(!rig.form->xg2()->ActiveEditor());
    QCOMPARE(rig.form->xg2()->Cells(1, 7), QStringLiteral("12345678"));
    QCOMPARE(rig.form->Texts().xg2().Cell(1, 7), QStringLiteral("12345678"));
    QCOMPARE(rig.form->xg2()->Cells(1, 6), QString());
    QCOMPARE(rig.form->xg2()->Cells(1, 8), QString());
}

void TestDtmfWindow::typedTextKeepsEightCharacters_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");

    QTest::newRow("memory, nine digits") << "m1" << "123456789" << "12345678";
    QTest::newRow("memory, twelve characters") << "m16" << "*#0123456789" << "*#012345";
    QTest::newRow("memory, eight") << "m9" << "ABCD*#01" << "ABCD*#01";
    QTest::newRow("ID code, nine digits") << "Edit1" << "123456789" << "12345678";
    // "^": the caret to the start, where a full box takes no more.
    QTest::newRow("ID code, a digit typed at the start") << "Edit1" << "12345678^9" << "12345678";
    QTest::newRow("ID code, shortened at the start") << "Edit1" << "12345678^\x7f" "5" << "52345678";
}

void TestDtmfWindow::typedTextKeepsEightCharacters()
{
    QFETCH(QString, target);
    QFETCH(QString, typed);
    QFETCH(QString, kept);

    Rig rig;
    rig.Enter(target, typed.section(QLatin1Char('^'), 0, 0));
    if (typed.contains(QLatin1Char('^'))) {
        QWidget *box = rig.form->Control(target);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Home);
        for (const QChar c : typed.section(QLatin1Char('^'), 1)) {
            if (c == QChar(0x7f))
                QTest::keyClick(box, Qt::Key_Delete);
            else
                QTest::keyClicks(box, QString(c));
        }
    }
    QCOMPARE(rig.Shown(target), kept);
    if (IsMemory(target))
        QCOMPARE(rig.form->Texts().xg2().Cell(1, target.mid(1).toInt()), kept);
    else
        QCOMPARE(rig.form->Texts().Controls().Text(target), kept);
}

void TestDtmfWindow::guardEndsSilentTransfer_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<bool>("realTime");  // wait the ten seconds, or fire the guard at once
    QTest::addColumn<QString>("message");

    QTest::newRow("read, ten seconds") << false << true << "读取失败：电台无应答";
    QTest::newRow("write, guard fired") << true << false << "写入失败：电台无应答";
}

// Meanwhile the unanswered frame is repeated.
void TestDtmfWindow::guardEndsSilentTransfer()
{
    QFETCH(bool, write);
    QFETCH(bool, realTime);
    QFETCH(QString, message);

    Rig rig;
    CheckGuardEndsTransfer(rig, write, QStringLiteral("silent"), realTime, -1, message);
}



void TestDtmfWindow::closingOnlyHides_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Close button") << false;
    QTest::newRow("title bar close box") << true;
}

void TestDtmfWindow::closingOnlyHides()
{
    QFETCH(bool, closeBox);

    Rig rig;
    rig.Enter(QStringLiteral("cb3"), QStringLiteral("350"));
    rig.Enter(QStringLiteral("m4"), QStringLiteral("4444"));
    rig.Enter(QStringLiteral("Edit1"), QStringLiteral("99"));
    CheckClosingOnlyHides(rig, closeBox);
    QCOMPARE(rig.Shown(QStringLiteral("cb3")), QStringLiteral("350"));
    QCOMPARE(rig.Shown(QStringLiteral("m4")), QStringLiteral("4444"));
    QCOMPARE(rig.Shown(QStringLiteral("Edit1")), QStringLiteral("99"));
    QCOMPARE(rig.form->Texts().Controls().Text(QStringLiteral("cb3")), QStringLiteral("350"));
}

QTEST_MAIN(TestDtmfWindow)
#include "tst_dtmfwindow.moc"
