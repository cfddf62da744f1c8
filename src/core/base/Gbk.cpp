#include "base/Gbk.h"

#ifdef _WIN32

#include "base/CodePage936.h"

// QString holds UTF-16, as Windows' wide strings do.
std::optional<QByteArray> ToGbk(const QString &text)
{
    const std::optional<std::string> bytes = WideToCodePage936(text.toStdWString());
    if (!bytes)
        return std::nullopt;
    return QByteArray::fromStdString(*bytes);
}

std::optional<QString> FromGbk(const QByteArray &bytes)
{
    const std::optional<std::wstring> text = CodePage936ToWide(bytes.toStdString());
    if (!text)
        return std::nullopt;
    return QString::fromStdWString(*text);
}

#else

#include <cerrno>
#include <iconv.h>

namespace {

// One iconv conversion descriptor, closed when it goes out of scope.
class IconvHandle {
public:
    IconvHandle(const char *to, const char *from)
        : m_cd(iconv_open(to, from))
    {
    }
    ~IconvHandle()
    {
        if (isOpen())
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle &) = delete;
    IconvHandle &operator=(const IconvHandle &) = delete;

    bool isOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // The whole input converted, or nullopt at the first byte sequence that does not convert.
    std::optional<QByteArray> convert(const QByteArray &input)
    {
        if (!isOpen())
            return std::nullopt;
        QByteArray output(input.size() * 2 + 16, Qt::Uninitialized);
        char *in = const_cast<char *>(input.constData());
        size_t inLeft = static_cast<size_t>(input.size());
        size_t written = 0;
        while (inLeft > 0) {
            char *out = output.data() + written;
            size_t outLeft = static_cast<size_t>(output.size()) - written;
            const size_t result = iconv(m_cd, &in, &inLeft, &out, &outLeft);
            written = static_cast<size_t>(out - output.data());
            if (result != static_cast<size_t>(-1))
                break;
            if (errno != E2BIG)
                return std::nullopt;  // EILSEQ: not convertible, EINVAL: cut off in the middle
            output.resize(output.size() * 2);
        }
        output.truncate(static_cast<qsizetype>(written));
        return output;
    }

private:
    iconv_t m_cd;
};

}  // namespace

std::optional<QByteArray> ToGbk(const QString &text)
{
    IconvHandle handle("GBK", "UTF-8");
    return handle.convert(text.toUtf8());
}

std::optional<QString> FromGbk(const QByteArray &bytes)
{
    IconvHandle handle("UTF-8", "GBK");
    const std::optional<QByteArray> utf8 = handle.convert(bytes);
    if (!utf8)
        return std::nullopt;
    return QString::fromUtf8(*utf8);
}

#endif // _WIN32
