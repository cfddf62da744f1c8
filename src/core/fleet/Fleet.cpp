#include "fleet/Fleet.h"

#include "base/PortDevice.h"
#include "serial/Comm.h"

#include <QSet>

bool PortsRepeat(const QStringList &ports)
{
    QSet<QString> devices;
    for (const QString &port : ports)
        devices.insert(PortDevice(port));
    return devices.size() != ports.size();
}

TFleet::TFleet(QString program, QObject *parent)
    : QObject(parent),
      m_program(std::move(program)),
      m_factory([](const QString &) -> std::unique_ptr<TSerialChannel> { return CreateComm1(); })
{
}

TFleet::~TFleet() = default;

bool TFleet::Prepare(const QStringList &ports)
{
    if (IsRunning() || ports.isEmpty() || PortsRepeat(ports))
        return false;
    m_radios.clear();
    m_finished = 0;
    for (int i = 0; i < ports.size(); ++i) {
        auto radio = std::make_unique<TFleetRadio>(ports.at(i), m_factory(ports.at(i)), m_store, m_program, m_silenceMs);
        connect(radio.get(), &TFleetRadio::Changed, this, [this, i] { emit RadioChanged(i); });
        connect(radio.get(), &TFleetRadio::Finished, this, [this, i] { OnRadioFinished(i); });
        m_radios.push_back(std::move(radio));
    }
    return true;
}

bool TFleet::StartWrite(const QStringList &ports, const TRadioImage &image, bool verify, const QString &source)
{
    if (image.isEmpty() || !Prepare(ports))
        return false;
    for (const auto &radio : m_radios)
        radio->StartWrite(image, verify, source);
    return true;
}

bool TFleet::StartRead(const QStringList &ports, const TRadioImage &which)
{
    if (!Prepare(ports))
        return false;
    for (const auto &radio : m_radios)
        radio->StartRead(which);
    return true;
}

void TFleet::Cancel()
{
    for (const auto &radio : m_radios)
        radio->Cancel();
}

QList<TFleetReport> TFleet::Reports() const
{
    QList<TFleetReport> reports;
    for (const auto &radio : m_radios)
        reports << radio->Report();
    return reports;
}

void TFleet::OnRadioFinished(int index)
{
    ++m_finished;
    emit RadioFinished(index);
    if (m_finished == static_cast<int>(m_radios.size()))
        emit Finished();
}
