#include "base/DecimalText.h"

#include <algorithm>
#include <cmath>

namespace {

// |value| as 15 significant digits d1 d2 ... d15 with |value| = 0.d1d2...d15 * 10^pointPos.
struct Digits {
    QString digits;
    int pointPos = 0;
    bool negative = false;
};

Digits SignificantDigits(double value)
{
    const QString text = QString::number(std::fabs(value), 'e', 14);  // "4.38123456000000e+02"
    const int e = text.indexOf(QLatin1Char('e'));
    Digits d;
    d.digits = text.left(e).remove(QLatin1Char('.'));
    d.pointPos = text.mid(e + 1).toInt() + 1;
    d.negative = std::signbit(value);
    return d;
}

// Adds one to a string of decimal digits.
QString Increment(QString digits)
{
    int i = digits.size() - 1;
    while (i >= 0 && digits.at(i) == QLatin1Char('9'))
        digits[i--] = QLatin1Char('0');
    if (i < 0)
        return QLatin1Char('1') + digits;
    digits[i] = QChar(digits.at(i).unicode() + 1);
    return digits;
}

}  // namespace

QString FormatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const Digits d = SignificantDigits(value);
    // Digits kept: those before the point plus `decimals` after it.
    const int keep = d.pointPos + decimals;
    QString scaled;  // |value| * 10^decimals, rounded, as digits
    if (keep >= d.digits.size()) {
        scaled = d.digits + QString(keep - d.digits.size(), QLatin1Char('0'));
    } else if (keep >= 0) {
        scaled = d.digits.left(keep);
        if (d.digits.at(keep) >= QLatin1Char('5'))
            scaled = Increment(scaled);
    }
    while (scaled.size() > 1 && scaled.startsWith(QLatin1Char('0')))
        scaled.remove(0, 1);
    if (scaled.size() < decimals + 1)
        scaled.prepend(QString(decimals + 1 - scaled.size(), QLatin1Char('0')));
    if (decimals > 0)
        scaled.insert(scaled.size() - decimals, QLatin1Char('.'));
    const bool isZero = std::all_of(scaled.cbegin(), scaled.cend(),
                                    [](QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('.'); });
    return (d.negative && !isZero) ? QLatin1Char('-') + scaled : scaled;
}

std::optional<qint64> ScaledWhole(double value, int decimals)
{
    if (!std::isfinite(value))
        return std::nullopt;
    if (value == 0)
        return 0;
    Digits d = SignificantDigits(value);
    while (d.digits.endsWith(QLatin1Char('0')))
        d.digits.chop(1);
    // |value| * 10^decimals = digits * 10^shift
    const int shift = d.pointPos - d.digits.size() + decimals;
    if (shift < 0 || d.digits.size() + shift > 18)
        return std::nullopt;
    const qint64 magnitude = (d.digits + QString(shift, QLatin1Char('0'))).toLongLong();
    return d.negative ? -magnitude : magnitude;
}
