#include "signalling/FiveToneCodec.h"

#include "base/TextConvert.h"
#include "protocol/Areas.h"
#include "signalling/AreaFields.h"

namespace {

// Block 0, standards and delays:
//   3i, 3i+1, 3i+2  standard i (0 CCIR .. 4 ZVEI2): tone duration in ms, group-call digit,
//                   repeat digit (xg1 row i+1, columns 1, 2, 3)
//   15..19          reserved, 0
//   20..23          cb1..cb4, the delay in ms divided by 10
//   24..27          reserved, 0
constexpr int kStandardSize = 3;
constexpr int kDurationAt = 0;
constexpr int kGroupDigitAt = 1;
constexpr int kRepeatDigitAt = 2;
const std::vector<TControlField> &DelayFields()
{
    static const std::vector<TControlField> fields = {
        {20, 1, QStringLiteral("cb1"), NumberField(10)},
        {21, 1, QStringLiteral("cb2"), NumberField(10)},
        {22, 1, QStringLiteral("cb3"), NumberField(10)},
        {23, 1, QStringLiteral("cb4"), NumberField(10)},
    };
    return fields;
}

// Encode entry e (1..16), 14 bytes, in block (e+1)/2 at offset 0 or 14:
//   0, 3, 6, 9  first, second, third frame code, acknowledge code (3 bytes each, xg2 columns 1..4)
//   12          standard 1..5 (xg2 column 5)
//   13          reserved, 0
// Decode entry e (1..16), 14 bytes, in block 8 + (e+1)/2 at offset 0 or 14:
//   0           low four bits standard 1..5 (xg3 column 1), high four bits function 1 (column 3)
//   1, 4        first and second frame code (columns 2, 4)
//   7           low four bits function 2 (column 5), high four bits function 3 (column 7)
//   8, 11       third frame code and reply code (columns 6, 8)
// A code is 3 bytes, least significant first, shown as five hexadecimal digits.
constexpr int kEntrySize = 14;
constexpr int kCodeWidth = 3;
constexpr int kFirstDecodeBlock = 9;

TEntryPlace EncodeEntryPlace(int entry)
{
    return {1 + (entry - 1) / 2, kEntrySize * ((entry - 1) % 2)};
}

TEntryPlace DecodeEntryPlace(int entry)
{
    return {kFirstDecodeBlock + (entry - 1) / 2, kEntrySize * ((entry - 1) % 2)};
}

struct TCodeField {
    int offset;
    int column;
};
constexpr TCodeField kEncodeCodes[] = {{0, 1}, {3, 2}, {6, 3}, {9, 4}};
constexpr int kEncodeStandardAt = 12;
constexpr int kEncodeStandardColumn = 5;

constexpr TCodeField kDecodeCodes[] = {{1, 2}, {4, 4}, {8, 6}, {11, 8}};
struct TNibbleField {
    int offset;
    int shift;
    int column;
};
constexpr TNibbleField kDecodeStandard = {0, 0, TFiveToneTexts::kDecodeStandardColumn};
constexpr TNibbleField kDecodeFunctions[] = {{0, 4, 3}, {7, 0, 5}, {7, 4, 7}};

bool IsHexDigit(QChar c)
{
    const QChar upper = c.toUpper();
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        || (upper >= QLatin1Char('A') && upper <= QLatin1Char('F'));
}

std::uint32_t CodeValue(const QString &text)
{
    const QString code = text.trimmed();
    bool ok = !code.isEmpty() && code.size() <= 5;
    for (QChar c : code)
        ok = ok && IsHexDigit(c);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a code of one to five hexadecimal digits").arg(text));
    return code.toUInt(nullptr, 16);
}

// Five upper-case digits; digits above the fifth are not shown.
QString CodeText(std::uint32_t value)
{
    return QString::number(value & 0xFFFFF, 16).toUpper().rightJustified(5, QLatin1Char('0'));
}

std::uint32_t DigitValue(const QString &text)
{
    const int digit = static_cast<int>(TFiveToneTexts::DigitItems().indexOf(text.trimmed().toUpper()));
    if (digit < 0)
        throw EConvertError(QStringLiteral("'%1' is not one hexadecimal digit").arg(text));
    return static_cast<std::uint32_t>(digit);
}

std::uint32_t StandardValue(const QString &text)
{
    return static_cast<std::uint32_t>(ListIndex(text, TFiveToneTexts::StandardItems()) + 1);
}

QString StandardText(std::uint32_t value)
{
    return value >= 1 && value <= TFiveToneTexts::kStandards ? TFiveToneTexts::StandardItems()[value - 1]
                                                           : QString();
}

bool AllZero(const Block &data, int offset, int width)
{
    for (int i = offset; i < offset + width; ++i) {
        if (data[static_cast<std::size_t>(i)] != 0)
            return false;
    }
    return true;
}

}  // namespace

TFiveToneCodec::TFiveToneCodec(TFiveToneTexts &texts)
    : m_texts(texts)
{
}

int TFiveToneCodec::Area() const
{
    return frame::kFiveToneArea;
}

std::vector<Block> TFiveToneCodec::EncodeBlocks() const
{
    std::vector<Block> blocks(static_cast<std::size_t>(AreaFacts(frame::kFiveToneArea).blockCount), Block{});
    EncodeStandards(blocks[0]);
    for (int entry = 1; entry <= TFiveToneTexts::kEntries; ++entry) {
        const TEntryPlace place = EncodeEntryPlace(entry);
        EncodeEncodeEntry(entry, blocks[static_cast<std::size_t>(place.block)], place.offset);
    }
    for (int entry = 1; entry <= TFiveToneTexts::kEntries; ++entry) {
        const TEntryPlace place = DecodeEntryPlace(entry);
        EncodeDecodeEntry(entry, blocks[static_cast<std::size_t>(place.block)], place.offset);
    }
    return blocks;
}

void TFiveToneCodec::EncodeStandards(Block &data) const
{
    const TGridTexts &xg1 = m_texts.xg1();
    for (int row = 1; row <= TFiveToneTexts::kStandards; ++row) {
        const int at = kStandardSize * (row - 1);
        WriteLe(data, at + kDurationAt, 1, ConvertAt(xg1.Place(1, row), [&] {
                    return StoredNumber(xg1.Cell(1, row), 1);
                }));
        WriteLe(data, at + kGroupDigitAt, 1, ConvertAt(xg1.Place(2, row), [&] {
                    return DigitValue(xg1.Cell(2, row));
                }));
        WriteLe(data, at + kRepeatDigitAt, 1, ConvertAt(xg1.Place(3, row), [&] {
                    return DigitValue(xg1.Cell(3, row));
                }));
    }
    for (const TControlField &field : DelayFields())
        EncodeField(field, m_texts.Controls(), data);
}

// An entry without a first frame code stays fourteen zero bytes.
void TFiveToneCodec::EncodeEncodeEntry(int entry, Block &data, int offset) const
{
    const TGridTexts &xg2 = m_texts.xg2();
    if (xg2.IsEmptyCell(kEncodeCodes[0].column, entry))
        return;
    for (const TCodeField &code : kEncodeCodes) {
        WriteLe(data, offset + code.offset, kCodeWidth, ConvertAt(xg2.Place(code.column, entry), [&] {
                    return CodeValue(xg2.Cell(code.column, entry));
                }));
    }
    WriteLe(data, offset + kEncodeStandardAt, 1, ConvertAt(xg2.Place(kEncodeStandardColumn, entry), [&] {
                return StandardValue(xg2.Cell(kEncodeStandardColumn, entry));
            }));
}

// An entry with every cell empty stays fourteen zero bytes. A radio may hold a standard outside
// 1..5, which reads as an empty standard cell beside the codes: that entry goes back with its
// codes and functions and standard 0, rather than being wiped.
void TFiveToneCodec::EncodeDecodeEntry(int entry, Block &data, int offset) const
{
    const TGridTexts &xg3 = m_texts.xg3();
    bool inUse = false;
    for (int col = kDecodeStandard.column; col <= kDecodeCodes[3].column; ++col)
        inUse = inUse || !xg3.IsEmptyCell(col, entry);
    if (!inUse)
        return;
    auto orNibble = [&](const TNibbleField &field, std::uint32_t value) {
        data[static_cast<std::size_t>(offset + field.offset)] |= static_cast<std::uint8_t>(value << field.shift);
    };
    if (!xg3.IsEmptyCell(kDecodeStandard.column, entry)) {
        orNibble(kDecodeStandard, ConvertAt(xg3.Place(kDecodeStandard.column, entry), [&] {
                     return StandardValue(xg3.Cell(kDecodeStandard.column, entry));
                 }));
    }
    for (const TNibbleField &function : kDecodeFunctions) {
        orNibble(function, ConvertAt(xg3.Place(function.column, entry), [&] {
                     return static_cast<std::uint32_t>(ListIndex(xg3.Cell(function.column, entry), TFiveToneTexts::FunctionItems()));
                 }));
    }
    for (const TCodeField &code : kDecodeCodes) {
        WriteLe(data, offset + code.offset, kCodeWidth, ConvertAt(xg3.Place(code.column, entry), [&] {
                    return CodeValue(xg3.Cell(code.column, entry));
                }));
    }
}

void TFiveToneCodec::DecodeBlock(int block, const Block &data)
{
    if (block < 0 || block >= AreaFacts(frame::kFiveToneArea).blockCount)
        return;
    if (block == 0)
        DecodeStandards(data);
    for (int entry = 1; entry <= TFiveToneTexts::kEntries; ++entry) {
        const TEntryPlace encode = EncodeEntryPlace(entry);
        if (encode.block == block)
            DecodeEncodeEntry(entry, data, encode.offset);
        const TEntryPlace decode = DecodeEntryPlace(entry);
        if (decode.block == block)
            DecodeDecodeEntry(entry, data, decode.offset);
    }
}

void TFiveToneCodec::DecodeStandards(const Block &data)
{
    TGridTexts &xg1 = m_texts.xg1();
    for (int row = 1; row <= TFiveToneTexts::kStandards; ++row) {
        const int at = kStandardSize * (row - 1);
        xg1.SetCells(row, 1, {QString::number(ReadLe(data, at + kDurationAt, 1)),
                              TFiveToneTexts::DigitItems()[ReadLe(data, at + kGroupDigitAt, 1) & 0x0F],
                              TFiveToneTexts::DigitItems()[ReadLe(data, at + kRepeatDigitAt, 1) & 0x0F]});
    }
    for (const TControlField &field : DelayFields())
        DecodeField(field, data, m_texts.Controls());
}

// An entry of zero bytes shows an empty row. A standard outside 1..5 shows an empty cell.
void TFiveToneCodec::DecodeEncodeEntry(int entry, const Block &data, int offset)
{
    TGridTexts &xg2 = m_texts.xg2();
    xg2.ClearRow(entry);
    if (AllZero(data, offset, kEntrySize))
        return;
    for (const TCodeField &code : kEncodeCodes)
        xg2.SetCell(code.column, entry, CodeText(ReadLe(data, offset + code.offset, kCodeWidth)));
    xg2.SetCell(kEncodeStandardColumn, entry, StandardText(ReadLe(data, offset + kEncodeStandardAt, 1)));
}

// An entry of zero bytes shows an empty row. A standard outside 1..5 shows an empty cell;
// a function outside 0..8 shows "通话".
void TFiveToneCodec::DecodeDecodeEntry(int entry, const Block &data, int offset)
{
    TGridTexts &xg3 = m_texts.xg3();
    xg3.ClearRow(entry);
    if (AllZero(data, offset, kEntrySize))
        return;
    auto nibble = [&](const TNibbleField &field) {
        return (ReadLe(data, offset + field.offset, 1) >> field.shift) & 0x0F;
    };
    xg3.SetCell(kDecodeStandard.column, entry, StandardText(nibble(kDecodeStandard)));
    for (const TNibbleField &function : kDecodeFunctions) {
        const std::uint32_t value = nibble(function);
        xg3.SetCell(function.column, entry,
                    TFiveToneTexts::FunctionItems().value(static_cast<int>(value), TFiveToneTexts::FunctionItems().front()));
    }
    for (const TCodeField &code : kDecodeCodes)
        xg3.SetCell(code.column, entry, CodeText(ReadLe(data, offset + code.offset, kCodeWidth)));
}
