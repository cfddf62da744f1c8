#pragma once

#include "device/CommsError.h"
#include "device/SerialDevice.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// What the protocol engine needs of a port: open by name, queue writes, hand over received chunks
// on the user-interface thread. TComm is the real serial port; tests plug in an in-process peer.
class TSerialChannel : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TSerialChannel() override = default;

    virtual void OpenPort() = 0;  // throws ECommsError
    virtual void ClosePort() = 0; // does nothing when closed
    virtual bool IsOpen() const = 0;
    // Queues a copy of the bytes; false when the port is closed or count is 0.
    virtual bool WriteData(const char *bytes, quint16 count) = 0;

    // Lets the port end a chunk as soon as it begins with a complete frame, instead of after the
    // silence that ends chunks; what follows such a frame arrives through OnReceiveRest (see
    // TSerialDevice::SetFrameRule). Takes effect at the next open. A channel that cuts its
    // chunks otherwise ignores it.
    virtual void SetFrameRule(TFrameRule rule) { (void)rule; }

    QString CommName() const { return m_commName; }
    void SetCommName(const QString &name) { m_commName = name; }

Q_SIGNALS:
    // One chunk of received bytes, in arrival order, on the thread that owns the channel.
    void OnReceiveData(const QByteArray &chunk);
    // The rest of the chunk before it, which a frame rule ended early: bytes that followed the
    // frame before the line went quiet or the tool wrote again. In order with OnReceiveData.
    void OnReceiveRest(const QByteArray &rest);
    // The port went away (a pulled USB cable, a closed pseudo-terminal). The channel has closed
    // itself before this arrives: IsOpen() is false and writes are refused.
    void OnRequestHangup();

private:
    QString m_commName = QStringLiteral("COM2");
};
