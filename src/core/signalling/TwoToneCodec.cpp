#include "signalling/TwoToneCodec.h"

#include "base/TextConvert.h"
#include "protocol/Areas.h"
#include "signalling/AreaFields.h"

#include <cmath>

namespace {

// Block 0, the boxes, 16 bits each, least significant byte first:
//   offset  box  content                       offset  box  content
//     0     ed1  tone A, Hz                      8     ed5  reset time, ms
//     2     ed2  tone B, Hz                     10     cb1  first frequency duration, ms
//     4     ed3  tone C, Hz                     12     cb2  second frequency duration, ms
//     6     ed4  tone D, Hz                     14     cb3  gap between the two, ms
//   16..19  reserved, 0                         20..27 encode entries 1 and 2

// A tone box takes a decimal number that must be whole ("1981.0").
std::uint32_t ToneValue(const QString &text)
{
    const double value = StrToFloat(text);
    if (value != std::floor(value))
        throw EConvertError(NotAnInteger(text));
    if (value < 0 || value > 65535)
        throw EConvertError(OutOfRange(text, 0, 65535));
    return static_cast<std::uint32_t>(value);
}

std::optional<QString> ToneText(std::uint32_t hz)
{
    return QString::number(hz);
}

const std::vector<TControlField> &BoxFields()
{
    static const TFieldConvert tone = CustomField(ToneValue, ToneText, false);
    static const std::vector<TControlField> fields = {
        {0, 2, QStringLiteral("ed1"), tone},          {2, 2, QStringLiteral("ed2"), tone},
        {4, 2, QStringLiteral("ed3"), tone},          {6, 2, QStringLiteral("ed4"), tone},
        {8, 2, QStringLiteral("ed5"), NumberField()}, {10, 2, QStringLiteral("cb1"), NumberField()},
        {12, 2, QStringLiteral("cb2"), NumberField()}, {14, 2, QStringLiteral("cb3"), NumberField()},
    };
    return fields;
}

constexpr int kNumberWidth = 2;

// Encode entry e (1..16), 4 bytes: first frequency, second frequency (Hz, 16 bits, 0 = none),
// placed as PairEntryPlace says.
TEntryPlace EncodeEntryPlace(int entry)
{
    return PairEntryPlace(entry);
}

// Decode entry e (1..16), 12 bytes: blocks 3-10, two entries per block at offsets 0 and 12;
// offsets 24..27 reserved, 0. The entry is four slots (decode codes 1..4) of three bytes:
//   +0 code: high four bits the first tone, low four bits the second (0xA..0xD for A..D);
//      0 = no code, and a first code of 0 marks the entry as not in use
//   +1 response mode 0..3
//   +2 prompt 1..16
constexpr int kDecodeEntrySize = 12;
constexpr int kSlotSize = 3;
constexpr int kCodeAt = 0;
constexpr int kModeAt = 1;
constexpr int kPromptAt = 2;

TEntryPlace DecodeEntryPlace(int entry)
{
    return {3 + (entry - 1) / 2, kDecodeEntrySize * ((entry - 1) % 2)};
}

// Grid columns of slot s (0..3) of the decode table.
int CodeColumn(int slot) { return TTwoToneTexts::CodeColumn(slot); }
int ModeColumn(int slot) { return CodeColumn(slot) + 1; }
int PromptColumn(int slot) { return CodeColumn(slot) + 2; }

bool IsToneLetter(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('D');
}

// "AB" -> 0xAB: the letters read as hexadecimal digits.
std::uint8_t CodeByte(const QString &text)
{
    const QString code = text.trimmed().toUpper();
    if (code.size() != 2 || !IsToneLetter(code[0]) || !IsToneLetter(code[1]))
        throw EConvertError(QStringLiteral("'%1' is not a decode code of two letters A to D").arg(text));
    return static_cast<std::uint8_t>(code.toUInt(nullptr, 16));
}

QString ToneLetter(int nibble)
{
    return nibble >= 0xA && nibble <= 0xD ? QString(QChar('A' + nibble - 0xA)) : QString();
}

// Each half shows its letter only when it stands for a tone: 0x12 shows nothing.
QString CodeText(std::uint8_t byte)
{
    return ToneLetter(byte >> 4) + ToneLetter(byte & 0x0F);
}

QString FrequencyText(std::uint32_t hz)
{
    return hz == 0 ? QString() : QString::number(hz);
}

}  // namespace

TTwoToneCodec::TTwoToneCodec(TTwoToneTexts &texts)
    : m_texts(texts)
{
}

int TTwoToneCodec::Area() const
{
    return frame::kTwoToneArea;
}

std::vector<Block> TTwoToneCodec::EncodeBlocks() const
{
    std::vector<Block> blocks(static_cast<std::size_t>(AreaFacts(frame::kTwoToneArea).blockCount), Block{});

    for (const TControlField &field : BoxFields())
        EncodeField(field, m_texts.Controls(), blocks[0]);

    const TGridTexts &xg1 = m_texts.xg1();
    for (int entry = 1; entry <= TTwoToneTexts::kEntries; ++entry) {
        const TEntryPlace place = EncodeEntryPlace(entry);
        for (int col = 1; col <= 2; ++col) {
            if (xg1.IsEmptyCell(col, entry))
                continue;
            const std::uint32_t hz = ConvertAt(xg1.Place(col, entry), [&] {
                return StoredNumber(xg1.Cell(col, entry), kNumberWidth);
            });
            WriteLe(blocks[static_cast<std::size_t>(place.block)],
                    place.offset + kNumberWidth * (col - 1), kNumberWidth, hz);
        }
    }

    for (int entry = 1; entry <= TTwoToneTexts::kEntries; ++entry) {
        const TEntryPlace place = DecodeEntryPlace(entry);
        EncodeDecodeEntry(entry, blocks[static_cast<std::size_t>(place.block)], place.offset);
    }
    return blocks;
}

// An entry not in use stays twelve zero bytes, and so does a slot whose code cell is empty.
void TTwoToneCodec::EncodeDecodeEntry(int entry, Block &data, int offset) const
{
    const TGridTexts &xg2 = m_texts.xg2();
    if (xg2.IsEmptyCell(CodeColumn(0), entry))
        return;
    for (int slot = 0; slot < TTwoToneTexts::kSlots; ++slot) {
        if (xg2.IsEmptyCell(CodeColumn(slot), entry))
            continue;
        auto cell = [&](int col) { return xg2.Cell(col, entry); };
        const int at = offset + kSlotSize * slot;
        WriteLe(data, at + kCodeAt, 1, ConvertAt(xg2.Place(CodeColumn(slot), entry), [&] {
                    return std::uint32_t{CodeByte(cell(CodeColumn(slot)))};
                }));
        WriteLe(data, at + kModeAt, 1, ConvertAt(xg2.Place(ModeColumn(slot), entry), [&] {
                    return static_cast<std::uint32_t>(
                        ListIndex(cell(ModeColumn(slot)), TTwoToneTexts::ModeItems()));
                }));
        WriteLe(data, at + kPromptAt, 1, ConvertAt(xg2.Place(PromptColumn(slot), entry), [&] {
                    return static_cast<std::uint32_t>(StrToIntRange(cell(PromptColumn(slot)), 1, 16));
                }));
    }
}

void TTwoToneCodec::DecodeBlock(int block, const Block &data)
{
    if (block < 0 || block >= AreaFacts(frame::kTwoToneArea).blockCount)
        return;

    if (block == 0) {
        for (const TControlField &field : BoxFields())
            DecodeField(field, data, m_texts.Controls());
    }

    TGridTexts &xg1 = m_texts.xg1();
    for (int entry = 1; entry <= TTwoToneTexts::kEntries; ++entry) {
        const TEntryPlace place = EncodeEntryPlace(entry);
        if (place.block != block)
            continue;
        for (int col = 1; col <= 2; ++col) {
            xg1.SetCell(col, entry, FrequencyText(ReadLe(data, place.offset + kNumberWidth * (col - 1),
                                                         kNumberWidth)));
        }
    }

    for (int entry = 1; entry <= TTwoToneTexts::kEntries; ++entry) {
        const TEntryPlace place = DecodeEntryPlace(entry);
        if (place.block == block)
            DecodeDecodeEntry(entry, data, place.offset);
    }
}

// A first code byte without a letter (0 among them) marks the entry as not in use: the row
// shows empty. In an entry in use such a slot shows empty cells. Either way the row shows what a
// write sends back: nothing for them. Half a code shows its letter, which a write refuses. A
// mode outside 0..3 shows an empty mode cell, which a later write refuses rather than guess.
void TTwoToneCodec::DecodeDecodeEntry(int entry, const Block &data, int offset)
{
    TGridTexts &xg2 = m_texts.xg2();
    xg2.ClearRow(entry);
    if (CodeText(data[static_cast<std::size_t>(offset + kCodeAt)]).isEmpty())
        return;
    for (int slot = 0; slot < TTwoToneTexts::kSlots; ++slot) {
        const int at = offset + kSlotSize * slot;
        const QString code = CodeText(data[static_cast<std::size_t>(at + kCodeAt)]);
        if (code.isEmpty())
            continue;
        const std::uint8_t mode = data[static_cast<std::size_t>(at + kModeAt)];
        xg2.SetCell(CodeColumn(slot), entry, code);
        const QStringList &modes = TTwoToneTexts::ModeItems();
        xg2.SetCell(ModeColumn(slot), entry, mode < modes.size() ? modes[mode] : QString());
        xg2.SetCell(PromptColumn(slot), entry, QString::number(data[static_cast<std::size_t>(at + kPromptAt)]));
    }
}
