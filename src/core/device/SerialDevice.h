#pragma once

#include "device/CommsError.h"
#include "device/LineSettings.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// How long the complete frame is that the bytes of a chunk begin with; 0 while they begin with
// none. Called on the reading thread, so it may use nothing but its arguments.
using TFrameRule = std::size_t (*)(const char *bytes, std::size_t count);

// What one Read brought.
struct TReadEvent {
    enum class Kind {
        Chunk,       // bytes: 1 to TSerialDevice::kChunkSize received bytes, in order; rest says
                     // whether they are the rest of a chunk that a frame ended early (below)
        LineEvents,  // errors (commerror flags) and modem (modemevent flags); one of them is set
        Closed,      // Cancel was called, or the device ended reading quietly: nothing more comes
        Hangup,      // the device went away or failed: nothing more comes
    };
    Kind kind = Kind::Closed;
    std::string bytes;
    bool rest = false;
    std::uint32_t errors = 0;
    std::uint32_t modem = 0;
};

enum class TWriteResult {
    Written,  // every byte was handed to the driver
    Closed,   // Cancel was called before all were written
    Hangup,   // the device went away or failed
};

// One serial port, opened exclusively, driven by three threads: the owner's thread opens,
// configures, cancels and closes; one reading thread calls Read, one writing thread calls Write.
// Neither of those ever needs a lock of the owner's: Cancel is the one stop signal, a close event
// that wakes both wherever they wait and stays signalled until Close.
//
// Closing is two steps: Cancel (and Purge) while the threads may still be inside Read or Write,
// then Close once both have returned.
//
// On Win32: Open is CreateFile (overlapped) and SetupComm; the time-outs are SetCommTimeouts, so
// the driver times the chunks; Read keeps one overlapped ReadFile and one WaitCommEvent pending
// across calls and waits for them together with the manual-reset close event; Write waits for
// its overlapped WriteFile and the close event; Purge is PurgeComm; Cancel is SetEvent.
// ERROR_INVALID_HANDLE reads as Closed, other failures as Hangup.
class TSerialDevice {
public:
    static constexpr std::size_t kChunkSize = 2048;

    virtual ~TSerialDevice() = default;
    TSerialDevice(const TSerialDevice &) = delete;
    TSerialDevice &operator=(const TSerialDevice &) = delete;

    // Opens the device by its name, unchanged, for exclusive reading and writing, discards
    // anything pending on it and creates the close event. Called once. Throws ECommsError:
    // "Error opening serial port" followed by the device, the cause and what to do,
    // "File handle is not a comm handle ", "Cannot setup comm buffer", "Unable to create
    // event"; nothing is left open then.
    virtual void Open(const std::string &name) = 0;

    // Both may be called from the owner's thread while the other threads are in Read or Write;
    // a chunk being gathered follows the new time-outs. Failures are ignored, as a line that
    // keeps its old settings still works.
    virtual void ApplyLineSettings(const TLineSettings &settings) = 0;
    virtual void ApplyTimeouts(const TTimeouts &timeouts) = 0;

    // With a rule, a chunk also ends as soon as its bytes begin with a complete frame: the frame
    // alone is the chunk. What follows it is the chunk's rest, to be read as the tail of that
    // chunk, never as a new answer: the bytes read with the frame and those after them up to the
    // interval's silence or kChunkSize, as long as nothing was written since the frame. Write
    // keeps the line quiet for that: after such a frame it first waits until no byte has come
    // for one and a half byte times, so bytes the peer sends back to back with its frame always
    // land in the rest. Without a rule (the default) chunks end only by TTimeouts' rules. Set
    // before Read is first called; a device whose driver times the chunks ignores it.
    virtual void SetFrameRule(TFrameRule rule) { (void)rule; }

    // Blocks until a chunk is complete (TTimeouts' rules, or kChunkSize bytes), a line error or
    // modem event is seen, Cancel is called or the device goes away. Bytes gathered when Cancel
    // comes are dropped. After Closed or Hangup every further call returns the same at once.
    virtual TReadEvent Read() = 0;

    // Blocks until every byte is handed to the driver, Cancel is called or the device goes away.
    virtual TWriteResult Write(const char *bytes, std::size_t count) = 0;

    // Discards pending input and output.
    virtual void Purge() = 0;
    // Signals the close event: Read and Write return Closed now and from then on. Any thread.
    virtual void Cancel() = 0;
    // Gives the device back (settings restored, unlocked, closed). Only after Read and Write
    // have returned; cancels first when that has not been done.
    virtual void Close() = 0;

protected:
    TSerialDevice() = default;
};

// The device of this platform, not yet open.
std::unique_ptr<TSerialDevice> CreateSerialDevice();
