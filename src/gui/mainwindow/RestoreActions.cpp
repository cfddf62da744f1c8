#include "mainwindow/RestoreActions.h"

#include "base/ShownText.h"
#include "dialogs/FileFolders.h"
#include "dialogs/MessageBox.h"
#include "dialogs/OpenedFile.h"
#include "dialogs/TransferMessages.h"
#include "mainwindow/ProgressWindow.h"
#include "protocol/Areas.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QTreeView>
#include <QTimer>

TRestoreActions::TRestoreActions(QWidget *window, TProgramLink &link, Context context, QMenu *menu, QAction *before)
    : QObject(window), m_window(window), m_link(link), m_context(std::move(context))
{
    m_restore = new TImageRestore(link, TBackupStore(), QStringLiteral("xiepin"), this);
    connect(m_restore, &TImageRestore::PhaseChanged, this, &TRestoreActions::OnPhase);
    connect(m_restore, &TImageRestore::BlocksMoved, this, [this](int done, int total) {
        if (TForm3 *progress = m_context.progress())
            progress->ShowProgress(qMax(1, total), done);
    });
    connect(m_restore, &TImageRestore::Finished, this, &TRestoreActions::OnFinished);

    m_fromBackup = new QAction(tr("从备份恢复…"), this);
    m_fromBackup->setObjectName(QStringLiteral("RestoreFromBackup"));
    connect(m_fromBackup, &QAction::triggered, this, &TRestoreActions::RestoreFromBackupClick);
    menu->insertAction(before, m_fromBackup);
    m_offered = new QAction(tr("恢复备份"), this);
    m_offered->setObjectName(QStringLiteral("RestoreBackup"));
    m_offered->setEnabled(false);
    connect(m_offered, &QAction::triggered, this, &TRestoreActions::RestoreOfferedClick);
    menu->insertAction(before, m_offered);

    // Non-native, so it looks the same everywhere and tests can answer it.
    m_dialog = new QFileDialog(window, tr("从备份恢复…"));
    m_dialog->setObjectName(QStringLiteral("BackupDialog"));
    m_dialog->setOption(QFileDialog::DontUseNativeDialog);
    m_dialog->setAcceptMode(QFileDialog::AcceptOpen);
    m_dialog->setFileMode(QFileDialog::ExistingFile);
    m_dialog->setNameFilter(QStringLiteral("*.img"));
}

void TRestoreActions::Offer(const QString &backupPath, const QString &port)
{
    m_offeredPath = backupPath;
    m_offeredPort = port;
    m_offered->setEnabled(!m_portsHeld);
}

void TRestoreActions::SetPortsHeldElsewhere(bool held)
{
    m_portsHeld = held;
    m_fromBackup->setEnabled(!held);
    m_offered->setEnabled(!held && !m_offeredPath.isEmpty());
}

void TRestoreActions::OfferNotedFor(const QString &port)
{
    const std::optional<QString> noted = TBackupStore().UnfinishedWrite(port);
    if (port == m_offeredPort && !noted)
        Withdraw();  // a write there ended well meanwhile, in an editor or in another program
    else if (noted && (port != m_offeredPort || !TBackupStore().IsNoted(port, m_offeredPath)))
        Offer(*noted, port);  // or the note offered ended while another stays
}

void TRestoreActions::WithdrawFor(const QString &port)
{
    if (port == m_offeredPort)
        Withdraw();
}

void TRestoreActions::Withdraw()
{
    m_offered->setEnabled(false);
    m_offeredPath.clear();
    m_offeredPort.clear();
}

// Later, the port chosen may hold another radio: the question names it and the backup, as
// 从备份恢复… does.
void TRestoreActions::RestoreOfferedClick()
{
    if (m_offeredPath.isEmpty() || m_link.IsBusy())
        return;
    const std::optional<TRadioImage> backup = LoadBackup(m_offeredPath);
    if (backup && AskWriteBack(m_window, BackupContentsText(*backup, m_offeredPath)))
        RestoreOfferedNow();
}

// The port may not be there yet: then the error says so and the item stays, to try again.
void TRestoreActions::RestoreOfferedNow()
{
    if (!m_offeredPath.isEmpty() && StartRestore(m_offeredPath))
        Withdraw();
}

void TRestoreActions::RestoreFromBackupClick()
{
    if (m_link.IsBusy())
        return;
    QDir().mkpath(TBackupStore::DefaultFolder());
    m_dialog->setDirectory(TBackupStore::DefaultFolder());
    // Backups are named by their time: newest first, the likeliest choice at the top of 200.
    if (auto *details = m_dialog->findChild<QTreeView *>(QStringLiteral("treeView")))
        details->sortByColumn(0, Qt::DescendingOrder);
    // The backup a write cut short on this port left is the likeliest choice.
    const std::optional<QString> noted = TBackupStore().UnfinishedWrite(m_context.portName());
    m_dialog->selectFile(noted ? QFileInfo(*noted).fileName() : QString());
    if (ExecFileDialogAlone(*m_dialog) != QDialog::Accepted || m_dialog->selectedFiles().isEmpty())
        return;
    const QString path = m_dialog->selectedFiles().constFirst();
    const std::optional<TRadioImage> backup = LoadBackup(path);
    if (!backup)
        return;
    if (backup->isEmpty()) {
        ShowError(m_window, tr("备份不含任何块，无法写回"));
        return;
    }
    if (AskWriteBack(m_window, BackupContentsText(*backup, path)))
        StartRestore(path, *backup);
}

void TRestoreActions::Retry(int pauseMs)
{
    const QString path = m_restoringPath;
    m_link.Cancel();
    QTimer::singleShot(pauseMs, this, [this, path] { StartRestore(path); });
}

void TRestoreActions::Cancel()
{
    m_tellCancel = true;
    m_link.Cancel();
    m_tellCancel = false;
}

std::optional<TRadioImage> TRestoreActions::LoadBackup(const QString &path) const
{
    if (!OpenableFile(m_window, path))
        return std::nullopt;
    QString error;
    std::optional<TRadioImage> backup = TRadioImage::load(path, &error);
    if (!backup)
        ShowError(m_window, error);
    return backup;
}

bool TRestoreActions::StartRestore(const QString &path)
{
    const std::optional<TRadioImage> backup = LoadBackup(path);
    return backup && StartRestore(path, *backup);
}

bool TRestoreActions::StartRestore(const QString &path, const TRadioImage &backup)
{
    if (m_link.IsBusy())
        return false;
    try {
        m_restoringPath = path;
        return m_restore->Start(m_context.portName(), backup, path, m_context.verify());
    } catch (const ECommsError &e) {
        ShowError(m_window, QString::fromUtf8(e.what()));
        return false;
    }
}

// A backup's note as the question shows it: the notes every backup has ("date: …", "port: …",
// "program: …", as the file keeps them for the command line too) in the window's words, what
// it holds left out (the contents line says it), any other note as the file has it.
QString TRestoreActions::NoteLine(const QString &note) const
{
    const qsizetype colon = note.indexOf(QStringLiteral(": "));
    const QString key = colon > 0 ? note.left(colon) : QString();
    const QString value = note.mid(colon + 2);
    if (key == QLatin1String("date")) {
        const QDateTime when = QDateTime::fromString(value, Qt::ISODate);
        return tr("读取时间：%1").arg(when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : value);
    }
    if (key == QLatin1String("port"))
        return tr("端口：%1").arg(value);
    if (key == QLatin1String("program"))
        return tr("程序：%1").arg(value);
    if (key == QLatin1String("holds"))
        return QString();
    return QStringLiteral("# ") + note;
}

// "写回备份到 /dev/ttyUSB0？", then the file, what it holds and its notes.
QString TRestoreActions::BackupContentsText(const TRadioImage &backup, const QString &path) const
{
    QStringList areas;
    if (backup.holdsAnyOf(frame::kMainArea) || backup.holdsAnyOf(frame::kSettingsArea))
        areas << tr("信道和设置");
    for (int area : kSignallingAreas)
        if (backup.holdsAnyOf(area))
            areas << ShownText(QString::fromUtf8(AreaFacts(area).title));
    QStringList lines{tr("写回备份到 %1？").arg(m_context.portName()), tr("文件：%1").arg(QFileInfo(path).fileName()),
                      tr("内容：%1（%n 块）", nullptr, backup.heldCount()).arg(areas.join(tr("、")))};
    for (const QString &note : backup.notes())
        if (const QString line = NoteLine(note); !line.isEmpty())
            lines << line;
    return lines.join(QLatin1Char('\n'));
}

void TRestoreActions::OnPhase(TSafeWrite::Phase phase)
{
    TForm3 *progress = m_context.progress();
    if (!progress || phase == TSafeWrite::Phase::Idle)
        return;
    progress->ShowBeside(*m_window);
    progress->ShowStep(TForm3::StepOf(phase));
    progress->ShowProgress(1, 0);  // BlocksMoved sets the range
}

void TRestoreActions::OnFinished(const TSafeWrite::Outcome &outcome)
{
    emit Finished();
    const QString text = WriteOutcomeText(outcome, m_context.portName(), m_tellCancel);
    if (WriteSucceeded(outcome)) {
        // Whichever backup went back, the write ended well; what the note still names stays.
        WithdrawFor(m_context.portName());
        OfferNotedFor(m_context.portName());
    }
    if (text.isEmpty())
        return;
    if (WriteSucceeded(outcome))
        ShowMessage(m_window, text);
    else
        ShowError(m_window, text);
}
