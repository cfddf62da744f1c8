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
template <class Form>
void EndsEarly(bool write, bool gone, int answered, const QString &expected)
{
    WindowRig<Form> rig(FactoryImage(), kPort);
    const int area = rig.form->SignallingArea().Area();
    const int total = write ? static_cast<int>(rig.form->SignallingArea().EncodeBlocks().size()) : AreaFacts(area).blockCount;
    if (gone)
        rig.radio.faults().disappearAfter = answered;
    else if (answered == 0)
        rig.radio.faults().silent = true;
    else
        QObject::connect(rig.link.get(), &TProgramLink::Progressed, rig.form, [&rig, answered](TransferKind, int, int answers) {
            if (answers == answered)
                rig.radio.faults().silent = true;
        });
    rig.ClickTransfer(write);
    if (!gone) {
        // Each answer starts the ten seconds again.
        QTRY_VERIFY(rig.link->IsResending());
        QVERIFY(rig.form->Timer1().remainingTime() > 9000 - rig.link->ResendInterval());
        QVERIFY(QMetaObject::invokeMethod(&rig.form->Timer1(), "timeout"));
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
    if (editor == QLatin1String("DTMF"))
        EndsEarly<TForm2>(write, gone, answered, expected);
    else if (editor == QLatin1String("two-tone"))
        EndsEarly<TForm4>(write, gone, answered, expected);
    else if (editor == QLatin1String("five-tone"))
        EndsEarly<TForm5>(write, gone, answered, expected);
    else
        EndsEarly<TForm6>(write, gone, answered, expected);
}

QTEST_MAIN(TestEditorCommon)
#include "tst_editorcommon.moc"
