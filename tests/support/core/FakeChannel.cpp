#include "support/core/FakeChannel.h"

FakeChannel::FakeChannel(QObject *parent)
    : TSerialChannel(parent)
{
    m_clock.start();
}

void FakeChannel::OpenPort()
{
    if (m_open)
        throw ECommsError("This serial port already opened");
    if (!m_openError.isEmpty())
        throw ECommsError(m_openError.toStdString());
    m_open = true;
    ++m_opens;
}

void FakeChannel::ClosePort()
{
    if (!m_open)
        return;
    m_open = false;
    ++m_closes;
}

void FakeChannel::Disappear()
{
    m_open = false;
    emit OnRequestHangup();
}

bool FakeChannel::WriteData(const char *bytes, quint16 count)
{
    if (!m_open || count == 0) {
        ++m_refused;
        return false;
    }
    m_writes.append({QByteArray(bytes, count), m_clock.elapsed()});
    return true;
}

QList<QByteArray> FakeChannel::writtenChunks(int from) const
{
    QList<QByteArray> result;
    for (int i = from; i < m_writes.size(); ++i)
        result.append(m_writes[i].bytes);
    return result;
}

QByteArray FakeChannel::allBytes(int from) const
{
    QByteArray result;
    for (int i = from; i < m_writes.size(); ++i)
        result.append(m_writes[i].bytes);
    return result;
}
