#include "mainwindow/ChannelPlanActions.h"

#include "base/TextConvert.h"
#include "dialogs/FileFolders.h"
#include "dialogs/Language.h"
#include "dialogs/MessageBox.h"
#include "dialogs/OpenedFile.h"
#include "mainconfig/ChannelCsv.h"
#include "mainconfig/MainConfig.h"
#include "print/ChannelPlan.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QKeySequence>
#include <QPrinter>
#include <QVBoxLayout>

TChannelPlanActions::TChannelPlanActions(QWidget *window, TMainConfig &config, Context context, QMenu *menu,
                                         QAction *before)
    : QObject(window), m_window(window), m_config(config), m_context(std::move(context))
{
    setObjectName(QStringLiteral("ChannelPlanActions"));
    m_import = AddItem(menu, before, tr("导入 CSV…"), "ImportCsv1", &TChannelPlanActions::ImportCsvClick);
    m_outputs << AddItem(menu, before, tr("导出 CSV…"), "ExportCsv1", &TChannelPlanActions::ExportCsvClick)
              << AddItem(menu, before, tr("打印…"), "Print1", &TChannelPlanActions::PrintClick)
              << AddItem(menu, before, tr("导出 PDF…"), "ExportPdf1", &TChannelPlanActions::ExportPdfClick);
    m_outputs.at(1)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    menu->insertSeparator(before);

    m_csvOpenDialog = NewFileDialog("CsvOpenDialog", QStringLiteral("*.csv"), QStringLiteral("csv"), false);
    m_csvSaveDialog = NewFileDialog("CsvSaveDialog", QStringLiteral("*.csv"), QStringLiteral("csv"), true);
    m_pdfSaveDialog = NewFileDialog("PdfSaveDialog", QStringLiteral("*.pdf"), QStringLiteral("pdf"), true);

    m_startDialog = new QInputDialog(m_window);
    m_startDialog->setObjectName(QStringLiteral("StartChannelDialog"));
    m_startDialog->setWindowTitle(tr("导入 CSV"));
    m_startDialog->setLabelText(tr("从信道开始："));
    m_startDialog->setInputMode(QInputDialog::IntInput);
    m_startDialog->setIntRange(1, TMainConfig::kChannels);
    BuildReportDialog();
}

QAction *TChannelPlanActions::AddItem(QMenu *menu, QAction *before, const QString &text, const char *name,
                                      void (TChannelPlanActions::*slot)())
{
    auto *action = new QAction(text, menu);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, slot);
    menu->insertAction(before, action);
    return action;
}

// Non-native, like the window's other file dialogs.
QFileDialog *TChannelPlanActions::NewFileDialog(const char *name, const QString &filter, const QString &suffix, bool save)
{
    auto *dialog = new QFileDialog(m_window);
    dialog->setObjectName(QLatin1String(name));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setNameFilter(filter);
    dialog->setDefaultSuffix(suffix);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    return dialog;
}

void TChannelPlanActions::BuildReportDialog()
{
    m_reportDialog = new QDialog(m_window);
    m_reportDialog->setObjectName(QStringLiteral("CsvReportDialog"));
    m_reportDialog->setWindowTitle(tr("导入 CSV"));
    m_reportDialog->resize(640, 320);
    auto *layout = new QVBoxLayout(m_reportDialog);
    m_reportSummary = new QLabel(m_reportDialog);
    m_reportSummary->setObjectName(QStringLiteral("CsvReportSummary"));
    m_reportList = new QPlainTextEdit(m_reportDialog);
    m_reportList->setObjectName(QStringLiteral("CsvReportList"));
    m_reportList->setReadOnly(true);
    m_reportList->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, m_reportDialog);
    connect(buttons, &QDialogButtonBox::accepted, m_reportDialog, &QDialog::accept);
    layout->addWidget(m_reportSummary);
    layout->addWidget(m_reportList);
    layout->addWidget(buttons);
}

ChannelPlanInfo TChannelPlanActions::PlanInfo() const
{
    const QString file = m_context.fileName();
    return {file.isEmpty() ? QString() : QFileInfo(file).fileName(), QDate::currentDate(), true};
}

// --- import and export

void TChannelPlanActions::ImportCsvClick()
{
    // A refused cell is mended before a file is chosen, not after.
    if (!m_import->isEnabled() || !TableSettled())
        return;
    if (const QString path = ExecFileDialog(*m_csvOpenDialog, QStringLiteral("csv")); !path.isEmpty())
        AskStartAndImport(path);
}

void TChannelPlanActions::AskStartAndImport(const QString &path)
{
    if (!m_import->isEnabled() || !OpenableFile(m_window, path))
        return;
    const int row = m_context.currentRow();
    m_startDialog->setIntValue(row >= 1 && row <= TMainConfig::kChannels ? row : 1);
    if (m_startDialog->exec() != QDialog::Accepted)
        return;
    ImportCsv(path, m_startDialog->intValue());
}

void TChannelPlanActions::SetOutputEnabled(bool enabled)
{
    for (QAction *action : m_outputs)
        action->setEnabled(enabled);
}

// No cell still being typed in, and no read filling the table.
bool TChannelPlanActions::TableSettled() const
{
    return m_outputs.first()->isEnabled() && (!m_context.commitOpenCell || m_context.commitOpenCell());
}

void TChannelPlanActions::ImportCsv(const QString &path, int startChannel)
{
    if (!TableSettled() || !OpenableFile(m_window, path))
        return;
    ChannelCsvImport result;
    try {
        result = ReadChannelCsvFile(path, startChannel, LanguageOf(CurrentLanguage()));
    } catch (const EChannelCsvError &error) {
        ShowError(m_window, error.message());
        return;
    }
    m_config.ReplaceRows(result.rows);
    if (m_context.recordStep)
        m_context.recordStep(tr("导入 CSV"));
    if (!result.reports.isEmpty() || result.rows.isEmpty())
        ShowReports(result.reports, result.rows.size());
}

// The list stays open beside the table, so the rows it names can be checked against it.
void TChannelPlanActions::ShowReports(const QStringList &reports, int imported)
{
    m_reportSummary->setText(tr("导入了 %n 个信道。", nullptr, imported)
                             + (reports.isEmpty() ? QString() : tr("以下各行有变动或未导入：")));
    m_reportList->setPlainText(reports.join(QLatin1Char('\n')));
    m_reportList->setVisible(!reports.isEmpty());
    m_reportDialog->open();
}

void TChannelPlanActions::ExportCsvClick()
{
    if (!TableSettled())
        return;
    if (const QString path = ExecFileDialog(*m_csvSaveDialog, QStringLiteral("csv")); !path.isEmpty())
        ExportCsv(path);
}

void TChannelPlanActions::ExportCsv(const QString &path)
{
    if (!TableSettled())
        return;
    try {
        WriteChannelCsvFile(m_config, path);
    } catch (const EConvertError &error) {
        ShowError(m_window, error.message());
    } catch (const EChannelCsvError &error) {
        ShowError(m_window, error.message());
    }
}

// --- print

void TChannelPlanActions::PrintClick()
{
    if (!TableSettled())
        return;
    const ChannelPlanInfo info = PlanInfo();
    if (const QString problem = ChannelPlanFontProblem(m_config, info); !problem.isEmpty()) {
        ShowError(m_window, problem);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    SetChannelPlanPage(printer);
    QPrintPreviewDialog preview(&printer, m_window);
    preview.setObjectName(QStringLiteral("PrintPreviewDialog1"));
    KeepAboveWindowsOnTop(preview);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this, &info](QPrinter *target) { PrintChannelPlan(*target, m_config, info); });
    preview.exec();
}

void TChannelPlanActions::ExportPdfClick()
{
    if (!TableSettled())
        return;
    if (const QString path = ExecFileDialog(*m_pdfSaveDialog, QStringLiteral("pdf")); !path.isEmpty())
        ExportPdf(path);
}

void TChannelPlanActions::ExportPdf(const QString &path)
{
    if (!TableSettled())
        return;
    QString error;
    if (!WriteChannelPlanPdf(path, m_config, PlanInfo(), &error))
        ShowError(m_window, error);
}
