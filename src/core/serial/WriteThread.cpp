#include "serial/WriteThread.h"
#include "serial/ThreadEnd.h"

#include "device/SerialDevice.h"

TWriteThread::TWriteThread(TSerialDevice &device, QObject *parent) : QThread(parent), m_device(device) {}

bool TWriteThread::Enqueue(const QByteArray &bytes)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping || m_ended)
            return false;
        m_queue.push_back(bytes);
    }
    m_wake.notify_one();
    return true;
}

void TWriteThread::Stop()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
}

void TWriteThread::run()
{
    const TThreadEndMark end(this);
    bool wroteSinceReport = false;
    for (;;) {
        const std::optional<QByteArray> request = TakeNext();
        if (!request) {
            if (wroteSinceReport)
                Q_EMIT SendQueueEmpty();
            wroteSinceReport = false;
            if (!WaitForWork())
                break;
            continue;
        }
        const TWriteResult result = m_device.Write(request->constData(), std::size_t(request->size()));
        if (result != TWriteResult::Written) {
            if (result == TWriteResult::Hangup)
                Q_EMIT HangupRequested();
            break;
        }
        wroteSinceReport = true;
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_ended = true;
    m_queue.clear();
}

std::optional<QByteArray> TWriteThread::TakeNext()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stopping || m_queue.empty())
        return std::nullopt;
    QByteArray request = std::move(m_queue.front());
    m_queue.pop_front();
    return request;
}

// Sleeps until a request is queued (true) or the thread is stopped (false).
bool TWriteThread::WaitForWork()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
    return !m_stopping;
}
