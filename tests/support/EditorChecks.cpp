#include "support/EditorChecks.h"

#include "grid/XStringGrid.h"
#include "signalling/SignallingWindow.h"
#include "support/EditorInput.h"
#include "support/WindowLayout.h"

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

void CheckGuardEnded(EditorRig &rig, const QString &message)
{
    QVERIFY(rig.Idle());
    QCOMPARE(rig.messages.messages, Messages({{MessageKind::Error, message}}));
    const int sent = rig.channel->writes().size();
    QTest::qWait(3 * rig.link->ResendInterval() + 100);
    QCOMPARE(rig.channel->writes().size(), sent);
    QCOMPARE(rig.messages.messages.size(), 1);
}

void CheckGuardOnlyStopsItself(EditorRig &rig)
{
    TSignallingWindow &window = rig.window();
    rig.radio.faults().silent = true;
    window.Timer1().setInterval(100);
    rig.ClickRead();
    QVERIFY(window.Timer1().isActive());
    QTRY_VERIFY(!window.Timer1().isActive());
    QTest::qWait(2 * rig.link->ResendInterval());
    QVERIFY(rig.link->IsResending());
    QVERIFY(!window.rbtn()->isEnabled());
    QVERIFY(window.ProgressBar1()->isVisible());
    QVERIFY(rig.messages.messages.isEmpty());
    rig.ClickClose();
    QVERIFY(!rig.link->IsBusy());
}
