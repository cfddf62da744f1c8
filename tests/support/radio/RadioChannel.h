#pragma once

#include "radio/VirtualRadio.h"
#include "serial/SerialChannel.h"

#include <QList>
#include <QTimer>
#include <deque>

// A port whose far end is a VirtualRadio in the same process, so the protocol engine and the
// windows run whole transfers without a pseudo-terminal. What the tool writes reaches the radio
// at once; the radio's answers come back through the event loop as received chunks, chunked the
// way the serial port chunks them: a part that follows after less than 20 ms of silence joins
// the chunk before it, a longer pause (split, garbage, latency) starts a new chunk.
// After the disappear fault has struck, writes fail and the port cannot be opened again; the
// channel closes itself and reports the hang-up once the radio's last answers have arrived, as
// a real port does when its device goes away (SetHangUpWhenGone(false) keeps it silent).
class RadioChannel : public TSerialChannel {
    Q_OBJECT
public:
    static constexpr int kChunkGapMs = 20;

    explicit RadioChannel(VirtualRadio &radio, QObject *parent = nullptr);

    void OpenPort() override;
    void ClosePort() override;
    bool IsOpen() const override { return m_open; }
    bool WriteData(const char *bytes, quint16 count) override;

    // Every accepted WriteData call, in order, and all of them joined: the bytes on the wire.
    const QList<QByteArray> &writes() const { return m_writes; }
    QByteArray written() const;
    void clearWrites() { m_writes.clear(); }
    int opens() const { return m_opens; }
    void SetHangUpWhenGone(bool on) { m_hangUpWhenGone = on; }
    // From the n-th open on (counted from 1), the port is in use by another program.
    void RefuseOpensFrom(int n) { m_refuseFrom = n; }

private:
    void deliver();
    void hangUpIfGone();

    VirtualRadio &m_radio;
    bool m_open = false;
    bool m_hangUpWhenGone = true;
    int m_opens = 0;
    int m_refuseFrom = 0;
    QList<QByteArray> m_writes;
    std::deque<RadioSend> m_pending;
    QTimer m_timer;
};
