#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// GBK (Windows code page 936), the code page of the configuration file. Qt's own converters do
// not know it, so this goes through the C library's iconv (part of glibc on Linux; macOS ships
// iconv as well), and on Windows, which has no iconv, through WideCharToMultiByte and
// MultiByteToWideChar with code page 936 (base/CodePage936.h).

// nullopt when the text holds a character that GBK cannot represent.
std::optional<QByteArray> ToGbk(const QString &text);
// nullopt when the bytes are not valid GBK.
std::optional<QString> FromGbk(const QByteArray &bytes);
