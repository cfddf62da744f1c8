// The serial device without Qt: built with nothing but the C++ standard library and POSIX, it
// drives TPosixSerialDevice on a pseudo-terminal whose master side plays the far end.

#include "device/DcbFlags.h"
#include "device/PosixSerialDevice.h"
#include "device/SerialPortList.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <future>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr auto kWait = 5s;  // generous: the machine is shared with other builds

int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const std::string &what)
{
    (ok ? g_passed : g_failed)++;
    std::printf("%s %s\n", ok ? "PASS" : "FAIL", what.c_str());
}

// The test holds the master and one descriptor of the slave, to read the line settings and to
// see how many bytes wait in the slave's input queue.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        if (const char *name = ::ptsname(m_master))
            m_path = name;
        m_slave = ::open(m_path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    ~PseudoTerminal()
    {
        CloseMaster();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool IsValid() const { return m_master >= 0 && m_slave >= 0; }
    const std::string &Path() const { return m_path; }

    void CloseMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    bool Send(const std::string &bytes) const
    {
        return ::write(m_master, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    }

    std::string Receive(std::size_t count) const
    {
        std::string bytes;
        const auto end = std::chrono::steady_clock::now() + kWait;
        while (bytes.size() < count && std::chrono::steady_clock::now() < end) {
            pollfd fd{m_master, POLLIN, 0};
            char buffer[256];
            if (::poll(&fd, 1, 50) > 0) {
                const ssize_t n = ::read(m_master, buffer, sizeof buffer);
                if (n > 0)
                    bytes.append(buffer, std::size_t(n));
            }
        }
        return bytes;
    }

    // The slave's input queue: bytes sent and not yet read by the device. Bytes from the master
    // reach it a moment after the write, so wait for them to arrive before a reader starts.
    bool WaitInputQueued(int count) const { return WaitInput([count](int n) { return n == count; }); }
    bool WaitInputTaken() const { return WaitInput([](int n) { return n == 0; }); }

    termios Settings() const
    {
        termios tio{};
        ::tcgetattr(m_slave, &tio);
        return tio;
    }

private:
    bool WaitInput(const std::function<bool(int)> &done) const
    {
        const auto end = std::chrono::steady_clock::now() + kWait;
        int pending = 0;
        while (::ioctl(m_slave, FIONREAD, &pending) == 0 && !done(pending)) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(1ms);
        }
        return done(pending);
    }

    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

TLineSettings MainWindowLine()
{
    TLineSettings line;
    line.outxXonXoffFlow = false;
    line.inxXonXoffFlow = false;
    return line;
}

TTimeouts MainWindowTimeouts()
{
    TTimeouts timeouts;
    timeouts.readInterval = 20;
    return timeouts;
}

std::string OpenError(TSerialDevice &device, const std::string &path)
{
    try {
        device.Open(path);
    } catch (const ECommsError &e) {
        return e.what();
    }
    return {};
}

// Opens the pseudo-terminal's slave as the main window sets the port up.
bool OpenLikeMainWindow(TPosixSerialDevice &device, const PseudoTerminal &pty)
{
    if (!OpenError(device, pty.Path()).empty())
        return false;
    device.ApplyTimeouts(MainWindowTimeouts());
    device.ApplyLineSettings(MainWindowLine());
    return true;
}

// Waits for a call running on another thread; cancels the device when it has not returned in
// time, so that a fault fails the check instead of hanging the test.
template <typename Result>
Result Finish(TSerialDevice &device, std::future<Result> &result, bool &inTime)
{
    inTime = result.wait_for(kWait) == std::future_status::ready;
    if (!inTime)
        device.Cancel();
    return result.get();
}

std::future<TReadEvent> StartRead(TSerialDevice &device)
{
    return std::async(std::launch::async, [&device] { return device.Read(); });
}

TReadEvent ReadWithin(TSerialDevice &device, bool &inTime)
{
    std::future<TReadEvent> read = StartRead(device);
    return Finish(device, read, inTime);
}

std::string Pattern(std::size_t size, int seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = char((int(i) * 7 + seed) & 0xFF);
    return bytes;
}

void LineSettingsAreRaw9600_8N1(PseudoTerminal &pty)
{
    TPosixSerialDevice device;
    const termios before = pty.Settings();
    Check(OpenLikeMainWindow(device, pty), "opens a pseudo-terminal");
    const termios t = pty.Settings();
    Check(cfgetospeed(&t) == B9600 && cfgetispeed(&t) == B9600, "9600 baud");
    Check((t.c_cflag & (CSIZE | PARENB | CSTOPB)) == CS8, "8 data bits, no parity, one stop bit");
    Check((t.c_cflag & (CLOCAL | CREAD | CRTSCTS)) == (CLOCAL | CREAD), "receiver on, no hardware flow");
    Check((t.c_lflag & (ICANON | ECHO | ISIG)) == 0 && (t.c_oflag & OPOST) == 0
              && (t.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF)) == 0,
          "raw, no software flow");
    device.Close();
    const termios after = pty.Settings();
    Check(after.c_lflag == before.c_lflag && after.c_iflag == before.c_iflag
              && after.c_cflag == before.c_cflag && after.c_oflag == before.c_oflag,
          "close restores the settings found");
}

void BurstIsOneChunk(PseudoTerminal &pty)
{
    TPosixSerialDevice device;
    if (!OpenLikeMainWindow(device, pty))
        return Check(false, "34-byte burst: open");
    const std::string reply = Pattern(34, 1);
    Check(pty.Send(reply), "34-byte burst sent");
    bool inTime = false;
    const TReadEvent event = ReadWithin(device, inTime);
    Check(inTime && event.kind == TReadEvent::Kind::Chunk && event.bytes == reply,
          "a 34-byte burst is one chunk of 34 bytes (got " + std::to_string(event.bytes.size()) + ")");
}

void PauseSplitsChunk(PseudoTerminal &pty)
{
    TPosixSerialDevice device;
    if (!OpenLikeMainWindow(device, pty))
        return Check(false, "pause: open");
    const std::string first = Pattern(17, 2);
    const std::string second = Pattern(17, 3);
    // The pause counts from when the device took the first half, whatever the load: the half
    // waits in the input queue until the reader starts and is seen to take it.
    pty.Send(first);
    const bool queued = pty.WaitInputQueued(int(first.size()));
    std::future<TReadEvent> firstRead = StartRead(device);
    const bool taken = pty.WaitInputTaken();
    std::this_thread::sleep_for(25ms);
    pty.Send(second);
    bool firstInTime = false;
    bool secondInTime = false;
    const TReadEvent a = Finish(device, firstRead, firstInTime);
    const TReadEvent b = ReadWithin(device, secondInTime);
    Check(queued && taken, "the first half went through the input queue");
    Check(firstInTime && a.bytes == first && secondInTime && b.bytes == second,
          "a 25 ms pause splits 34 bytes into 17 + 17 (got " + std::to_string(a.bytes.size()) + " + "
              + std::to_string(b.bytes.size()) + ")");
}

void LongBurstSplitsAtChunkSize(PseudoTerminal &pty)
{
    TPosixSerialDevice device;
    if (!OpenLikeMainWindow(device, pty))
        return Check(false, "long burst: open");
    const std::string bytes = Pattern(2100, 4);
    std::thread farEnd([&] { pty.Send(bytes); });
    std::string got;
    std::vector<std::size_t> sizes;
    bool inTime = true;
    while (inTime && got.size() < bytes.size()) {
        const TReadEvent event = ReadWithin(device, inTime);
        if (event.kind != TReadEvent::Kind::Chunk)
            break;
        got += event.bytes;
        sizes.push_back(event.bytes.size());
    }
    farEnd.join();
    bool bounded = true;
    for (std::size_t size : sizes)
        bounded = bounded && size <= TSerialDevice::kChunkSize;
    Check(got == bytes && bounded && !sizes.empty() && sizes.front() == TSerialDevice::kChunkSize,
          "2100 bytes come whole, the first chunk full at 2048");
}

// A toy frame rule: 'F' and three more bytes.
std::size_t FourByteFrame(const char *bytes, std::size_t count)
{
    return count >= 4 && bytes[0] == 'F' ? 4 : 0;
}

// Opens the device with the toy frame rule and chunks that end after readIntervalMs of silence.
bool OpenWithFrameRule(TPosixSerialDevice &device, PseudoTerminal &pty, int readIntervalMs)
{
    device.SetFrameRule(&FourByteFrame);
    if (!OpenLikeMainWindow(device, pty))
        return false;
    TTimeouts timeouts = MainWindowTimeouts();
    timeouts.readInterval = readIntervalMs;
    device.ApplyTimeouts(timeouts);
    return true;
}

// With a frame rule a chunk ends at its frame, not at the interval's silence (10 s here). What
// came with it and after it is its rest; a write waits until the rest's bytes are read, and the
// write ends the rest, so bytes after it are a new chunk where the rule applies again.
void FrameEndsChunkAtOnce(PseudoTerminal &pty)
{
    TPosixSerialDevice device;
    if (!OpenWithFrameRule(device, pty, 10000))
        return Check(false, "frame rule: open");
    pty.Send("F123xy");
    bool inTime = false;
    const TReadEvent frame = ReadWithin(device, inTime);
    Check(inTime && frame.bytes == "F123" && !frame.rest, "a chunk ends at a complete frame (got '" + frame.bytes + "')");

    pty.Send("zz");
    const bool queued = pty.WaitInputQueued(2);
    auto write = std::async(std::launch::async, [&] { return device.Write("w", 1); });
    const bool waited = write.wait_for(200ms) == std::future_status::timeout;
    const TReadEvent rest = ReadWithin(device, inTime);
    bool writeInTime = false;
    const TWriteResult written = Finish(device, write, writeInTime);
    Check(queued && waited, "a write after a frame waits while bytes that followed it are unread");
    Check(inTime && rest.rest && rest.bytes == "xyzz", "the bytes after the frame, up to the write, are its rest (got '"
                                                          + rest.bytes + "')");
    Check(writeInTime && written == TWriteResult::Written && pty.Receive(1) == "w", "the write then goes out");

    pty.Send("F456");
    const TReadEvent next = ReadWithin(device, inTime);
    Check(inTime && next.bytes == "F456" && !next.rest, "after a write the rule ends the next chunk again");
}

// Bytes that begin with no frame wait for the interval's silence, as without a rule.
void NoFrameWaitsForSilence(PseudoTerminal &pty)
{
    TPosixSerialDevice device;
    if (!OpenWithFrameRule(device, pty, 300))
        return Check(false, "no frame: open");
    const auto sent = std::chrono::steady_clock::now();
    pty.Send("G123F456");
    bool inTime = false;
    const TReadEvent chunk = ReadWithin(device, inTime);
    const auto waited = std::chrono::steady_clock::now() - sent;
    Check(inTime && chunk.bytes == "G123F456" && !chunk.rest && waited >= 300ms,
          "bytes that begin with no frame are one chunk after the silence");
}

void OpenFailures(PseudoTerminal &pty)
{
    TPosixSerialDevice holder;
    if (!OpenLikeMainWindow(holder, pty))
        return Check(false, "open failures: open");
    TPosixSerialDevice second;
    Check(OpenError(second, pty.Path()).rfind("Error opening serial port: " + pty.Path() + ": in use by ", 0) == 0,
          "a second open of the device is refused");
    TPosixSerialDevice missing;
    Check(OpenError(missing, "/nonexistent/ttyXP0")
              == "Error opening serial port: /nonexistent/ttyXP0: no such device. Is the cable plugged in?",
          "a missing device");
    TPosixSerialDevice notTerminal;
    Check(OpenError(notTerminal, "/dev/null") == "File handle is not a comm handle ",
          "a character device that is no terminal");
    holder.Close();
    TPosixSerialDevice after;
    Check(OpenError(after, pty.Path()).empty(), "the device opens again once released");
}

void WriteReachesFarEnd(PseudoTerminal &pty)
{
    TPosixSerialDevice device;
    if (!OpenLikeMainWindow(device, pty))
        return Check(false, "write: open");
    const std::string bytes = Pattern(600, 5);
    bool inTime = false;
    auto write = std::async(std::launch::async, [&] { return device.Write(bytes.data(), bytes.size()); });
    const TWriteResult result = Finish(device, write, inTime);
    Check(inTime && result == TWriteResult::Written && pty.Receive(bytes.size()) == bytes,
          "a write reaches the far end whole");
}

void CancelWakesBlockedCalls(PseudoTerminal &pty)
{
    TPosixSerialDevice device;
    if (!OpenLikeMainWindow(device, pty))
        return Check(false, "cancel: open");
    // Nobody reads the far end: the write fills the driver's buffer and waits.
    const std::string block = Pattern(200000, 6);
    auto read = std::async(std::launch::async, [&] { return device.Read(); });
    auto write = std::async(std::launch::async, [&] { return device.Write(block.data(), block.size()); });
    std::this_thread::sleep_for(100ms);
    device.Cancel();
    const bool readEnded = read.wait_for(kWait) == std::future_status::ready;
    const bool writeEnded = write.wait_for(kWait) == std::future_status::ready;
    Check(readEnded && read.get().kind == TReadEvent::Kind::Closed, "cancel ends a waiting read with Closed");
    Check(writeEnded && write.get() == TWriteResult::Closed, "cancel ends a blocked write with Closed");
    Check(device.Read().kind == TReadEvent::Kind::Closed, "a read after cancel returns Closed at once");
}

void HangupWhenFarEndCloses(PseudoTerminal &pty)
{
    TPosixSerialDevice device;
    if (!OpenLikeMainWindow(device, pty))
        return Check(false, "hang-up: open");
    const std::string tail = Pattern(10, 7);
    pty.Send(tail);
    pty.WaitInputQueued(int(tail.size()));
    std::future<TReadEvent> read = StartRead(device);
    pty.WaitInputTaken();
    const auto closed = std::chrono::steady_clock::now();
    pty.CloseMaster();
    bool inTime = false;
    TReadEvent event = Finish(device, read, inTime);
    Check(inTime && event.kind == TReadEvent::Kind::Chunk && event.bytes == tail,
          "bytes received before the far end closed are delivered");
    event = ReadWithin(device, inTime);
    const auto delay = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - closed);
    Check(inTime && event.kind == TReadEvent::Kind::Hangup,
          "the closed far end is a hang-up (after " + std::to_string(delay.count()) + " ms)");
    Check(delay < 1000ms, "the hang-up comes within 1 s");
    Check(device.Write("x", 1) == TWriteResult::Hangup, "a write to the vanished far end is a hang-up");
}

void SortsNamesIgnoringCase()
{
    std::vector<std::string> names{"/dev/ttyUSB0", "/dev/ttyS10", "com3", "/dev/ttyACM0", "COM1", "/dev/ttyS2"};
    SortDeviceNames(names);
    Check(names == std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyS10", "/dev/ttyS2", "/dev/ttyUSB0", "COM1", "com3"},
          "port names sort ignoring case");
    Check(!ListSerialDevices("/nonexistent/tty", "/dev", ""), "an unreadable tty class lists nothing");
}

// The Win32 control block's flags word, computed on every platform.
void DcbFlagsFollowTheSettings()
{
    struct Case {
        const char *what;
        void (*change)(TLineSettings &);
        std::uint32_t flags;
    };
    const Case cases[] = {
        {"the main window's line", [](TLineSettings &l) { l.outxXonXoffFlow = l.inxXonXoffFlow = false; }, 0x1091},
        {"the defaults (XON/XOFF both ways)", [](TLineSettings &) {}, 0x1391},
        {"everything off", [](TLineSettings &l) {
             l.dtrControl = TDtrControl::DtrDisable;
             l.rtsControl = TRtsControl::RtsDisable;
             l.txContinueOnXoff = l.outxXonXoffFlow = l.inxXonXoffFlow = false;
         }, 0x0001},
        {"DTR and RTS handshake", [](TLineSettings &l) {
             l.dtrControl = TDtrControl::DtrHandshake;
             l.rtsControl = TRtsControl::RtsHandshake;
         }, 0x23A1},
        {"RTS while sending", [](TLineSettings &l) { l.rtsControl = TRtsControl::RtsTransmissionAvailable; }, 0x3391},
        {"every single bit", [](TLineSettings &l) {
             l.parityCheck = l.outxCtsFlow = l.outxDsrFlow = l.dsrSensitivity = true;
             l.replaceWhenParityError = l.ignoreNullChar = true;
         }, 0x1FDF},
    };
    for (const Case &c : cases) {
        TLineSettings line;
        c.change(line);
        char got[16];
        std::snprintf(got, sizeof got, "0x%04x", DcbFlags(line));
        Check(DcbFlags(line) == c.flags, std::string("control block flags for ") + c.what + " (" + got + ")");
    }
}

} // namespace

int main()
{
    using Case = void (*)(PseudoTerminal &);
    const Case cases[] = {
        LineSettingsAreRaw9600_8N1, BurstIsOneChunk,    PauseSplitsChunk,        LongBurstSplitsAtChunkSize,
        OpenFailures,               WriteReachesFarEnd, CancelWakesBlockedCalls, HangupWhenFarEndCloses,
        FrameEndsChunkAtOnce,       NoFrameWaitsForSilence,
    };
    for (const Case run : cases) {
        PseudoTerminal pty;
        if (!pty.IsValid()) {
            Check(false, "a pseudo-terminal is available");
            continue;
        }
        run(pty);
    }
    SortsNamesIgnoringCase();
    DcbFlagsFollowTheSettings();
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
