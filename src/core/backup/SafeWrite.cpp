#include "backup/SafeWrite.h"

#include "backup/ImageAreas.h"
#include "protocol/Areas.h"

#include <QDateTime>

namespace {

TRadioImage MainBlocks(const MainImage &image)
{
    TRadioImage blocks = TRadioImage::None();
    for (int n = 1; n <= frame::kChannelCount; ++n)
        blocks.setBlock(frame::kMainArea, n, image.channels[static_cast<std::size_t>(n - 1)]);
    blocks.setBlock(frame::kSettingsArea, 0, image.settings);
    return blocks;
}

// The prior read serves when it came from this port and holds every block of the areas to be
// written.
bool Covers(const TSafeWrite::PriorRead &prior, const QString &port, const TRadioImage &sent)
{
    if (prior.port != port || prior.backupPath.isEmpty())
        return false;
    for (const TRadioImage::Place &place : WholeAreas(sent, TRadioImage()).heldPlaces())
        if (!prior.image.holds(place.area, place.block))
            return false;
    return true;
}

// A read that skipped a block (a reply that carried another block number) is no backup, and
// its data must not fill the blocks a write does not set.
QString MissingBlock(const TRadioImage &wanted, const TRadioImage &read)
{
    for (const TRadioImage::Place &place : wanted.heldPlaces())
        if (!read.holds(place.area, place.block))
            return QStringLiteral("the radio never sent area %1 block %2").arg(place.area).arg(place.block);
    return {};
}

}  // namespace

TSafeWrite::TSafeWrite(TProgramLink &link, TBackupStore store, QString program, QObject *parent)
    : QObject(parent), m_link(link), m_store(std::move(store)), m_program(std::move(program))
{
    connect(&link, &TProgramLink::MainBlockRead, this, &TSafeWrite::OnBlockRead);
    connect(&link, &TProgramLink::AreaBlockRead, this, &TSafeWrite::OnBlockRead);
    connect(&link, &TProgramLink::Progressed, this, &TSafeWrite::OnProgressed);
    connect(&link, &TProgramLink::Finished, this, &TSafeWrite::OnFinished);
}

bool TSafeWrite::StartMain(const QString &port, const MainImage &image, const PriorRead &prior, bool verify)
{
    return Begin(port, MainBlocks(image), prior, verify, QString());
}

bool TSafeWrite::StartArea(const QString &port, int area, const std::vector<Block> &blocks, const PriorRead &prior,
                           bool verify)
{
    TRadioImage sent = TRadioImage::None();
    for (std::size_t i = 0; i < blocks.size(); ++i)
        sent.setBlock(area, static_cast<int>(i), blocks[i]);
    return Begin(port, sent, prior, verify, QString());
}

bool TSafeWrite::StartImage(const QString &port, const TRadioImage &image, const PriorRead &prior, bool verify,
                            const QString &restoredFrom)
{
    return Begin(port, image, prior, verify, restoredFrom);
}

bool TSafeWrite::Begin(const QString &port, const TRadioImage &sent, const PriorRead &prior, bool verify,
                       const QString &restoredFrom)
{
    if (IsRunning() || m_link.IsBusy())
        return false;
    m_steps = TransferSteps(sent);
    if (m_steps.empty())
        return false;
    m_port = port;
    m_sent = sent;
    m_verify = verify;
    m_restoredFrom = restoredFrom;
    m_backup = TRadioImage::None();
    m_backupPath.clear();
    m_backupReadNow = false;
    if (Covers(prior, port, sent)) {
        m_sent = WholeAreas(sent, prior.image);
        m_backup = prior.image;
        m_backupPath = prior.backupPath;
        return StartWrite();
    }
    MoveTo(Phase::Backup);
    try {
        if (StartRead())
            return true;
    } catch (...) {
        MoveTo(Phase::Idle);
        throw;
    }
    MoveTo(Phase::Idle);
    return false;
}

bool TSafeWrite::StartRead()
{
    m_read = TRadioImage::None();
    m_step = 0;
    m_stepsDone = 0;
    return StartStep();
}

bool TSafeWrite::StartWrite()
{
    MoveTo(Phase::Write);
    m_step = 0;
    m_stepsDone = 0;
    bool started = false;
    try {
        started = StartStep();
    } catch (...) {
        MoveTo(Phase::Idle);
        throw;
    }
    if (!started)
        MoveTo(Phase::Idle);
    return started;
}

// Main transfers open the port (ECommsError goes to the caller) and close it at their end; the
// area transfers need it open, so it is opened again after a main one.
bool TSafeWrite::StartStep()
{
    const int area = m_steps.at(m_step);
    const bool reading = IsReading();
    if (area == kMainStep)
        return reading ? m_link.StartMainRead(m_port) : m_link.StartMainWrite(m_port, MainPart(m_sent));
    if (!m_link.IsPortOpen())
        m_link.OpenPort(m_port);
    if (reading)
        return m_link.StartAreaRead(area, AreaFacts(area).read);
    std::vector<Block> blocks;
    for (const TRadioImage::Place &place : m_sent.heldPlaces())
        if (place.area == area)
            blocks.push_back(m_sent.block(place.area, place.block));
    return m_link.StartAreaWrite(area, blocks, AreaFacts(area).framing);
}

// After a transfer of the phase completed: the next one, when there is one. False when none is
// left; a next one that cannot start ends the safe write.
bool TSafeWrite::NextStep()
{
    if (m_step + 1 >= m_steps.size())
        return false;
    m_stepsDone += m_link.LastTally().done;
    ++m_step;
    bool started = false;
    try {
        started = StartStep();
    } catch (const std::exception &) {
        started = false;  // the port cannot open again: it went away between two transfers
    }
    if (!started) {
        Outcome outcome;
        outcome.phase = m_phase;
        outcome.end = TransferEnd::PortGone;
        outcome.tally = PhaseTally({0, StepBlocks(m_step)});
        Finish(outcome);
    }
    return true;
}

int TSafeWrite::StepBlocks(std::size_t step) const
{
    const int area = m_steps.at(step);
    if (area == kMainStep)
        return frame::kMainAnswers - 1;
    if (IsReading())
        return AreaFacts(area).blockCount;
    int count = 0;
    for (const TRadioImage::Place &place : m_sent.heldPlaces())
        count += place.area == area ? 1 : 0;
    return count;
}

// The running transfer's tally within the whole phase: the earlier transfers' blocks before it,
// the later ones' after it.
TransferTally TSafeWrite::PhaseTally(TransferTally current) const
{
    TransferTally tally{m_stepsDone + current.done, m_stepsDone + current.total};
    for (std::size_t step = m_step + 1; step < m_steps.size(); ++step)
        tally.total += StepBlocks(step);
    return tally;
}

QString TSafeWrite::SaveRead(const TRadioImage &image, const QString &port, QString *error) const
{
    return m_store.Save(image, TBackupSource{port, m_program}, error, QDateTime::currentDateTime(), m_portInNames)
        .value_or(QString());
}

void TSafeWrite::OnBlockRead(int area, int block, const Block &data)
{
    if (IsReading() && TRadioImage::contains(area, block))
        m_read.setBlock(area, block, data);
}

void TSafeWrite::OnProgressed(TransferKind kind, int /*area*/, int answers)
{
    if (!IsRunning())
        return;
    const bool main = kind == TransferKind::MainRead || kind == TransferKind::MainWrite;
    const TransferTally tally = PhaseTally({main ? std::max(0, answers - 1) : answers, StepBlocks(m_step)});
    emit BlocksMoved(tally.done, tally.total);
}

void TSafeWrite::OnFinished(TransferKind /*kind*/, int /*area*/, TransferEnd reason)
{
    if (!IsRunning())
        return;
    if (reason != TransferEnd::Completed) {
        Outcome outcome;
        outcome.phase = m_phase;
        outcome.end = reason;
        outcome.tally = PhaseTally(m_link.LastTally());
        Finish(outcome);
        return;
    }
    if (NextStep())
        return;
    switch (m_phase) {
    case Phase::Backup:
        AfterBackupRead();
        break;
    case Phase::Write:
        AfterWrite();
        break;
    case Phase::Verify:
        AfterVerifyRead();
        break;
    case Phase::Idle:
        break;
    }
}

void TSafeWrite::AfterBackupRead()
{
    QString error = MissingBlock(WholeAreas(m_sent, TRadioImage()), m_read);
    if (error.isEmpty()) {
        m_sent = WholeAreas(m_sent, m_read);
        m_backup = m_read;
        m_backupPath = SaveRead(m_read, m_port, &error);
        m_backupReadNow = true;
    }
    if (m_backupPath.isEmpty()) {
        Outcome outcome;
        outcome.result = Result::BackupFailed;
        outcome.phase = Phase::Backup;
        outcome.error = error;
        Finish(outcome);
        return;
    }
    bool started = false;
    TransferEnd end = TransferEnd::Cancelled;
    QString openError;
    try {
        started = StartWrite();
    } catch (const std::exception &e) {
        end = TransferEnd::PortGone;  // the port cannot open again after the main read
        openError = QString::fromUtf8(e.what());
    }
    if (!started) {
        // No frame went out: as a backup that could not finish, nothing written, nothing noted.
        Outcome outcome;
        outcome.phase = Phase::Backup;
        outcome.end = end;
        outcome.error = openError;
        Finish(outcome);
    }
}

void TSafeWrite::AfterWrite()
{
    if (!m_verify) {
        Outcome outcome;
        outcome.result = Result::Written;
        Finish(outcome);
        return;
    }
    MoveTo(Phase::Verify);
    bool started = false;
    try {
        started = StartRead();
    } catch (const std::exception &) {
        started = false;  // the port cannot open again: reported as a verify that did not run
    }
    if (!started) {
        Outcome outcome;
        outcome.phase = Phase::Verify;
        outcome.end = TransferEnd::PortGone;
        Finish(outcome);
    }
}

void TSafeWrite::AfterVerifyRead()
{
    Outcome outcome;
    outcome.mismatches = CompareBlocks(m_sent, m_read);
    outcome.result = outcome.mismatches.empty() ? Result::Verified : Result::VerifyFailed;
    Finish(outcome);
}

bool TSafeWrite::LeftUnfinished(const Outcome &outcome)
{
    return outcome.result == Result::VerifyFailed
           || (outcome.result == Result::Ended && outcome.phase != Phase::Backup);
}

TSafeWrite::PriorRead TSafeWrite::BackupForNextWrite(const Outcome &outcome)
{
    // A port that went away may come back with another radio, which needs a backup of its own.
    return LeftUnfinished(outcome) && outcome.end != TransferEnd::PortGone ? outcome.before : PriorRead();
}

void TSafeWrite::Finish(Outcome outcome)
{
    outcome.backupPath = m_backupPath;
    if (!m_backupPath.isEmpty())
        outcome.before = PriorRead{m_port, m_backup, m_backupPath};
    // For the runs after this one, of this program or another: see TBackupStore.
    if (outcome.result == Result::Verified || outcome.result == Result::Written)
        outcome.earlierBackupPath =
            m_store.EndUnfinishedWrite(m_port, m_sent, m_restoredFrom, m_backupReadNow ? m_backupPath : QString())
                .value_or(QString());
    else if (LeftUnfinished(outcome))
        outcome.earlierBackupPath = m_store.NoteUnfinishedWrite(m_port, m_backupPath);
    MoveTo(Phase::Idle);
    emit Finished(outcome);
}

void TSafeWrite::MoveTo(Phase phase)
{
    if (phase == m_phase)
        return;
    m_phase = phase;
    emit PhaseChanged(phase);
}
