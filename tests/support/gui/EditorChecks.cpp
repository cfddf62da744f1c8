#include "support/gui/EditorChecks.h"

#include "backup/SafeWrite.h"
#include "editors/SignallingWindow.h"
#include "grid/XStringGrid.h"
#include "support/core/ImageChanges.h"
#include "support/gui/EditorInput.h"
#include "support/gui/WindowLayout.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>

namespace {

using Messages = QList<QPair<MessageKind, QString>>;

void ExpectNoLayoutProblems(const TSignallingWindow &window)
{
    const QStringList problems = LayoutProblems(&window);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void ClickTab(QTabWidget *pages, int index)
{
    QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(index).center());
    QCOMPARE(pages->currentIndex(), index);
}

}  // namespace

void AddTransferRows()
{
    QTest::addColumn<bool>("write");
    QTest::newRow("read") << false;
    QTest::newRow("write") << true;
}

void CheckEditorFrame(TSignallingWindow &window)
{
    QCOMPARE(window.windowTitle(), QStringLiteral("对讲机写频软件"));
    QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(window.rbtn()->text(), QStringLiteral("读取"));
    QCOMPARE(window.wbtn()->text(), QStringLiteral("写入"));
    QCOMPARE(window.Button3()->text(), QStringLiteral("关闭"));
    QVERIFY(window.rbtn()->x() < window.wbtn()->x() && window.wbtn()->x() < window.Button3()->x());
    QVERIFY(window.ProgressBar1()->isHidden());
    QCOMPARE(window.Timer1().interval(), 10000);
    QVERIFY(!window.Timer1().isActive());
}

void CheckEditorLayout(TSignallingWindow &window, const QStringList &scrollingGrids)
{
    ExpectNoLayoutProblems(window);
    if (QTabWidget *pages = window.PageControl1()) {
        for (int page = 0; page < pages->count(); ++page) {
            ClickTab(pages, page);
            ExpectNoLayoutProblems(window);
        }
    }
    window.ProgressBar1()->show();  // as during a transfer
    ExpectNoLayoutProblems(window);
    window.ProgressBar1()->hide();

    // Smaller than its controls (a scaled screen), the window scrolls every one into reach.
    const QSize designed = window.size();
    window.resize(300, 200);
    const QStringList unreachable = UnreachableControls(&window);
    window.resize(designed);
    QVERIFY2(unreachable.isEmpty(), qPrintable(unreachable.join(QLatin1String(", "))));

    for (TXStringGrid *grid : window.findChildren<TXStringGrid *>()) {
        ShowPageOf(grid);
        QTRY_VERIFY(grid->isVisible());
        const QStringList cells = GridProblems(grid);
        QVERIFY2(cells.isEmpty(), qPrintable(cells.join(QLatin1String("; "))));
        if (!scrollingGrids.contains(grid->objectName()))
            QVERIFY2(!grid->verticalScrollBar()->isVisible(), qPrintable(grid->objectName()));
        QVERIFY2(!grid->horizontalScrollBar()->isVisible(), qPrintable(grid->objectName()));
    }
}

void SaveEditorScreenshots(EditorRig &rig, const QString &prefix)
{
    if (qEnvironmentVariableIsEmpty("XIEPIN_SCREENSHOTS"))
        QSKIP("set XIEPIN_SCREENSHOTS to a directory to get pictures of the window");
    TSignallingWindow &window = rig.window();
    rig.Read();
    if (QTabWidget *pages = window.PageControl1()) {
        for (int page = 0; page < pages->count(); ++page) {
            ClickTab(pages, page);
            QVERIFY(SaveScreenshot(&window, QStringLiteral("%1-page%2").arg(prefix).arg(page + 1)));
        }
    } else {
        QVERIFY(SaveScreenshot(&window, prefix + QStringLiteral("-read")));
    }
    rig.radio.faults().silent = true;
    rig.ClickRead();
    QVERIFY(SaveScreenshot(&window, prefix + QStringLiteral("-reading")));
    rig.ClickClose();
}

void CheckWriteRefused(EditorRig &rig, const QString &message)
{
    const TRadioImage before = rig.radio.image();
    rig.ClickWrite();
    QCOMPARE(rig.messages.messages, Messages({{MessageKind::Error, message}}));
    QTest::qWait(50);
    QVERIFY(rig.Idle());
    QVERIFY(!rig.link->IsPortOpen());  // checked before the port was even opened
    QCOMPARE(rig.channel->opens(), 0);
    QCOMPARE(rig.channel->written(), QByteArray());
    QCOMPARE(rig.radio.image(), before);
}

void CheckCloseAbandonsTransfer(EditorRig &rig, bool write, bool waitForRepeat)
{
    rig.radio.faults().silent = true;
    rig.ClickTransfer(write);
    if (waitForRepeat)
        QTRY_VERIFY(rig.frames().size() >= 2);
    QVERIFY(rig.link->IsBusy());

    rig.ClickClose();
    QVERIFY(rig.window().isHidden());
    QVERIFY(rig.Idle());
    QVERIFY(!rig.link->IsResending());
    const int sent = rig.channel->writes().size();
    QTest::qWait(3 * rig.link->ResendInterval() + 100);
    QCOMPARE(rig.channel->writes().size(), sent);
    QVERIFY(rig.messages.messages.isEmpty());
    rig.radio.faults().silent = false;
}

void CheckGuardEndsTransfer(EditorRig &rig, bool write, const QString &fault, bool realTime, int sentBefore,
                            const QString &message)
{
    if (write)
        rig.Read();
    QString error;
    QElapsedTimer clock;
    if (write) {
        // The fault strikes once the write's own backup read is done; bytes count from there.
        auto *safeWrite = rig.window().findChild<TSafeWrite *>();
        QVERIFY(safeWrite);
        QObject::connect(safeWrite, &TSafeWrite::PhaseChanged, &rig.window(), [&rig, &clock, fault](TSafeWrite::Phase phase) {
            if (phase != TSafeWrite::Phase::Write)
                return;
            rig.channel->clearWrites();
            QVERIFY(rig.radio.faults().add(fault, nullptr));
            clock.start();
        });
    } else {
        QVERIFY2(rig.radio.faults().add(fault, &error), qPrintable(error));
    }
    clock.start();
    rig.ClickTransfer(write);
    if (write)
        QTRY_VERIFY(rig.window().findChild<TSafeWrite *>()->CurrentPhase() == TSafeWrite::Phase::Write);
    QVERIFY(rig.window().Timer1().isActive());
    QVERIFY(rig.window().Timer1().remainingTime() > 9000);
    if (sentBefore >= 0) {
        QTest::qWait(3 * rig.link->ResendInterval());
        QCOMPARE(rig.channel->written().size(), sentBefore);
    } else {
        QTRY_VERIFY(rig.channel->writes().size() > (write ? 34 : 4));
    }
    QVERIFY(rig.link->IsBusy());
    QVERIFY(rig.messages.messages.isEmpty());

    if (realTime) {
        QTRY_VERIFY_WITH_TIMEOUT(!rig.link->IsBusy(), 13000);
        QVERIFY2(clock.elapsed() >= 9900, qPrintable(QString::number(clock.elapsed())));
    } else {
        QVERIFY(QMetaObject::invokeMethod(&rig.window().Timer1(), "timeout"));
    }
    QVERIFY(rig.Idle());
    // The first line; how far it got follows (checked for all editors alike elsewhere).
    QCOMPARE(rig.messages.messages.size(), 1);
    QCOMPARE(rig.messages.messages.first().first, MessageKind::Error);
    QCOMPARE(rig.messages.messages.first().second.section(QLatin1Char('\n'), 0, 0), message);
    const int sent = rig.channel->writes().size();
    QTest::qWait(3 * rig.link->ResendInterval() + 100);
    QCOMPARE(rig.channel->writes().size(), sent);
    QCOMPARE(rig.messages.messages.size(), 1);
}

void CheckTransferShows(TSignallingWindow &window, int progressMaximum)
{
    QVERIFY(!window.wbtn()->isEnabled());
    QVERIFY(!window.rbtn()->isEnabled());
    QVERIFY(window.ProgressBar1()->isVisible());
    QCOMPARE(window.ProgressBar1()->minimum(), 0);
    QCOMPARE(window.ProgressBar1()->maximum(), progressMaximum);
    QCOMPARE(window.ProgressBar1()->value(), 1);
    QVERIFY(window.Timer1().isActive());
}

void CheckReadOnClosedPort(EditorRig &rig, const QString &portName, int progressMaximum)
{
    QVERIFY(!rig.link->IsPortOpen());
    rig.ClickRead();
    QCOMPARE(rig.channel->opens(), 1);
    QCOMPARE(rig.channel->CommName(), portName);
    CheckTransferShows(rig.window(), progressMaximum);
    QTRY_VERIFY(rig.Idle());
    QVERIFY(rig.messages.messages.isEmpty());
    QVERIFY(rig.link->IsPortOpen());
}

void CheckWriteSucceeds(EditorRig &rig, int progressMaximum)
{
    rig.ClickWrite();
    CheckTransferShows(rig.window(), progressMaximum);
    QTRY_VERIFY(rig.Idle());
    QCOMPARE(rig.messages.messages, Messages({{MessageKind::Information, QStringLiteral("写入成功")}}));
}

void CheckStepsChangeBytes(EditorRig &rig, const QStringList &steps, const QStringList &changed,
                           const QByteArray &bytes, int progressMaximum)
{
    const TRadioImage before = rig.radio.image();
    rig.Read();
    QString failed;
    QVERIFY2(RunSteps(rig.window(), steps, &failed), qPrintable(failed));
    CheckWriteSucceeds(rig, progressMaximum);

    const TRadioImage &after = rig.radio.image();
    QCOMPARE(ChangedBytes(before, after), changed);
    const QByteArray expected = QByteArray::fromHex(bytes);
    for (int i = 0; i < changed.size(); ++i) {
        const QStringList at = changed[i].split(QLatin1Char('/'));
        QCOMPARE(after.block(at[0].toInt(), at[1].toInt())[at[2].toUInt()], std::uint8_t(expected[i]));
    }
}

void CheckTransferOpensClosedPort(EditorRig &rig, bool write, const QString &portName, int bytesSent)
{
    QVERIFY(!rig.link->IsPortOpen());
    rig.ClickTransfer(write);
    QCOMPARE(rig.channel->opens(), 1);
    QCOMPARE(rig.channel->CommName(), portName);
    QTRY_VERIFY(rig.Idle());
    QVERIFY(rig.link->IsPortOpen());  // stays open for the next transfer
    QCOMPARE(rig.messages.texts(), write ? QStringList{QStringLiteral("写入成功")} : QStringList());
    QCOMPARE(rig.channel->written().size(), bytesSent);
}

void CheckClosingOnlyHides(EditorRig &rig, bool closeBox)
{
    QPointer<TSignallingWindow> window = &rig.window();
    if (closeBox)
        QVERIFY(window->close());
    else
        rig.ClickClose();
    QVERIFY(window->isHidden());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window);
    window->show();
}

void CheckPortThatCannotOpen(const QString &kind, bool write, const QString &portName)
{
    auto port = std::make_unique<FakeChannel>();
    port->SetOpenError(QStringLiteral("Error opening serial port"));
    const std::unique_ptr<EditorRig> rig = OpenEditorRig(kind, std::move(port), portName);
    rig->ClickTransfer(write);
    using Messages = QList<QPair<MessageKind, QString>>;
    QCOMPARE(rig->messages.messages, Messages({{MessageKind::Error, QStringLiteral("Error opening serial port")}}));
    QCOMPARE(rig->fake->CommName(), portName);
    QCOMPARE(rig->fake->writeCount(), 0);
    QVERIFY(rig->Idle());
    QVERIFY(!rig->link->IsPortOpen());
}
