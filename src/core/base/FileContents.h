#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>

// Writes a file through a temporary file that replaces it only once every byte has reached the
// disk: a full disk, a size limit or a crash leaves the old file as it was. QSaveFile alone is
// not enough: the error of its last buffered write, made while committing, is lost and the
// temporary file, short or empty, replaces the old one. So it is written unbuffered and each
// write checked. An existing device, pipe or socket is written to in place, and one of this
// process's open files named by /dev/stdout or /dev/fd/N through its descriptor (so `>>`
// appends). Returns false with *reason (the system's words) when the file was not written.
bool ReplaceFileContents(const QString &path, const std::function<void(QIODevice &)> &write, QString *reason);
bool ReplaceFileContents(const QString &path, const QByteArray &bytes, QString *reason);
