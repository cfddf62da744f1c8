#include "base/PortDevice.h"

#include <QFileInfo>

QString PortDevice(const QString &port)
{
    const QString device = QFileInfo(port).canonicalFilePath();
    return device.isEmpty() ? port : device;
}

bool SamePort(const QString &a, const QString &b)
{
    return a == b || PortDevice(a) == PortDevice(b);
}
