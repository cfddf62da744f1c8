#pragma once

#include <QByteArray>
#include <QThread>
#include <atomic>

// Receives from an open port until the close event is signalled. Bytes are gathered into chunks
// that end after the read interval passes without a byte, after the total time-out since the
// chunk's first byte (when set), or at kChunkSize bytes. Signals are emitted on this thread;
// the component connects them queued, so they reach its own thread in emission order.
class TReadThread : public QThread {
    Q_OBJECT
public:
    static constexpr int kChunkSize = 2048;

    // Neither descriptor is owned; both stay open until the thread has ended.
    TReadThread(int port, int closeEvent, QObject *parent = nullptr);

    // Milliseconds; may change while the thread runs. An interval of 0 with no total time-out
    // delivers whatever one read returns.
    void SetTimeouts(quint32 interval, quint32 totalMultiplier, quint32 totalConstant);

Q_SIGNALS:
    void ChunkReceived(const QByteArray &chunk);
    void LineError(quint32 errorFlags);
    void ModemEvent(quint32 events);
    void HangupRequested();

protected:
    void run() override;

private:
    class Chunk;
    class LineCounters;

    enum class ReadOutcome { Continue, End, Hangup };
    ReadOutcome ReadAvailable(Chunk &chunk, short revents);
    void ReportLineEvents(LineCounters &counters);
    int PollTimeout(const Chunk &chunk, bool watchCounters) const;
    bool ChunkDue(const Chunk &chunk) const;

    const int m_port;
    const int m_closeEvent;
    std::atomic<quint32> m_interval{100};
    std::atomic<quint32> m_totalMultiplier{0};
    std::atomic<quint32> m_totalConstant{0};
};
