// What the four signalling editors share, checked once for each of them.

#include "app/AppWindows.h"
#include "editors/DtmfWindow.h"
#include "editors/FiveToneWindow.h"
#include "editors/FskWindow.h"
#include "editors/TwoToneWindow.h"
#include "protocol/Areas.h"
#include "protocol/FactoryImage.h"
#include "support/core/AreaTexts.h"
#include "support/gui/EditorChecks.h"
#include "support/gui/EditorInput.h"
#include "support/gui/EditorRig.h"

#include <QtTest>

namespace {

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
void EndsEarly(EditorRig &rig, bool write, bool gone, int answered, const QString &expected)
{
    TSignallingWindow &window = rig.window();
    const int area = window.SignallingArea().Area();
    const int total = write ? static_cast<int>(window.SignallingArea().EncodeBlocks().size()) : AreaFacts(area).blockCount;
    int seen = 0;
    QObject::connect(rig.link.get(), &TProgramLink::Progressed, &window, [&](TransferKind, int, int answers) {
        seen = answers;
        if (!gone && answers == answered)
            rig.radio.faults().silent = true;
    });
    if (gone)
        rig.radio.faults().disappearAfter = answered;
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
    QCOMPARE(rig.messages.texts(), QStringList{expected.arg(answered).arg(total)});
    QCOMPARE(rig.link->IsPortOpen(), !gone);
}

}  // namespace

class TestEditorCommon : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { SetApplicationFont(); }
    void closeAbandonsTransfer_data();
    void closeAbandonsTransfer();
    void endsEarly_data();
    void endsEarly();
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

void TestEditorCommon::endsEarly_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<bool>("write");
    QTest::addColumn<bool>("gone");
    QTest::addColumn<int>("answered");
    QTest::addColumn<QString>("expected");  // %1 blocks done, %2 of all
    const QString portGone = QStringLiteral("端口 %1 已断开，").arg(kPort);
    for (const char *editor : {"DTMF", "two-tone", "five-tone", "FSK"}) {
        const auto add = [editor](const char *what, bool write, bool gone, int answered, const QString &expected) {
            QTest::addRow("%s %s", editor, what) << QString::fromLatin1(editor) << write << gone << answered << expected;
        };
        add("read, silent radio", false, false, 0, QStringLiteral("读取失败：电台无应答\n已读取 %1/%2 块"));
        add("write, silent after one", true, false, 1, QStringLiteral("写入失败：电台无应答\n已写入 %1/%2 块"));
        add("read, device gone after two", false, true, 2, portGone + QStringLiteral("已读取 %1/%2 块"));
        add("write, device gone after one", true, true, 1, portGone + QStringLiteral("已写入 %1/%2 块"));
    }
}

// All four editors alike: a transfer the radio stops answering ends with a message that says
// how far it got, and the window is ready again.
void TestEditorCommon::endsEarly()
{
    QFETCH(QString, editor);
    QFETCH(bool, write);
    QFETCH(bool, gone);
    QFETCH(int, answered);
    QFETCH(QString, expected);
    EndsEarly(*OpenEditorRig(editor, FactoryImage(), kPort), write, gone, answered, expected);
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
    QTest::addRow("DTMF write") << "DTMF" << true << 4 * 34;
    QTest::addRow("FSK read") << "FSK" << false << 3 * 4;
    QTest::addRow("FSK write") << "FSK" << true << 3 * 32;
}

void TestEditorCommon::transferOpensClosedPort()
{
    QFETCH(QString, editor);
    QFETCH(bool, write);
    QFETCH(int, bytesSent);
    CheckTransferOpensClosedPort(*OpenEditorRig(editor, FactoryImage(), kPort), write, kPort, bytesSent);
}

QTEST_MAIN(TestEditorCommon)
#include "tst_editorcommon.moc"
