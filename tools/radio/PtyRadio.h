#pragma once

#include "radio/PreciseAlarm.h"
#include "radio/VirtualRadio.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <deque>
#include <memory>

class QSocketNotifier;

// Puts a VirtualRadio behind a pseudo-terminal, so the tool opens it like a serial port.
//
// Runs in the event loop of the thread that owns it: a QSocketNotifier reads what the tool
// writes, one single-shot precise alarm releases bytes when they are due. The radio keeps a
// descriptor of the slave side open itself, so the master never sees a hang-up when the tool
// closes the device, and the next open finds the same device with the same (raw) settings.
//
// With byte timing on, the line runs at 9600 baud, 8N1: a byte takes 10 bits, 1.0417 ms, in
// both directions. A byte written by the tool is heard only when its wire time has passed, and
// a byte of the radio's answers reaches the tool only when its own wire time has passed, the
// first one included. Pauses that the radio asks for (latency, split, garbage)
// are kept as line silence before the bytes that follow. An answer starts when the last byte it
// answers was heard on the line, not when this process got round to it.
class PtyRadio : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kByteNs = 10 * 1000000000LL / 9600;

    explicit PtyRadio(VirtualRadio &radio, QObject *parent = nullptr);
    ~PtyRadio() override;  // closes the device and removes the link

    // $XDG_RUNTIME_DIR/xiepin-radio, or /tmp/xiepin-radio-<uid> without XDG_RUNTIME_DIR.
    static QString defaultLinkPath();

    void setByteTiming(bool on) { m_byteTiming = on; }

    // Creates the pseudo-terminal and, unless linkPath is empty, a symbolic link to its slave
    // (replacing whatever the path held). False with *error set when something fails.
    bool open(const QString &linkPath, QString *error);
    // Closes the device; removes the link if it still points to this device.
    void close();

    bool isOpen() const { return m_master >= 0; }
    QString devicePath() const { return m_devicePath; }
    QString linkPath() const { return m_linkPath; }

Q_SIGNALS:
    // The disappear fault closed the device.
    void disappeared();

private:
    struct TimedByte {
        qint64 dueNs;
        char byte;
    };
    void readAvailable();
    void service();
    void hear(const QByteArray &bytes, qint64 atNs);
    void schedule(const std::vector<RadioSend> &parts, qint64 fromNs);
    void writeDue(qint64 now);
    void rearm(qint64 now);
    qint64 now() const { return m_clock.nsecsElapsed(); }

    VirtualRadio &m_radio;
    bool m_byteTiming = false;
    int m_master = -1;
    int m_slave = -1;  // held open by the radio itself, see above
    QString m_devicePath;
    QString m_linkPath;
    std::unique_ptr<QSocketNotifier> m_notifier;
    PreciseAlarm m_alarm;
    QElapsedTimer m_clock;
    std::deque<TimedByte> m_heard;  // bytes from the tool still on the wire (byte timing)
    std::deque<TimedByte> m_sending;
    qint64 m_rxFreeNs = 0;  // when the incoming line is free for the next byte
    qint64 m_txFreeNs = 0;  // when the outgoing line is free again
    qint64 m_goneAtNs = -1;
};
