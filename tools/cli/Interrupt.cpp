#include "cli/Interrupt.h"

#include <atomic>
#include <cstdint>
#include <ctime>
#include <iterator>

namespace {

// Polled, not acted on in the handler: only a flag may be touched there.
constexpr int kPollMs = 50;

volatile std::sig_atomic_t g_interrupted = 0;
// When the first signal came, in milliseconds of the monotonic clock; touched in the handler,
// so lock-free.
std::atomic<std::int64_t> g_firstMs{0};
static_assert(std::atomic<std::int64_t>::is_always_lock_free);

// Further signals this soon after the first are the same keypress (a key held or pressed
// twice); later, one ends the program, should it hang. A write cut short is noted well within.
constexpr std::int64_t kRepeatMs = 1000;

std::int64_t MonotonicMs()
{
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);  // async-signal-safe
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

constexpr int kSignals[] = {
    SIGINT,
    SIGTERM,
#ifdef SIGHUP
    SIGHUP,
#endif
};

// A signal the caller ignores (nohup, a background job) stays ignored, then and after the first.
volatile std::sig_atomic_t g_watched[std::size(kSignals)] = {};

extern "C" void OnInterrupt(int signo)
{
    if (!g_interrupted) {
        g_firstMs = MonotonicMs();
        g_interrupted = 1;
        return;
    }
    if (MonotonicMs() - g_firstMs < kRepeatMs)
        return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        if (g_watched[i])
            std::signal(kSignals[i], SIG_DFL);
    std::raise(signo);
}

}  // namespace

TInterruptCancels::TInterruptCancels(std::function<void()> cancel)
    : m_cancel(std::move(cancel))
{
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        m_old[i] = std::signal(kSignals[i], SIG_IGN);
        g_watched[i] = m_old[i] != SIG_IGN;
        if (g_watched[i])
            std::signal(kSignals[i], OnInterrupt);
    }
    m_poll.setInterval(kPollMs);
    QObject::connect(&m_poll, &QTimer::timeout, [this] {
        if (!g_interrupted)
            return;
        m_poll.stop();
        m_cancel();
    });
    m_poll.start();
}

TInterruptCancels::~TInterruptCancels()
{
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        std::signal(kSignals[i], m_old[i]);
}

bool TInterruptCancels::Interrupted()
{
    return g_interrupted != 0;
}

void TInterruptCancels::Forget()
{
    g_interrupted = 0;
}
