#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QDialog;
class QFileDialog;
class QInputDialog;
class QMenu;
class QPlainTextEdit;
class QLabel;
class QWidget;
class TMainConfig;
struct ChannelPlanInfo;

// The File menu's channel plan items: "导入 CSV…", "导出 CSV…", "打印…" (with a print preview)
// and "导出 PDF…". An import replaces the rows it reaches in one call on the model and leaves
// what it reported in a dialog.
class TChannelPlanActions : public QObject {
    Q_OBJECT
public:
    struct Context {
        std::function<int()> currentRow;     // the grid's current row: the start channel offered
        std::function<QString()> fileName;   // the configuration file last opened or saved
        std::function<void(const QString &step)> recordStep;  // an import is one undoable step
        // Ends a cell still being typed in, before the table is read or replaced; false when
        // its entry rule refused the text (the error is shown).
        std::function<bool()> commitOpenCell;
    };

    // The items go into `menu` before `before`; the dialogs are children of `window`.
    TChannelPlanActions(QWidget *window, TMainConfig &config, Context context, QMenu *menu, QAction *before);

    QAction *ImportAction() const { return m_import; }
    // 导出 CSV, 打印 and 导出 PDF take the table as it stands: they wait while a read fills it.
    void SetOutputEnabled(bool enabled);

public Q_SLOTS:
    void ImportCsvClick();
    void ExportCsvClick();
    void PrintClick();
    void ExportPdfClick();

public:
    // What the items do after their dialogs; errors are shown to the user.
    void ImportCsv(const QString &path, int startChannel);
    // Asks the start channel, offering the current row, then imports: a file chosen in the
    // dialog or dropped on the window.
    void AskStartAndImport(const QString &path);
    void ExportCsv(const QString &path);
    void ExportPdf(const QString &path);

private:
    QAction *AddItem(QMenu *menu, QAction *before, const QString &text, const char *name, void (TChannelPlanActions::*slot)());
    QFileDialog *NewFileDialog(const char *name, const QString &filter, const QString &suffix, bool save);
    void BuildReportDialog();
    void ShowReports(const QStringList &reports, int imported);
    ChannelPlanInfo PlanInfo() const;
    bool TableSettled() const;

    QWidget *m_window;
    TMainConfig &m_config;
    Context m_context;
    QAction *m_import = nullptr;
    QList<QAction *> m_outputs;
    QFileDialog *m_csvOpenDialog = nullptr;
    QFileDialog *m_csvSaveDialog = nullptr;
    QFileDialog *m_pdfSaveDialog = nullptr;
    QInputDialog *m_startDialog = nullptr;
    QDialog *m_reportDialog = nullptr;
    QLabel *m_reportSummary = nullptr;
    QPlainTextEdit *m_reportList = nullptr;
};
