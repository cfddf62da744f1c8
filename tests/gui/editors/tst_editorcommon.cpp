// What the four signalling editors share, checked once for each of them.

#include "app/AppWindows.h"
#include "backup/BackupStore.h"
#include "compare/BlockCompare.h"
#include "editors/DtmfWindow.h"
#include "editors/FiveToneWindow.h"
#include "editors/FskWindow.h"
#include "editors/TwoToneWindow.h"
#include "grid/XStringGrid.h"
#include "protocol/Areas.h"
#include "protocol/FactoryImage.h"
#include "support/core/AreaTexts.h"
#include "support/core/ImageChanges.h"
#include "support/gui/EditorChecks.h"
#include "support/gui/EditorInput.h"
#include "support/gui/EditorRig.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

namespace {

// Answers the window's next file dialog with that path.
void AnswerFileDialog(QWidget &window, const QString &path)
{
    QTimer::singleShot(0, &window, [&window, path] {
        auto *dialog = window.findChild<QFileDialog *>(QStringLiteral("TableDialog"));
        QVERIFY(dialog && dialog->isVisible());
        // The name box keeps the last choice of a reused dialog; the path replaces it.
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

const QString kPort = QStringLiteral("/dev/ttyUSB2");

// An edit made before the transfer (none for some editors), and a text it must keep.
struct Edit {
    QStringList steps;
    QString target;
};

// Close during a read or a write: the transfer ends, nothing more goes out, the window hides
// and keeps its texts, and a read afterwards runs as usual.
template <class Form>
void CloseAbandonsTransfer(bool write, const Edit &edit, bool waitForRepeat)
{
    WindowRig<Form> rig(FactoryImage(), kPort);
    QString failed;
    QVERIFY2(RunSteps(*rig.form, edit.steps, &failed), qPrintable(failed));
    const QString kept = TextOf(rig.form->Texts(), edit.target);
    CheckCloseAbandonsTransfer(rig, write, waitForRepeat);
    if (QTest::currentTestFailed())
        return;

    rig.form->show();
    QCOMPARE(TextOf(rig.form->Texts(), edit.target), kept);
    rig.Read();
    QVERIFY(rig.Idle());
}

// How an editor's transfer ends when the radio stops answering after `answered` answers:
// silent (the guard, ten seconds after the last answer) or gone (the device closes).
void EndsEarly(EditorRig &rig, bool write, bool readFirst, bool gone, int answered, const QString &expected)
{
    TSignallingWindow &window = rig.window();
    const int area = window.SignallingArea().Area();
    const int total = write && readFirst ? static_cast<int>(window.SignallingArea().EncodeBlocks().size())
                                         : AreaFacts(area).blockCount;
    int readFrames = 0;  // of a read of the area: the write's own backup read takes as many
    if (readFirst) {
        rig.Read();
        readFrames = rig.radio.framesHeard();
        rig.radio.reconnect();  // frames count from here
    }
    // After a read, the faults strike in the write itself, past its backup read.
    const bool inWrite = write && readFirst;
    int seen = 0;
    QObject::connect(rig.link.get(), &TProgramLink::Progressed, &window, [&](TransferKind kind, int, int answers) {
        if (inWrite && kind != TransferKind::AreaWrite)
            return;
        seen = answers;
        if (!gone && answers == answered)
            rig.radio.faults().silent = true;
    });
    if (gone)
        rig.radio.faults().disappearAfter = (inWrite ? readFrames : 0) + answered;
    else
        rig.radio.faults().silent = answered == 0;
    rig.ClickTransfer(write);
    if (!gone) {
        QTRY_COMPARE(seen, answered);
        QTest::qWait(2 * rig.link->ResendInterval());
        QCOMPARE(seen, answered);
        QVERIFY(rig.link->IsBusy());
        QVERIFY(window.Timer1().isActive());
        QVERIFY(QMetaObject::invokeMethod(&window.Timer1(), "timeout"));
    }
    QTRY_VERIFY_WITH_TIMEOUT(rig.Idle(), 2000);
    // A write's message ends with where its backup is.
    QCOMPARE(rig.messages.texts().size(), 1);
    const QString text = rig.messages.texts().first();
    const QString wanted = expected.arg(answered).arg(total);
    QVERIFY2(wanted.endsWith(QStringLiteral("：")) ? text.startsWith(wanted) : text == wanted, qPrintable(text));
    QCOMPARE(rig.link->IsPortOpen(), !gone);
}

}  // namespace

class TestEditorCommon : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { SetApplicationFont(); }
    void closeAbandonsTransfer_data();
    void closeAbandonsTransfer();
    void writeReadsItsOwnBackup_data();
    void writeReadsItsOwnBackup();
    void endsEarly_data();
    void endsEarly();
    void verifyAfterWrite_data();
    void verifyAfterWrite();
    void tableFileRoundTrip_data();
    void tableFileRoundTrip();
    void compareWithRadio_data();
    void compareWithRadio();
    void fileItemsTakeOpenCell_data();
    void fileItemsTakeOpenCell();
    void fileItemsWaitForTransfer_data();
    void fileItemsWaitForTransfer();
    void editDuringTransfer_data();
    void editDuringTransfer();
    void portThatCannotOpen_data();
    void portThatCannotOpen();
    void transferOpensClosedPort_data();
    void transferOpensClosedPort();
};

void TestEditorCommon::closeAbandonsTransfer_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<bool>("write");
    for (const char *editor : {"DTMF", "two-tone", "five-tone", "FSK"})
        for (const bool write : {false, true})
            QTest::addRow("%s %s", editor, write ? "write" : "read") << QString::fromLatin1(editor) << write;
}

void TestEditorCommon::closeAbandonsTransfer()
{
    QFETCH(QString, editor);
    QFETCH(bool, write);
    // The DTMF and FSK transfers are shown closing at once; the two-tone and five-tone ones
    // after an unanswered frame has been repeated.
    if (editor == QLatin1String("DTMF"))
        CloseAbandonsTransfer<TForm2>(write, {{}, "cb1"}, false);
    else if (editor == QLatin1String("two-tone"))
        CloseAbandonsTransfer<TForm4>(write, {{"box:ed5", "type:1234"}, "ed5"}, true);
    else if (editor == QLatin1String("five-tone"))
        CloseAbandonsTransfer<TForm5>(write, {{"cell:xg2:1,1", "type:321", "key:Enter"}, "xg2:1,1"}, true);
    else
        CloseAbandonsTransfer<TForm6>(write, {{}, "ed1"}, false);
}

void TestEditorCommon::writeReadsItsOwnBackup_data()
{
    QTest::addColumn<QString>("editor");
    for (const char *editor : {"DTMF", "two-tone", "five-tone", "FSK"})
        QTest::addRow("%s", editor) << QString::fromLatin1(editor);
}

// Read one radio, put another on the cable (nothing on the open port tells), write: the backup
// is the second radio's own, read by the write, not the first one's read.
void TestEditorCommon::writeReadsItsOwnBackup()
{
    QFETCH(QString, editor);
    const std::unique_ptr<EditorRig> rig = OpenEditorRig(editor, FactoryImage(), kPort);
    const int area = rig->window().SignallingArea().Area();
    const int first = AreaFacts(area).firstBlock;
    rig->Read();
    TRadioImage second = rig->radio.image();
    Block changed = second.block(area, first);
    changed[1] ^= 0x5A;
    second.setBlock(area, first, changed);
    rig->radio.setImage(second);
    rig->ClickWrite();
    QTRY_VERIFY_WITH_TIMEOUT(rig->Idle(), 5000);
    QCOMPARE(rig->messages.texts(), QStringList{QStringLiteral("写入成功")});
    const QList<TBackupEntry> backups = TBackupStore().List();
    QVERIFY(backups.size() >= 2);
    const std::optional<TRadioImage> backup = TRadioImage::load(backups.first().path, nullptr);
    QVERIFY(backup);
    QCOMPARE(backup->block(area, first), changed);
}

void TestEditorCommon::endsEarly_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<bool>("write");
    QTest::addColumn<bool>("readFirst");  // a write's faults then strike past its own backup read
    QTest::addColumn<bool>("gone");
    QTest::addColumn<int>("answered");
    QTest::addColumn<QString>("expected");  // %1 blocks done, %2 of all
    const QString portGone = QStringLiteral("端口 %1 已断开，").arg(kPort);
    for (const char *editor : {"DTMF", "two-tone", "five-tone", "FSK"}) {
        const auto add = [editor](const char *what, bool write, bool readFirst, bool gone, int answered, const QString &expected) {
            QTest::addRow("%s %s", editor, what) << QString::fromLatin1(editor) << write << readFirst << gone << answered << expected;
        };
        const QString backup = QStringLiteral("\n写入前的备份：");
        add("read, silent radio", false, false, false, 0, QStringLiteral("读取失败：电台无应答\n已读取 %1/%2 块"));
        add("write, silent after one", true, true, false, 1, QStringLiteral("写入失败：电台无应答\n已写入 %1/%2 块") + backup);
        add("write, silent in its backup read", true, false, false, 1, QStringLiteral("写入失败：电台无应答\n已读取 %1/%2 块，未写入"));
        add("read, device gone after two", false, false, true, 2, portGone + QStringLiteral("已读取 %1/%2 块"));
        add("write, device gone after one", true, true, true, 1, portGone + QStringLiteral("已写入 %1/%2 块") + backup);
    }
}

// All four editors alike: a transfer the radio stops answering ends with a message that says
// how far it got, and the window is ready again.
void TestEditorCommon::endsEarly()
{
    QFETCH(QString, editor);
    QFETCH(bool, write);
    QFETCH(bool, readFirst);
    QFETCH(bool, gone);
    QFETCH(int, answered);
    QFETCH(QString, expected);
    EndsEarly(*OpenEditorRig(editor, FactoryImage(), kPort), write, readFirst, gone, answered, expected);
}

void TestEditorCommon::portThatCannotOpen_data()
{
    closeAbandonsTransfer_data();
}

void TestEditorCommon::portThatCannotOpen()
{
    QFETCH(QString, editor);
    QFETCH(bool, write);
    CheckPortThatCannotOpen(editor, write, kPort);
}

// The DTMF and FSK windows (the others' transfers are checked frame by frame in their own
// tests): the bytes sent are the read requests or the written blocks.
void TestEditorCommon::transferOpensClosedPort_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("bytesSent");
    QTest::addRow("DTMF read") << "DTMF" << false << 4 * 4;
    // A write reads its backup first and verifies after: two reads around the blocks.
    QTest::addRow("DTMF write") << "DTMF" << true << 2 * 4 * 4 + 4 * 34;
    QTest::addRow("FSK read") << "FSK" << false << 3 * 4;
    QTest::addRow("FSK write") << "FSK" << true << 2 * 3 * 4 + 3 * 32;
}

void TestEditorCommon::transferOpensClosedPort()
{
    QFETCH(QString, editor);
    QFETCH(bool, write);
    QFETCH(int, bytesSent);
    CheckTransferOpensClosedPort(*OpenEditorRig(editor, FactoryImage(), kPort), write, kPort, bytesSent);
}

void TestEditorCommon::verifyAfterWrite_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("verify");
    for (const char *editor : {"DTMF", "two-tone", "five-tone", "FSK"}) {
        QTest::addRow("%s stored as sent", editor) << QString::fromLatin1(editor) << QString() << true;
        QTest::addRow("%s block 1 stored wrong", editor) << QString::fromLatin1(editor) << QStringLiteral("corrupt=2") << true;
        QTest::addRow("%s verify off", editor) << QString::fromLatin1(editor) << QStringLiteral("corrupt=2") << false;
    }
}

// Each editor reads back what it wrote and names the block that came back different.
void TestEditorCommon::verifyAfterWrite()
{
    QFETCH(QString, editor);
    QFETCH(QString, fault);
    QFETCH(bool, verify);
    QSettings().setValue(QStringLiteral("write/verify"), verify);
    const auto forget = qScopeGuard([] { QSettings().remove(QStringLiteral("write/verify")); });
    const std::unique_ptr<EditorRig> rig = OpenEditorRig(editor, FactoryImage(), kPort);
    const int area = rig->window().SignallingArea().Area();
    rig->Read();
    if (!fault.isEmpty())
        QVERIFY(rig->radio.faults().add(fault, nullptr));
    rig->ClickWrite();
    QTRY_VERIFY_WITH_TIMEOUT(rig->Idle(), 5000);
    QCOMPARE(rig->messages.texts().size(), 1);
    const QStringList lines = rig->messages.texts().first().split(QLatin1Char('\n'));
    if (fault.isEmpty() || !verify) {
        QCOMPARE(lines, QStringList{QStringLiteral("写入成功")});
        return;
    }
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), QStringLiteral("写入校验失败"));
    QVERIFY2(lines.at(1).startsWith(BlockName(area, 1, TLanguage::Chinese)), qPrintable(lines.at(1)));
    QVERIFY(lines.at(2).startsWith(QStringLiteral("写入前的备份：")));
}

void TestEditorCommon::tableFileRoundTrip_data()
{
    QTest::addColumn<QString>("editor");
    for (const char *editor : {"DTMF", "two-tone", "five-tone", "FSK"})
        QTest::addRow("%s", editor) << QString::fromLatin1(editor);
}

// The table saved by one run, opened in a fresh one and written: the radio holds exactly the
// saved blocks. A file without the whole area is refused and changes nothing.
void TestEditorCommon::tableFileRoundTrip()
{
    QFETCH(QString, editor);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("table.img"));
    int area = -1;
    {
        const std::unique_ptr<EditorRig> first = OpenEditorRig(editor, FactoryImage(), kPort);
        area = first->window().SignallingArea().Area();
        first->Read();
        AnswerFileDialog(first->window(), path);
        first->window().findChild<QAction *>(QStringLiteral("SaveTable"))->trigger();
        QVERIFY2(first->messages.texts().isEmpty(), qPrintable(first->messages.texts().join('\n')));
    }
    QString error;
    const std::optional<TRadioImage> saved = TRadioImage::load(path, &error);
    QVERIFY2(saved, qPrintable(error));
    QCOMPARE(saved->contentsId(), QString::fromUtf8(AreaFacts(area).id));

    const TRadioImage blank;  // every signalling block zero
    QVERIFY(saved->restrictedTo(*saved) != blank.restrictedTo(*saved));
    const std::unique_ptr<EditorRig> fresh = OpenEditorRig(editor, blank, kPort);
    const QString partial = folder.filePath(QStringLiteral("partial.img"));
    TRadioImage part = TRadioImage::None();
    part.setBlock(area, AreaFacts(area).firstBlock, saved->block(area, AreaFacts(area).firstBlock));
    QVERIFY(part.save(partial, &error));
    const std::vector<Block> before = fresh->window().SignallingArea().EncodeBlocks();
    AnswerFileDialog(fresh->window(), partial);
    fresh->window().findChild<QAction *>(QStringLiteral("OpenTable"))->trigger();
    QCOMPARE(fresh->messages.texts().size(), 1);
    QVERIFY(fresh->window().SignallingArea().EncodeBlocks() == before);
    // A pipe no program writes to is refused before it is opened, which would hang every window.
    const QString pipe = folder.filePath(QStringLiteral("pipe.img"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    AnswerFileDialog(fresh->window(), pipe);
    fresh->window().findChild<QAction *>(QStringLiteral("OpenTable"))->trigger();
    QCOMPARE(fresh->messages.texts().size(), 2);
    QVERIFY(fresh->messages.texts().last().startsWith(pipe + QStringLiteral(" 不是普通文件")));

    fresh->messages.messages.clear();
    AnswerFileDialog(fresh->window(), path);
    fresh->window().findChild<QAction *>(QStringLiteral("OpenTable"))->trigger();
    fresh->ClickWrite();
    QTRY_VERIFY_WITH_TIMEOUT(fresh->Idle(), 5000);
    QVERIFY2(fresh->messages.texts() == QStringList{QStringLiteral("写入成功")}, qPrintable(fresh->messages.texts().join(QLatin1Char('|'))));
    QCOMPARE(Differences(fresh->radio.image().restrictedTo(*saved), *saved), QString());
}

void TestEditorCommon::compareWithRadio_data()
{
    tableFileRoundTrip_data();
}

// 与电台比较 reads the radio's table and lists where it differs from the window's, which keeps
// its texts; nothing is written.
void TestEditorCommon::compareWithRadio()
{
    QFETCH(QString, editor);
    const std::unique_ptr<EditorRig> rig = OpenEditorRig(editor, FactoryImage(), kPort);
    rig->Read();
    if (editor == QLatin1String("five-tone")) {
        // The standard chosen to look at its frequencies, and the reset time, are not the radio's.
        QString failed;
        QVERIFY2(RunSteps(rig->window(), {"box:CCIR", "type:EIA", "box:ed1", "type:7"}, &failed), qPrintable(failed));
        QCOMPARE(qobject_cast<QLineEdit *>(rig->window().findChild<QWidget *>(QStringLiteral("Edit1")))->text(),
                 QStringLiteral("600.0"));
        QVERIFY(!rig->window().HasUnsavedChanges());
    }
    QAction *compare = rig->window().findChild<QAction *>(QStringLiteral("CompareTable"));
    compare->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(rig->Idle(), 5000);
    QCOMPARE(rig->messages.texts(), QStringList{QStringLiteral("窗口与电台相同")});

    rig->messages.messages.clear();
    const std::vector<Block> window = rig->window().SignallingArea().EncodeBlocks();
    rig->radio.setImage(TRadioImage());
    compare->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(rig->Idle(), 5000);
    QCOMPARE(rig->messages.texts().size(), 1);
    const QStringList lines = rig->messages.texts().first().split(QLatin1Char('\n'));
    QVERIFY2(lines.size() > 1 && lines.first().startsWith(QStringLiteral("窗口与电台有 %1 处不同").arg(lines.size() - 1)),
             qPrintable(lines.join('|')));
    QVERIFY(lines.at(1).contains(QStringLiteral(" → ")));
    QVERIFY(rig->window().SignallingArea().EncodeBlocks() == window);
    QVERIFY(!rig->channel->written().contains('W'));
}

void TestEditorCommon::fileItemsTakeOpenCell_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("item");
    const struct {
        const char *editor, *cell, *text;
    } cells[] = {{"DTMF", "xg2:1,3", "123"}, {"two-tone", "xg1:1,5", "1234"}, {"five-tone", "xg1:1,5", "255"},
                 {"FSK", "xg1:1,3", "300"}};
    for (const auto &c : cells)
        for (const char *item : {"SaveTable", "CompareTable"})
            QTest::addRow("%s %s", c.editor, item) << c.editor << c.cell << c.text << item;
}

// The 文件 button takes no focus, so a cell being typed in is still open when its items run:
// they take the typed text as entered.
void TestEditorCommon::fileItemsTakeOpenCell()
{
    QFETCH(QString, editor);
    QFETCH(QString, cell);
    QFETCH(QString, text);
    QFETCH(QString, item);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("table.img"));
    const std::unique_ptr<EditorRig> rig = OpenEditorRig(editor, FactoryImage(), kPort);
    rig->Read();
    const std::vector<Block> read = rig->window().SignallingArea().EncodeBlocks();
    QString failed;
    QVERIFY2(RunSteps(rig->window(), {QStringLiteral("cell:") + cell, QStringLiteral("type:") + text}, &failed),
             qPrintable(failed));
    QVERIFY(rig->window().Grid(cell.section(QLatin1Char(':'), 0, 0))->ActiveEditor());

    if (item == QLatin1String("SaveTable"))
        AnswerFileDialog(rig->window(), path);
    rig->window().findChild<QAction *>(item)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(rig->Idle(), 5000);
    const std::vector<Block> window = rig->window().SignallingArea().EncodeBlocks();
    QVERIFY(window != read);
    if (item == QLatin1String("SaveTable")) {
        QString error;
        const std::optional<TRadioImage> saved = TRadioImage::load(path, &error);
        QVERIFY2(saved, qPrintable(error));
        const int area = rig->window().SignallingArea().Area();
        for (std::size_t i = 0; i < window.size(); ++i)
            QCOMPARE(saved->block(area, AreaFacts(area).firstBlock + static_cast<int>(i)), window[i]);
        QVERIFY(rig->messages.texts().isEmpty());
    } else {
        QCOMPARE(rig->messages.texts().size(), 1);
        QVERIFY2(rig->messages.texts().first().startsWith(QStringLiteral("窗口与电台有 1 处不同")),
                 qPrintable(rig->messages.texts().first()));
    }
}

void TestEditorCommon::fileItemsWaitForTransfer_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("item");
    for (const char *editor : {"DTMF", "two-tone", "five-tone", "FSK"})
        for (const char *item : {"OpenTable", "CompareTable"})
            QTest::addRow("%s %s", editor, item) << editor << item;
}

// While the window's read runs, opening or comparing a table waits: the rest of the read would
// fill the table it opened, or turn the compare into a read.
void TestEditorCommon::fileItemsWaitForTransfer()
{
    QFETCH(QString, editor);
    QFETCH(QString, item);
    const std::unique_ptr<EditorRig> rig = OpenEditorRig(editor, FactoryImage(), kPort);
    rig->radio.faults().silent = true;
    rig->ClickRead();
    QVERIFY(rig->link->IsBusy());
    QAction *action = rig->window().findChild<QAction *>(item);
    QVERIFY(!action->isEnabled());

    rig->radio.faults().silent = false;
    rig->ClickClose();
    QTRY_VERIFY(rig->Idle());
    QVERIFY(action->isEnabled());
}

void TestEditorCommon::editDuringTransfer_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("write");
    QTest::addColumn<bool>("undoFirst");  // Ctrl+Z (the read before) ahead of the typing: as many steps as before
    const struct {
        const char *editor, *box;
    } boxes[] = {{"DTMF", "cb1"}, {"two-tone", "ed5"}, {"five-tone", "cb1"}, {"FSK", "ed1"}};
    // The FSK area's write is never resent, so a silent radio ends it; its read is here.
    for (const auto &b : boxes)
        for (const bool write : {false, true})
            if (!write || QLatin1String(b.editor) != QLatin1String("FSK"))
                QTest::addRow("%s %s", b.editor, write ? "write" : "read") << b.editor << b.box << write << false;
    QTest::addRow("FSK read, undo then type") << "FSK" << "ed1" << false << true;
}

// A box typed in while the window's read or write runs holds a text the radio did not get:
// the table still counts as changed when the transfer ends well, and so does every state undo
// goes back to (the one of the read before is not what a write left in the radio).
void TestEditorCommon::editDuringTransfer()
{
    QFETCH(QString, editor);
    QFETCH(QString, box);
    QFETCH(bool, write);
    QFETCH(bool, undoFirst);
    const std::unique_ptr<EditorRig> rig = OpenEditorRig(editor, FactoryImage(), kPort);
    rig->Read();  // a write then has its backup and goes out at once
    QVERIFY(!rig->window().HasUnsavedChanges());
    QString failed;
    if (!undoFirst)
        QVERIFY2(RunSteps(rig->window(), {QStringLiteral("box:") + box, QStringLiteral("type:20")}, &failed), qPrintable(failed));
    rig->radio.faults().silent = true;
    rig->ClickTransfer(write);
    QVERIFY(rig->link->IsBusy());
    if (undoFirst)
        rig->window().findChild<QAction *>(QStringLiteral("Undo1"))->trigger();
    QVERIFY2(RunSteps(rig->window(), {QStringLiteral("box:") + box, QStringLiteral("type:1")}, &failed), qPrintable(failed));
    rig->radio.faults().silent = false;
    QTRY_VERIFY_WITH_TIMEOUT(rig->Idle(), 10000);
    QCOMPARE(rig->messages.texts(), write ? QStringList{"写入成功"} : QStringList{});
    QVERIFY(rig->window().HasUnsavedChanges());
    QAction *undo = rig->window().findChild<QAction *>(QStringLiteral("Undo1"));
    for (int steps = 0; undo->isEnabled() && steps < 20; ++steps) {
        undo->trigger();
        QVERIFY2(rig->window().HasUnsavedChanges(), qPrintable(QString::number(steps)));
    }
}

QTEST_MAIN(TestEditorCommon)
#include "tst_editorcommon.moc"
