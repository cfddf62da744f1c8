#include "base/PortDevice.h"

#include <QFileInfo>

QString PortDevice(const QString &port)
{
#ifdef Q_OS_WIN
    // "com3", "COM3" and "\\.\COM3" open one port: Windows names devices without case.
    QString name = port;
    if (name.startsWith(QLatin1String("\\\\.\\")))
        name.remove(0, 4);
    return name.toUpper();
#else
    const QString device = QFileInfo(port).canonicalFilePath();
    return device.isEmpty() ? port : device;
#endif
}

bool SamePort(const QString &a, const QString &b)
{
    return a == b || PortDevice(a) == PortDevice(b);
}
