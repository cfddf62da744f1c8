// Built on Windows only; the guard lets the plain C++ check compile the folder anywhere.
#ifdef _WIN32

#include "device/Win32SerialDevice.h"

#include "device/DcbFlags.h"
#include "device/OpenFailureText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

constexpr DWORD kQueueSize = 4096;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

bool Signalled(HANDLE event)
{
    return ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

// An overlapped operation that is still pending is cancelled and awaited, so that the system
// no longer writes into its OVERLAPPED or buffer once this returns.
void Abandon(HANDLE port, OVERLAPPED &overlapped)
{
    if (!::CancelIoEx(port, &overlapped) && ::GetLastError() != ERROR_NOT_FOUND)
        return;  // nothing of ours is pending on this handle
    DWORD ignored = 0;
    ::GetOverlappedResult(port, &overlapped, &ignored, TRUE);
}

// A port held by another program and a port that is not there read differently, as on POSIX.
std::string OpenFailureMessage(const std::string &name, DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return OpenFailureText(name, kPortInUseElsewhere);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DEV_NOT_EXIST:
        return OpenFailureText(name, kNoSuchPort);
    default:
        break;
    }
    char text[256] = {};
    const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                          text, sizeof text, nullptr);
    std::string detail(text, length);
    while (!detail.empty() && (detail.back() == '\n' || detail.back() == '\r' || detail.back() == ' '))
        detail.pop_back();
    return OpenFailureText(name, detail.empty() ? "system error " + std::to_string(error) : detail);
}

// Writes the word's bits into the control block's bit-fields, every one of them.
void SetDcbFlags(DCB &dcb, std::uint32_t flags)
{
    const auto bits = [flags](int position, int width) { return (flags >> position) & ((1u << width) - 1); };
    dcb.fBinary = bits(0, 1);
    dcb.fParity = bits(1, 1);
    dcb.fOutxCtsFlow = bits(2, 1);
    dcb.fOutxDsrFlow = bits(3, 1);
    dcb.fDtrControl = bits(4, 2);
    dcb.fDsrSensitivity = bits(6, 1);
    dcb.fTXContinueOnXoff = bits(7, 1);
    dcb.fOutX = bits(8, 1);
    dcb.fInX = bits(9, 1);
    dcb.fErrorChar = bits(10, 1);
    dcb.fNull = bits(11, 1);
    dcb.fRtsControl = bits(12, 2);
    dcb.fAbortOnError = bits(14, 1);
    dcb.fDummy2 = bits(15, 17);
}

} // namespace

// The reading thread's side: the two overlapped operations that stay pending between calls of
// Read, their events and the receive buffer.
class TWin32SerialDevice::Reader {
public:
    Reader(HANDLE port, HANDLE closeEvent) : m_port(port), m_close(closeEvent) {}
    ~Reader() { Stop(TReadEvent::Kind::Closed); }
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    TReadEvent Next()
    {
        if (m_end)
            return Ended();
        if (!m_started && !Start())
            return Stop(TReadEvent::Kind::Hangup);
        m_started = true;
        for (;;) {
            if (Signalled(m_close))
                return Stop(TReadEvent::Kind::Closed);
            // The line-event wait first, then the read; either may be complete at once.
            if (m_watchLines && !m_eventPending) {
                const Outcome outcome = StartEventWait();
                if (outcome == Outcome::Completed)
                    return HandleLineEvent();
                if (outcome == Outcome::Failed)
                    return Ended();
            }
            if (!m_readPending) {
                const Outcome outcome = StartRead();
                if (outcome == Outcome::Completed) {
                    if (std::optional<TReadEvent> event = Deliver())
                        return *event;
                    continue;
                }
                if (outcome == Outcome::Failed)
                    return Ended();
            }
            if (std::optional<TReadEvent> event = WaitForCompletion())
                return *event;
        }
    }

private:
    enum class Outcome { Pending, Completed, Unsupported, Failed };

    bool Start()
    {
        // Manual reset, initially signalled: each operation resets its event when issued.
        m_readOverlapped.hEvent = ::CreateEventA(nullptr, TRUE, TRUE, nullptr);
        m_eventOverlapped.hEvent = ::CreateEventA(nullptr, TRUE, TRUE, nullptr);
        if (m_readOverlapped.hEvent == nullptr || m_eventOverlapped.hEvent == nullptr)
            return false;
        // Data are found by the pending read, so received characters are not among the events.
        // A driver that refuses the mask still reads, as one that cannot wait for events does.
        if (!::SetCommMask(m_port, EV_RING | EV_ERR | EV_RLSD))
            return EventWaitFailed(::GetLastError()) == Outcome::Unsupported;
        return true;
    }

    Outcome StartEventWait()
    {
        m_mask = 0;
        if (::WaitCommEvent(m_port, &m_mask, &m_eventOverlapped))
            return Outcome::Completed;
        if (::GetLastError() != ERROR_IO_PENDING)
            return EventWaitFailed(::GetLastError());
        m_eventPending = true;
        return Outcome::Pending;
    }

    // A driver that cannot wait for line events (a pseudo-terminal under Wine, some virtual
    // ports) still reads and writes: the port then reports no line events, as the POSIX device
    // does without interrupt counters.
    Outcome EventWaitFailed(DWORD error)
    {
        if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) {
            m_watchLines = false;
            return Outcome::Unsupported;
        }
        Fail(error);
        return Outcome::Failed;
    }

    Outcome StartRead()
    {
        m_received = 0;
        if (::ReadFile(m_port, m_buffer.data(), DWORD(m_buffer.size()), nullptr, &m_readOverlapped))
            return Collect(m_readOverlapped, m_received) ? Outcome::Completed : Outcome::Failed;
        if (::GetLastError() != ERROR_IO_PENDING) {
            Fail(::GetLastError());
            return Outcome::Failed;
        }
        m_readPending = true;
        return Outcome::Pending;
    }

    // Waits for the close event, the line-event wait or the read, in that order of precedence;
    // nothing when waiting goes on.
    std::optional<TReadEvent> WaitForCompletion()
    {
        HANDLE events[3] = {m_close, m_readOverlapped.hEvent, m_readOverlapped.hEvent};
        if (m_watchLines)
            events[1] = m_eventOverlapped.hEvent;
        const DWORD count = m_watchLines ? 3 : 2;
        const DWORD woken = ::WaitForMultipleObjects(count, events, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0)
            return Stop(TReadEvent::Kind::Closed);
        if (woken == WAIT_OBJECT_0 + count - 1) {
            m_readPending = false;
            if (!Collect(m_readOverlapped, m_received))
                return Ended();
            return Deliver();  // nothing yet when it came empty: the read is issued again
        }
        if (woken != WAIT_OBJECT_0 + 1)
            return Stop(TReadEvent::Kind::Hangup);
        m_eventPending = false;
        DWORD ignored = 0;
        if (!::GetOverlappedResult(m_port, &m_eventOverlapped, &ignored, FALSE)) {
            if (EventWaitFailed(::GetLastError()) == Outcome::Unsupported)
                return std::nullopt;
            return Ended();
        }
        return HandleLineEvent();
    }

    bool Collect(OVERLAPPED &overlapped, DWORD &count)
    {
        if (::GetOverlappedResult(m_port, &overlapped, &count, FALSE))
            return true;
        Fail(::GetLastError());
        return false;
    }

    // Windows counts the total time-outs from the call, so with them set a quiet line completes
    // the read empty: nothing came yet, and reading goes on.
    std::optional<TReadEvent> Deliver()
    {
        if (m_received == 0)
            return std::nullopt;
        TReadEvent event;
        event.kind = TReadEvent::Kind::Chunk;
        event.bytes.assign(m_buffer.data(), m_received);
        return event;
    }

    TReadEvent HandleLineEvent()
    {
        TReadEvent event;
        event.kind = TReadEvent::Kind::LineEvents;
        if ((m_mask & EV_ERR) != 0) {
            DWORD errors = 0;
            if (!::ClearCommError(m_port, &errors, nullptr)) {
                Fail(::GetLastError());
                return Ended();
            }
            event.errors = errors;
        }
        if ((m_mask & EV_RLSD) != 0)
            event.modem |= modemevent::kCarrierDetect;
        if ((m_mask & EV_RING) != 0)
            event.modem |= modemevent::kRing;
        // A completed wait that names none of the watched events: the driver gave up on the port.
        if ((m_mask & (EV_ERR | EV_RLSD | EV_RING)) == 0)
            return Stop(TReadEvent::Kind::Hangup);
        return event;
    }

    // The port closed under the thread, or a close already asked for, ends reading quietly.
    void Fail(DWORD error)
    {
        const bool quiet = error == ERROR_INVALID_HANDLE || Signalled(m_close);
        Stop(quiet ? TReadEvent::Kind::Closed : TReadEvent::Kind::Hangup);
    }

    TReadEvent Stop(TReadEvent::Kind kind)
    {
        if (!m_end) {
            m_end = kind;
            ::PurgeComm(m_port, PURGE_RXABORT | PURGE_RXCLEAR);
            if (m_eventPending) {
                ::SetCommMask(m_port, 0);  // completes the pending wait
                Abandon(m_port, m_eventOverlapped);
            }
            if (m_readPending)
                Abandon(m_port, m_readOverlapped);
            m_eventPending = m_readPending = false;
            for (HANDLE event : {m_readOverlapped.hEvent, m_eventOverlapped.hEvent})
                if (event != nullptr)
                    ::CloseHandle(event);
            m_readOverlapped.hEvent = m_eventOverlapped.hEvent = nullptr;
        }
        return Ended();
    }

    TReadEvent Ended() const
    {
        TReadEvent event;
        event.kind = *m_end;
        return event;
    }

    const HANDLE m_port;
    const HANDLE m_close;
    OVERLAPPED m_readOverlapped{};
    OVERLAPPED m_eventOverlapped{};
    bool m_started = false;
    bool m_watchLines = true;
    bool m_readPending = false;
    bool m_eventPending = false;
    DWORD m_mask = 0;
    DWORD m_received = 0;
    std::array<char, kChunkSize> m_buffer{};
    std::optional<TReadEvent::Kind> m_end;
};

// The writing thread's side: the event of its overlapped writes.
class TWin32SerialDevice::Writer {
public:
    Writer(HANDLE port, HANDLE closeEvent) : m_port(port), m_close(closeEvent) {}
    ~Writer()
    {
        if (m_overlapped.hEvent != nullptr)
            ::CloseHandle(m_overlapped.hEvent);
    }
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    TWriteResult WriteAll(const char *bytes, std::size_t count)
    {
        if (m_overlapped.hEvent == nullptr)
            m_overlapped.hEvent = ::CreateEventA(nullptr, TRUE, TRUE, nullptr);
        if (m_overlapped.hEvent == nullptr)
            return TWriteResult::Hangup;
        std::size_t done = 0;
        while (done < count) {
            if (Signalled(m_close))
                return TWriteResult::Closed;
            const DWORD part = DWORD(std::min<std::size_t>(count - done, MAXDWORD));
            if (!::WriteFile(m_port, bytes + done, part, nullptr, &m_overlapped)) {
                if (::GetLastError() != ERROR_IO_PENDING)
                    return Failure(::GetLastError());
                if (const TWriteResult waited = Wait(); waited != TWriteResult::Written)
                    return waited;
            }
            DWORD written = 0;
            if (!::GetOverlappedResult(m_port, &m_overlapped, &written, FALSE))
                return Failure(::GetLastError());
            done += written;
        }
        return TWriteResult::Written;
    }

private:
    TWriteResult Wait()
    {
        const HANDLE events[] = {m_close, m_overlapped.hEvent};
        const DWORD woken = ::WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0 + 1)
            return TWriteResult::Written;
        Abandon(m_port, m_overlapped);
        return woken == WAIT_OBJECT_0 ? TWriteResult::Closed : TWriteResult::Hangup;
    }

    TWriteResult Failure(DWORD error) const
    {
        const bool quiet = error == ERROR_INVALID_HANDLE || Signalled(m_close);
        return quiet ? TWriteResult::Closed : TWriteResult::Hangup;
    }

    const HANDLE m_port;
    const HANDLE m_close;
    OVERLAPPED m_overlapped{};
};

struct TWin32SerialDevice::Saved {
    DCB dcb{};
    COMMTIMEOUTS timeouts{};
};

TWin32SerialDevice::TWin32SerialDevice() = default;

TWin32SerialDevice::~TWin32SerialDevice()
{
    Close();
}

std::string TWin32SerialDevice::DevicePath(const std::string &name)
{
    if (name.size() < 4 || name.size() > 6)
        return name;
    const auto upper = [](char c) { return char(std::toupper(static_cast<unsigned char>(c))); };
    if (upper(name[0]) != 'C' || upper(name[1]) != 'O' || upper(name[2]) != 'M' || name[3] == '0')
        return name;
    const std::string digits = name.substr(3);
    if (!std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
        return name;
    // Windows numbers ports past COM256 too; every one opens by its device name.
    return std::stoi(digits) >= 1 ? "\\\\.\\" + name : name;
}

void TWin32SerialDevice::Open(const std::string &name)
{
    if (m_port != nullptr)
        throw ECommsError("This serial port already opened");
    HANDLE port = ::CreateFileA(DevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE)
        throw ECommsError(OpenFailureMessage(name, ::GetLastError()));
    if (::GetFileType(port) != FILE_TYPE_CHAR) {
        ::CloseHandle(port);
        throw ECommsError("File handle is not a comm handle ");
    }
    if (!::SetupComm(port, kQueueSize, kQueueSize)) {
        ::CloseHandle(port);
        throw ECommsError("Cannot setup comm buffer");
    }
    m_port = port;
    auto saved = std::make_unique<Saved>();
    saved->dcb.DCBlength = sizeof saved->dcb;
    if (::GetCommState(m_port, &saved->dcb) && ::GetCommTimeouts(m_port, &saved->timeouts))
        m_saved = std::move(saved);
    ::PurgeComm(m_port, kPurgeAll);  // nothing left over from an earlier user of the line
    m_closeEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (m_closeEvent == nullptr) {
        Close();
        throw ECommsError("Unable to create event");
    }
    m_reader = std::make_unique<Reader>(m_port, m_closeEvent);
    m_writer = std::make_unique<Writer>(m_port, m_closeEvent);
}

void TWin32SerialDevice::ApplyLineSettings(const TLineSettings &settings)
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (m_port == nullptr || !::GetCommState(m_port, &dcb))
        return;
    dcb.BaudRate = settings.baudRate;
    SetDcbFlags(dcb, DcbFlags(settings));
    dcb.XonLim = settings.xonLimit;
    dcb.XoffLim = settings.xoffLimit;
    // The enumerations are in the order of the control block's codes.
    dcb.ByteSize = BYTE(int(settings.byteSize) + 5);
    dcb.Parity = BYTE(settings.parity);
    dcb.StopBits = BYTE(settings.stopBits);
    dcb.XonChar = settings.xonChar;
    dcb.XoffChar = settings.xoffChar;
    dcb.ErrorChar = settings.replacedChar;
    ::SetCommState(m_port, &dcb);
}

void TWin32SerialDevice::ApplyTimeouts(const TTimeouts &timeouts)
{
    COMMTIMEOUTS current{};
    if (m_port == nullptr || !::GetCommTimeouts(m_port, &current))
        return;
    current.ReadIntervalTimeout = timeouts.readInterval;
    current.ReadTotalTimeoutMultiplier = timeouts.readTotalMultiplier;
    current.ReadTotalTimeoutConstant = timeouts.readTotalConstant;
    current.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplier;
    current.WriteTotalTimeoutConstant = timeouts.writeTotalConstant;
    ::SetCommTimeouts(m_port, &current);
}

TReadEvent TWin32SerialDevice::Read()
{
    if (!m_reader)
        return TReadEvent{};
    return m_reader->Next();
}

TWriteResult TWin32SerialDevice::Write(const char *bytes, std::size_t count)
{
    if (!m_writer)
        return TWriteResult::Closed;
    return m_writer->WriteAll(bytes, count);
}

void TWin32SerialDevice::Purge()
{
    if (m_port != nullptr)
        ::PurgeComm(m_port, kPurgeAll);
}

void TWin32SerialDevice::Cancel()
{
    if (m_closeEvent != nullptr)
        ::SetEvent(m_closeEvent);
}

void TWin32SerialDevice::Close()
{
    if (m_port == nullptr)
        return;
    Cancel();
    m_reader.reset();
    m_writer.reset();
    if (m_closeEvent != nullptr)
        ::CloseHandle(m_closeEvent);
    if (m_saved) {
        ::SetCommState(m_port, &m_saved->dcb);
        ::SetCommTimeouts(m_port, &m_saved->timeouts);
        m_saved.reset();
    }
    ::CloseHandle(m_port);
    m_closeEvent = nullptr;
    m_port = nullptr;
}

#endif // _WIN32
