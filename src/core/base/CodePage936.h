#pragma once

#include <optional>
#include <string>

// GBK as Windows converts it: code page 936 through MultiByteToWideChar and
// WideCharToMultiByte, where wide strings are UTF-16. Plain C++ without Qt, so that the Windows
// check program runs the very conversion the configuration file uses. Windows only; elsewhere
// Gbk.cpp goes through iconv.

// nullopt when the text holds a character that code page 936 cannot represent.
std::optional<std::string> WideToCodePage936(const std::wstring &text);
// nullopt when the bytes are not valid in code page 936.
std::optional<std::wstring> CodePage936ToWide(const std::string &bytes);
