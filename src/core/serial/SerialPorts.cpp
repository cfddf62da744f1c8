#include "serial/SerialPorts.h"

#include "device/SerialPortList.h"

#include <QFile>

#include <optional>

namespace {

QStringList ToStringList(const std::vector<std::string> &names)
{
    QStringList list;
    list.reserve(qsizetype(names.size()));
    for (const std::string &name : names)
        list << QFile::decodeName(QByteArray::fromStdString(name));
    return list;
}

std::string ToPath(const QString &name)
{
    return QFile::encodeName(name).toStdString();
}

bool Replace(QStringList &list, const std::optional<std::vector<std::string>> &found)
{
    if (!found)
        return false;
    list = ToStringList(*found);
    return true;
}

} // namespace

QString DefaultVirtualRadioLink()
{
    return QFile::decodeName(QByteArray::fromStdString(VirtualRadioLinkPath()));
}

void SortPortNames(QStringList &names)
{
    std::vector<std::string> sorted;
    sorted.reserve(std::size_t(names.size()));
    for (const QString &name : names)
        sorted.push_back(name.toStdString());
    SortDeviceNames(sorted);
    names.clear();
    for (const std::string &name : sorted)
        names << QString::fromStdString(name);
}

bool ListSerialPorts(QStringList &list, const QString &sysTty, const QString &dev,
                     const QString &virtualRadioLink)
{
    return Replace(list, ListSerialDevices(ToPath(sysTty), ToPath(dev), ToPath(virtualRadioLink)));
}

bool ListSerialPorts(QStringList &list)
{
    return Replace(list, ListSerialDevices());
}

QString PortLabel(const TPortEntry &entry, const QString &virtualRadioName)
{
    const QString path = QFile::decodeName(QByteArray::fromStdString(entry.path));
    const QString about = entry.virtualRadio ? virtualRadioName : QString::fromStdString(entry.description);
    return about.isEmpty() ? path : path + QStringLiteral(" — ") + about;
}

QString PortOpenName(const TPortEntry &entry)
{
    return QFile::decodeName(QByteArray::fromStdString(entry.OpenName()));
}
