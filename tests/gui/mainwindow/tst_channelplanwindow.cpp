#include "app/AppWindows.h"
#include "grid/XStringGrid.h"
#include "mainconfig/ChannelCsv.h"
#include "mainwindow/ChannelPlanActions.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/ProgressWindow.h"
#include "protocol/FactoryImage.h"
#include "support/core/TestFiles.h"
#include "support/gui/MainWindowRig.h"
#include "support/gui/TestSupport.h"
#include "support/radio/RadioChannel.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <sys/stat.h>
#include <functional>

namespace {

const QByteArray kCsv =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n"
    "1,A,438.500000,+,5.000000,TSQL,88.5,127.3,023,NN,023,Tone->Tone,NFM,12.50,,Low,\"a, b\",,,,\r\n"
    "2,Air,118.100000,,0,,88.5,88.5,023,NN,023,Tone->Tone,AM,25.00,,High,,,,,\r\n"
    "3,B,145.600000,-,0.600000,DTCS,88.5,88.5,754,NR,023,Tone->Tone,FM,25.00,S,High,,,,,\r\n";

// The main window, its messages recorded.
struct Fixture : MainWindowRig {
    MessageRecorder messages;
};

// Answers the dialog of that name as soon as it shows: the dialogs run their own event loops,
// so the answer comes from a timer that looks for it.
template <typename Dialog>
void Answer(TForm1 &form, const char *name, std::function<void(Dialog &)> answer)
{
    auto *poll = new QTimer(&form);
    poll->setInterval(10);
    // Answers again while the dialog stays open: an answer given before its event loop runs
    // can be lost.
    auto answered = std::make_shared<bool>(false);
    QObject::connect(poll, &QTimer::timeout, &form, [&form, poll, name, answer, answered] {
        auto *dialog = form.findChild<Dialog *>(QLatin1String(name));
        if (!dialog || !dialog->isVisible()) {
            if (*answered) {
                poll->stop();
                poll->deleteLater();
            }
            return;
        }
        *answered = true;
        answer(*dialog);
    });
    poll->start();
}

// Cancels the file dialog of that name. The file work itself is driven through the actions'
// own calls: Qt's file dialog resolves a selected name against a file list that a thread of
// its own fills in, which makes answering it from a test unreliable.
void CancelFileDialog(TForm1 &form, const char *name)
{
    Answer<QFileDialog>(form, name, [](QFileDialog &dialog) { dialog.reject(); });
}

QString PdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int DarkRows(const QImage &image)
{
    int rows = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100) {
                ++rows;
                break;
            }
    return rows;
}

QString ScreenshotPath(const QString &fallbackDir, const QString &name)
{
    const QString dir = qEnvironmentVariable("XIEPIN_SCREENSHOTS");
    return (dir.isEmpty() ? fallbackDir : dir) + QLatin1Char('/') + name;
}

}  // namespace

class TestChannelPlanWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileMenuItems();
    void importFromCurrentRow();
    void importStartChosen();
    void importErrorShown();
    void importLockedWhileBusy();
    void exportCsv();
    void exportPdfNamesFile();
    void printPreview();
    void dropFile_data();
    void dropFile();
    void specialFileRefused_data();
    void specialFileRefused();
};

void TestChannelPlanWindow::fileMenuItems()
{
    Fixture f;
    auto *menu = f.form().menuBar()->findChild<QMenu *>(QStringLiteral("N2"));
    QVERIFY(menu);
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(texts, (QStringList{QStringLiteral("打开"), QStringLiteral("保存"), QStringLiteral("另存为…"), QStringLiteral("导入 CSV…"),
                                 QStringLiteral("导出 CSV…"), QStringLiteral("打印…"), QStringLiteral("导出 PDF…"),
                                 QStringLiteral("-"), QStringLiteral("写入后校验"), QStringLiteral("从备份恢复…"), QStringLiteral("恢复备份"), QStringLiteral("与电台比较"),
                                 QStringLiteral("批量写频…"), QStringLiteral("-"), QStringLiteral("退出")}));
}

// The start channel offered is the current row; rows past the reported one follow on, the
// other channels and the settings stay, and the report list stays open.
void TestChannelPlanWindow::importFromCurrentRow()
{
    Fixture f;
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("plan.csv"));
    QVERIFY(WriteWholeFile(csv, kCsv));
    TMainConfig &config = f.form().Config();
    config.SetRow(1, QString::fromUtf8("1,430.00000,430.00000,无,无,高,宽带,有,25000,无,无,无,无,DTMF,1,无").split(QLatin1Char(',')));
    config.SetRow(5, QString::fromUtf8("5,431.00000,431.00000,无,无,高,宽带,有,25000,无,无,无,无,DTMF,1,无").split(QLatin1Char(',')));
    config.SetSetting(SquelchBox, QStringLiteral("4"));
    f.xg().setFocus();
    f.xg().SetCol(2);
    f.xg().SetRow(3);

    QList<QStringList> before;
    for (int row = 0; row <= TMainConfig::kChannels; ++row)
        before << config.Row(row);

    f.form().findChild<TChannelPlanActions *>()->ImportCsv(csv, f.xg().Row());

    // Channels 3 and 4 as the core imports them from channel 3; the grid shows the table.
    const ChannelCsvImport core = ImportChannelCsv(kCsv, 3);
    QCOMPARE(core.rows.keys(), (QList<int>{3, 4}));
    for (int row = 0; row <= TMainConfig::kChannels; ++row) {
        const QStringList expected = core.rows.value(row, before.at(row));
        QCOMPARE(config.Row(row), expected);
        for (int c = 0; c < TMainConfig::kCols; ++c)
            QCOMPARE(f.xg().Cells(c, row), expected.at(c));
    }
    QCOMPARE(f.form().ComboBox(SquelchBox)->currentText(), QStringLiteral("4"));

    auto *report = f.child<QDialog>("CsvReportDialog");
    QVERIFY(report && report->isVisible());
    QCOMPARE(f.child<QPlainTextEdit>("CsvReportList")->toPlainText(),
             QStringLiteral("第 3 行：不支持模式 AM；此行未导入"));
    QVERIFY(f.child<QLabel>("CsvReportSummary")->text().contains(QLatin1Char('2')));
    QVERIFY(QTest::qWaitForWindowExposed(report));
    QVERIFY(report->grab().save(ScreenshotPath(dir.path(), QStringLiteral("csv-import-reports.png"))));
    report->accept();
    QVERIFY(f.messages.messages.isEmpty());
}

void TestChannelPlanWindow::importStartChosen()
{
    Fixture f;
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("plan.csv"));
    QVERIFY(WriteWholeFile(csv, kCsv));
    f.form().findChild<TChannelPlanActions *>()->ImportCsv(csv, 16);
    QCOMPARE(f.xg().Cells(1, 16), QStringLiteral("438.50000"));
    QCOMPARE(f.child<QPlainTextEdit>("CsvReportList")->toPlainText(),
             QStringLiteral("第 3 行：信道 16 之后没有信道了；此行及以后各行未导入"));
    f.child<QDialog>("CsvReportDialog")->accept();

    // Cancelling the file dialog of each item changes nothing and writes nothing.
    f.form().Config().Reset();
    for (const char *item : {"ImportCsv1", "ExportCsv1", "ExportPdf1"}) {
        CancelFileDialog(f.form(), item == QByteArray("ImportCsv1") ? "CsvOpenDialog"
                                   : item == QByteArray("ExportCsv1") ? "CsvSaveDialog" : "PdfSaveDialog");
        f.action(item)->trigger();
    }
    QCOMPARE(f.xg().Cells(1, 16), QString());
    QVERIFY(!f.child<QDialog>("CsvReportDialog")->isVisible());
    QVERIFY(f.messages.messages.isEmpty());
}

void TestChannelPlanWindow::importErrorShown()
{
    Fixture f;
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("names.csv"));
    QVERIFY(WriteWholeFile(csv, "Location,Name\r\n1,x\r\n"));
    auto *actions = f.form().findChild<TChannelPlanActions *>();
    QVERIFY(actions);
    actions->ImportCsv(csv, 1);
    QCOMPARE(f.messages.texts(),
             QStringList{QStringLiteral("Cannot read file \"%1\". 文件没有列名中含 Frequency 的标题行。").arg(csv)});
    QVERIFY(!f.child<QDialog>("CsvReportDialog")->isVisible());
}

void TestChannelPlanWindow::importLockedWhileBusy()
{
    Fixture f;
    f.radio.faults().silent = true;
    f.form().rbtn()->click();
    QVERIFY(f.form().Link().IsBusy());
    // The read fills the table: nothing goes in or out until it ends.
    const auto planItems = {"ImportCsv1", "ExportCsv1", "Print1", "ExportPdf1"};
    for (const char *name : planItems)
        QVERIFY2(!f.action(name)->isEnabled(), name);
    emit f.action("ImportCsv1")->triggered();  // past the disabled item: no dialog opens
    QVERIFY(!f.child<QFileDialog>("CsvOpenDialog")->isVisible());
    f.windows->Form3().Button2()->click();
    for (const char *name : planItems)
        QVERIFY2(f.action(name)->isEnabled(), name);
}

void TestChannelPlanWindow::exportCsv()
{
    Fixture f;
    QTemporaryDir dir;
    f.form().Config().SetEditText(2, 1, QStringLiteral("145.5"));
    f.form().Config().SetEditText(2, 4, QStringLiteral("88.5"));
    const QString path = dir.filePath(QStringLiteral("out"));
    f.form().findChild<TChannelPlanActions *>()->ExportCsv(path + QStringLiteral(".csv"));
    const QByteArray written = ReadWholeFile(path + QStringLiteral(".csv"));
    QCOMPARE(written, ExportChannelCsv(f.form().Config()));
    QVERIFY(written.contains("\r\n2,CH2,145.500000,,0.000000,Tone,88.5,"));
    QVERIFY(f.messages.messages.isEmpty());

    f.form().Config().SetCell(2, col::Step, QStringLiteral("x"));
    f.form().findChild<TChannelPlanActions *>()->ExportCsv(path + QStringLiteral(".csv"));
    QCOMPARE(f.messages.texts(), QStringList{QStringLiteral("信道 2 步进频率: 'x' is not a valid integer value")});
    QCOMPARE(ReadWholeFile(path + QStringLiteral(".csv")), written);
}

void TestChannelPlanWindow::exportPdfNamesFile()
{
    Fixture f;
    QTemporaryDir dir;
    f.form().Config().SetEditText(7, 1, QStringLiteral("433.775"));
    f.form().SaveFile(dir.filePath(QStringLiteral("club.qz")));
    const QString pdf = dir.filePath(QStringLiteral("plan"));
    f.form().findChild<TChannelPlanActions *>()->ExportPdf(pdf + QStringLiteral(".pdf"));
    const QString text = PdfText(pdf + QStringLiteral(".pdf"));
    QVERIFY2(text.contains(QStringLiteral("对讲机写频软件 V1.1.4")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("club.qz")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("433.77500")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("报警")), qPrintable(text));  // the window knows the alarm setting
    QVERIFY(f.messages.messages.isEmpty());
}

void TestChannelPlanWindow::printPreview()
{
    Fixture f;
    QTemporaryDir dir;
    for (int n = 1; n <= 12; ++n)
        f.form().Config().SetEditText(n, 1, QString::number(430 + n * 0.0125, 'f', 4));
    f.form().Config().SetCell(4, col::ToneEncode, QStringLiteral("754N"));
    QImage picture;
    Answer<QPrintPreviewDialog>(f.form(), "PrintPreviewDialog1", [&picture](QPrintPreviewDialog &preview) {
        preview.resize(1100, 800);
        // The preview lays its pages out after showing.
        const auto pageShown = [&] {
            picture = preview.grab().toImage();
            return DarkRows(picture) > picture.height() / 10;
        };
        (void)QTest::qWaitFor(pageShown, 5000);  // judged below, once the dialog is closed
        preview.reject();
    });
    f.action("Print1")->trigger();
    QVERIFY(!picture.isNull());
    QVERIFY(picture.save(ScreenshotPath(dir.path(), QStringLiteral("print-preview.png"))));
    QVERIFY2(DarkRows(picture) > picture.height() / 10, "the preview shows a page with the table");
}

void TestChannelPlanWindow::dropFile_data()
{
    QTest::addColumn<QStringList>("names");  // the files the drag carries
    QTest::addColumn<bool>("busy");          // a read runs
    QTest::addColumn<QString>("channel5");   // channel 5's receive frequency afterwards
    QTest::addColumn<QString>("caption");    // what the caption ends with
    const QString title = QStringLiteral("对讲机写频软件 V1.1.4");
    QTest::addRow(".qz file opened") << QStringList{"club.qz"} << false << "433.77500" << title + " - club.qz";
    QTest::addRow("CSV list imported from the channel asked") << QStringList{"PLAN.CSV"} << false << "438.50000"
                                                               << title + " *";
    QTest::addRow("other file refused") << QStringList{"plan.txt"} << false << "" << title;
    QTest::addRow("two files refused") << QStringList{"club.qz", "plan.csv"} << false << "" << title;
    QTest::addRow("refused while reading") << QStringList{"club.qz"} << true << "" << title;
    QTest::addRow(".qz file from the Finder") << QStringList{"finder:club.qz"} << false << "433.77500"
                                              << title + " - club.qz";
}

// A file dropped from a file manager: a .qz file opens as with 打开, a CSV list imports as with
// 导入 CSV… (the start channel asked); the window takes nothing else. The Finder of macOS tells
// the application instead.
void TestChannelPlanWindow::dropFile()
{
    QFETCH(QStringList, names);
    QFETCH(bool, busy);
    QFETCH(QString, channel5);
    QFETCH(QString, caption);
    QTemporaryDir dir;
    QList<QUrl> urls;
    {
        Fixture maker;
        maker.form().Config().SetEditText(5, 1, QStringLiteral("433.775"));
        QVERIFY(maker.form().SaveFile(dir.filePath(QStringLiteral("club.qz"))));
    }
    const bool finder = names.first().startsWith(QLatin1String("finder:"));  // macOS: the application is told
    if (finder)
        names.first().remove(0, 7);
    for (const QString &name : names) {
        if (!name.endsWith(QLatin1String(".qz")))
            QVERIFY(WriteWholeFile(dir.filePath(name), kCsv));
        urls << QUrl::fromLocalFile(dir.filePath(name));
    }
    Fixture f;
    if (busy) {
        f.radio.faults().silent = true;
        f.form().rbtn()->click();
    }
    f.xg().SetRow(5);  // the start channel offered
    Answer<QInputDialog>(f.form(), "StartChannelDialog", [](QInputDialog &dialog) { dialog.accept(); });

    if (finder) {
        QFileOpenEvent open(urls.first());
        QApplication::sendEvent(qApp, &open);
        QCOMPARE(f.xg().Cells(1, 5), channel5);
        QCOMPARE(f.form().windowTitle(), caption);
        return;
    }
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = f.form().rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QApplication::sendEvent(&f.form(), &enter);
    QCOMPARE(enter.isAccepted(), !channel5.isEmpty());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    drop.ignore();
    QApplication::sendEvent(&f.form(), &drop);
    QCOMPARE(drop.isAccepted(), !channel5.isEmpty());
    QTRY_COMPARE(f.xg().Cells(1, 5), channel5);
    QCOMPARE(f.form().windowTitle(), caption);
    if (busy)
        f.windows->Form3().Button2()->click();
    if (auto *report = f.child<QDialog>("CsvReportDialog"))
        report->accept();
    QVERIFY(f.messages.messages.isEmpty());
}

void TestChannelPlanWindow::specialFileRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");  // "fifo" or "folder"
    QTest::addRow("a pipe named .qz") << "plan.qz" << "fifo";
    QTest::addRow("a pipe named .csv") << "plan.csv" << "fifo";
    QTest::addRow("a folder named .qz") << "plan.qz" << "folder";
}

// A file given by name (the Finder, a drop, an argument, a name typed in the file dialog) that
// is a pipe no program writes to would hang the window for good in its open; it is refused with
// a word, and the table stays as it was.
void TestChannelPlanWindow::specialFileRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        QVERIFY(QDir().mkpath(path));
    Fixture f;
    f.form().Config().SetEditText(5, 1, QStringLiteral("433.775"));
    Answer<QInputDialog>(f.form(), "StartChannelDialog", [](QInputDialog &dialog) { dialog.accept(); });
    QFileOpenEvent open(QUrl::fromLocalFile(path));
    QApplication::sendEvent(qApp, &open);
    QCOMPARE(f.messages.texts(), QStringList{path + QStringLiteral(" 不是普通文件（而是文件夹、管道或设备），无法打开")});
    QCOMPARE(f.xg().Cells(1, 5), QStringLiteral("433.77500"));
    QVERIFY(!f.child<QInputDialog>("StartChannelDialog") || f.child<QInputDialog>("StartChannelDialog")->isHidden());
}

QTEST_MAIN(TestChannelPlanWindow)
#include "tst_channelplanwindow.moc"
