#include "cli/Interrupt.h"

#include <ctime>
#include <iterator>

namespace {

// Polled, not acted on in the handler: only a flag may be touched there.
constexpr int kPollMs = 50;

volatile std::sig_atomic_t g_interrupted = 0;
volatile std::sig_atomic_t g_firstSecond = 0;  // of the monotonic clock, when the first signal came

// A second signal this long after the first ends the program; sooner, it is the same keypress.
constexpr int kRepeatSeconds = 2;

int MonotonicSecond()
{
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);  // async-signal-safe
    return static_cast<int>(now.tv_sec);
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
        g_firstSecond = MonotonicSecond();
        g_interrupted = 1;
        return;
    }
    if (MonotonicSecond() - g_firstSecond < kRepeatSeconds)
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
