#include "radio/SignalWatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};

extern "C" void onSignal(int signo)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signo);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);  // full pipe: signal already pending
    errno = saved;
}

}  // namespace

SignalWatcher::SignalWatcher(std::initializer_list<int> signos, QObject *parent) : QObject(parent)
{
    // pipe() and fcntl() rather than pipe2(), which macOS lacks.
    if (::pipe(g_pipe) != 0)
        qFatal("xiepin-radio: cannot create the signal pipe");
    for (int end : g_pipe) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
    }
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &SignalWatcher::drain);
    for (int signo : signos) {
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        struct sigaction previous {};
        sigaction(signo, &action, &previous);
        m_previous.emplace_back(signo, previous);
    }
}

SignalWatcher::~SignalWatcher()
{
    for (const auto &[signo, previous] : m_previous)
        sigaction(signo, &previous, nullptr);
    m_notifier.reset();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void SignalWatcher::drain()
{
    unsigned char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1)
        emit received(byte);
}
