#include "signalling/DtmfArea.h"

#include "base/TextConvert.h"
#include "signalling/AreaFields.h"
#include "signalling/DtmfCodes.h"

namespace {

// Block 0, parameters and decode settings (offsets in the 28 data bytes):
//    0  1  DTMF rate                   cb1, as shown
//    1  1  first digit time            cb2, ms / 10
//    2  1  first digit delay           cb3, ms / 10
//    3  1  "*" and "#" tone time       cb4, ms / 10
//    4  1  D key setting               cb5, 0 for "D码", else ms / 100
//    5  1  DTMF side tone              CheckB1, 0xFF / 0x00
//    6  4  reserved, 0
//   10  4  ID code                     Edit1, ID table, least significant byte first
//   14  1  group call code             cb6, DTMF table code, 0xFF for "关"
//   15  1  auto-reset timer            cb7, seconds, 0 for "关"
//   16  1  call alarm                  cb8
//   17  1  auto answer                 cb9
//   18  1  clear auto answer           CheckB2, 0xFF / 0x00
//   19  1  ID code digit count
//   20  8  digit counts of memories 1-8
constexpr int kIdCodeOffset = 10;
constexpr int kIdCountOffset = 19;

const std::vector<TByteField> &SettingsFields()
{
    static const std::vector<TByteField> fields = {
        {0, 1, QStringLiteral("cb1"), TFieldKind::Number, 1, {}, {}},
        {1, 1, QStringLiteral("cb2"), TFieldKind::Number, 10, {}, {}},
        {2, 1, QStringLiteral("cb3"), TFieldKind::Number, 10, {}, {}},
        {3, 1, QStringLiteral("cb4"), TFieldKind::Number, 10, {}, {}},
        {4, 1, QStringLiteral("cb5"), TFieldKind::Number, 100, QStringLiteral("D码"), {}},
        {5, 1, QStringLiteral("CheckB1"), TFieldKind::Flag, 1, {}, {}},
        {14, 1, QStringLiteral("cb6"), TFieldKind::Choice, 1, {},
         {{QStringLiteral("关"), 0xFF}, {QStringLiteral("A"), 13}, {QStringLiteral("B"), 14},
          {QStringLiteral("C"), 15}, {QStringLiteral("D"), 0}, {QStringLiteral("*"), 11},
          {QStringLiteral("#"), 12}}},
        {15, 1, QStringLiteral("cb7"), TFieldKind::Number, 1, QStringLiteral("关"), {}},
        {16, 1, QStringLiteral("cb8"), TFieldKind::Choice, 1, {},
         {{QStringLiteral("关"), 0}, {QStringLiteral("常规"), 1}, {QStringLiteral("连续"), 2}}},
        {17, 1, QStringLiteral("cb9"), TFieldKind::Choice, 1, {},
         {{QStringLiteral("关"), 0}, {QStringLiteral("告警"), 1}, {QStringLiteral("ID码"), 2}}},
        {18, 1, QStringLiteral("CheckB2"), TFieldKind::Flag, 1, {}, {}},
    };
    return fields;
}

// Blocks 1-3: six 4-byte slots each, memory 6(n-1)+1+i in slot i of block n, its digit string
// code (DTMF table) least significant byte first, 0 for an empty memory. Slots 4-5 of block 3
// and offsets 24-27 of every block stay 0.
constexpr int kSlotsPerBlock = 6;
constexpr int kCodeWidth = 4;

int MemoryBlock(int memory)
{
    return (memory - 1) / kSlotsPerBlock + 1;
}

int MemoryOffset(int memory)
{
    return kCodeWidth * ((memory - 1) % kSlotsPerBlock);
}

// A digit string to store: empty gives code 0 and count 0.
struct DigitText {
    std::uint32_t code = 0;
    std::uint8_t count = 0;
};

DigitText CheckedDigits(const QString &text, const QString &place, std::uint32_t (*toCode)(const QString &))
{
    if (IsEmptyText(text))
        return {};
    ConvertAt(place, [&] { CheckDigitText(text); });
    return {toCode(text), static_cast<std::uint8_t>(text.size())};
}

}  // namespace

TDtmfArea::TDtmfArea()
    : TEditorTexts(ControlSpecs(), {GridSpec()})
{
    // FormCreate: the memory numbers of the fixed column.
    for (int row = 1; row <= kMemories; ++row)
        xg2().SetCell(0, row, QString::number(row));
}

int TDtmfArea::Area() const
{
    return frame::kDtmfArea;
}

const std::vector<TControlSpec> &TDtmfArea::ControlSpecs()
{
    using K = TControlKind;
    static const std::vector<TControlSpec> specs = {
        // Page "DTMF编码"
        {QStringLiteral("cb1"), K::ComboBox, QStringLiteral("DTMF速率"), {},
         {QStringLiteral("6"), QStringLiteral("8"), QStringLiteral("10"), QStringLiteral("15")},
         QStringLiteral("6"), false, 0},
        {QStringLiteral("cb2"), K::ComboBox, QStringLiteral("首位数码时间（毫秒）"), {},
         {QStringLiteral("100"), QStringLiteral("500"), QStringLiteral("1000")}, QStringLiteral("0"), false, 0},
        {QStringLiteral("cb3"), K::ComboBox, QStringLiteral("首位数码延迟（毫秒）"), {},
         NumberItems(100, 1000, 50), QStringLiteral("100"), false, 0},
        {QStringLiteral("cb4"), K::ComboBox, QStringLiteral("*和#音时间（毫秒）"), {},
         {QStringLiteral("0"), QStringLiteral("100"), QStringLiteral("500"), QStringLiteral("1000")},
         QStringLiteral("0"), false, 0},
        {QStringLiteral("cb5"), K::ComboBox, QStringLiteral("D键设定(毫秒)"), {},
         QStringList{QStringLiteral("D码")} + NumberItems(1000, 10000, 1000), QStringLiteral("D码"), false, 0},
        {QStringLiteral("CheckB1"), K::CheckBox, {}, QStringLiteral("DTMF侧音"), {}, {}, true, 0},
        // Page "DTMF解码"
        {QStringLiteral("Edit1"), K::EditBox, QStringLiteral("ID码"), {}, {}, QStringLiteral("12345678"), false, 8},
        {QStringLiteral("cb6"), K::ComboBox, QStringLiteral("组呼码"), {},
         {QStringLiteral("关"), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
          QStringLiteral("*"), QStringLiteral("#")},
         QStringLiteral("关"), false, 0},
        {QStringLiteral("cb7"), K::ComboBox, QStringLiteral("自动复位定时器（秒）"), {},
         QStringList{QStringLiteral("关")} + NumberItems(1, 15, 1), QStringLiteral("10"), false, 0},
        {QStringLiteral("cb8"), K::ComboBox, QStringLiteral("呼叫告警"), {},
         {QStringLiteral("常规"), QStringLiteral("连续"), QStringLiteral("关")}, QStringLiteral("常规"), false, 0},
        {QStringLiteral("cb9"), K::ComboBox, QStringLiteral("自动应答"), {},
         {QStringLiteral("关"), QStringLiteral("告警"), QStringLiteral("ID码")}, QStringLiteral("关"), false, 0},
        {QStringLiteral("CheckB2"), K::CheckBox, QStringLiteral("清除自动应答"), {}, {}, {}, false, 0},
    };
    return specs;
}

const TGridSpec &TDtmfArea::GridSpec()
{
    static const TGridSpec spec = {
        QStringLiteral("xg2"), QStringLiteral("DTMF编码"), kMemories + 1,
        {{QStringLiteral("信息码"), QStringLiteral("信息码"), {}},
         {QStringLiteral("自动拨号存储器"), QStringLiteral("自动拨号存储器"), QStringLiteral("EditCellEditor1")}},
    };
    return spec;
}

const TFormLayout &TDtmfArea::Layout()
{
    static const TFormLayout layout = [] {
        TFormLayout l;
        l.width = 428;
        l.height = 485;
        const QString encode = QStringLiteral("DTMF编码");
        const QString decode = QStringLiteral("DTMF解码");
        l.pages = {encode, decode};
        l.initialPage = 0;
        for (const char *name : {"xg2", "cb1", "cb2", "cb3", "cb4", "cb5", "CheckB1"})
            l.placements.push_back({QString::fromLatin1(name), encode, encode, false});
        for (const char *name : {"Edit1", "cb6", "cb7", "cb8", "cb9", "CheckB2"})
            l.placements.push_back({QString::fromLatin1(name), decode, decode, false});
        l.cellEditors = {{QStringLiteral("EditCellEditor1"), TCellEditorKind::Edit, QStringLiteral("12345678"), {}}};
        return l;
    }();
    return layout;
}

void TDtmfArea::SetEditText(const QString &grid, int col, int row, const QString &value)
{
    if (grid == xg2().Name())
        xg2SetEditText(col, row, value);
    else
        TEditorTexts::SetEditText(grid, col, row, value);
}

QString TDtmfArea::xg2SetEditText(int col, int row, const QString &value)
{
    const bool memory = col == kMemoryColumn && value.size() > kMaxDigits;
    xg2().SetCell(col, row, memory ? value.left(kMaxDigits) : value);
    return xg2().Cell(col, row);
}

std::vector<Block> TDtmfArea::EncodeBlocks() const
{
    std::vector<Block> blocks(static_cast<std::size_t>(frame::blockCount(Area())));
    Block &settings = blocks[0];
    for (const TByteField &field : SettingsFields())
        EncodeField(field, Controls(), settings);

    const DigitText id = CheckedDigits(Controls().Text(QStringLiteral("Edit1")),
                                       Controls().Spec(QStringLiteral("Edit1")).label, IdTextToCode);
    WriteLe(settings, kIdCodeOffset, kCodeWidth, id.code);
    settings[kIdCountOffset] = id.count;

    for (int memory = 1; memory <= kMemories; ++memory) {
        const DigitText digits =
            CheckedDigits(xg2().Cell(kMemoryColumn, memory), xg2().Place(kMemoryColumn, memory), DtmfTextToCode);
        WriteLe(blocks[static_cast<std::size_t>(MemoryBlock(memory))], MemoryOffset(memory), kCodeWidth,
                digits.code);
        if (memory < kDigitCounts)
            settings[static_cast<std::size_t>(kIdCountOffset + memory)] = digits.count;
    }
    return blocks;
}

void TDtmfArea::DecodeBlock(int block, const Block &data)
{
    if (block == 0)
        DecodeSettings(data);
    else if (block > 0 && block < frame::blockCount(Area()))
        DecodeMemories(block, data);
}

void TDtmfArea::DecodeSettings(const Block &data)
{
    for (const TByteField &field : SettingsFields())
        DecodeField(field, data, Controls());

    // A zero code is an ID of "D"s only (none for a zero count). Without a count the ID shows
    // its digits from the highest non-zero one.
    const std::uint32_t id = ReadLe(data, kIdCodeOffset, kCodeWidth);
    const int count = data[kIdCountOffset];
    Controls().SetText(QStringLiteral("Edit1"),
                       id == 0 ? QString(count, QLatin1Char('D'))
                               : IdCodeToText(id, count > 0 ? count : SignificantDigits(id)));

    for (int i = 0; i < kDigitCounts; ++i)
        m_digitCounts[static_cast<std::size_t>(i)] = data[static_cast<std::size_t>(kIdCountOffset + i)];
}

void TDtmfArea::DecodeMemories(int block, const Block &data)
{
    for (int slot = 0; slot < kSlotsPerBlock; ++slot) {
        const int memory = kSlotsPerBlock * (block - 1) + 1 + slot;
        if (memory > kMemories)
            break;
        const std::uint32_t code = ReadLe(data, MemoryOffset(memory), kCodeWidth);
        // Memories 9-16 have no stored count; neither has a memory whose count reads 0.
        const int stored = memory < kDigitCounts ? m_digitCounts[static_cast<std::size_t>(memory)] : 0;
        const int count = stored > 0 ? stored : SignificantDigits(code);
        xg2().SetCell(kMemoryColumn, memory, code == 0 ? QString() : DtmfCodeToText(code, count));
    }
}
