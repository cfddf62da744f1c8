#include "base/FileContents.h"

#include <QSaveFile>

bool ReplaceFileContents(const QString &path, const std::function<void(QIODevice &)> &write, QString *reason)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        write(file);
        if (file.error() == QFileDevice::NoError && file.flush() && file.commit())
            return true;
    }
    if (reason)
        *reason = file.errorString();
    return false;
}

bool ReplaceFileContents(const QString &path, const QByteArray &bytes, QString *reason)
{
    return ReplaceFileContents(path, [&bytes](QIODevice &file) { file.write(bytes); }, reason);
}
