#include "signalling/FskCodec.h"

#include "base/TextConvert.h"
#include "protocol/Areas.h"
#include "signalling/AreaFields.h"

namespace {

// Block 0 (offsets in the 28 data bytes, numbers least significant byte first):
//    0  2  own queue number              ed1
//    2  2  own ID                        ed2
//    4  1  sync baud rate / 100          cb1: 12 for 1200, 24 for 2400
//    5  2  data transmit delay, ms       ed3
//    7  1  information mode timer, s     ed4
//    8  1  PTT ID side tone              CheckBox1: 0xFF ticked, 0x00 not
//    9 11  reserved, 0
//   20  8  table entries 1 and 2
const std::vector<TControlField> &SettingsFields()
{
    static const std::vector<TControlField> fields = {
        {0, 2, QStringLiteral("ed1"), NumberField()},
        {2, 2, QStringLiteral("ed2"), NumberField()},
        {4, 1, QStringLiteral("cb1"), NumberField(100)},
        {5, 2, QStringLiteral("ed3"), NumberField()},
        {7, 1, QStringLiteral("ed4"), NumberField()},
        {8, 1, QStringLiteral("CheckBox1"), FlagField(true)},
    };
    return fields;
}

// Each table entry is 4 bytes, placed as PairEntryPlace says; offsets below are within the
// entry. An empty cell is stored as 0, and a stored 0 shows an empty cell.
using TEntryField = TBlockField<int>;  // key: the grid column

const std::vector<TEntryField> &EntryFields()
{
    static const std::vector<TEntryField> fields = {
        {0, 2, TFskTexts::kQueueColumn, NumberField()},
        {2, 2, TFskTexts::kIdColumn, NumberField()},
    };
    return fields;
}

}  // namespace

TFskCodec::TFskCodec(TFskTexts &texts)
    : m_texts(texts)
{
}

int TFskCodec::Area() const
{
    return frame::kFskArea;
}

std::vector<Block> TFskCodec::EncodeBlocks() const
{
    std::vector<Block> blocks(static_cast<std::size_t>(AreaFacts(Area()).blockCount));
    for (const TControlField &field : SettingsFields())
        EncodeField(field, m_texts.Controls(), blocks[0]);

    const TGridTexts &xg1 = m_texts.xg1();
    for (int entry = 1; entry <= TFskTexts::kEntries; ++entry) {
        const TEntryPlace place = PairEntryPlace(entry);
        for (const TEntryField &field : EntryFields()) {
            const QString text = xg1.Cell(field.key, entry);
            const std::uint32_t value = IsEmptyText(text) ? 0 : ConvertAt(xg1.Place(field.key, entry), [&] {
                return StoredValue(field.convert, field.width, text);
            });
            WriteLe(blocks[static_cast<std::size_t>(place.block)], place.offset + field.offset, field.width, value);
        }
    }
    return blocks;
}

void TFskCodec::DecodeBlock(int block, const Block &data)
{
    if (block < 0 || block >= AreaFacts(Area()).blockCount)
        return;
    if (block == 0) {
        for (const TControlField &field : SettingsFields())
            DecodeField(field, data, m_texts.Controls());
    }
    for (int entry = 1; entry <= TFskTexts::kEntries; ++entry) {
        const TEntryPlace place = PairEntryPlace(entry);
        if (place.block == block)
            DecodeEntry(entry, data, place.offset);
    }
}

void TFskCodec::DecodeEntry(int entry, const Block &data, int offset)
{
    for (const TEntryField &field : EntryFields()) {
        const std::uint32_t value = ReadLe(data, offset + field.offset, field.width);
        m_texts.xg1().SetCell(field.key, entry, value == 0 ? QString() : *ShownText(field.convert, value));
    }
}
