#pragma once

#include <QTimer>
#include <csignal>
#include <functional>

// While it lives, Ctrl-C, SIGTERM or a closed terminal (SIGHUP) do not end the program at once:
// `cancel` runs from the event loop instead, so that a write stops where it is and the command
// still says how far it got and how to put the radio back. A signal caught stays caught for the
// rest of the run: one that lands as a read ends still stops the write after it. More signals
// within a second of the first (a key held down or pressed twice) change nothing; one later
// ends the program, should it hang. A signal ignored when the watch begins (nohup, a background job) stays ignored.
class TInterruptCancels {
public:
    explicit TInterruptCancels(std::function<void()> cancel);
    ~TInterruptCancels();
    TInterruptCancels(const TInterruptCancels &) = delete;
    TInterruptCancels &operator=(const TInterruptCancels &) = delete;

    // A signal came while a watch lived, in this run.
    static bool Interrupted();
    // A process that runs one command after another (a test) starts the next one afresh.
    static void Forget();

private:
    using Handler = void (*)(int);
    std::function<void()> m_cancel;
    Handler m_old[3] = {SIG_DFL, SIG_DFL, SIG_DFL};
    QTimer m_poll;
};
