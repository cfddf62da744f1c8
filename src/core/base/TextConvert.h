#pragma once

#include <QString>
#include <stdexcept>

// A display text that does not convert to the number its field needs. what() is the message
// shown to the user: "'%s' is not a valid integer value", "'%s' is not a valid floating point
// value", or a range message; WithPlace() puts the field's name in front.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    explicit EConvertError(const QString &message);
    // Whole, also when the text it quotes holds a NUL, where what() ends.
    QString message() const { return m_message.isNull() ? QString::fromUtf8(what()) : m_message; }
    // "信道 3 接收频率: 'abc' is not a valid floating point value"
    EConvertError WithPlace(const QString &place) const;

private:
    QString m_message;
};

// A cell or box text that is empty or a single space counts as empty.
bool IsEmptyText(const QString &text);
// Equal texts, or both empty: a loaded file's empty field (a space) and a read's show the same
// and encode the same.
bool SameCellText(const QString &a, const QString &b);

// Whole number from decimal text, or hexadecimal with a leading "$" (also "0x");
// surrounding blanks allowed, sign allowed. Throws "'%s' is not a valid integer value".
qint64 StrToInt(const QString &text);
// StrToInt, then refused unless lo <= value <= hi ("'%s' is not in the range lo to hi").
qint64 StrToIntRange(const QString &text, qint64 lo, qint64 hi);
// Decimal number with an optional fraction and exponent, '.' as the separator.
// Throws "'%s' is not a valid floating point value".
double StrToFloat(const QString &text);

QString NotAnInteger(const QString &text);
QString NotAFloat(const QString &text);
QString OutOfRange(const QString &text, qint64 lo, qint64 hi);
