#pragma once

#include "device/SerialDevice.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>

struct termios;

// The serial port on POSIX termios. The descriptor is non-blocking and both threads wait only in
// poll(), together with the close event (an eventfd on Linux, a pipe elsewhere). Chunks are
// timed here, since termios can time a read only in tenths of a second.
//
// A frame rule (SetFrameRule) ends a chunk at its frame; the reading thread tells the writing
// thread through atomics that a rest is open and when it last took bytes, and the writing thread
// tells it that a write began, which ends the rest.
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
    void SetFrameRule(TFrameRule rule) override;
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
    void EndChunkAtFrame();
    void EndReading(TReadEvent::Kind kind);
    int PollTimeout() const;
    bool ChunkDue() const;
    std::uint64_t TotalTimeout() const;
    void ApplyModemLines(const TLineSettings &settings) const;
    TWriteResult WaitWritable() const;
    TWriteResult WaitQuietAfterFrame();
    bool WaitCancelled(std::int64_t ns) const;
    bool Cancelled() const;
    bool CreateCloseEvent();

    int m_port = -1;        // the open device; -1 while closed
    int m_closeEvent = -1;   // polled; never reset once signalled
    int m_closeSignal = -1;  // written by Cancel: the same eventfd, or the pipe's other end
    std::unique_ptr<termios> m_savedTermios;  // the device's settings before we opened it

    std::atomic<std::uint32_t> m_interval{100};
    std::atomic<std::uint32_t> m_totalMultiplier{0};
    std::atomic<std::uint32_t> m_totalConstant{0};
    std::atomic<std::int64_t> m_byteNs;  // one byte on the line at the rate set

    TFrameRule m_frameRule = nullptr;  // set before reading starts
    // Between the two threads after a frame ended a chunk early: the rest is open until the next
    // write begins or the rest ends.
    std::atomic<bool> m_restOpen{false};
    std::atomic<std::int64_t> m_lastInputNs{0};  // steady clock: when bytes were last taken
    std::atomic<std::uint64_t> m_writesBegun{0};

    // The reading thread's own: the chunk being gathered and what Read has yet to return.
    std::unique_ptr<Chunk> m_chunk;
    std::unique_ptr<LineCounters> m_counters;
    std::deque<TReadEvent> m_events;
    std::optional<TReadEvent::Kind> m_readEnd;
    bool m_gatheringRest = false;        // m_chunk is the rest of a chunk ended at a frame
    std::uint64_t m_writesAtFrame = 0;  // m_writesBegun when that frame ended its chunk
};
