// Pictures of the dialogs and message boxes the main window shows, for scripts/screenshots.sh:
// with XIEPIN_SCREENSHOTS set, each is drawn in the language XIEPIN_LANG names. The boxes are the
// real ones, answered as soon as they show. Also: a box with a long text stays on the screen.

#include "app/AppWindows.h"
#include "backup/BackupStore.h"
#include "dialogs/Language.h"
#include "dialogs/MessageBox.h"
#include "editors/DtmfWindow.h"
#include "editors/TwoToneWindow.h"
#include "grid/XStringGrid.h"
#include "mainwindow/ChannelPlanActions.h"
#include "mainwindow/MainEditing.h"
#include "mainwindow/MainWindow.h"
#include "protocol/FactoryImage.h"
#include "support/gui/EditorInput.h"
#include "support/gui/MainWindowRig.h"
#include "support/gui/WindowLayout.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

// Saves every modal box or dialog that shows while `act` runs as <name>.png, <name>-2.png, …
// and closes it with Escape; returns how many showed.
int GrabModals(const QString &name, const std::function<void()> &act)
{
    int count = 0;
    QWidget *last = nullptr;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == last || !modal->isVisible())
            return;
        last = modal;
        QTest::qWait(200);  // a print preview lays its pages out after showing
        ++count;
        SaveScreenshot(modal, count == 1 ? name : QStringLiteral("%1-%2").arg(name).arg(count));
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
    });
    poll.start();
    act();
    QTest::qWait(100);
    return count;
}

// The main window after a read, with the real message boxes.
struct Fixture : MainWindowRig {
    Fixture()
    {
        SetMessageSink({});
        radio.setLatency(0);
        read();
    }
};

}  // namespace

class TestDialogShots : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void screenshots();
    void longTextStaysOnScreen_data();
    void longTextStaysOnScreen();
};

void TestDialogShots::screenshots()
{
    UseScreenshotLanguage();
    if (qEnvironmentVariableIsEmpty("XIEPIN_SCREENSHOTS"))
        QSKIP("set XIEPIN_SCREENSHOTS to a folder to write the dialogs' pictures");
    Fixture f;
    QVERIFY(f.finish());
    // A cell the radio cannot store, then a write.
    f.form().Config().SetCell(2, 8, QStringLiteral("70000"));
    QCOMPARE(GrabModals(QStringLiteral("box-write-error"), [&] { f.form().wbtn()->click(); }), 1);
    f.form().Config().SetCell(2, 8, QStringLiteral("12500"));

    // The compare with three differences, one a list entry.
    f.form().Config().SetCell(2, 1, QStringLiteral("439.00000"));
    f.form().Config().SetCell(3, 5, f.form().Config().Cell(3, 5) == QStringLiteral("高") ? QStringLiteral("低") : QStringLiteral("高"));
    f.form().Config().SetCell(4, 6, QString());
    QCOMPARE(GrabModals(QStringLiteral("box-compare"), [&] { f.action("CompareWithRadio")->trigger(); f.finish(); }), 1);

    // A write whose read-back differs in channel 3, on a radio that an earlier run left part
    // written.
    QString error;
    const std::optional<QString> earlier =
        TBackupStore().Save(f.radio.image(), {}, &error, QDateTime(QDate(2026, 12, 1), QTime(9, 30)));
    QVERIFY2(earlier, qPrintable(error));
    TBackupStore().NoteUnfinishedWrite(QStringLiteral("/dev/virtual-radio"), *earlier);
    QVERIFY(f.radio.faults().add(QStringLiteral("corrupt=3"), nullptr));
    f.action("VerifyAfterWrite")->setChecked(true);
    QCOMPARE(GrabModals(QStringLiteral("box-verify-failed"), [&] { f.form().wbtn()->click(); f.finish(); }), 1);
    f.radio.faults() = RadioFaults();
    // A read of that radio: what it shows may be half written.
    QCOMPARE(GrabModals(QStringLiteral("box-half-written-read"), [&] { f.form().rbtn()->click(); f.finish(); }), 1);
    // A write of the channels that ends well, the radio's other areas still in doubt.
    QCOMPARE(GrabModals(QStringLiteral("box-still-half-written"), [&] { f.form().wbtn()->click(); f.finish(); }), 1);
    TBackupStore().ClearUnfinishedWrite(QStringLiteral("/dev/virtual-radio"));
    // A second read whose request for channel 4 is answered with channel 5 (the first read
    // made 17 requests): channel 4 never came.
    {
        Fixture twice;
        QVERIFY(twice.radio.faults().add(QStringLiteral("wrong-block=21"), nullptr));
        QCOMPARE(GrabModals(QStringLiteral("box-incomplete-read"), [&] { twice.form().rbtn()->click(); twice.finish(); }), 1);
    }

    // A write cut short by the port going away after six frames: the offer to restore, then the
    // port that does not open.
    {
        Fixture cut;
        for (int n = 1; n <= 8; ++n)
            cut.form().Config().SetEditText(n, 1, QString::number(400 + n));
        cut.radio.faults().disappearAfter = 18 + 6;  // the read took 18
        QCOMPARE(GrabModals(QStringLiteral("box-restore"), [&] { cut.form().wbtn()->click(); cut.finish(); }), 1);
        QCOMPARE(GrabModals(QStringLiteral("box-port-error"), [&] { cut.action("RestoreBackup")->trigger(); cut.finish(); }), 1);
    }

    // 从备份恢复…: the question that shows what the chosen backup (the fixture's read) holds.
    const QList<TBackupEntry> backups = TBackupStore().List();
    QVERIFY(!backups.isEmpty());
    QTimer::singleShot(0, &f.form(), [&f, path = backups.first().path] {
        auto *dialog = f.form().findChild<QFileDialog *>(QStringLiteral("BackupDialog"));
        QVERIFY(dialog && dialog->isVisible());
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QCOMPARE(GrabModals(QStringLiteral("box-write-back"), [&] { f.action("RestoreFromBackup")->trigger(); }), 1);

    // The CSV import: its start channel, then its report.
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("import.csv"));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,Mode,TStep,Power,Scrambler\r\n"
               "1,A,438.500000,+,5.000000,Tone,88.5,88.5,NFM,12.50,7 dB,9\r\n"
               "2,B,145.600000,,0,Cross,88.5,88.5,FM,25.00,High,\r\n");
    file.close();
    auto *actions = f.form().findChild<TChannelPlanActions *>();
    actions->ImportCsv(csv, 5);
    auto *report = f.form().findChild<QDialog *>(QStringLiteral("CsvReportDialog"));
    QVERIFY(report && report->isVisible());
    QTest::qWait(50);
    SaveScreenshot(report, QStringLiteral("csv-report"));
    report->accept();
    auto *start = f.form().findChild<QInputDialog *>(QStringLiteral("StartChannelDialog"));
    start->show();
    SaveScreenshot(start, QStringLiteral("csv-start"));
    start->hide();

    QCOMPARE(GrabModals(QStringLiteral("print-preview"), [&] { f.action("Print1")->trigger(); }), 1);
    QCOMPARE(GrabModals(QStringLiteral("box-about"), [&] { f.form().AboutClick(); }), 1);
    // The other language chosen in the menu.
    const QString saved = SavedLanguage();
    const QString other = CurrentLanguage() == QStringLiteral("en") ? QStringLiteral("zh") : QStringLiteral("en");
    auto *choose = f.form().findChild<QAction *>(QStringLiteral("Language_") + other);
    QCOMPARE(GrabModals(QStringLiteral("box-language"), [&] { choose->trigger(); }), 1);
    SaveLanguage(saved);

    // An editor's own error: a two-tone code that is not two letters.
    f.action("N2tone1")->trigger();
    TForm4 &twoTone = f.windows->Form4();
    QVERIFY(twoTone.isVisible());
    twoTone.Texts().SetEditText(QStringLiteral("xg2"), 1, 1, QStringLiteral("AB"));
    twoTone.Texts().xg2().SetCell(5, 1, QStringLiteral("x"));
    twoTone.LoadFromTexts();
    QCOMPARE(GrabModals(QStringLiteral("box-editor-error"), [&] { twoTone.wbtn()->click(); }), 1);

    // Closing with a DTMF table neither written nor saved (the main table counts as saved here).
    f.action("DTMF1")->trigger();
    QApplication::setActiveWindow(&f.windows->Form2());
    EnterText(f.windows->Form2().Control(QStringLiteral("Edit1")), QStringLiteral("777"));
    f.form().Editing().MarkSaved();
    QCOMPARE(GrabModals(QStringLiteral("box-quit-anyway"), [&] { f.action("N1")->trigger(); }), 1);
    QVERIFY(f.form().isVisible());
}

// A compare with every channel differing, shown whole, was taller than the screen and its
// button out of reach: the box keeps to its first lines and holds the whole text in its details.
void TestDialogShots::longTextStaysOnScreen_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("question");  // asked with 恢复备份 and 关闭, else an OK box
    QStringList many;
    for (int n = 1; n <= 200; ++n)
        many << QStringLiteral("信道 %1 接收频率: 438.50000 → 439.00000").arg(n);
    QTest::addRow("many short lines") << many.join(QLatin1Char('\n')) << false;
    QStringList wrapped;
    for (int n = 1; n <= 19; ++n)
        wrapped << QStringLiteral("DTMF (area 1) block %1: sent 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10, read back 11 12 13 14 15 16 17 18 19 1A 1B 1C").arg(n);
    wrapped << QStringLiteral("写入前的备份：/home/user/.local/share/xiepin/backups/20261211-101500-all.img");
    QTest::addRow("lines that wrap, asked") << wrapped.join(QLatin1Char('\n')) << true;
    QTest::addRow("one huge field") << QStringLiteral("第 2 行: ") + QString(100000, QLatin1Char('x')) + QStringLiteral("\n请改正后再导入") << false;
    QTest::addRow("a short message") << QStringLiteral("写入成功") << false;
    QTest::addRow("a short question") << QStringLiteral("恢复？") << true;
}

// However long the text, the box fits the screen, its last line (what to do) is shown, and the
// whole text is in its details; however short, the box is wide enough for its title beside a
// title bar's icon and buttons.
void TestDialogShots::longTextStaysOnScreen()
{
    QFETCH(QString, text);
    QFETCH(bool, question);
    SetMessageSink({});
    int height = 0;
    bool wideEnough = false;
    QString details;
    QString shown;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        height = box->height();
        wideEnough = box->width() >= box->fontMetrics().horizontalAdvance(box->windowTitle()) + 100;
        details = box->detailedText();
        shown = box->text();
        if (!qEnvironmentVariableIsEmpty("XIEPIN_SCREENSHOTS"))
            SaveScreenshot(box, QStringLiteral("box-long"));
        box->accept();
    });
    poll.start();
    if (question)
        QVERIFY(!AskRestoreBackup(nullptr, text));
    else
        ShowMessage(nullptr, text);
    QVERIFY(height > 0);
    QVERIFY2(height < QGuiApplication::primaryScreen()->availableGeometry().height(), qPrintable(QString::number(height)));
    QVERIFY(wideEnough);
    if (!text.contains(QLatin1Char('\n'))) {  // short: all of it shown, no details
        QCOMPARE(shown, text);
        QVERIFY(details.isEmpty());
        return;
    }
    QCOMPARE(details, text);
    QVERIFY2(shown.endsWith(text.split(QLatin1Char('\n')).constLast()), qPrintable(shown.right(200)));
}

QTEST_MAIN(TestDialogShots)
#include "tst_dialogshots.moc"
