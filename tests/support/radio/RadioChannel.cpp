#include "support/radio/RadioChannel.h"

RadioChannel::RadioChannel(VirtualRadio &radio, QObject *parent) : TSerialChannel(parent), m_radio(radio)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &RadioChannel::deliver);
}

void RadioChannel::OpenPort()
{
    if (m_open)
        throw ECommsError("This serial port already opened");
    if (m_radio.gone())
        throw ECommsError("Error opening serial port");
    if (m_refuseFrom > 0 && m_opens + 1 >= m_refuseFrom)
        throw ECommsError("in use by another program");
    m_open = true;
    ++m_opens;
}

void RadioChannel::ClosePort()
{
    m_open = false;
    m_timer.stop();
    m_pending.clear();  // answers still on the wire are lost with the port
}

bool RadioChannel::WriteData(const char *bytes, quint16 count)
{
    if (!m_open || count == 0 || m_radio.gone())
        return false;
    const QByteArray data(bytes, count);
    m_writes.append(data);
    for (RadioSend &part : m_radio.handle(data))
        m_pending.push_back(std::move(part));
    if (!m_pending.empty() && !m_timer.isActive())
        m_timer.start(m_pending.front().pauseMs);
    else if (m_pending.empty())
        QTimer::singleShot(0, this, &RadioChannel::hangUpIfGone);
    return true;
}


QByteArray RadioChannel::written() const
{
    QByteArray all;
    for (const QByteArray &w : m_writes)
        all += w;
    return all;
}

void RadioChannel::deliver()
{
    if (m_pending.empty())
        return;
    QByteArray chunk = m_pending.front().bytes;
    m_pending.pop_front();
    while (!m_pending.empty() && m_pending.front().pauseMs < kChunkGapMs) {
        chunk += m_pending.front().bytes;
        m_pending.pop_front();
    }
    if (!m_pending.empty())
        m_timer.start(m_pending.front().pauseMs);
    emit OnReceiveData(chunk);  // the receiver may write or close the port from here
    if (m_pending.empty())
        hangUpIfGone();
}

void RadioChannel::hangUpIfGone()
{
    if (!m_hangUpWhenGone || !m_open || !m_radio.gone() || !m_pending.empty())
        return;
    ClosePort();
    emit OnRequestHangup();
}
