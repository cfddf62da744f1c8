#include "device/PosixSerialDevice.h"

#include "device/OpenFailureText.h"
#include "device/PosixOpenFailure.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

#if defined(__linux__)
#include <linux/serial.h>
#include <sys/eventfd.h>
#endif
// The interrupt counters are Linux's; their ioctl is not enough without its structure.
#if defined(__linux__) && defined(TIOCGICOUNT)
#define XIEPIN_LINE_COUNTERS 1
#endif

namespace {

// The terminal this program runs in: /dev/tty itself, one of its standard streams, or (Linux)
// its controlling terminal. Opened as a radio's port, the handshake would go to the user's
// screen and typed keys would be taken as the radio's answers.
bool IsOwnTerminal(int port)
{
    struct stat opened {};
    if (::fstat(port, &opened) != 0)
        return false;
    struct stat other {};
    if (::stat("/dev/tty", &other) == 0 && other.st_rdev == opened.st_rdev)
        return true;
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        if (::isatty(stream) && ::fstat(stream, &other) == 0 && other.st_rdev == opened.st_rdev)
            return true;
#if defined(__linux__)
    // /proc/self/stat: "pid (comm) state ppid pgrp session tty_nr ..."; comm may hold blanks.
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t end = line.rfind(')');
    if (end != std::string::npos) {
        std::istringstream fields(line.substr(end + 1));
        std::string state;
        long ppid = 0, pgrp = 0, session = 0, tty = 0;
        if (fields >> state >> ppid >> pgrp >> session >> tty && tty != 0
            && static_cast<dev_t>(tty) == opened.st_rdev)
            return true;
    }
#endif
    return false;
}

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How often line error and modem counters are looked at while no byte arrives.
constexpr int kCounterPollMs = 250;
// Silence after a frame that ended its chunk early before the next write may go out, in half
// byte times: bytes sent back to back are one byte time apart, and their reading is timed when
// the reading thread gets to them, which is never before they came.
constexpr int kQuietHalfBytes = 3;

std::int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// Start bit, data bits, parity bit and stop bits, in half bits (one and a half stop bits).
std::int64_t ByteNs(const TLineSettings &settings)
{
    const int dataBits = 5 + static_cast<int>(settings.byteSize);
    const int parityBits = settings.parity == TParity::None ? 0 : 1;
    const int stopHalves = settings.stopBits == TStopBits::_1 ? 2 : settings.stopBits == TStopBits::_1_5 ? 3 : 4;
    const int halves = 2 * (1 + dataBits + parityBits) + stopHalves;
    const std::uint32_t baud = settings.baudRate > 0 ? settings.baudRate : 9600;
    return std::int64_t(halves) * 500000000LL / baud;
}

struct BaudSpeed {
    std::uint32_t baud;
    speed_t speed;
};

constexpr BaudSpeed kBaudSpeeds[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},     {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400},
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B921600
    {921600, B921600},
#endif
};

// 0 when termios has no constant for the rate; the line then keeps its speed.
speed_t SpeedFor(std::uint32_t baud)
{
    for (const BaudSpeed &entry : kBaudSpeeds)
        if (entry.baud == baud)
            return entry.speed;
    return 0;
}

tcflag_t ByteSizeFlag(TByteSize size)
{
    switch (size) {
    case TByteSize::_5: return CS5;
    case TByteSize::_6: return CS6;
    case TByteSize::_7: return CS7;
    case TByteSize::_8: break;
    }
    return CS8;
}

tcflag_t ParityFlags(TParity parity)
{
    switch (parity) {
    case TParity::None: break;
    case TParity::Odd: return PARENB | PARODD;
    case TParity::Even: return PARENB;
#ifdef CMSPAR
    // CMSPAR turns the odd/even bit into a fixed one: PARODD set sends mark, clear sends space.
    case TParity::Mark: return PARENB | CMSPAR | PARODD;
    case TParity::Space: return PARENB | CMSPAR;
#else
    case TParity::Mark:
    case TParity::Space: break;
#endif
    }
    return 0;
}

void SetModemLine(int port, int line, bool on)
{
    // A pseudo-terminal has no modem lines and refuses this; there is nothing to assert then.
    ::ioctl(port, on ? TIOCMBIS : TIOCMBIC, &line);
}

// Waits in poll, again after a signal; false when poll itself failed.
bool PollRetrying(pollfd *fds, nfds_t count, int timeoutMs, int &ready)
{
    for (;;) {
        ready = ::poll(fds, count, timeoutMs);
        if (ready >= 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

} // namespace

// The bytes gathered since the last delivery, and when the first and the last of them came.
class TPosixSerialDevice::Chunk {
public:
    bool IsEmpty() const { return m_length == 0; }
    bool IsFull() const { return m_length == kChunkSize; }
    char *FreeSpace() { return m_bytes.data() + m_length; }
    std::size_t FreeSize() const { return kChunkSize - m_length; }
    Clock::time_point FirstByte() const { return m_first; }
    Clock::time_point LastByte() const { return m_last; }

    void Added(std::size_t count)
    {
        const auto now = Clock::now();
        if (m_length == 0)
            m_first = now;
        m_last = now;
        m_length += count;
    }

    const char *Bytes() const { return m_bytes.data(); }
    std::size_t Length() const { return m_length; }

    std::string Take()
    {
        std::string bytes(m_bytes.data(), m_length);
        m_length = 0;
        return bytes;
    }

    // The first count bytes; those after them stay as a chunk that starts now, also when none
    // are left, so that its silence is timed from here.
    std::string TakeFront(std::size_t count)
    {
        std::string front(m_bytes.data(), count);
        std::copy(m_bytes.begin() + count, m_bytes.begin() + m_length, m_bytes.begin());
        m_length -= count;
        m_first = m_last = Clock::now();
        return front;
    }

private:
    std::array<char, kChunkSize> m_bytes{};
    std::size_t m_length = 0;
    Clock::time_point m_first;
    Clock::time_point m_last;
};

// Line errors and modem events from the driver's interrupt counters (TIOCGICOUNT). Drivers
// without them (pseudo-terminals, many USB adapters) report nothing.
class TPosixSerialDevice::LineCounters {
public:
    explicit LineCounters(int port) : m_port(port) { m_available = Read(m_last); }
    bool Available() const { return m_available; }

    // Error flags and modem events counted since the previous call.
    std::pair<std::uint32_t, std::uint32_t> Changes()
    {
#if defined(XIEPIN_LINE_COUNTERS)
        serial_icounter_struct now{};
        if (!m_available || !Read(now))
            return {0, 0};
        std::uint32_t errors = 0;
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
        std::uint32_t modem = 0;
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
#if defined(XIEPIN_LINE_COUNTERS)
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

TPosixSerialDevice::TPosixSerialDevice() : m_byteNs(ByteNs(TLineSettings())), m_chunk(std::make_unique<Chunk>()) {}

TPosixSerialDevice::~TPosixSerialDevice()
{
    Close();
}

void TPosixSerialDevice::Open(const std::string &name)
{
    if (m_port >= 0)
        throw ECommsError("This serial port already opened");
    // O_NOCTTY: the port never becomes our controlling terminal. O_NONBLOCK: open does not wait
    // for carrier detect (CLOCAL is not set yet), and the port stays non-blocking so that the
    // threads wait only in poll(), where the close event always reaches them.
    const int port = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (port < 0)
        throw ECommsError(OpenFailureMessage(name, errno));
    if (!::isatty(port)) {
        ::close(port);
        throw ECommsError("File handle is not a comm handle ");
    }
    if (IsOwnTerminal(port)) {
        ::close(port);
        throw ECommsError(OpenFailureText(name, kOwnTerminal));
    }
    auto saved = std::make_unique<termios>();
    // flock fails for a device that another open of it holds, in this process or another;
    // TIOCEXCL alone would not stop root.
    if (::flock(port, LOCK_EX | LOCK_NB) != 0 || ::tcgetattr(port, saved.get()) != 0) {
        const int error = errno;
        ::close(port);
        throw ECommsError(OpenFailureMessage(name, error));
    }
    ::ioctl(port, TIOCEXCL);  // refuse further opens of the device, except by root

    m_port = port;
    m_savedTermios = std::move(saved);
    ::tcflush(m_port, TCIOFLUSH);  // nothing left over from an earlier user of the line

    if (!CreateCloseEvent()) {
        Close();
        throw ECommsError("Unable to create event");
    }
}

// An eventfd on Linux; elsewhere a pipe that nobody reads, so one byte in it keeps it readable.
bool TPosixSerialDevice::CreateCloseEvent()
{
#if defined(__linux__)
    m_closeEvent = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_closeSignal = m_closeEvent;
    return m_closeEvent >= 0;
#else
    int ends[2];
    if (::pipe(ends) != 0)
        return false;
    for (const int end : ends) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
    }
    m_closeEvent = ends[0];
    m_closeSignal = ends[1];
    return true;
#endif
}

void TPosixSerialDevice::ApplyLineSettings(const TLineSettings &settings)
{
    termios tio{};
    if (m_port < 0 || ::tcgetattr(m_port, &tio) != 0)
        return;
    // Raw: no line editing, echo, signal characters or CR/LF translation; every byte passes.
    ::cfmakeraw(&tio);
    // CLOCAL: the modem lines do not gate opening or reading. CREAD: the receiver is on.
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
#ifdef CMSPAR
    tio.c_cflag &= ~CMSPAR;
#endif
    tio.c_cflag |= ByteSizeFlag(settings.byteSize) | ParityFlags(settings.parity);
    // Two stop bits; with 5 data bits the UART sends one and a half.
    if (settings.stopBits != TStopBits::_1)
        tio.c_cflag |= CSTOPB;
    // Linux has one flag for both halves of RTS/CTS hardware flow control.
    if (settings.outxCtsFlow || settings.rtsControl == TRtsControl::RtsHandshake)
        tio.c_cflag |= CRTSCTS;
    // IXON: XON/XOFF received stop and restart our output. IXOFF: the driver sends them when its
    // input buffer fills. INPCK: check parity; a byte with a parity error reads as 0.
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    if (settings.outxXonXoffFlow)
        tio.c_iflag |= IXON;
    if (settings.inxXonXoffFlow)
        tio.c_iflag |= IXOFF;
    if (settings.parityCheck)
        tio.c_iflag |= INPCK;
    tio.c_cc[VSTART] = cc_t(settings.xonChar);
    tio.c_cc[VSTOP] = cc_t(settings.xoffChar);
    // A read returns what is there; Read times the chunks itself.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (const speed_t speed = SpeedFor(settings.baudRate))
        ::cfsetspeed(&tio, speed);
    // No termios counterpart, kept as settings only: DSR flow control and sensitivity,
    // TxContinueOnXoff, the XON/XOFF limits, null stripping and the parity replacement byte.
    ::tcsetattr(m_port, TCSANOW, &tio);
    ApplyModemLines(settings);
    m_byteNs = ByteNs(settings);
}

void TPosixSerialDevice::ApplyModemLines(const TLineSettings &settings) const
{
    // DTR handshake has no Linux counterpart: DTR stays asserted.
    SetModemLine(m_port, TIOCM_DTR, settings.dtrControl != TDtrControl::DtrDisable);
    switch (settings.rtsControl) {
    case TRtsControl::RtsEnable: SetModemLine(m_port, TIOCM_RTS, true); break;
    case TRtsControl::RtsDisable: SetModemLine(m_port, TIOCM_RTS, false); break;
    case TRtsControl::RtsHandshake: break;  // CRTSCTS: the driver drives RTS
    // RTS only while sending needs the driver's RS-485 mode; idle, the line is off.
    case TRtsControl::RtsTransmissionAvailable: SetModemLine(m_port, TIOCM_RTS, false); break;
    }
}

// The write time-outs have nothing to limit here: every request is written completely, as a
// timed-out write would only be resumed with the remaining bytes.
void TPosixSerialDevice::ApplyTimeouts(const TTimeouts &timeouts)
{
    m_interval = timeouts.readInterval;
    m_totalMultiplier = timeouts.readTotalMultiplier;
    m_totalConstant = timeouts.readTotalConstant;
}

void TPosixSerialDevice::SetFrameRule(TFrameRule rule)
{
    m_frameRule = rule;
}

TReadEvent TPosixSerialDevice::Read()
{
    while (m_events.empty()) {
        if (m_readEnd) {
            TReadEvent end;
            end.kind = *m_readEnd;
            return end;
        }
        ReadStep();
    }
    TReadEvent event = std::move(m_events.front());
    m_events.pop_front();
    return event;
}

// One wait for the port, the close event or the end of the chunk, and what follows from it.
void TPosixSerialDevice::ReadStep()
{
    if (m_port < 0)
        return EndReading(TReadEvent::Kind::Closed);
    if (!m_counters)
        m_counters = std::make_unique<LineCounters>(m_port);
    pollfd fds[2] = {{m_port, POLLIN, 0}, {m_closeEvent, POLLIN, 0}};
    const int ready = ::poll(fds, 2, PollTimeout());
    if (ready < 0 && errno != EINTR)
        return EndReading(TReadEvent::Kind::Hangup);
    if (ready > 0 && fds[1].revents != 0) {
        m_chunk->Take();  // closing: what is not delivered yet is discarded with the port's input
        return EndReading(TReadEvent::Kind::Closed);
    }
    // Due before reading: after a late wake-up, bytes that follow a pause start a new chunk
    // rather than joining the previous one.
    if ((!m_chunk->IsEmpty() || m_gatheringRest) && ChunkDue())
        PushChunk();
    // A write began after a quiet line: what comes now may answer it.
    if (m_gatheringRest && m_writesBegun != m_writesAtFrame)
        PushChunk();
    if (ready > 0 && fds[0].revents != 0) {
        const ReadOutcome outcome = ReadAvailable(fds[0].revents);
        if (outcome != ReadOutcome::Continue) {
            PushChunk();
            return EndReading(outcome == ReadOutcome::Hangup ? TReadEvent::Kind::Hangup
                                                             : TReadEvent::Kind::Closed);
        }
        if (!m_gatheringRest)
            EndChunkAtFrame();
    }
    ReportLineEvents();
    if (m_chunk->IsFull())
        PushChunk();
}

// Also ends a rest, empty or not.
void TPosixSerialDevice::PushChunk()
{
    const bool rest = m_gatheringRest;
    if (rest) {
        m_gatheringRest = false;
        m_restOpen = false;
    }
    if (m_chunk->IsEmpty())
        return;
    TReadEvent event;
    event.kind = TReadEvent::Kind::Chunk;
    event.bytes = m_chunk->Take();
    event.rest = rest;
    m_events.push_back(std::move(event));
}

// The rule found a whole frame at the start of the chunk: it goes out now, and what follows it
// is gathered as the rest. The rest opens before the writes are counted, so a write that
// begins meanwhile either waits for the quiet line or ends the rest.
void TPosixSerialDevice::EndChunkAtFrame()
{
    if (m_frameRule == nullptr || m_chunk->IsEmpty())
        return;
    const std::size_t length = m_frameRule(m_chunk->Bytes(), m_chunk->Length());
    if (length == 0 || length > m_chunk->Length())
        return;
    TReadEvent event;
    event.kind = TReadEvent::Kind::Chunk;
    event.bytes = m_chunk->TakeFront(length);
    m_events.push_back(std::move(event));
    m_gatheringRest = true;
    m_restOpen = true;
    m_writesAtFrame = m_writesBegun;
}

void TPosixSerialDevice::EndReading(TReadEvent::Kind kind)
{
    m_readEnd = kind;
}

void TPosixSerialDevice::ReportLineEvents()
{
    if (!m_counters->Available())
        return;
    const auto [errors, modem] = m_counters->Changes();
    if (errors == 0 && modem == 0)
        return;
    TReadEvent event;
    event.kind = TReadEvent::Kind::LineEvents;
    event.errors = errors;
    event.modem = modem;
    m_events.push_back(std::move(event));
}

TPosixSerialDevice::ReadOutcome TPosixSerialDevice::ReadAvailable(short revents)
{
    const ssize_t n = ::read(m_port, m_chunk->FreeSpace(), m_chunk->FreeSize());
    if (n > 0) {
        m_chunk->Added(std::size_t(n));
        m_lastInputNs = NowNs();
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
    // A descriptor closed under the thread ends it quietly; anything else (EIO when a
    // pseudo-terminal's master or a USB adapter goes away) is a broken line.
    return errno == EBADF ? ReadOutcome::End : ReadOutcome::Hangup;
}

std::uint64_t TPosixSerialDevice::TotalTimeout() const
{
    return std::uint64_t(m_totalMultiplier) * kChunkSize + m_totalConstant;
}

int TPosixSerialDevice::PollTimeout() const
{
    if (m_chunk->IsEmpty() && !m_gatheringRest)
        return m_counters->Available() ? kCounterPollMs : -1;
    if (m_chunk->IsFull())
        return 0;
    std::optional<Clock::time_point> due;
    const std::uint32_t interval = m_interval;
    if (interval > 0)
        due = m_chunk->LastByte() + milliseconds(interval);
    if (const std::uint64_t total = TotalTimeout(); total > 0) {
        const auto totalDue = m_chunk->FirstByte() + milliseconds(total);
        due = due ? std::min(*due, totalDue) : totalDue;
    }
    if (!due)
        return 0;
    // Round up, so the thread does not wake a fraction of a millisecond early and poll again.
    const auto left = std::chrono::ceil<milliseconds>(*due - Clock::now()).count();
    return int(std::clamp<std::int64_t>(left, 0, kCounterPollMs));
}

bool TPosixSerialDevice::ChunkDue() const
{
    const auto now = Clock::now();
    const std::uint32_t interval = m_interval;
    const std::uint64_t total = TotalTimeout();
    if (interval == 0 && total == 0)
        return true;
    if (interval > 0 && now >= m_chunk->LastByte() + milliseconds(interval))
        return true;
    return total > 0 && now >= m_chunk->FirstByte() + milliseconds(total);
}

TWriteResult TPosixSerialDevice::Write(const char *bytes, std::size_t count)
{
    if (const TWriteResult quiet = WaitQuietAfterFrame(); quiet != TWriteResult::Written)
        return quiet;
    ++m_writesBegun;
    std::size_t done = 0;
    while (done < count) {
        if (Cancelled())
            return TWriteResult::Closed;
        const ssize_t n = ::write(m_port, bytes + done, count - done);
        if (n >= 0) {
            done += std::size_t(n);
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN) {
            if (const TWriteResult waited = WaitWritable(); waited != TWriteResult::Written)
                return waited;
            continue;
        }
        // A descriptor closed under the thread ends it quietly; anything else is a broken line.
        return errno == EBADF ? TWriteResult::Closed : TWriteResult::Hangup;
    }
    return TWriteResult::Written;
}

// The driver's output buffer is full: wait until it takes bytes again or the port closes.
TWriteResult TPosixSerialDevice::WaitWritable() const
{
    pollfd fds[2] = {{m_port, POLLOUT, 0}, {m_closeEvent, POLLIN, 0}};
    int ready = 0;
    if (!PollRetrying(fds, 2, -1, ready))
        return TWriteResult::Hangup;
    if (fds[1].revents != 0)
        return TWriteResult::Closed;
    if ((fds[0].revents & POLLOUT) != 0)
        return TWriteResult::Written;
    return TWriteResult::Hangup;  // hang-up or error without room to write
}

// After a frame that ended its chunk early, the line must have been quiet for one and a half
// byte times, with nothing left unread, before anything goes out: bytes that follow the frame
// back to back then reach the rest and can never pass for an answer to what is written now.
TWriteResult TPosixSerialDevice::WaitQuietAfterFrame()
{
    while (m_restOpen) {
        int unread = 0;
        if (::ioctl(m_port, FIONREAD, &unread) != 0)
            unread = 0;
        const std::int64_t byteNs = m_byteNs;
        const std::int64_t waitNs = unread > 0 ? byteNs : m_lastInputNs + kQuietHalfBytes * byteNs / 2 - NowNs();
        if (waitNs <= 0)
            break;
        if (WaitCancelled(waitNs))
            return TWriteResult::Closed;
    }
    m_restOpen = false;
    return TWriteResult::Written;
}

// Sleeps up to ns; true when the close event came.
bool TPosixSerialDevice::WaitCancelled(std::int64_t ns) const
{
    pollfd fd{m_closeEvent, POLLIN, 0};
#if defined(__linux__)
    const timespec wait{time_t(ns / 1000000000), long(ns % 1000000000)};
    const int ready = ::ppoll(&fd, 1, &wait, nullptr);
#else
    const int ready = ::poll(&fd, 1, int((ns + 999999) / 1000000));
#endif
    return ready > 0 && fd.revents != 0;
}

bool TPosixSerialDevice::Cancelled() const
{
    pollfd fd{m_closeEvent, POLLIN, 0};
    return ::poll(&fd, 1, 0) > 0 && fd.revents != 0;
}

void TPosixSerialDevice::Purge()
{
    if (m_port >= 0)
        ::tcflush(m_port, TCIOFLUSH);
}

void TPosixSerialDevice::Cancel()
{
    if (m_closeSignal < 0)
        return;
#if defined(__linux__)
    ::eventfd_write(m_closeSignal, 1);
#else
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_closeSignal, &byte, 1);  // a full pipe is signalled already
#endif
}

// Gives the device back as we found it: settings restored, unlocked, closed.
void TPosixSerialDevice::Close()
{
    if (m_port < 0)
        return;
    Cancel();
    if (m_savedTermios)
        ::tcsetattr(m_port, TCSANOW, m_savedTermios.get());
    ::ioctl(m_port, TIOCNXCL);
    ::flock(m_port, LOCK_UN);
    ::close(m_port);
    if (m_closeSignal >= 0 && m_closeSignal != m_closeEvent)
        ::close(m_closeSignal);
    if (m_closeEvent >= 0)
        ::close(m_closeEvent);
    m_port = -1;
    m_closeEvent = -1;
    m_closeSignal = -1;
    m_savedTermios.reset();
}
