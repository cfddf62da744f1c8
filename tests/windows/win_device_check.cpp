// The serial device on Windows, without Qt. scripts/test-windows.sh runs it under Wine:
//   win_device_check                 device names, open failures, code page 936
//   win_device_check --radio COMn    against a virtual radio started with --fault split=2
//   win_device_check --gone COMn     against a virtual radio with --timing --fault disappear=31
//   win_device_check --ports LIST    the registry listing is LIST (comma-separated; "" for an
//                                    empty list, "none" when nothing may be listed)
// Prints PASS, FAIL or SKIP per check; SKIP names what the system under test does not emulate.

#include "base/CodePage936.h"
#include "device/DcbFlags.h"
#include "device/SerialDevice.h"
#include "device/SerialPortList.h"
#include "device/Win32SerialDevice.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kWait = 5s;  // generous: the machine is shared with other builds

int g_passed = 0;
int g_failed = 0;
int g_skipped = 0;

void Check(bool ok, const std::string &what)
{
    (ok ? g_passed : g_failed)++;
    std::printf("%s %s\n", ok ? "PASS" : "FAIL", what.c_str());
    std::fflush(stdout);
}

void Skip(const std::string &what, const std::string &why)
{
    g_skipped++;
    std::printf("SKIP: %s: %s\n", what.c_str(), why.c_str());
    std::fflush(stdout);
}

std::string Hex(const std::string &bytes)
{
    std::string text;
    char digits[4];
    for (unsigned char c : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", c);
        text += digits;
    }
    return text;
}

std::string Since(Clock::time_point start)
{
    return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count()) + " ms";
}

// The radio's protocol, as far as the checks need it.
std::string ReadRequest(int area, int block)
{
    return {char(0x52), char(area), char(block), char(0x20)};
}

std::uint16_t FrameCrc(const std::string &bytes)
{
    std::uint16_t crc = 0xFFFF;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? std::uint16_t((crc >> 1) ^ 0xA001) : std::uint16_t(crc >> 1);
    }
    return crc;
}

// A 34-byte data frame of this area and block with a right check value.
bool IsReply(const std::string &bytes, int area, int block)
{
    if (bytes.size() != 34 || bytes.compare(0, 4, std::string{char(0x57), char(area), char(block), char(0x20)}) != 0)
        return false;
    const std::uint16_t crc = FrameCrc(bytes.substr(0, 32));
    return (unsigned char)bytes[32] == crc >> 8 && (unsigned char)bytes[33] == (crc & 0xFF);
}

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

std::string OpenError(TSerialDevice &device, const std::string &name)
{
    try {
        device.Open(name);
    } catch (const ECommsError &e) {
        return e.what();
    }
    return {};
}

bool OpenLikeMainWindow(TSerialDevice &device, const std::string &port)
{
    const std::string error = OpenError(device, port);
    if (!error.empty()) {
        std::printf("     open %s: %s\n", port.c_str(), error.c_str());
        return false;
    }
    device.ApplyTimeouts(MainWindowTimeouts());
    device.ApplyLineSettings(MainWindowLine());
    return true;
}

// The reading thread of the device, as the serial component runs it: Read in a loop on one
// thread (Windows cancels the I/O of a thread that ends), until Closed or Hangup.
class ReadingThread {
public:
    explicit ReadingThread(TSerialDevice &device) : m_device(device), m_thread([this] { Run(); }) {}
    ~ReadingThread()
    {
        m_device.Cancel();
        m_thread.join();
    }
    ReadingThread(const ReadingThread &) = delete;
    ReadingThread &operator=(const ReadingThread &) = delete;

    std::optional<TReadEvent> Next(Clock::duration wait = kWait)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_changed.wait_for(lock, wait, [this] { return !m_events.empty(); }))
            return std::nullopt;
        TReadEvent event = std::move(m_events.front());
        m_events.pop_front();
        return event;
    }

    // Chunks until count bytes came; what came when reading ended or the time ran out.
    std::string Bytes(std::size_t count, std::vector<std::size_t> *sizes = nullptr)
    {
        std::string bytes;
        const auto end = Clock::now() + kWait;
        while (bytes.size() < count && Clock::now() < end) {
            const std::optional<TReadEvent> event = Next(end - Clock::now());
            if (!event)
                break;
            if (event->kind == TReadEvent::Kind::Closed || event->kind == TReadEvent::Kind::Hangup) {
                std::printf("     reading ended with %s\n", event->kind == TReadEvent::Kind::Closed ? "Closed" : "Hangup");
                m_ended = event->kind;
                break;
            }
            if (event->kind == TReadEvent::Kind::Chunk) {
                bytes += event->bytes;
                if (sizes != nullptr)
                    sizes->push_back(event->bytes.size());
            }
        }
        return bytes;
    }

    // The kind that ended reading, once it has ended within the wait.
    std::optional<TReadEvent::Kind> End(Clock::duration wait = kWait)
    {
        if (m_ended)
            return m_ended;
        const auto end = Clock::now() + wait;
        while (Clock::now() < end) {
            const std::optional<TReadEvent> event = Next(end - Clock::now());
            if (!event)
                break;
            if (event->kind == TReadEvent::Kind::Closed || event->kind == TReadEvent::Kind::Hangup)
                return event->kind;
        }
        return std::nullopt;
    }

private:
    void Run()
    {
        for (;;) {
            TReadEvent event = m_device.Read();
            const bool last = event.kind == TReadEvent::Kind::Closed || event.kind == TReadEvent::Kind::Hangup;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_events.push_back(std::move(event));
            }
            m_changed.notify_all();
            if (last)
                return;
        }
    }

    TSerialDevice &m_device;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<TReadEvent> m_events;
    std::optional<TReadEvent::Kind> m_ended;  // seen by Bytes
    std::thread m_thread;
};

HANDLE PortHandle(TSerialDevice &device)
{
    auto *win32 = dynamic_cast<TWin32SerialDevice *>(&device);
    return win32 != nullptr ? win32->NativeHandle() : nullptr;
}

// The flags word as the driver reports it in its control block.
std::uint32_t FlagsWord(const DCB &dcb)
{
    return std::uint32_t(dcb.fBinary) | dcb.fParity << 1 | dcb.fOutxCtsFlow << 2 | dcb.fOutxDsrFlow << 3
           | dcb.fDtrControl << 4 | dcb.fDsrSensitivity << 6 | dcb.fTXContinueOnXoff << 7 | dcb.fOutX << 8
           | dcb.fInX << 9 | dcb.fErrorChar << 10 | dcb.fNull << 11 | dcb.fRtsControl << 12
           | dcb.fAbortOnError << 14;
}

std::string Describe(const DCB &dcb)
{
    char text[160];
    std::snprintf(text, sizeof text, "baud %lu, %u data bits, parity %u, stop bits code %u, flags 0x%04x",
                  (unsigned long)dcb.BaudRate, dcb.ByteSize, dcb.Parity, dcb.StopBits, FlagsWord(dcb));
    return text;
}

// ---- Checks that need no port -------------------------------------------------------------

void DevicePaths()
{
    struct Case {
        const char *name;
        const char *path;
    };
    const Case cases[] = {
        {"COM1", "\\\\.\\COM1"},     {"COM9", "\\\\.\\COM9"},     {"COM10", "\\\\.\\COM10"},
        {"com256", "\\\\.\\com256"}, {"COM257", "\\\\.\\COM257"}, {"COM0", "COM0"},
        {"COM", "COM"},              {"COMX", "COMX"},            {"LPT1", "LPT1"},
        {"\\\\.\\COM3", "\\\\.\\COM3"}, {"COM1:", "COM1:"},
    };
    for (const Case &c : cases)
        Check(TWin32SerialDevice::DevicePath(c.name) == c.path,
              std::string("device path of ") + c.name + " is " + c.path);
}

void PlatformDevice()
{
    const std::unique_ptr<TSerialDevice> device = CreateSerialDevice();
    Check(dynamic_cast<TWin32SerialDevice *>(device.get()) != nullptr, "CreateSerialDevice gives the Win32 device");
}

void OpenFailures()
{
    {
        const std::unique_ptr<TSerialDevice> device = CreateSerialDevice();
        Check(OpenError(*device, "COM250") == "Error opening serial port: COM250: no such device. Is the cable plugged in?",
              "a port that does not exist says so");
    }
    char folder[MAX_PATH];
    char file[MAX_PATH];
    if (::GetTempPathA(MAX_PATH, folder) != 0 && ::GetTempFileNameA(folder, "xp", 0, file) != 0) {
        const std::unique_ptr<TSerialDevice> device = CreateSerialDevice();
        Check(OpenError(*device, file) == "File handle is not a comm handle ", "a disk file is no comm handle");
        ::DeleteFileA(file);
    } else {
        Check(false, "a temporary file to open");
    }
    const std::unique_ptr<TSerialDevice> device = CreateSerialDevice();
    const std::string nul = OpenError(*device, "NUL");
    if (nul.empty())
        Skip("the null device refuses SetupComm (\"Cannot setup comm buffer\")", "it accepted the queue sizes");
    else
        Check(nul == "Cannot setup comm buffer", "the null device is a character device without comm buffers ("
                                                     + nul + ")");
}

std::wstring Wide(const wchar_t *text)
{
    return text;
}

void CodePage936()
{
    struct Case {
        std::wstring text;
        std::string gbk;
    };
    const Case cases[] = {
        {L"", ""},
        {L"438.50000", "438.50000"},
        {L"\u5bf9\u8bb2\u673a\u5199\u9891\u8f6f\u4ef6 V1.1.4",  // 对讲机写频软件
         "\xb6\xd4\xbd\xb2\xbb\xfa\xd0\xb4\xc6\xb5\xc8\xed\xbc\xfe V1.1.4"},
        {L"\u65e0,\u5f00,\u5173,\u9ad8,\u4f4e,\u5bbd\u5e26,\u4e2d\u6587",  // 无,开,关,高,低,宽带,中文
         "\xce\xde,\xbf\xaa,\xb9\xd8,\xb8\xdf,\xb5\xcd,\xbf\xed\xb4\xf8,\xd6\xd0\xce\xc4"},
    };
    for (const Case &c : cases) {
        const std::optional<std::string> encoded = WideToCodePage936(c.text);
        const std::optional<std::wstring> decoded = CodePage936ToWide(c.gbk);
        Check(encoded && *encoded == c.gbk && decoded && *decoded == c.text,
              "code page 936 both ways: " + Hex(c.gbk) + (encoded ? " (encoded " + Hex(*encoded) + ")" : ""));
    }
    Check(!WideToCodePage936(Wide(L"\ud55c")), "a Hangul syllable has no GBK code");
    Check(!WideToCodePage936(Wide(L"a\xd800z")), "a lone surrogate has no GBK code");
    Check(!CodePage936ToWide("ab\x81"), "a lead byte cut off at the end is not GBK");
    Check(!CodePage936ToWide("\xff\xff"), "0xFF 0xFF is not GBK");
}

// ---- Checks against the virtual radio ----------------------------------------------------

// The port's baud rate and read interval as another program leaves them (set when given), read
// through a handle of its own.
std::optional<std::pair<DWORD, DWORD>> PortState(const std::string &port, DWORD baud = 0, DWORD interval = 0)
{
    const HANDLE handle = ::CreateFileA(TWin32SerialDevice::DevicePath(port).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    COMMTIMEOUTS timeouts{};
    bool read = ::GetCommState(handle, &dcb) && ::GetCommTimeouts(handle, &timeouts);
    if (read && baud != 0) {
        dcb.BaudRate = baud;
        timeouts.ReadIntervalTimeout = interval;
        read = ::SetCommState(handle, &dcb) && ::SetCommTimeouts(handle, &timeouts)
               && ::GetCommState(handle, &dcb) && ::GetCommTimeouts(handle, &timeouts);
    }
    ::CloseHandle(handle);
    return read ? std::optional<std::pair<DWORD, DWORD>>({dcb.BaudRate, timeouts.ReadIntervalTimeout}) : std::nullopt;
}

void SettingsReadBack(const std::string &port)
{
    const std::optional<std::pair<DWORD, DWORD>> before = PortState(port, 2400, 77);
    const std::unique_ptr<TSerialDevice> device = CreateSerialDevice();
    if (!OpenLikeMainWindow(*device, port))
        return Check(false, "open " + port + " as the main window does");
    Check(true, "open " + port + " as the main window does");
    const HANDLE handle = PortHandle(*device);
    COMMTIMEOUTS timeouts{};
    Check(::GetCommTimeouts(handle, &timeouts) && timeouts.ReadIntervalTimeout == 20
              && timeouts.ReadTotalTimeoutMultiplier == 0 && timeouts.ReadTotalTimeoutConstant == 0
              && timeouts.WriteTotalTimeoutMultiplier == 0 && timeouts.WriteTotalTimeoutConstant == 0,
          "time-outs read back as 20, 0, 0, 0, 0");
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(handle, &dcb))
        return Check(false, "GetCommState");
    Check(dcb.BaudRate == 9600 && dcb.ByteSize == 8 && dcb.Parity == NOPARITY && dcb.StopBits == ONESTOPBIT,
          "9600 baud, 8 data bits, no parity, one stop bit (" + Describe(dcb) + ")");
    Check(dcb.XonChar == 0x11 && dcb.XoffChar == 0x13, "XON and XOFF characters");
    // Wine keeps TX-continue-on-XOFF nowhere and reads it back as 0: 0x1011 there.
    if (FlagsWord(dcb) == 0x1011)
        Skip("the flags word reads back as 0x1091", "TX-continue-on-XOFF is not kept by the driver (read back 0x1011)");
    else
        Check(FlagsWord(dcb) == 0x1091, "the flags word reads back as 0x1091 (" + Describe(dcb) + ")");

    // Other lines are applied as given: the codes of the control block follow the enumerations.
    struct Variant {
        TByteSize size;
        TParity parity;
        TStopBits stop;
        std::uint32_t baud;
        BYTE dcbSize, dcbParity, dcbStop;
    };
    const Variant variants[] = {
        {TByteSize::_7, TParity::Even, TStopBits::_2, 19200, 7, EVENPARITY, TWOSTOPBITS},
        {TByteSize::_8, TParity::Odd, TStopBits::_1, 4800, 8, ODDPARITY, ONESTOPBIT},
        {TByteSize::_8, TParity::None, TStopBits::_1, 9600, 8, NOPARITY, ONESTOPBIT},
    };
    for (const Variant &v : variants) {
        TLineSettings line = MainWindowLine();
        line.byteSize = v.size;
        line.parity = v.parity;
        line.stopBits = v.stop;
        line.baudRate = v.baud;
        device->ApplyLineSettings(line);
        DCB now{};
        now.DCBlength = sizeof now;
        const bool read = ::GetCommState(handle, &now);
        Check(read && now.BaudRate == v.baud && now.StopBits == v.dcbStop, "baud rate and stop bits applied: " + Describe(now));
        // A Linux pseudo-terminal forces 8 data bits without parity, whatever is set.
        const bool framing = now.ByteSize == v.dcbSize && now.Parity == v.dcbParity;
        if (!framing && now.ByteSize == 8 && v.dcbParity != NOPARITY)
            Skip("data bits and parity applied (" + Describe(now) + ")",
                 "a pseudo-terminal keeps 8 data bits and no parity");
        else
            Check(read && framing, "data bits and parity applied: " + Describe(now));
    }
    TTimeouts other;
    other.readInterval = 50;
    other.readTotalConstant = 7;
    other.writeTotalMultiplier = 3;
    device->ApplyTimeouts(other);
    Check(::GetCommTimeouts(handle, &timeouts) && timeouts.ReadIntervalTimeout == 50
              && timeouts.ReadTotalTimeoutMultiplier == 0 && timeouts.ReadTotalTimeoutConstant == 7
              && timeouts.WriteTotalTimeoutMultiplier == 3 && timeouts.WriteTotalTimeoutConstant == 0,
          "time-outs applied in their order");
    device->Close();
    Check(PortHandle(*device) == nullptr, "closed, the device holds no handle");
    const std::optional<std::pair<DWORD, DWORD>> after = PortState(port);
    if (!before || !after)
        Check(false, "the port's state is read through a handle of its own");
    else if (before->first != 2400)
        Skip("closed, the port has its settings back", "the driver did not keep 2400 baud");
    else
        Check(after->first == 2400, "closed, the port has its baud rate back (" + std::to_string(after->first) + ")");
    // Wine keeps time-outs with the handle, not the port: a new handle reads 0.
    if (after && after->second != 20 && after->second != 77)
        Skip("closed, the port has its time-outs back", "the driver keeps time-outs per handle");
    else if (after)
        Check(after->second == 77, "closed, the port has its time-outs back (read interval " +
                                       std::to_string(after->second) + ")");
}

// The radio's first reply comes whole, its second (split=2) in two parts 25 ms apart.
void RepliesAndChunks(const std::string &port)
{
    const std::unique_ptr<TSerialDevice> device = CreateSerialDevice();
    if (!OpenLikeMainWindow(*device, port))
        return Check(false, "chunks: open");
    ReadingThread reader(*device);

    const std::string request = ReadRequest(5, 0);
    Check(device->Write(request.data(), request.size()) == TWriteResult::Written, "a read request is written");
    std::vector<std::size_t> sizes;
    auto asked = Clock::now();
    std::string reply = reader.Bytes(34, &sizes);
    Check(IsReply(reply, 5, 0) && sizes.size() == 1,
          "a 34-byte reply is one chunk (got " + std::to_string(sizes.size()) + " chunks in " + Since(asked)
              + ": " + Hex(reply) + ")");

    sizes.clear();
    device->Write(request.data(), request.size());
    asked = Clock::now();
    reply = reader.Bytes(34, &sizes);
    std::printf("     split reply after %s\n", Since(asked).c_str());
    Check(IsReply(reply, 5, 0) && sizes == std::vector<std::size_t>{17, 17},
          "a 25 ms pause splits the reply into 17 + 17 (got " + std::to_string(sizes.size()) + " chunks)");

    // Four writes of one byte each, as the protocol queues them: the radio answers only when
    // they came in order.
    const std::string oneByOne = ReadRequest(0, 3);
    bool written = true;
    for (char byte : oneByOne)
        written = device->Write(&byte, 1) == TWriteResult::Written && written;
    reply = reader.Bytes(34);
    Check(written && IsReply(reply, 0, 3), "one-byte writes arrive in order (reply " + Hex(reply) + ")");
    const std::string program = "PROGRAM";
    for (char byte : program)
        device->Write(&byte, 1);
    reply = reader.Bytes(1);
    Check(reply == "\x06", "\"PROGRAM\" byte by byte is acknowledged");

    // Exclusive: neither a second device nor this one opens the port again.
    const std::unique_ptr<TSerialDevice> second = CreateSerialDevice();
    const std::string refused = OpenError(*second, port);
    if (refused.empty())
        Skip("a second open of the port is refused as in use",
             "the sharing mode is not enforced on a device (the second CreateFileA succeeded)");
    else
        Check(refused == "Error opening serial port: " + port + ": in use by another program. Close the program that "
                             "uses it, then try again.",
              "a second open of the port is refused as in use (" + refused + ")");
    second->Close();
    Check(OpenError(*device, port) == "This serial port already opened", "opening an open device again is refused");
    device->Write(request.data(), request.size());
    Check(IsReply(reader.Bytes(34), 5, 0), "the port still works after the refused opens");

    device->Cancel();
    device->Purge();
    Check(reader.End() == TReadEvent::Kind::Closed, "cancel ends reading with Closed");
    Check(device->Read().kind == TReadEvent::Kind::Closed, "a read after cancel returns Closed at once");
    Check(device->Write("x", 1) == TWriteResult::Closed, "a write after cancel returns Closed");
    device->Close();
    const std::unique_ptr<TSerialDevice> again = CreateSerialDevice();
    Check(OpenError(*again, port).empty(), "the port opens again once closed");
}

// Whether a read on the quiet port, with a total time-out of 30 ms, completes empty as Windows
// does it; before any reading thread, so the probe takes no byte of the checks'.
bool EmptyReadsEmulated(const std::string &port)
{
    const std::unique_ptr<TSerialDevice> device = CreateSerialDevice();
    if (!OpenError(*device, port).empty())
        return false;
    TTimeouts total = MainWindowTimeouts();
    total.readTotalConstant = 30;
    device->ApplyTimeouts(total);
    const HANDLE handle = PortHandle(*device);
    OVERLAPPED overlapped{};
    overlapped.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    char byte = 0;
    DWORD count = 1;
    bool empty = false;
    if (::ReadFile(handle, &byte, 1, nullptr, &overlapped) || ::GetLastError() == ERROR_IO_PENDING) {
        empty = ::WaitForSingleObject(overlapped.hEvent, 1000) == WAIT_OBJECT_0
                && ::GetOverlappedResult(handle, &overlapped, &count, FALSE) && count == 0;
        if (!empty) {
            ::CancelIo(handle);
            ::GetOverlappedResult(handle, &overlapped, &count, TRUE);
        }
    }
    ::CloseHandle(overlapped.hEvent);
    return empty;
}

// A total time-out set, Windows completes reads empty while the line is quiet: reading goes on,
// and the next reply still comes.
void QuietLineWithTotalTimeout(const std::string &port)
{
    const std::string what = "a quiet line with a total time-out set does not end reading";
    if (!EmptyReadsEmulated(port))
        return Skip(what, "a read with a total time-out on the quiet port did not complete empty");
    const std::unique_ptr<TSerialDevice> device = CreateSerialDevice();
    if (!OpenLikeMainWindow(*device, port))
        return Check(false, what + ": open");
    TTimeouts total = MainWindowTimeouts();
    total.readTotalConstant = 30;
    device->ApplyTimeouts(total);
    ReadingThread reader(*device);
    std::this_thread::sleep_for(300ms);
    const std::string request = ReadRequest(5, 0);
    device->Write(request.data(), request.size());
    const std::string reply = reader.Bytes(34);
    Check(IsReply(reply, 5, 0), what + " (reply " + Hex(reply) + ")");
}

// The radio (--timing, disappear=31) sends 30 replies at 9600 baud, about one second; the port
// is closed in the middle of them, reopened, and then the radio goes away.
void CloseWhileArrivingThenGone(const std::string &port)
{
    auto device = CreateSerialDevice();
    if (!OpenLikeMainWindow(*device, port))
        return Check(false, "close while bytes arrive: open");
    {
        ReadingThread reader(*device);
        std::string requests;
        for (int block = 1; block <= 16; ++block)
            requests += ReadRequest(0, block);
        for (int block = 0; block <= 13; ++block)
            requests += ReadRequest(4, block);
        device->Write(requests.data(), requests.size());
        std::this_thread::sleep_for(400ms);  // the replies are on the line now
        const auto closing = Clock::now();
        device->Cancel();
        device->Purge();
        const std::optional<TReadEvent::Kind> end = reader.End();
        device->Close();
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - closing);
        Check(end == TReadEvent::Kind::Closed, "closing while bytes arrive ends reading with Closed");
        Check(took < 2000ms, "closing while bytes arrive takes " + std::to_string(took.count()) + " ms");
    }
    device = CreateSerialDevice();
    Check(OpenLikeMainWindow(*device, port), "the port opens again while the radio still sends");
    std::this_thread::sleep_for(1500ms);  // the rest of the 30 replies
    device->Purge();
    ReadingThread reader(*device);
    const std::string request = ReadRequest(5, 0);
    device->Write(request.data(), request.size());  // the 31st frame: the radio answers and goes
    const std::string reply = reader.Bytes(34);
    Check(IsReply(reply, 5, 0), "after a purge the next reply comes alone (" + Hex(reply) + ")");
    const auto gone = Clock::now();
    const std::optional<TReadEvent::Kind> end = reader.End();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - gone);
    Check(end == TReadEvent::Kind::Hangup,
          "the device going away is a hang-up (after " + std::to_string(took.count()) + " ms)");
    Check(device->Write("x", 1) == TWriteResult::Hangup, "a write to the vanished device is a hang-up");
    device->Cancel();
    device->Close();
}

// ---- The registry listing ----------------------------------------------------------------

std::vector<std::string> SplitList(const std::string &text)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t comma = text.find(',', start);
        names.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return names;
}

std::string JoinList(const std::vector<std::string> &names)
{
    std::string text;
    for (const std::string &name : names)
        text += (text.empty() ? "" : ",") + name;
    return text;
}

void PortListing(const std::string &expected)
{
    const std::optional<std::vector<std::string>> found = ListSerialDevices();
    if (expected == "none")
        return Check(!found, "the registry lists nothing" + (found ? " (got " + JoinList(*found) + ")" : std::string()));
    Check(found && *found == SplitList(expected),
          "the registry lists " + expected + (found ? " (got " + JoinList(*found) + ")" : " (got nothing)"));
}

} // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode.empty()) {
        DevicePaths();
        PlatformDevice();
        OpenFailures();
        CodePage936();
    } else if (mode == "--radio" && argc == 3) {
        SettingsReadBack(argv[2]);
        RepliesAndChunks(argv[2]);
        QuietLineWithTotalTimeout(argv[2]);
    } else if (mode == "--gone" && argc == 3) {
        CloseWhileArrivingThenGone(argv[2]);
    } else if (mode == "--ports" && argc == 3) {
        PortListing(argv[2]);
    } else {
        std::fprintf(stderr, "usage: win_device_check [--radio COMn | --gone COMn | --ports LIST]\n");
        return 2;
    }
    std::printf("%d passed, %d failed, %d skipped\n", g_passed, g_failed, g_skipped);
    return g_failed == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
