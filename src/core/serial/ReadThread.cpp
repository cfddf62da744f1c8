#include "serial/ReadThread.h"

#include "serial/Comm.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <optional>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#if defined(__linux__)
#include <linux/serial.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How often line error and modem counters are looked at while no byte arrives.
constexpr int kCounterPollMs = 250;

} // namespace

// The bytes gathered since the last delivery, and when the first and the last of them came.
class TReadThread::Chunk {
public:
    bool IsEmpty() const { return m_length == 0; }
    bool IsFull() const { return m_length == kChunkSize; }
    char *FreeSpace() { return m_bytes.data() + m_length; }
    int FreeSize() const { return kChunkSize - m_length; }
    Clock::time_point FirstByte() const { return m_first; }
    Clock::time_point LastByte() const { return m_last; }

    void Added(int count)
    {
        const auto now = Clock::now();
        if (m_length == 0)
            m_first = now;
        m_last = now;
        m_length += count;
    }

    QByteArray Take()
    {
        QByteArray bytes(m_bytes.data(), m_length);
        m_length = 0;
        return bytes;
    }

private:
    std::array<char, kChunkSize> m_bytes{};
    int m_length = 0;
    Clock::time_point m_first;
    Clock::time_point m_last;
};

// Line errors and modem events from the driver's interrupt counters (TIOCGICOUNT). Drivers
// without them (pseudo-terminals, many USB adapters) report nothing.
class TReadThread::LineCounters {
public:
    explicit LineCounters(int port) : m_port(port) { m_available = Read(m_last); }
    bool Available() const { return m_available; }

    // Error flags and modem events counted since the previous call.
    std::pair<quint32, quint32> Changes()
    {
#if defined(TIOCGICOUNT)
        serial_icounter_struct now{};
        if (!m_available || !Read(now))
            return {0, 0};
        quint32 errors = 0;
        if (now.buf_overrun != m_last.buf_overrun)
            errors |= commerror::kRxOver;
        if (now.overrun != m_last.overrun)
            errors |= commerror::kOverrun;
        if (now.parity != m_last.parity)
            errors |= commerror::kParity;
        if (now.frame != m_last.frame)
            errors |= commerror::kFrame;
        if (now.brk != m_last.brk)
            errors |= commerror::kBreak;
        quint32 modem = 0;
        if (now.dcd != m_last.dcd)
            modem |= modemevent::kCarrierDetect;
        if (now.rng != m_last.rng)
            modem |= modemevent::kRing;
        m_last = now;
        return {errors, modem};
#else
        return {0, 0};
#endif
    }

private:
#if defined(TIOCGICOUNT)
    bool Read(serial_icounter_struct &counters) const { return ::ioctl(m_port, TIOCGICOUNT, &counters) == 0; }
    serial_icounter_struct m_last{};
#else
    struct Nothing {};
    bool Read(Nothing &) const { return false; }
    Nothing m_last;
#endif
    const int m_port;
    bool m_available = false;
};

TReadThread::TReadThread(int port, int closeEvent, QObject *parent)
    : QThread(parent), m_port(port), m_closeEvent(closeEvent)
{
}

void TReadThread::SetTimeouts(quint32 interval, quint32 totalMultiplier, quint32 totalConstant)
{
    m_interval = interval;
    m_totalMultiplier = totalMultiplier;
    m_totalConstant = totalConstant;
}

void TReadThread::run()
{
    Chunk chunk;
    LineCounters counters(m_port);
    for (;;) {
        pollfd fds[2] = {{m_port, POLLIN, 0}, {m_closeEvent, POLLIN, 0}};
        const int ready = ::poll(fds, 2, PollTimeout(chunk, counters.Available()));
        if (ready < 0 && errno != EINTR) {
            Q_EMIT HangupRequested();
            return;
        }
        if (ready > 0 && fds[1].revents != 0)
            return;  // closing: what is not delivered yet is discarded with the port's input
        // Due before reading: after a late wake-up, bytes that follow a pause start a new chunk
        // rather than joining the previous one.
        if (!chunk.IsEmpty() && ChunkDue(chunk))
            Q_EMIT ChunkReceived(chunk.Take());
        if (ready > 0 && fds[0].revents != 0) {
            const ReadOutcome outcome = ReadAvailable(chunk, fds[0].revents);
            if (outcome != ReadOutcome::Continue) {
                if (!chunk.IsEmpty())
                    Q_EMIT ChunkReceived(chunk.Take());
                if (outcome == ReadOutcome::Hangup)
                    Q_EMIT HangupRequested();
                return;
            }
        }
        ReportLineEvents(counters);
        if (chunk.IsFull())
            Q_EMIT ChunkReceived(chunk.Take());
    }
}

void TReadThread::ReportLineEvents(LineCounters &counters)
{
    if (!counters.Available())
        return;
    const auto [errors, modem] = counters.Changes();
    if (errors != 0)
        Q_EMIT LineError(errors);
    if (modem != 0)
        Q_EMIT ModemEvent(modem);
}

TReadThread::ReadOutcome TReadThread::ReadAvailable(Chunk &chunk, short revents)
{
    const ssize_t n = ::read(m_port, chunk.FreeSpace(), size_t(chunk.FreeSize()));
    if (n > 0) {
        chunk.Added(int(n));
        return ReadOutcome::Continue;
    }
    if (n == 0)
        return ReadOutcome::Hangup;  // end of file: the other side of the line is gone
    if (errno == EAGAIN || errno == EINTR) {
        // Nothing to read although poll woke us: only a hang-up or error explains that, and
        // polling again would spin.
        const bool broken = (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
        return broken ? ReadOutcome::Hangup : ReadOutcome::Continue;
    }
    // A descriptor closed under the thread ends it quietly; anything else is a broken line.
    return errno == EBADF ? ReadOutcome::End : ReadOutcome::Hangup;
}

int TReadThread::PollTimeout(const Chunk &chunk, bool watchCounters) const
{
    if (chunk.IsEmpty())
        return watchCounters ? kCounterPollMs : -1;
    if (chunk.IsFull())
        return 0;
    std::optional<Clock::time_point> due;
    const quint32 interval = m_interval;
    if (interval > 0)
        due = chunk.LastByte() + milliseconds(interval);
    const quint64 total = quint64(m_totalMultiplier) * kChunkSize + m_totalConstant;
    if (total > 0) {
        const auto totalDue = chunk.FirstByte() + milliseconds(total);
        due = due ? std::min(*due, totalDue) : totalDue;
    }
    if (!due)
        return 0;
    // Round up, so the thread does not wake a fraction of a millisecond early and poll again.
    const auto left = std::chrono::ceil<milliseconds>(*due - Clock::now()).count();
    return int(std::clamp<qint64>(left, 0, kCounterPollMs));
}

bool TReadThread::ChunkDue(const Chunk &chunk) const
{
    const auto now = Clock::now();
    const quint32 interval = m_interval;
    const quint64 total = quint64(m_totalMultiplier) * kChunkSize + m_totalConstant;
    if (interval == 0 && total == 0)
        return true;
    if (interval > 0 && now >= chunk.LastByte() + milliseconds(interval))
        return true;
    return total > 0 && now >= chunk.FirstByte() + milliseconds(total);
}
