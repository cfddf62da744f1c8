#include "base/BlockField.h"

#include "base/ShownText.h"
#include "base/TextConvert.h"

#include <stdexcept>
#include <utility>

namespace {

std::uint32_t LargestValue(int width)
{
    return width >= 4 ? 0xFFFFFFFFu : (1u << (8 * width)) - 1u;
}

QString NotStorable(const TFieldConvert &convert, const QString &text, qint64 highest)
{
    if (convert.plainRange || (convert.scale == 1 && convert.zeroWord.isEmpty()))
        return OutOfRange(text, 0, highest);
    const QString prefix = convert.zeroWord.isEmpty()
        ? QStringLiteral("'%1' is not ").arg(text)
        : QStringLiteral("'%1' is not \"%2\" or ").arg(text, ShownText(convert.zeroWord));
    if (convert.scale == 1)
        return prefix + QStringLiteral("a number from 0 to %1").arg(highest);
    return prefix + QStringLiteral("a multiple of %1 from 0 to %2").arg(convert.scale).arg(highest);
}

std::uint32_t StoredNumberValue(const TFieldConvert &convert, int width, const QString &text)
{
    if (!convert.zeroWord.isEmpty() && text == convert.zeroWord)
        return 0;
    const qint64 value = StrToInt(text);
    const qint64 highest = qint64(LargestValue(width)) * convert.scale;
    if (value < 0 || value > highest || value % convert.scale != 0)
        throw EConvertError(NotStorable(convert, text, highest));
    return static_cast<std::uint32_t>(value / convert.scale);
}

std::uint32_t StoredChoice(const TFieldConvert &convert, const QString &text, const QStringList &offered)
{
    for (const TChoice &choice : convert.choices) {
        if (choice.text == text)
            return choice.code;
    }
    // Only the empty text: one outside the list may mean the opposite ("low", "off").
    if (convert.codeForOther && IsEmptyText(text))
        return *convert.codeForOther;
    QStringList names = offered;
    if (names.isEmpty()) {
        for (const TChoice &choice : convert.choices)
            names << choice.text;
    }
    throw EConvertError(QStringLiteral("'%1' is not one of %2").arg(text, ShownEntries(names).join(QStringLiteral(", "))));
}

std::optional<QString> ShownChoice(const TFieldConvert &convert, std::uint32_t value)
{
    for (const TChoice &choice : convert.choices) {
        if (choice.code == value)
            return choice.text;
    }
    return convert.textForOther;
}

}  // namespace

TFieldConvert NumberField(int scale, const QString &zeroWord)
{
    TFieldConvert convert;
    convert.scale = scale;
    convert.zeroWord = zeroWord;
    return convert;
}

TFieldConvert NumberOrWordField(const QString &zeroWord)
{
    TFieldConvert convert = NumberField(1, zeroWord);
    convert.plainRange = true;
    return convert;
}

TFieldConvert FlagField(bool exact)
{
    TFieldConvert convert;
    convert.kind = TConvertKind::Flag;
    convert.exactFlag = exact;
    return convert;
}

TFieldConvert ChoiceField(std::vector<TChoice> choices, std::optional<std::uint32_t> codeForOther,
                          std::optional<QString> textForOther)
{
    TFieldConvert convert;
    convert.kind = TConvertKind::Choice;
    convert.choices = std::move(choices);
    convert.codeForOther = codeForOther;
    convert.textForOther = std::move(textForOther);
    return convert;
}

TFieldConvert CustomField(std::uint32_t (*encode)(const QString &), std::optional<QString> (*decode)(std::uint32_t),
                          bool mayKeepText)
{
    TFieldConvert convert;
    convert.kind = TConvertKind::Custom;
    convert.encode = encode;
    convert.decode = decode;
    convert.mayKeepText = mayKeepText;
    return convert;
}

std::uint32_t StoredValue(const TFieldConvert &convert, int width, const QString &text, const QStringList &offered)
{
    switch (convert.kind) {
    case TConvertKind::Number:
        return StoredNumberValue(convert, width, text);
    case TConvertKind::Flag:
        break;
    case TConvertKind::Choice:
        return StoredChoice(convert, text, offered);
    case TConvertKind::Custom:
        return convert.encode(text);
    }
    throw std::logic_error("a flag stores a check state, not a text");
}

std::optional<QString> ShownText(const TFieldConvert &convert, std::uint32_t value)
{
    switch (convert.kind) {
    case TConvertKind::Number:
        if (value == 0 && !convert.zeroWord.isEmpty())
            return convert.zeroWord;
        return QString::number(qint64(value) * convert.scale);
    case TConvertKind::Flag:
        break;
    case TConvertKind::Choice:
        return ShownChoice(convert, value);
    case TConvertKind::Custom:
        return convert.decode(value);
    }
    throw std::logic_error("a flag shows a check state, not a text");
}

std::uint32_t StoredFlag(bool checked)
{
    return checked ? 0xFF : 0x00;
}

bool ShownChecked(const TFieldConvert &convert, std::uint32_t value)
{
    return convert.exactFlag ? value == 0xFF : value != 0;
}

bool MayKeepText(const TFieldConvert &convert)
{
    switch (convert.kind) {
    case TConvertKind::Choice:
        return !convert.textForOther;
    case TConvertKind::Custom:
        return convert.mayKeepText;
    case TConvertKind::Number:
    case TConvertKind::Flag:
        break;
    }
    return false;
}

std::uint32_t StoredNumber(const QString &text, int width, int scale)
{
    return StoredValue(NumberField(scale), width, text);
}
