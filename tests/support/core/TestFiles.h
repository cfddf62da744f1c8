#pragma once

#include <QByteArray>
#include <QString>

// Whole files for tests: written (false when that fails) and read ("<missing>" when the file
// cannot be read, so that a comparison shows it).
bool WriteWholeFile(const QString &path, const QByteArray &bytes);
QByteArray ReadWholeFile(const QString &path);
