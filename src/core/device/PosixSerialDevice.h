#pragma once

#include "device/SerialDevice.h"

#include <atomic>
#include <deque>
#include <memory>
#include <optional>

struct termios;

// The serial port on POSIX termios. The descriptor is non-blocking and both threads wait only in
// poll(), together with the close event (an eventfd on Linux, a pipe elsewhere). Chunks are
// timed here, since termios can time a read only in tenths of a second.
//
// The port is opened exclusively: TIOCEXCL refuses further opens of the device by other users,
// and an flock on it refuses a second open by this or any other process, root included.
class TPosixSerialDevice : public TSerialDevice {
public:
    TPosixSerialDevice();
    ~TPosixSerialDevice() override;  // closes a device still open

    void Open(const std::string &name) override;
    void ApplyLineSettings(const TLineSettings &settings) override;
    void ApplyTimeouts(const TTimeouts &timeouts) override;
    TReadEvent Read() override;
    TWriteResult Write(const char *bytes, std::size_t count) override;
    void Purge() override;
    void Cancel() override;
    void Close() override;

private:
    class Chunk;
    class LineCounters;
    enum class ReadOutcome { Continue, End, Hangup };

    void ReadStep();
    ReadOutcome ReadAvailable(short revents);
    void ReportLineEvents();
    void PushChunk();
    void EndReading(TReadEvent::Kind kind);
    int PollTimeout() const;
    bool ChunkDue() const;
    std::uint64_t TotalTimeout() const;
    void ApplyModemLines(const TLineSettings &settings) const;
    TWriteResult WaitWritable() const;
    bool Cancelled() const;
    bool CreateCloseEvent();

    int m_port = -1;        // the open device; -1 while closed
    int m_closeEvent = -1;   // polled; never reset once signalled
    int m_closeSignal = -1;  // written by Cancel: the same eventfd, or the pipe's other end
    std::unique_ptr<termios> m_savedTermios;  // the device's settings before we opened it

    std::atomic<std::uint32_t> m_interval{100};
    std::atomic<std::uint32_t> m_totalMultiplier{0};
    std::atomic<std::uint32_t> m_totalConstant{0};

    // The reading thread's own: the chunk being gathered and what Read has yet to return.
    std::unique_ptr<Chunk> m_chunk;
    std::unique_ptr<LineCounters> m_counters;
    std::deque<TReadEvent> m_events;
    std::optional<TReadEvent::Kind> m_readEnd;
};
