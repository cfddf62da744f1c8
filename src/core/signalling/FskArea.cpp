#include "signalling/FskArea.h"

#include "base/TextConvert.h"
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
const std::vector<TByteField> &SettingsFields()
{
    static const std::vector<TByteField> fields = {
        {0, 2, QStringLiteral("ed1"), TFieldKind::Number, 1, {}, {}},
        {2, 2, QStringLiteral("ed2"), TFieldKind::Number, 1, {}, {}},
        {4, 1, QStringLiteral("cb1"), TFieldKind::Number, 100, {}, {}},
        {5, 2, QStringLiteral("ed3"), TFieldKind::Number, 1, {}, {}},
        {7, 1, QStringLiteral("ed4"), TFieldKind::Number, 1, {}, {}},
        {8, 1, QStringLiteral("CheckBox1"), TFieldKind::FlagExact, 1, {}, {}},
    };
    return fields;
}

// Each table entry is 4 bytes, queue (2) then ID (2), 0 for an empty cell, placed as
// PairEntryPlace says.
constexpr int kNumberWidth = 2;

std::uint32_t CellNumber(const QString &text, const QString &place)
{
    if (IsEmptyText(text))
        return 0;
    return ConvertAt(place, [&] { return StoredNumber(text, kNumberWidth); });
}

QString CellText(std::uint32_t value)
{
    return value == 0 ? QString() : QString::number(value);
}

}  // namespace

TFskArea::TFskArea()
    : TEditorTexts(ControlSpecs(), {GridSpec()})
{
    // FormCreate: the entry numbers of the fixed column.
    for (int row = 1; row <= kEntries; ++row)
        xg1().SetCell(0, row, QString::number(row));
}

int TFskArea::Area() const
{
    return frame::kFskArea;
}

const std::vector<TControlSpec> &TFskArea::ControlSpecs()
{
    using K = TControlKind;
    static const std::vector<TControlSpec> specs = {
        {QStringLiteral("ed1"), K::EditBox, QStringLiteral("队列（自身）"), {}, {}, QStringLiteral("100"), false, 0},
        {QStringLiteral("ed2"), K::EditBox, QStringLiteral("ID（自身）"), {}, {}, QStringLiteral("1000"), false, 0},
        {QStringLiteral("cb1"), K::DropDownList, QStringLiteral("队列同步波特率[bps]"), {},
         {QStringLiteral("1200"), QStringLiteral("2400")}, QStringLiteral("2400"), false, 0},
        {QStringLiteral("ed3"), K::EditBox, QStringLiteral("数据发射延迟时间[MS]"), {}, {}, QStringLiteral("400"), false, 0},
        {QStringLiteral("ed4"), K::EditBox, QStringLiteral("信息模式定时器[S]"), {}, {}, QStringLiteral("10"), false, 0},
        {QStringLiteral("CheckBox1"), K::CheckBox, {}, QStringLiteral("PTT ID侧音"), {}, {}, true, 0},
    };
    return specs;
}

const TGridSpec &TFskArea::GridSpec()
{
    static const TGridSpec spec = {
        QStringLiteral("xg1"), QStringLiteral("编号"), kEntries + 1,
        {{QStringLiteral("编号"), QStringLiteral("编号"), {}},
         {QStringLiteral("队列"), QStringLiteral("队列"), QStringLiteral("EditCellEditor1")},
         {QStringLiteral("ID"), QStringLiteral("ID"), QStringLiteral("EditCellEditor1")}},
    };
    return spec;
}

const TFormLayout &TFskArea::Layout()
{
    static const TFormLayout layout = [] {
        TFormLayout l;
        l.width = 696;
        l.height = 480;
        for (const char *name : {"ed1", "ed2", "cb1", "ed3", "ed4", "CheckBox1", "xg1"})
            l.placements.push_back({QString::fromLatin1(name), {}, {}, false});
        l.cellEditors = {{QStringLiteral("EditCellEditor1"), TCellEditorKind::Edit, {}, {}}};
        return l;
    }();
    return layout;
}

std::vector<Block> TFskArea::EncodeBlocks() const
{
    std::vector<Block> blocks(static_cast<std::size_t>(frame::blockCount(Area())));
    for (const TByteField &field : SettingsFields())
        EncodeField(field, Controls(), blocks[0]);

    for (int entry = 1; entry <= kEntries; ++entry) {
        const TEntryPlace place = PairEntryPlace(entry);
        Block &data = blocks[static_cast<std::size_t>(place.block)];
        WriteLe(data, place.offset, kNumberWidth,
                CellNumber(xg1().Cell(kQueueColumn, entry), xg1().Place(kQueueColumn, entry)));
        WriteLe(data, place.offset + kNumberWidth, kNumberWidth,
                CellNumber(xg1().Cell(kIdColumn, entry), xg1().Place(kIdColumn, entry)));
    }
    return blocks;
}

void TFskArea::DecodeBlock(int block, const Block &data)
{
    if (block < 0 || block >= frame::blockCount(Area()))
        return;
    if (block == 0) {
        for (const TByteField &field : SettingsFields())
            DecodeField(field, data, Controls());
    }
    for (int entry = 1; entry <= kEntries; ++entry) {
        const TEntryPlace place = PairEntryPlace(entry);
        if (place.block == block)
            DecodeEntry(entry, data, place.offset);
    }
}

void TFskArea::DecodeEntry(int entry, const Block &data, int offset)
{
    xg1().SetCell(kQueueColumn, entry, CellText(ReadLe(data, offset, kNumberWidth)));
    xg1().SetCell(kIdColumn, entry, CellText(ReadLe(data, offset + kNumberWidth, kNumberWidth)));
}
