// Built on Windows only; other platforms convert with iconv in Gbk.cpp.
#ifdef _WIN32

#include "base/CodePage936.h"

#include <climits>

#include <windows.h>

namespace {

constexpr UINT kGbk = 936;

} // namespace

std::optional<std::string> WideToCodePage936(const std::wstring &text)
{
    if (text.empty())
        return std::string();
    if (text.size() > std::size_t(INT_MAX / 2))
        return std::nullopt;
    // Without best fit, a character that GBK lacks becomes the default character rather than a
    // look-alike, and usedDefault reports it.
    BOOL usedDefault = FALSE;
    const int length = int(text.size());
    const int size = ::WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr,
                                           &usedDefault);
    if (size <= 0 || usedDefault)
        return std::nullopt;
    std::string bytes(std::size_t(size), '\0');
    if (::WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, text.data(), length, bytes.data(), size, nullptr,
                              &usedDefault) != size
        || usedDefault)
        return std::nullopt;
    return bytes;
}

std::optional<std::wstring> CodePage936ToWide(const std::string &bytes)
{
    if (bytes.empty())
        return std::wstring();
    if (bytes.size() > std::size_t(INT_MAX))
        return std::nullopt;
    const int length = int(bytes.size());
    // MB_ERR_INVALID_CHARS: an invalid or cut-off sequence fails instead of becoming U+FFFD.
    const int size = ::MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (size <= 0)
        return std::nullopt;
    std::wstring text(std::size_t(size), L'\0');
    if (::MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes.data(), length, text.data(), size) != size)
        return std::nullopt;
    return text;
}

#endif // _WIN32
