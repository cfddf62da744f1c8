#include "protocol/SilenceWatch.h"

TSilenceWatch::TSilenceWatch(TProgramLink &link, int quietMs, Filter watched, QObject *parent)
    : QObject(parent), m_link(link), m_watched(watched)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(quietMs);
    connect(&m_quiet, &QTimer::timeout, this, &TSilenceWatch::OnQuiet);
    connect(&link, &TProgramLink::BusyChanged, this, &TSilenceWatch::OnBusyChanged);
    connect(&link, &TProgramLink::Progressed, this, &TSilenceWatch::OnProgressed);
    connect(&link, &TProgramLink::Resent, this, &TSilenceWatch::OnResent);
}

void TSilenceWatch::OnBusyChanged(bool busy)
{
    m_watching = busy && m_watched(m_link.Running(), m_link.RunningArea());
    m_resends = 0;
    m_answers = 0;
    if (m_watching)
        m_quiet.start();
    else
        m_quiet.stop();
    SetSilent(false);
}

void TSilenceWatch::OnProgressed(TransferKind kind, int area, int answers)
{
    if (!m_watching || !m_watched(kind, area))
        return;
    m_answers = answers;
    m_quiet.start();
    SetSilent(false);
}

void TSilenceWatch::OnResent(TransferKind kind, int area, int resends)
{
    if (!m_watching || !m_watched(kind, area))
        return;
    m_resends = resends;
    if (m_silent)
        emit SilenceChanged(true, m_resends);
}

void TSilenceWatch::OnQuiet()
{
    if (m_watching)
        SetSilent(true);
}

void TSilenceWatch::SetSilent(bool silent)
{
    if (silent == m_silent)
        return;
    m_silent = silent;
    emit SilenceChanged(silent, m_resends);
}
