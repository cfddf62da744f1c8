#include "serial/WriteThread.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

TWriteThread::TWriteThread(int port, int closeEvent, QObject *parent)
    : QThread(parent), m_port(port), m_closeEvent(closeEvent),
      m_queueEvent(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

TWriteThread::~TWriteThread()
{
    if (m_queueEvent >= 0)
        ::close(m_queueEvent);
}

bool TWriteThread::Enqueue(const QByteArray &bytes)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_ended)
            return false;
        m_queue.push_back(bytes);
    }
    ::eventfd_write(m_queueEvent, 1);
    return true;
}

void TWriteThread::run()
{
    bool wroteSinceReport = false;
    for (;;) {
        QByteArray request;
        if (!TakeNext(request)) {
            if (wroteSinceReport)
                Q_EMIT SendQueueEmpty();
            wroteSinceReport = false;
            if (!WaitForWork())
                break;
            continue;
        }
        if (Closing() || !WriteAll(request))
            break;
        wroteSinceReport = true;
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_ended = true;
    m_queue.clear();
}

bool TWriteThread::TakeNext(QByteArray &request)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_queue.empty())
        return false;
    request = std::move(m_queue.front());
    m_queue.pop_front();
    return true;
}

// Sleeps until a request is queued (true) or the port closes (false).
bool TWriteThread::WaitForWork()
{
    for (;;) {
        pollfd fds[2] = {{m_closeEvent, POLLIN, 0}, {m_queueEvent, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            Q_EMIT HangupRequested();
            return false;
        }
        if (fds[0].revents != 0)
            return false;
        eventfd_t pending = 0;
        ::eventfd_read(m_queueEvent, &pending);  // reset; the queue itself says what is there
        return true;
    }
}

bool TWriteThread::WriteAll(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_port, bytes.constData() + done, size_t(bytes.size() - done));
        if (n >= 0) {
            done += n;
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN) {
            if (!WaitWritable())
                return false;
            continue;
        }
        // A descriptor closed under the thread ends it quietly; anything else is a broken line.
        if (errno != EBADF)
            Q_EMIT HangupRequested();
        return false;
    }
    return true;
}

// The driver's output buffer is full: wait until it takes bytes again or the port closes.
bool TWriteThread::WaitWritable()
{
    for (;;) {
        pollfd fds[2] = {{m_port, POLLOUT, 0}, {m_closeEvent, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            Q_EMIT HangupRequested();
            return false;
        }
        if (fds[1].revents != 0)
            return false;
        if ((fds[0].revents & POLLOUT) != 0)
            return true;
        Q_EMIT HangupRequested();  // hang-up or error without room to write
        return false;
    }
}

bool TWriteThread::Closing() const
{
    pollfd fd{m_closeEvent, POLLIN, 0};
    return ::poll(&fd, 1, 0) > 0 && fd.revents != 0;
}
