#pragma once

#include <QTimer>
#include <csignal>
#include <functional>

// While it lives, Ctrl-C, SIGTERM or a closed terminal (SIGHUP) do not end the program at once:
// `cancel` runs from the event loop instead, so that a write stops where it is and the command
// still says how far it got and how to put the radio back. A second signal ends the program.
// A signal ignored when the watch begins (nohup, a background job) stays ignored.
class TInterruptCancels {
public:
    explicit TInterruptCancels(std::function<void()> cancel);
    ~TInterruptCancels();
    TInterruptCancels(const TInterruptCancels &) = delete;
    TInterruptCancels &operator=(const TInterruptCancels &) = delete;

    // A signal came while this watch lives.
    static bool Interrupted();

private:
    using Handler = void (*)(int);
    std::function<void()> m_cancel;
    Handler m_old[3] = {SIG_DFL, SIG_DFL, SIG_DFL};
    QTimer m_poll;
};
