#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

// A folder of the fuzz run's own for the files a target loads, made on first use; it needs the
// QCoreApplication of LLVMFuzzerInitialize.
inline const QTemporaryDir &FuzzScratch()
{
    static const QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/xiepin-fuzz-XXXXXX"));
    return dir;
}

// The bytes as the file `name` in that folder; its path.
inline QString WriteFuzzFile(const QString &name, const QByteArray &bytes)
{
    const QString path = FuzzScratch().filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    return path;
}
