#include "backup/ImageRestore.h"

TImageRestore::TImageRestore(TProgramLink &link, TBackupStore store, QString program, QObject *parent)
    : QObject(parent), m_link(link), m_write(new TSafeWrite(link, std::move(store), std::move(program), this))
{
    m_guard.setSingleShot(true);
    m_guard.setTimerType(Qt::PreciseTimer);  // a coarse one may give up on the radio 5 % early
    m_guard.setInterval(kSilenceMs);
    connect(&m_guard, &QTimer::timeout, this, &TImageRestore::OnSilence);
    // Every answer, and every transfer of the restore that begins, gives the radio ten seconds more.
    connect(&link, &TProgramLink::Progressed, this, [this] {
        if (IsRunning())
            m_guard.start();
    });
    connect(&link, &TProgramLink::BusyChanged, this, [this](bool busy) {
        if (busy && IsRunning())
            m_guard.start();
    });
    connect(m_write, &TSafeWrite::PhaseChanged, this, &TImageRestore::PhaseChanged);
    connect(m_write, &TSafeWrite::BlocksMoved, this, &TImageRestore::BlocksMoved);
    connect(m_write, &TSafeWrite::Finished, this, &TImageRestore::OnFinished);
}

bool TImageRestore::Start(const QString &port, const TRadioImage &image, const QString &backupPath, bool verify)
{
    if (IsRunning() || m_link.IsBusy() || image.isEmpty())
        return false;
    const bool wasOpen = m_link.IsPortOpen();
    if (!m_write->StartImage(port, image, TSafeWrite::PriorRead(), verify, backupPath))
        return false;
    m_openedPort = !wasOpen;
    m_guard.start();
    return true;
}

// The main transfers keep resending, as the progress window says; only an area's is ended.
void TImageRestore::OnSilence()
{
    if (m_link.Running() == TransferKind::AreaRead || m_link.Running() == TransferKind::AreaWrite)
        m_link.AbandonAreaTransfer(m_link.RunningArea(), TransferEnd::Silent);
}

void TImageRestore::OnFinished(const TSafeWrite::Outcome &outcome)
{
    m_guard.stop();
    if (m_openedPort && m_link.IsPortOpen() && !m_link.IsBusy())
        m_link.ClosePort();
    m_openedPort = false;
    emit Finished(outcome);
}
