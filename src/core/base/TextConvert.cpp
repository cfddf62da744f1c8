#include "base/TextConvert.h"

#include <QRegularExpression>
#include <algorithm>

EConvertError::EConvertError(const QString &message)
    : std::runtime_error(message.toStdString()), m_message(message)
{
}

EConvertError EConvertError::WithPlace(const QString &place) const
{
    return EConvertError(place + QStringLiteral(": ") + message());
}

bool IsEmptyText(const QString &text)
{
    return text.isEmpty() || text == QStringLiteral(" ");
}

bool SameCellText(const QString &a, const QString &b)
{
    return a == b || (IsEmptyText(a) && IsEmptyText(b));
}

QString NotAnInteger(const QString &text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

QString NotAFloat(const QString &text)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}

QString OutOfRange(const QString &text, qint64 lo, qint64 hi)
{
    return QStringLiteral("'%1' is not in the range %2 to %3").arg(text).arg(lo).arg(hi);
}

qint64 StrToInt(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    qint64 value = 0;
    QString digits = t;
    bool negative = false;
    if (digits.startsWith(QLatin1Char('-')) || digits.startsWith(QLatin1Char('+'))) {
        negative = digits.startsWith(QLatin1Char('-'));
        digits.remove(0, 1);
    }
    int base = 10;
    if (digits.startsWith(QLatin1Char('$'))) {
        digits.remove(0, 1);
        base = 16;
    } else if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        digits.remove(0, 2);
        base = 16;
    }
    // toLongLong takes its own sign and blanks, and stops at a NUL: only digits may follow the
    // prefix.
    const auto isDigit = [base](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
               || (base == 16 && ((c >= QLatin1Char('a') && c <= QLatin1Char('f')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))));
    };
    if (!digits.isEmpty() && std::all_of(digits.cbegin(), digits.cend(), isDigit))
        value = digits.toLongLong(&ok, base);
    if (!ok)
        throw EConvertError(NotAnInteger(text));
    return negative ? -value : value;
}

qint64 StrToIntRange(const QString &text, qint64 lo, qint64 hi)
{
    const qint64 value = StrToInt(text);
    if (value < lo || value > hi)
        throw EConvertError(OutOfRange(text, lo, hi));
    return value;
}

double StrToFloat(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    const QString t = text.trimmed();
    if (!pattern.match(t).hasMatch())
        throw EConvertError(NotAFloat(text));
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok)
        throw EConvertError(NotAFloat(text));
    return value;
}
