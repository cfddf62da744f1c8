#pragma once

#include <QByteArray>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

class TSerialDevice;

// Writes queued requests to an open device, each completely and in the order queued, until
// stopped or the device goes away. Signals are emitted on this thread and connected queued.
class TWriteThread : public QThread {
    Q_OBJECT
public:
    // The device is not owned; it stays open until the thread has ended.
    explicit TWriteThread(TSerialDevice &device, QObject *parent = nullptr);

    // Queues the bytes and returns at once; false once the thread is stopping or has ended.
    bool Enqueue(const QByteArray &bytes);
    // Ends the wait for work; a write in progress ends through the device's Cancel.
    void Stop();

Q_SIGNALS:
    void SendQueueEmpty();  // the queue ran empty after one or more writes
    void HangupRequested();

protected:
    void run() override;

private:
    std::optional<QByteArray> TakeNext();
    bool WaitForWork();

    TSerialDevice &m_device;
    std::mutex m_mutex;  // guards the queue and the two flags
    std::condition_variable m_wake;
    std::deque<QByteArray> m_queue;
    bool m_stopping = false;
    bool m_ended = false;
};
