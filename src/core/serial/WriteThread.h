#pragma once

#include <QByteArray>
#include <QThread>
#include <deque>
#include <mutex>

// Writes queued requests to an open port, each completely and in the order queued, until the
// close event is signalled. Signals are emitted on this thread and connected queued.
class TWriteThread : public QThread {
    Q_OBJECT
public:
    // Neither descriptor is owned; both stay open until the thread has ended.
    TWriteThread(int port, int closeEvent, QObject *parent = nullptr);
    ~TWriteThread() override;
    TWriteThread(const TWriteThread &) = delete;
    TWriteThread &operator=(const TWriteThread &) = delete;

    // False when the thread's own wake-up event could not be created.
    bool IsValid() const { return m_queueEvent >= 0; }

    // Queues the bytes and returns at once; false once the thread has ended by itself.
    bool Enqueue(const QByteArray &bytes);

Q_SIGNALS:
    void SendQueueEmpty();  // the queue ran empty after one or more writes
    void HangupRequested();

protected:
    void run() override;

private:
    bool TakeNext(QByteArray &request);
    bool WaitForWork();
    bool WriteAll(const QByteArray &bytes);
    bool WaitWritable();
    bool Closing() const;

    const int m_port;
    const int m_closeEvent;
    int m_queueEvent = -1;  // eventfd counting requests not yet picked up

    std::mutex m_mutex;  // guards the queue and m_ended
    std::deque<QByteArray> m_queue;
    bool m_ended = false;
};
