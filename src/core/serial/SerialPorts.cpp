#include "serial/SerialPorts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <unistd.h>

namespace {

QString readAttribute(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).trimmed();
}

// Pseudo-terminals, consoles and virtual terminals have no "device" link. The 8250 driver
// registers every legacy ttyS slot, present or not; an absent one reports port type 0.
bool isRealSerialDevice(const QString &entry)
{
    if (!QFileInfo::exists(entry + QStringLiteral("/device")))
        return false;
    const QString type = readAttribute(entry + QStringLiteral("/type"));
    return type.isEmpty() || type != QStringLiteral("0");
}

}  // namespace

QString DefaultVirtualRadioLink()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime + QStringLiteral("/xiepin-radio");
    return QStringLiteral("/tmp/xiepin-radio-%1").arg(getuid());
}

void SortPortNames(QStringList &names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
}

bool ListSerialPorts(QStringList &list, const QString &sysTty, const QString &dev,
                     const QString &virtualRadioLink)
{
    const QDir classDir(sysTty);
    if (!classDir.exists() || !classDir.isReadable())
        return false;
    QStringList found;
    const QStringList entries = classDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QString &name : entries) {
        if (isRealSerialDevice(classDir.filePath(name)))
            found << dev + QLatin1Char('/') + name;
    }
    // A dangling link is a radio that has gone; only a live one is offered.
    if (!virtualRadioLink.isEmpty() && QFileInfo(virtualRadioLink).exists())
        found << virtualRadioLink;
    SortPortNames(found);
    list = found;
    return true;
}

bool ListSerialPorts(QStringList &list)
{
    return ListSerialPorts(list, QStringLiteral("/sys/class/tty"), QStringLiteral("/dev"),
                           DefaultVirtualRadioLink());
}
