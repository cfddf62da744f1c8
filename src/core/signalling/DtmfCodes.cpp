#include "signalling/DtmfCodes.h"

#include "base/TextConvert.h"

#include <algorithm>

namespace {

// Characters by code, DTMF table: index = code.
constexpr char kDtmfChars[] = "D1234567890*#ABC";
// The ID table swaps "0" and "*".
constexpr char kIdChars[] = "D123456789*0#ABC";

int CodeIn(const char *table, QChar c)
{
    const char16_t u = c.toUpper().unicode();
    for (int code = 0; code < 16; ++code) {
        if (u == char16_t(table[code]))
            return code;
    }
    return -1;
}

std::uint32_t TextToCode(const char *table, const QString &text)
{
    std::uint32_t code = 0;
    for (const QChar c : text) {
        const int digit = CodeIn(table, c);
        if (digit >= 0)
            code = (code << 4) | std::uint32_t(digit);
    }
    return code;
}

QString CodeToText(const char *table, std::uint32_t code, int count)
{
    if (code == 0 || count < 1)
        return QString();
    count = std::min(count, kMaxDigits);  // a larger count byte is damage: the code holds eight
    QString text(count, QLatin1Char('D'));
    for (int i = 0; i < count && i < kMaxDigits; ++i)
        text[count - 1 - i] = QLatin1Char(table[(code >> (4 * i)) & 0xF]);
    return text;
}

}  // namespace

int DtmfDigitCode(QChar c)
{
    return CodeIn(kDtmfChars, c);
}

int IdDigitCode(QChar c)
{
    return CodeIn(kIdChars, c);
}

std::uint32_t DtmfTextToCode(const QString &text)
{
    return TextToCode(kDtmfChars, text);
}

std::uint32_t IdTextToCode(const QString &text)
{
    return TextToCode(kIdChars, text);
}

QString DtmfCodeToText(std::uint32_t code, int count)
{
    return CodeToText(kDtmfChars, code, count);
}

QString IdCodeToText(std::uint32_t code, int count)
{
    return CodeToText(kIdChars, code, count);
}

int SignificantDigits(std::uint32_t code)
{
    int digits = 0;
    for (; code != 0; code >>= 4)
        ++digits;
    return digits;
}

void CheckDigitText(const QString &text)
{
    bool valid = text.size() <= kMaxDigits;
    for (const QChar c : text)
        valid = valid && DtmfDigitCode(c) >= 0;
    if (!valid)
        throw EConvertError(
            QStringLiteral("'%1' is not a DTMF code of up to 8 characters 0-9, A-D, *, #").arg(text));
}
