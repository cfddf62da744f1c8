#include "cli/Interrupt.h"

#include <iterator>

namespace {

// Polled, not acted on in the handler: only a flag may be touched there.
constexpr int kPollMs = 50;

volatile std::sig_atomic_t g_interrupted = 0;

constexpr int kSignals[] = {
    SIGINT,
    SIGTERM,
#ifdef SIGHUP
    SIGHUP,
#endif
};

extern "C" void OnInterrupt(int)
{
    g_interrupted = 1;
    for (int signo : kSignals)
        std::signal(signo, SIG_DFL);
}

}  // namespace

TInterruptCancels::TInterruptCancels(std::function<void()> cancel)
    : m_cancel(std::move(cancel))
{
    g_interrupted = 0;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        m_old[i] = std::signal(kSignals[i], OnInterrupt);
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
    g_interrupted = 0;
}

bool TInterruptCancels::Interrupted()
{
    return g_interrupted != 0;
}
