#include "signalling/AreaFields.h"

#include "base/TextConvert.h"

namespace {

std::uint32_t LargestValue(int width)
{
    return width >= 4 ? 0xFFFFFFFFu : (1u << (8 * width)) - 1u;
}

QString NotStorable(const QString &text, int scale, qint64 highest, const QString &zeroWord)
{
    const QString prefix = zeroWord.isEmpty()
        ? QStringLiteral("'%1' is not ").arg(text)
        : QStringLiteral("'%1' is not \"%2\" or ").arg(text, zeroWord);
    if (scale == 1 && zeroWord.isEmpty())
        return OutOfRange(text, 0, highest);
    if (scale == 1)
        return prefix + QStringLiteral("a number from 0 to %1").arg(highest);
    return prefix + QStringLiteral("a multiple of %1 from 0 to %2").arg(scale).arg(highest);
}

std::uint32_t StoredNumber(const QString &text, int width, int scale, const QString &zeroWord)
{
    if (!zeroWord.isEmpty() && text == zeroWord)
        return 0;
    const qint64 value = StrToInt(text);
    const qint64 highest = qint64(LargestValue(width)) * scale;
    if (value < 0 || value > highest || value % scale != 0)
        throw EConvertError(NotStorable(text, scale, highest, zeroWord));
    return static_cast<std::uint32_t>(value / scale);
}

std::uint8_t ChoiceByte(const TByteField &field, const QString &text)
{
    QStringList names;
    for (const auto &[name, value] : field.choices) {
        if (name == text)
            return value;
        names << name;
    }
    throw EConvertError(QStringLiteral("'%1' is not one of %2").arg(text, names.join(QStringLiteral(", "))));
}

}  // namespace

std::uint32_t StoredNumber(const QString &text, int width, int scale)
{
    return StoredNumber(text, width, scale, QString());
}

std::uint32_t ReadLe(const Block &data, int offset, int width)
{
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | data.at(static_cast<std::size_t>(offset + i));
    return value;
}

void WriteLe(Block &data, int offset, int width, std::uint32_t value)
{
    for (int i = 0; i < width; ++i)
        data.at(static_cast<std::size_t>(offset + i)) = static_cast<std::uint8_t>(value >> (8 * i));
}

void EncodeField(const TByteField &field, const TControlTexts &controls, Block &data)
{
    const TControlSpec &spec = controls.Spec(field.control);
    try {
        switch (field.kind) {
        case TFieldKind::Number:
            WriteLe(data, field.offset, field.width,
                    StoredNumber(controls.Text(field.control), field.width, field.scale, field.zeroWord));
            break;
        case TFieldKind::Flag:
        case TFieldKind::FlagExact:
            WriteLe(data, field.offset, 1, controls.Checked(field.control) ? 0xFF : 0x00);
            break;
        case TFieldKind::Choice:
            WriteLe(data, field.offset, 1, ChoiceByte(field, controls.Text(field.control)));
            break;
        }
    } catch (const EConvertError &e) {
        throw e.WithPlace(spec.label);
    }
}

void DecodeField(const TByteField &field, const Block &data, TControlTexts &controls)
{
    const std::uint32_t value = ReadLe(data, field.offset, field.width);
    switch (field.kind) {
    case TFieldKind::Number:
        controls.SetText(field.control, value == 0 && !field.zeroWord.isEmpty()
                                            ? field.zeroWord
                                            : QString::number(qint64(value) * field.scale));
        break;
    case TFieldKind::Flag:
        controls.SetChecked(field.control, value != 0);
        break;
    case TFieldKind::FlagExact:
        controls.SetChecked(field.control, value == 0xFF);
        break;
    case TFieldKind::Choice:
        for (const auto &[name, byte] : field.choices) {
            if (byte == value) {
                controls.SetText(field.control, name);
                break;
            }
        }
        break;
    }
}

TEntryPlace PairEntryPlace(int entry)
{
    constexpr int kFirstOffset = 20;
    constexpr int kInBlock0 = 2;
    constexpr int kPerBlock = 7;
    if (entry <= kInBlock0)
        return {0, kFirstOffset + kPairEntrySize * (entry - 1)};
    const int k = entry - kInBlock0 - 1;
    return {1 + k / kPerBlock, kPairEntrySize * (k % kPerBlock)};
}

