#pragma once

#include "device/SerialDevice.h"

#include <memory>
#include <string>

// The serial port on the Win32 communications API with overlapped input and output. The driver
// times the chunks (SetCommTimeouts). The reading thread keeps one ReadFile and one
// WaitCommEvent pending across calls of Read and waits for them together with the close event,
// a manual-reset event that Cancel signals; Write waits for its WriteFile and the close event.
// ERROR_INVALID_HANDLE (the port closed under a thread) reads as Closed, any other failure as
// Hangup. A driver that cannot wait for line events (ERROR_NOT_SUPPORTED, as Wine answers for a
// pseudo-terminal) reports none and goes on reading.
//
// The port is opened without sharing, so the system refuses every further open of it. The
// settings and time-outs it had are put back when it closes, as the next program expects them.
class TWin32SerialDevice : public TSerialDevice {
public:
    TWin32SerialDevice();
    ~TWin32SerialDevice() override;  // closes a device still open

    void Open(const std::string &name) override;
    void ApplyLineSettings(const TLineSettings &settings) override;
    void ApplyTimeouts(const TTimeouts &timeouts) override;
    TReadEvent Read() override;
    TWriteResult Write(const char *bytes, std::size_t count) override;
    void Purge() override;
    void Cancel() override;
    void Close() override;

    // The port's HANDLE while open, for reading its state back in tests; null while closed.
    void *NativeHandle() const { return m_port; }

    // The name CreateFileA is given: COM1 to COM256 (any case) in the device namespace,
    // \\.\COMn, where COM10 and above are found too; any other name unchanged.
    static std::string DevicePath(const std::string &name);

private:
    using Handle = void *;  // HANDLE, kept out of this header with <windows.h>
    class Reader;
    class Writer;
    struct Saved;  // the port's control block and time-outs as found

    Handle m_port = nullptr;        // the open port; null while closed
    Handle m_closeEvent = nullptr;  // manual reset; never reset once signalled
    std::unique_ptr<Reader> m_reader;  // the reading thread's own
    std::unique_ptr<Writer> m_writer;  // the writing thread's own
    std::unique_ptr<Saved> m_saved;    // null when they could not be read
};
