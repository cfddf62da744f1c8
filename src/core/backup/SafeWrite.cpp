#include "backup/SafeWrite.h"

#include "protocol/Areas.h"

namespace {

TRadioImage MainBlocks(const MainImage &image)
{
    TRadioImage blocks = TRadioImage::None();
    for (int n = 1; n <= frame::kChannelCount; ++n)
        blocks.setBlock(frame::kMainArea, n, image.channels[static_cast<std::size_t>(n - 1)]);
    blocks.setBlock(frame::kSettingsArea, 0, image.settings);
    return blocks;
}

// The prior read serves when it came from this port and holds every block to be written.
bool Covers(const TSafeWrite::PriorRead &prior, const QString &port, const TRadioImage &sent)
{
    if (prior.port != port || prior.backupPath.isEmpty())
        return false;
    for (const TRadioImage::Place &place : sent.heldPlaces())
        if (!prior.image.holds(place.area, place.block))
            return false;
    return true;
}

}  // namespace

TSafeWrite::TSafeWrite(TProgramLink &link, TBackupStore store, QString program, QObject *parent)
    : QObject(parent), m_link(link), m_store(std::move(store)), m_program(std::move(program))
{
    connect(&link, &TProgramLink::MainBlockRead, this, &TSafeWrite::OnBlockRead);
    connect(&link, &TProgramLink::AreaBlockRead, this, &TSafeWrite::OnBlockRead);
    connect(&link, &TProgramLink::Finished, this, &TSafeWrite::OnFinished);
}

bool TSafeWrite::StartMain(const QString &port, const MainImage &image, const PriorRead &prior, bool verify)
{
    m_mainImage = image;
    return Begin(port, -1, MainBlocks(image), prior, verify);
}

bool TSafeWrite::StartArea(const QString &port, int area, const std::vector<Block> &blocks, const PriorRead &prior,
                           bool verify)
{
    TRadioImage sent = TRadioImage::None();
    for (std::size_t i = 0; i < blocks.size(); ++i)
        sent.setBlock(area, static_cast<int>(i), blocks[i]);
    return Begin(port, area, sent, prior, verify);
}

bool TSafeWrite::Begin(const QString &port, int area, const TRadioImage &sent, const PriorRead &prior, bool verify)
{
    if (IsRunning() || m_link.IsBusy())
        return false;
    m_port = port;
    m_area = area;
    m_sent = sent;
    m_verify = verify;
    m_backupPath.clear();
    if (Covers(prior, port, sent)) {
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

// Main reads open the port (ECommsError goes to the caller); area reads need it open.
bool TSafeWrite::StartRead()
{
    m_read = TRadioImage::None();
    if (m_area < 0)
        return m_link.StartMainRead(m_port);
    return m_link.StartAreaRead(m_area, AreaFacts(m_area).read);
}

bool TSafeWrite::StartWrite()
{
    MoveTo(Phase::Write);
    bool started = false;
    if (m_area < 0) {
        started = m_link.StartMainWrite(m_port, m_mainImage);
    } else {
        std::vector<Block> blocks;
        for (const TRadioImage::Place &place : m_sent.heldPlaces())
            blocks.push_back(m_sent.block(place.area, place.block));
        started = m_link.StartAreaWrite(m_area, blocks, AreaFacts(m_area).framing);
    }
    if (!started)
        MoveTo(Phase::Idle);
    return started;
}

QString TSafeWrite::SaveRead(const TRadioImage &image, const QString &port, QString *error) const
{
    return m_store.Save(image, TBackupSource{port, m_program}, error).value_or(QString());
}

void TSafeWrite::OnBlockRead(int area, int block, const Block &data)
{
    if (IsReading() && TRadioImage::contains(area, block))
        m_read.setBlock(area, block, data);
}

void TSafeWrite::OnFinished(TransferKind /*kind*/, int /*area*/, TransferEnd reason)
{
    if (!IsRunning())
        return;
    if (reason != TransferEnd::Completed) {
        Outcome outcome;
        outcome.phase = m_phase;
        outcome.end = reason;
        outcome.tally = m_link.LastTally();
        Finish(outcome);
        return;
    }
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
    QString error;
    m_backupPath = SaveRead(m_read, m_port, &error);
    if (m_backupPath.isEmpty()) {
        Outcome outcome;
        outcome.result = Result::BackupFailed;
        outcome.phase = Phase::Backup;
        outcome.error = error;
        Finish(outcome);
        return;
    }
    // A main read closes the port at its end; an area write needs it open still.
    if (!StartWrite()) {
        Outcome outcome;
        outcome.phase = Phase::Write;
        outcome.end = TransferEnd::Cancelled;
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

void TSafeWrite::Finish(Outcome outcome)
{
    outcome.backupPath = m_backupPath;
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
