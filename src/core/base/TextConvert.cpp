#include "base/TextConvert.h"

#include <QRegularExpression>

EConvertError::EConvertError(const QString &message)
    : std::runtime_error(message.toStdString())
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
    if (digits.startsWith(QLatin1Char('$')))
        value = digits.mid(1).toLongLong(&ok, 16);
    else if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = digits.mid(2).toLongLong(&ok, 16);
    else if (!digits.isEmpty() && digits.at(0).isDigit())
        value = digits.toLongLong(&ok, 10);
    // toLongLong accepts its own sign and blanks; refuse them after the prefix.
    if (!ok || digits.contains(QLatin1Char(' ')) || digits.contains(QLatin1Char('-'))
        || digits.contains(QLatin1Char('+')))
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
