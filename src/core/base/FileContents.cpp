#include "base/FileContents.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

// A write short of the whole gives no reason; the next one fails with it ("No space left").
bool WriteAll(QFileDevice &file, const QByteArray &bytes)
{
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// A device, a pipe or a socket (-o /dev/stdout) is written to: replacing it would put a regular
// file where the device node was.
bool WriteInPlace(const QString &path, const QByteArray &bytes, QString *reason)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && WriteAll(file, bytes))
        return true;
    if (reason)
        *reason = file.errorString();
    return false;
}

// The descriptor a name of this process's own open files stands for: /dev/stdout, /dev/fd/3,
// /proc/self/fd/1 (or a link to one), else -1. Opened again by that name, a file redirected to
// with >> would be written from its start, or replaced; its descriptor appends as the caller
// asked.
int OwnDescriptor(const QString &path)
{
#ifdef Q_OS_UNIX
    static const QRegularExpression named(QStringLiteral("^/(?:dev/(?:fd/(\\d+)|std(out|err))|proc/self/fd/(\\d+))$"));
    QString name = QFileInfo(path).absoluteFilePath();
    for (int link = 0; link < 8 && !name.isEmpty(); ++link) {
        const QRegularExpressionMatch match = named.match(name);
        if (match.hasMatch() && match.hasCaptured(2))
            return match.captured(2) == QLatin1String("out") ? 1 : 2;
        if (match.hasMatch()) {
            bool ok = false;
            const int descriptor = (match.hasCaptured(1) ? match.captured(1) : match.captured(3)).toInt(&ok);
            return ok ? descriptor : -1;  // a number past any descriptor names no open file
        }
        if (!QFileInfo(name).isSymLink())
            break;
        name = QFileInfo(name).symLinkTarget();
    }
#else
    Q_UNUSED(path)
#endif
    return -1;
}

bool WriteToDescriptor(int descriptor, const QByteArray &bytes, QString *reason)
{
    QFile file;
    if (file.open(descriptor, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle)
        && WriteAll(file, bytes))
        return true;
    if (reason)
        *reason = file.errorString();
    return false;
}

}  // namespace

bool ReplaceFileContents(const QString &path, const std::function<void(QIODevice &)> &write, QString *reason)
{
    // Made whole in memory first (the largest, a PDF, is some hundred kilobytes), then written
    // by one path that keeps the system's reason of a failure.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    write(buffer);
    return ReplaceFileContents(path, buffer.data(), reason);
}

bool ReplaceFileContents(const QString &path, const QByteArray &bytes, QString *reason)
{
    if (const int descriptor = OwnDescriptor(path); descriptor >= 0)
        return WriteToDescriptor(descriptor, bytes, reason);
    const QFileInfo target(path);
    if (target.exists() && !target.isFile() && !target.isDir())
        return WriteInPlace(path, bytes, reason);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && WriteAll(file, bytes) && file.commit())
        return true;
    if (reason)
        *reason = file.errorString();
    return false;
}
