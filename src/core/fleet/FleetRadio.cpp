#include "fleet/FleetRadio.h"

#include "backup/ImageAreas.h"
#include "protocol/Areas.h"

#include <QDateTime>
#include <exception>

namespace {

TFleetPhase PhaseOf(TSafeWrite::Phase phase)
{
    switch (phase) {
    case TSafeWrite::Phase::Backup: return TFleetPhase::Backup;
    case TSafeWrite::Phase::Write: return TFleetPhase::Write;
    case TSafeWrite::Phase::Verify: return TFleetPhase::Verify;
    case TSafeWrite::Phase::Idle: break;
    }
    return TFleetPhase::Waiting;
}

TFleetResult EndResult(TransferEnd end)
{
    switch (end) {
    case TransferEnd::Silent: return TFleetResult::NoAnswer;
    case TransferEnd::PortGone: return TFleetResult::Disconnected;
    case TransferEnd::Cancelled:
    case TransferEnd::Completed: break;
    }
    return TFleetResult::Cancelled;
}

TFleetResult WriteResult(const TSafeWrite::Outcome &outcome)
{
    switch (outcome.result) {
    case TSafeWrite::Result::Verified: return TFleetResult::Verified;
    case TSafeWrite::Result::Written: return TFleetResult::Written;
    case TSafeWrite::Result::VerifyFailed: return TFleetResult::VerifyFailed;
    case TSafeWrite::Result::BackupFailed: return TFleetResult::BackupFailed;
    case TSafeWrite::Result::Ended: break;
    }
    return EndResult(outcome.end);
}

}  // namespace

bool TFleetReport::Succeeded() const
{
    return result == TFleetResult::Verified || result == TFleetResult::Written || result == TFleetResult::Read;
}

TFleetRadio::TFleetRadio(const QString &port, std::unique_ptr<TSerialChannel> channel, const TBackupStore &store,
                         const QString &program, int silenceMs, QObject *parent)
    : QObject(parent),
      m_link(std::make_unique<TProgramLink>(std::move(channel))),
      m_safeWrite(std::make_unique<TSafeWrite>(*m_link, store, program)),
      m_store(store),
      m_program(program)
{
    m_report.port = port;
    m_guard.setSingleShot(true);
    m_guard.setTimerType(Qt::PreciseTimer);  // a coarse one may give up on the radio 5 % early
    m_guard.setInterval(silenceMs);
    connect(&m_guard, &QTimer::timeout, this, [this] { m_link->Cancel(TransferEnd::Silent); });
    m_safeWrite->SetPortInBackupNames(true);
    connect(m_safeWrite.get(), &TSafeWrite::PhaseChanged, this, &TFleetRadio::OnSafeWritePhase);
    connect(m_safeWrite.get(), &TSafeWrite::BlocksMoved, this, &TFleetRadio::OnMoved);
    connect(m_safeWrite.get(), &TSafeWrite::Finished, this, &TFleetRadio::OnWriteFinished);
}

// The write's TSafeWrite goes before the link it drives.
TFleetRadio::~TFleetRadio()
{
    m_safeWrite.reset();
    if (m_link->IsBusy())
        m_link->Cancel();
}

void TFleetRadio::StartWrite(const TRadioImage &image, bool verify, const QString &source)
{
    m_clock.start();
    m_guard.start();
    try {
        if (!m_safeWrite->StartImage(Port(), image, TSafeWrite::PriorRead(), verify, source))
            FailToOpen(QStringLiteral("nothing to write"));
    } catch (const std::exception &e) {
        FailToOpen(QString::fromUtf8(e.what()));
    }
}

void TFleetRadio::StartRead(const TRadioImage &which)
{
    m_clock.start();
    m_guard.start();
    m_readWhich = which;
    m_readSteps = TransferSteps(which);
    const auto keep = [this](int area, int block, const Block &data) {
        if (m_readWhich.holds(area, block))
            m_report.image.setBlock(area, block, data);
    };
    connect(m_link.get(), &TProgramLink::MainBlockRead, this, keep);
    connect(m_link.get(), &TProgramLink::AreaBlockRead, this, keep);
    connect(m_link.get(), &TProgramLink::Progressed, this, [this](TransferKind kind, int, int answers) {
        const bool main = kind == TransferKind::MainRead;
        OnMoved(m_readDone + (main ? std::max(0, answers - 1) : answers), m_readWhich.heldCount());
    });
    connect(m_link.get(), &TProgramLink::Finished, this, &TFleetRadio::OnReadFinished);
    MoveTo(TFleetPhase::Read, m_readWhich.heldCount());
    try {
        if (!StartReadStep())
            FailToOpen(QStringLiteral("the read did not start"));
    } catch (const std::exception &e) {
        FailToOpen(QString::fromUtf8(e.what()));
    }
}

void TFleetRadio::Cancel()
{
    if (!IsFinished() && m_link->IsBusy())
        m_link->Cancel(TransferEnd::Cancelled);
}

void TFleetRadio::MoveTo(TFleetPhase phase, int total)
{
    m_phase = phase;
    m_done = 0;
    m_total = total;
    m_guard.start();
    emit Changed();
}

void TFleetRadio::OnMoved(int done, int total)
{
    if (IsFinished())
        return;
    m_done = done;
    m_total = total;
    m_guard.start();
    emit Changed();
}

void TFleetRadio::OnSafeWritePhase(TSafeWrite::Phase phase)
{
    if (phase != TSafeWrite::Phase::Idle)
        MoveTo(PhaseOf(phase), 0);
}

void TFleetRadio::OnWriteFinished(const TSafeWrite::Outcome &outcome)
{
    m_report.backupPath = outcome.backupPath;
    m_report.earlierBackupPath = outcome.earlierBackupPath;
    m_report.error = outcome.error;
    m_report.mismatches = outcome.mismatches;
    m_report.tally = outcome.tally;
    if (outcome.result == TSafeWrite::Result::Ended)
        m_phase = PhaseOf(outcome.phase);
    Finish(WriteResult(outcome));
}

// The main read opens the port and closes it at its end; the area reads need it open.
bool TFleetRadio::StartReadStep()
{
    const int area = m_readSteps.at(m_readStep);
    if (area == kMainStep)
        return m_link->StartMainRead(Port());
    if (!m_link->IsPortOpen())
        m_link->OpenPort(Port());
    return m_link->StartAreaRead(area, AreaFacts(area).read);
}

void TFleetRadio::OnReadFinished(TransferKind /*kind*/, int /*area*/, TransferEnd reason)
{
    if (IsFinished())
        return;
    const TransferTally last = m_link->LastTally();
    if (reason != TransferEnd::Completed) {
        m_report.tally = {m_readDone + last.done, m_readWhich.heldCount()};
        Finish(EndResult(reason));
        return;
    }
    m_readDone += last.done;
    if (++m_readStep >= m_readSteps.size()) {
        FinishRead();
        return;
    }
    bool started = false;
    try {
        started = StartReadStep();
    } catch (const std::exception &e) {
        m_report.error = QString::fromUtf8(e.what());  // the port went away, or was taken, between two transfers
    }
    if (!started) {
        m_report.tally = {m_readDone, m_readWhich.heldCount()};
        Finish(TFleetResult::Disconnected);
    }
}

void TFleetRadio::FinishRead()
{
    const TRadioImage &image = m_report.image;
    m_report.tally = {image.heldCount(), m_readWhich.heldCount()};
    for (const TRadioImage::Place &place : m_readWhich.heldPlaces()) {
        if (!image.holds(place.area, place.block)) {
            m_report.error =
                QStringLiteral("the radio never sent area %1 block %2").arg(place.area).arg(place.block);
            Finish(TFleetResult::IncompleteRead);
            return;
        }
    }
    QString error;
    m_report.backupPath =
        m_store.Save(image, {Port(), m_program}, &error, QDateTime::currentDateTime(), true).value_or(QString());
    m_report.error = error;
    Finish(TFleetResult::Read);
}

// From the event loop, so that whoever started the radio sees its end as any other.
void TFleetRadio::FailToOpen(const QString &error)
{
    m_report.error = error;
    QTimer::singleShot(0, this, [this] { Finish(TFleetResult::CouldNotOpen); });
}

void TFleetRadio::Finish(TFleetResult result)
{
    if (IsFinished())
        return;
    m_guard.stop();
    m_link->ClosePort();
    m_report.result = result;
    m_report.phase = m_phase;
    m_report.elapsedMs = m_clock.elapsed();
    m_phase = TFleetPhase::Done;
    emit Changed();
    emit Finished();
}
