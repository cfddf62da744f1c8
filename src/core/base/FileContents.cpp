#include "base/FileContents.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
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
