#pragma once

#include <QByteArray>
#include <QThread>

class TSerialDevice;

// Reads chunks, line errors and modem events from an open device until it is cancelled or goes
// away. Signals are emitted on this thread; the component connects them queued, so they reach
// its own thread in emission order.
class TReadThread : public QThread {
    Q_OBJECT
public:
    // The device is not owned; it stays open until the thread has ended.
    explicit TReadThread(TSerialDevice &device, QObject *parent = nullptr);

Q_SIGNALS:
    void ChunkReceived(const QByteArray &chunk);
    void RestReceived(const QByteArray &rest);
    void LineError(quint32 errorFlags);
    void ModemEvent(quint32 events);
    void HangupRequested();

protected:
    void run() override;

private:
    TSerialDevice &m_device;
};
