#pragma once

#include "backup/ImageRestore.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QAction;
class QFileDialog;
class QMenu;
class QWidget;
class TForm3;

// The File menu's ways to put a backup back into the radio: "从备份恢复…" (a backup chosen in the
// backups folder, what it holds shown first) and "恢复备份" (the backup a write cut short offers,
// once the port is there again). Each writes exactly the backup's blocks as one safe write, with
// a backup and a verify of its own, and shows its progress in the progress window.
class TRestoreActions : public QObject {
    Q_OBJECT
public:
    struct Context {
        std::function<QString()> portName;
        std::function<bool()> verify;       // 写入后校验
        std::function<TForm3 *()> progress; // the progress window, once there is one
    };

    // The items go into `menu` before `before`; the dialogs are children of `window`.
    TRestoreActions(QWidget *window, TProgramLink &link, Context context, QMenu *menu, QAction *before);

    bool IsRunning() const { return m_restore->IsRunning(); }
    const QString &OfferedBackup() const { return m_offeredPath; }  // what 恢复备份 writes back
    // A write to `port` cut short: 恢复备份 writes this backup back, now or later.
    void Offer(const QString &backupPath, const QString &port);
    // The port chosen now: a write there that did not end well in an earlier run of any of our
    // programs is offered too, from the backups folder's note. An offer of this run for the port
    // stays while the note does.
    void OfferNotedFor(const QString &port);
    // A later write to `port` ended well: its radio no longer waits for the backup.
    void WithdrawFor(const QString &port);
    // While 批量写频 holds the ports, neither restore may open one.
    void SetPortsHeldElsewhere(bool held);
    // The user has already said yes to writing the offered backup back.
    void RestoreOfferedNow();
    // The progress window's Retry: the restore that runs starts again after the pause.
    void Retry(int pauseMs);
    // 取消: a restore that had reached the radio says how far it got, as a write does.
    void Cancel();

public Q_SLOTS:
    void RestoreFromBackupClick();
    void RestoreOfferedClick();

Q_SIGNALS:
    void Finished();  // the radio's contents are no longer what the window last read

private:
    // The backup file, or nullopt after saying why it cannot be read.
    std::optional<TRadioImage> LoadBackup(const QString &path) const;
    bool StartRestore(const QString &path);  // loads the file first
    bool StartRestore(const QString &path, const TRadioImage &backup);
    QString BackupContentsText(const TRadioImage &backup, const QString &path) const;
    QString NoteLine(const QString &note) const;
    void OnPhase(TSafeWrite::Phase phase);
    void OnFinished(const TSafeWrite::Outcome &outcome);
    void Withdraw();

    QWidget *m_window;
    TProgramLink &m_link;
    Context m_context;
    TImageRestore *m_restore = nullptr;
    QAction *m_offered = nullptr;   // "恢复备份"
    QAction *m_fromBackup = nullptr;  // "从备份恢复…"
    bool m_portsHeld = false;
    bool m_tellCancel = false;  // the restore ends by 取消, not by Retry or a quit
    QFileDialog *m_dialog = nullptr;
    QString m_offeredPath;          // the backup a cut-short write offers
    QString m_offeredPort;          // the port of that write
    QString m_restoringPath;        // what Retry restarts
};
