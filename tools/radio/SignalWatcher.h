#pragma once

#include <QObject>
#include <csignal>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

class QSocketNotifier;

// Turns POSIX signals into a Qt signal in the event loop (the self-pipe way): the handler only
// writes the signal number into a pipe, which a socket notifier reads. One instance at a time.
class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(std::initializer_list<int> signos, QObject *parent = nullptr);
    ~SignalWatcher() override;  // restores the previous handlers
    SignalWatcher(const SignalWatcher &) = delete;
    SignalWatcher &operator=(const SignalWatcher &) = delete;

Q_SIGNALS:
    void received(int signo);

private:
    void drain();
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::vector<std::pair<int, struct sigaction>> m_previous;
};
