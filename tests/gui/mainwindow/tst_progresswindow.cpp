#include "mainwindow/ProgressWindow.h"

#include "app/AppWindows.h"
#include "support/gui/WindowLayout.h"

#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestProgressWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void layout();
    void progressBar();
    void buttonsReport_data();
    void buttonsReport();
    void showsBesideMainWindow();
};

void TestProgressWindow::initTestCase()
{
    SetApplicationFont();
}

void TestProgressWindow::layout()
{
    TForm3 form;
    QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(form.size(), QSize(580, 100));
    QCOMPARE(form.ProgressBar1()->geometry(), QRect(43, 19, 510, 30));
    QCOMPARE(form.Button1()->geometry(), QRect(120, 59, 121, 33));
    QCOMPARE(form.Button2()->geometry(), QRect(336, 59, 121, 33));
    QCOMPARE(form.Button1()->text(), QStringLiteral("重试"));
    QCOMPARE(form.Button2()->text(), QStringLiteral("取消"));
    QCOMPARE(form.findChild<QPushButton *>(QStringLiteral("Button1")), form.Button1());
    QCOMPARE(form.findChild<QProgressBar *>(QStringLiteral("ProgressBar1")), form.ProgressBar1());
    QVERIFY(!form.isVisible());

    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(!form.ProgressBar1()->isVisible());  // until a transfer shows it
    form.ProgressBar1()->show();  // as during a transfer
    const QStringList problems = LayoutProblems(&form);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    form.ProgressBar1()->hide();
    // Cancel comes before Retry in tab order.
    form.Button2()->setFocus();
    QCOMPARE(form.Button2()->nextInFocusChain(), form.Button1());
}

void TestProgressWindow::progressBar()
{
    TForm3 form;
    form.ShowAt(QPoint(10, 20));
    form.ShowProgress(17, 0);
    QVERIFY(form.ProgressBar1()->isVisible());
    QCOMPARE(form.ProgressBar1()->minimum(), 0);
    QCOMPARE(form.ProgressBar1()->maximum(), 17);
    QCOMPARE(form.ProgressBar1()->value(), 0);
    form.SetProgressPosition(5);
    QCOMPARE(form.ProgressBar1()->value(), 5);
    for (int i = 0; i < 20; ++i)
        form.StepProgress();
    QCOMPARE(form.ProgressBar1()->value(), 17);  // stays at its maximum
    form.HideProgress();
    QVERIFY(!form.ProgressBar1()->isVisible());
    QVERIFY(form.isVisible());
}

void TestProgressWindow::buttonsReport_data()
{
    QTest::addColumn<bool>("retry");
    QTest::addRow("Retry") << true;
    QTest::addRow("Cancel") << false;
}

void TestProgressWindow::buttonsReport()
{
    QFETCH(bool, retry);
    TForm3 form;
    QSignalSpy retried(&form, &TForm3::RetryClicked);
    QSignalSpy cancelled(&form, &TForm3::CancelClicked);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(retry ? form.Button1() : form.Button2(), Qt::LeftButton);
    QCOMPARE(retried.size(), retry ? 1 : 0);
    QCOMPARE(cancelled.size(), retry ? 0 : 1);
}

void TestProgressWindow::showsBesideMainWindow()
{
    QWidget mainWindow;
    mainWindow.resize(400, 300);
    mainWindow.move(100, 80);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    TForm3 form;
    form.ShowBeside(mainWindow);
    QVERIFY(form.isVisible());
    QCOMPARE(form.pos(), mainWindow.frameGeometry().topLeft() + QPoint(150, 250));
}

QTEST_MAIN(TestProgressWindow)
#include "tst_progresswindow.moc"
