#include "radio/PreciseAlarm.h"

#include <QSocketNotifier>

#include <cstdint>
#include <unistd.h>
#if defined(__linux__)
#include <sys/timerfd.h>
#endif

namespace {

constexpr qint64 kNsPerMs = 1000000;
constexpr qint64 kNsPerSecond = 1000 * kNsPerMs;

}  // namespace

PreciseAlarm::PreciseAlarm(QObject *parent) : QObject(parent)
{
#if defined(__linux__)
    m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
#endif
    if (m_fd >= 0) {
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, &PreciseAlarm::fired);
        return;
    }
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PreciseAlarm::ring);
}

PreciseAlarm::~PreciseAlarm()
{
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
}

void PreciseAlarm::start(qint64 ns)
{
#if defined(__linux__)
    if (m_fd >= 0) {
        ns = qMax<qint64>(1, ns);  // all zeros would disarm it
        itimerspec when{};
        when.it_value.tv_sec = static_cast<time_t>(ns / kNsPerSecond);
        when.it_value.tv_nsec = static_cast<long>(ns % kNsPerSecond);
        ::timerfd_settime(m_fd, 0, &when, nullptr);
        return;
    }
#endif
    m_timer.start(static_cast<int>((qMax<qint64>(0, ns) + kNsPerMs - 1) / kNsPerMs));
}

void PreciseAlarm::stop()
{
#if defined(__linux__)
    if (m_fd >= 0) {
        const itimerspec off{};
        ::timerfd_settime(m_fd, 0, &off, nullptr);
        return;
    }
#endif
    m_timer.stop();
}

// The expiry count must be read, or the descriptor stays readable.
void PreciseAlarm::fired()
{
    std::uint64_t expirations = 0;
    if (::read(m_fd, &expirations, sizeof expirations) == sizeof expirations)
        emit ring();
}
