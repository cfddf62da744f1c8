#pragma once

#include <QObject>
#include <QTimer>
#include <QtGlobal>
#include <memory>

class QSocketNotifier;

// A single-shot alarm in the owner's event loop that keeps to the nanosecond where the system
// allows: a timerfd on Linux, a precise QTimer (whole milliseconds) elsewhere. A byte on a
// 9600-baud line takes 1.0417 ms, so rounding every wait up to the next millisecond would add
// most of a byte time to every answer.
class PreciseAlarm : public QObject {
    Q_OBJECT
public:
    explicit PreciseAlarm(QObject *parent = nullptr);
    ~PreciseAlarm() override;

    // Rings once after ns (at once for 0 or less); a pending alarm is replaced.
    void start(qint64 ns);
    void stop();

Q_SIGNALS:
    void ring();

private:
    void fired();

    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_timer;  // without a timerfd
};
