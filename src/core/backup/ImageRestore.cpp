#include "backup/ImageRestore.h"

#include "protocol/Areas.h"

namespace {

constexpr int kMainStep = TImageRestore::kMainStep;

// The blocks of an area the image holds, out of how many it has; the main write counts the
// channels and the settings together.
struct Held {
    int held = 0;
    int total = 0;
};

Held HeldOf(const TRadioImage &image, int step)
{
    Held count;
    for (const TRadioImage::Place &place : TRadioImage::Places()) {
        const bool main = place.area == frame::kMainArea || place.area == frame::kSettingsArea;
        if (step == kMainStep ? !main : place.area != step)
            continue;
        ++count.total;
        if (image.holds(place.area, place.block))
            ++count.held;
    }
    return count;
}

std::vector<int> StepsOf(const TRadioImage &image)
{
    std::vector<int> steps;
    for (int area : kSignallingAreas)
        if (image.holdsAnyOf(area))
            steps.push_back(area);
    if (HeldOf(image, kMainStep).held > 0)
        steps.push_back(kMainStep);
    return steps;
}

MainImage MainImageOf(const TRadioImage &image)
{
    MainImage main;
    for (int n = 1; n <= frame::kChannelCount; ++n)
        main.channels[static_cast<std::size_t>(n - 1)] = image.block(frame::kMainArea, n);
    main.settings = image.block(frame::kSettingsArea, 0);
    return main;
}

std::vector<Block> AreaBlocks(const TRadioImage &image, int area)
{
    std::vector<Block> blocks;
    for (int block = AreaFacts(area).firstBlock; block < AreaFacts(area).EndBlock(); ++block)
        blocks.push_back(image.block(area, block));
    return blocks;
}

}  // namespace

TImageRestore::TImageRestore(TProgramLink &link, TBackupStore store, QString program, QObject *parent)
    : QObject(parent), m_link(link), m_write(new TSafeWrite(link, std::move(store), std::move(program), this))
{
    m_guard.setSingleShot(true);
    m_guard.setInterval(kSilenceMs);
    connect(&m_guard, &QTimer::timeout, this, &TImageRestore::OnSilence);
    connect(&link, &TProgramLink::Progressed, this, [this] {
        if (m_guard.isActive())
            m_guard.start();  // every answer gives the radio ten seconds more
    });
    connect(m_write, &TSafeWrite::PhaseChanged, this, [this](TSafeWrite::Phase phase) {
        if (phase == TSafeWrite::Phase::Idle)
            return;
        if (m_area != kMainStep)
            m_guard.start();
        emit StepStarted(m_area, phase);
    });
    connect(m_write, &TSafeWrite::Finished, this, &TImageRestore::OnStepFinished);
}

std::vector<int> TImageRestore::PartlyHeld(const TRadioImage &image)
{
    std::vector<int> partly;
    for (int step : StepsOf(image)) {
        const Held count = HeldOf(image, step);
        if (count.held != count.total)
            partly.push_back(step);
    }
    return partly;
}

bool TImageRestore::Start(const QString &port, const TRadioImage &image, bool verify)
{
    if (IsRunning() || m_link.IsBusy() || image.isEmpty() || !PartlyHeld(image).empty())
        return false;
    std::vector<int> steps = StepsOf(image);
    m_openedPort = false;
    if (steps.front() != kMainStep && !m_link.IsPortOpen()) {
        m_link.OpenPort(port);  // ECommsError goes to the caller
        m_openedPort = true;
    }
    m_port = port;
    m_image = image;
    m_verify = verify;
    m_stepCount = static_cast<int>(steps.size());
    m_done = 0;
    m_steps.assign(steps.rbegin(), steps.rend());  // taken from the back
    bool started = false;
    try {
        started = StartStep();  // ECommsError of the main write's port goes to the caller
    } catch (...) {
        Abandon();
        throw;
    }
    if (!started)
        Abandon();
    return started;
}

bool TImageRestore::StartStep()
{
    m_area = m_steps.back();
    m_steps.pop_back();
    return m_area == kMainStep
               ? m_write->StartMain(m_port, MainImageOf(m_image), TSafeWrite::PriorRead(), m_verify)
               : m_write->StartArea(m_port, m_area, AreaBlocks(m_image, m_area), TSafeWrite::PriorRead(), m_verify);
}

void TImageRestore::StartNext()
{
    bool started = false;
    try {
        started = StartStep();
    } catch (const std::exception &) {
        started = false;  // the port went away between two steps
    }
    if (!started) {
        TSafeWrite::Outcome outcome;
        outcome.phase = TSafeWrite::Phase::Backup;
        outcome.end = TransferEnd::PortGone;
        Finish(outcome);
    }
}

void TImageRestore::OnStepFinished(const TSafeWrite::Outcome &outcome)
{
    m_guard.stop();
    const bool succeeded = outcome.result == TSafeWrite::Result::Verified
                           || outcome.result == TSafeWrite::Result::Written;
    if (!succeeded || m_steps.empty()) {
        if (succeeded)
            ++m_done;
        Finish(outcome);
        return;
    }
    ++m_done;
    StartNext();
}

void TImageRestore::OnSilence()
{
    if (m_link.Running() == TransferKind::AreaRead || m_link.Running() == TransferKind::AreaWrite)
        m_link.AbandonAreaTransfer(m_link.RunningArea(), TransferEnd::Silent);
}

void TImageRestore::Finish(const TSafeWrite::Outcome &outcome)
{
    Abandon();
    emit Finished(outcome, m_area, m_done);
}

void TImageRestore::Abandon()
{
    m_guard.stop();
    m_steps.clear();
    if (m_openedPort && m_link.IsPortOpen() && !m_link.IsBusy())
        m_link.ClosePort();
    m_openedPort = false;
}
