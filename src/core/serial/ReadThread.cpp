#include "serial/ReadThread.h"
#include "serial/ThreadEnd.h"

#include "device/SerialDevice.h"

TReadThread::TReadThread(TSerialDevice &device, QObject *parent) : QThread(parent), m_device(device) {}

void TReadThread::run()
{
    const TThreadEndMark end(this);
    for (;;) {
        const TReadEvent event = m_device.Read();
        switch (event.kind) {
        case TReadEvent::Kind::Chunk:
            if (event.rest)
                Q_EMIT RestReceived(QByteArray::fromStdString(event.bytes));
            else
                Q_EMIT ChunkReceived(QByteArray::fromStdString(event.bytes));
            break;
        case TReadEvent::Kind::LineEvents:
            if (event.errors != 0)
                Q_EMIT LineError(event.errors);
            if (event.modem != 0)
                Q_EMIT ModemEvent(event.modem);
            break;
        case TReadEvent::Kind::Closed:
            return;
        case TReadEvent::Kind::Hangup:
            Q_EMIT HangupRequested();
            return;
        }
    }
}
