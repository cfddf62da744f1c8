#pragma once

#include "backup/SafeWrite.h"

#include <QObject>
#include <QTimer>

// Puts what an image holds back into the radio, as one safe write of every area it touches
// (backup, write, verify; blocks the image lacks are written back as the backup read found
// them, so only its own blocks change). The window's restore from a backup uses it.
//
// A signalling area's transfer that gets no answer for kSilenceMs is ended as silent, as the
// editors end theirs; the main write resends until an answer comes or the caller cancels the
// link. The port is closed at the end when the restore opened it.
class TImageRestore : public QObject {
    Q_OBJECT
public:
    static constexpr int kSilenceMs = 10000;

    TImageRestore(TProgramLink &link, TBackupStore store, QString program, QObject *parent = nullptr);

    // The image is the backup file's at backupPath. Throws ECommsError when the port does not
    // open; false, with nothing started, when the link is busy or the image holds no block.
    bool Start(const QString &port, const TRadioImage &image, const QString &backupPath, bool verify);

    // Tests shorten the silence that ends an area's transfer.
    void SetSilenceMs(int ms) { m_guard.setInterval(ms); }

    bool IsRunning() const { return m_write->IsRunning(); }
    bool IsReading() const { return m_write->IsReading(); }

Q_SIGNALS:
    void PhaseChanged(TSafeWrite::Phase phase);
    void BlocksMoved(int done, int total);  // of the running phase
    void Finished(const TSafeWrite::Outcome &outcome);

private:
    void OnSilence();
    void OnFinished(const TSafeWrite::Outcome &outcome);

    TProgramLink &m_link;
    TSafeWrite *m_write = nullptr;
    QTimer m_guard;
    bool m_openedPort = false;
};
