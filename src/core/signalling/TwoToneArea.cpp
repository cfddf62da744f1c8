#include "signalling/TwoToneArea.h"

#include "base/TextConvert.h"
#include "signalling/AreaFields.h"

#include <cmath>

namespace {

const QString kEncodeGrid = QStringLiteral("xg1");
const QString kDecodeGrid = QStringLiteral("xg2");

// Block 0, the boxes, 16 bits each, least significant byte first:
//   offset  box  content                       offset  box  content
//     0     ed1  tone A, Hz                      8     ed5  reset time, ms
//     2     ed2  tone B, Hz                     10     cb1  first frequency duration, ms
//     4     ed3  tone C, Hz                     12     cb2  second frequency duration, ms
//     6     ed4  tone D, Hz                     14     cb3  gap between the two, ms
//   16..19  reserved, 0                         20..27 encode entries 1 and 2
struct TBoxField {
    int offset;
    const char *box;
    bool tone;  // a tone box takes a decimal number that must be whole ("1981.0")
};
constexpr TBoxField kBoxFields[] = {
    {0, "ed1", true},   {2, "ed2", true},   {4, "ed3", true},   {6, "ed4", true},
    {8, "ed5", false},  {10, "cb1", false}, {12, "cb2", false}, {14, "cb3", false},
};
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
int CodeColumn(int slot) { return TTwoToneArea::kSlotColumns * slot + 1; }
int ModeColumn(int slot) { return CodeColumn(slot) + 1; }
int PromptColumn(int slot) { return CodeColumn(slot) + 2; }

std::uint32_t ToneValue(const QString &text)
{
    const double value = StrToFloat(text);
    if (value != std::floor(value))
        throw EConvertError(NotAnInteger(text));
    if (value < 0 || value > 65535)
        throw EConvertError(OutOfRange(text, 0, 65535));
    return static_cast<std::uint32_t>(value);
}

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

TTwoToneArea::TTwoToneArea()
    : TEditorTexts(ControlSpecs(), GridSpecs())
{
    FormCreate();
}

void TTwoToneArea::FormCreate()
{
    for (int row = 1; row <= kEntries; ++row) {
        Grid(kEncodeGrid).SetCell(0, row, QString::number(row));
        Grid(kDecodeGrid).SetCell(0, row, QString::number(row));
    }
}

int TTwoToneArea::Area() const
{
    return frame::kTwoToneArea;
}

const QStringList &TTwoToneArea::CodeItems()
{
    static const QStringList items{"AB", "AC", "AD", "BA", "BC", "BD",
                                   "CA", "CB", "CD", "DA", "DC", "DB"};
    return items;
}

const QStringList &TTwoToneArea::ModeItems()
{
    static const QStringList items{"无", "提醒", "回复", "提醒并回复"};
    return items;
}

const QStringList &TTwoToneArea::PromptItems()
{
    static const QStringList items = NumberItems(1, 16, 1);
    return items;
}

const QStringList &TTwoToneArea::TimeItems()
{
    static const QStringList items = NumberItems(50, 1000, 50);
    return items;
}

const QStringList &TTwoToneArea::NewEntryTexts()
{
    static const QStringList texts{"无", "1", "AB", "无", "1", "AB", "无", "1", "AB", "无", "1"};
    return texts;
}

const std::vector<TControlSpec> &TTwoToneArea::ControlSpecs()
{
    static const std::vector<TControlSpec> specs = [] {
        auto edit = [](const char *name, const char *label, const char *text) {
            TControlSpec spec;
            spec.name = QString::fromLatin1(name);
            spec.kind = TControlKind::EditBox;
            spec.label = QString::fromUtf8(label);
            spec.initialText = QString::fromLatin1(text);
            return spec;
        };
        auto time = [](const char *name, const char *label) {
            TControlSpec spec;
            spec.name = QString::fromLatin1(name);
            spec.kind = TControlKind::ComboBox;
            spec.label = QString::fromUtf8(label);
            spec.items = TimeItems();
            spec.initialText = QStringLiteral("500");
            return spec;
        };
        return std::vector<TControlSpec>{
            edit("ed1", "A音（HZ）", "1981"),
            edit("ed2", "B音（HZ）", "1124"),
            edit("ed3", "C音（HZ）", "1197"),
            edit("ed4", "D音（HZ）", "1275"),
            edit("ed5", "复位时间（MS）", "6000"),
            time("cb1", "第一个频率时间长（MS）"),
            time("cb2", "第二个频率时间长（MS）"),
            time("cb3", "前后两个频率的间隔时间长（MS）"),
        };
    }();
    return specs;
}

const std::vector<TGridSpec> &TTwoToneArea::GridSpecs()
{
    static const std::vector<TGridSpec> specs = [] {
        const QString entry = QStringLiteral("信息码");
        TGridSpec encode{kEncodeGrid, QStringLiteral("编码"), kEntries + 1,
                         {{entry, entry, QString()},
                          {"第一个频率（HZ）", "第一个频率（HZ）", "EditCellEditor1"},
                          {"第二个频率（HZ）", "第二个频率（HZ）", "EditCellEditor1"}}};
        TGridSpec decode{kDecodeGrid, QStringLiteral("解码"), kEntries + 1, {{entry, entry, QString()}}};
        for (int slot = 1; slot <= kSlots; ++slot) {
            const QString n = QString::number(slot);
            decode.columns.push_back({"解码" + n, "解码" + n, "ComboCellEditor1"});
            decode.columns.push_back({"响应方式", "响应方式" + n, "ComboCellEditor3"});
            decode.columns.push_back({"提示", "提示" + n, "ComboCellEditor2"});
        }
        return std::vector<TGridSpec>{encode, decode};
    }();
    return specs;
}

const TFormLayout &TTwoToneArea::Layout()
{
    static const TFormLayout layout = [] {
        TFormLayout form;
        form.width = 685;
        form.height = 563;
        form.pages = QStringList{"编码", "解码"};
        form.initialPage = 0;
        const QString tones = QStringLiteral("两音频率");
        form.placements = {
            {kEncodeGrid, "编码", QString(), false},
            {"cb1", "编码", QString(), false},
            {"cb2", "编码", QString(), false},
            {"cb3", "编码", QString(), false},
            {kDecodeGrid, "解码", "2TONE解码", false},
            {"ed1", QString(), tones, true},
            {"ed2", QString(), tones, true},
            {"ed3", QString(), tones, true},
            {"ed4", QString(), tones, true},
            {"ed5", QString(), tones, false},
        };
        form.cellEditors = {
            {"EditCellEditor1", TCellEditorKind::Edit, QString(), {}},
            {"ComboCellEditor1", TCellEditorKind::Combo, "AB", CodeItems()},
            {"ComboCellEditor2", TCellEditorKind::Combo, "1", PromptItems()},
            {"ComboCellEditor3", TCellEditorKind::Combo, "无", ModeItems()},
        };
        return form;
    }();
    return layout;
}

void TTwoToneArea::SetEditText(const QString &grid, int col, int row, const QString &value)
{
    if (grid == kDecodeGrid)
        xg2SetEditText(col, row, value);
    else
        TEditorTexts::SetEditText(grid, col, row, value);
}

void TTwoToneArea::xg2SetEditText(int col, int row, const QString &value)
{
    TEditorTexts::SetEditText(kDecodeGrid, col, row, value);
    TGridTexts &xg2 = Grid(kDecodeGrid);
    if (xg2.IsEmptyCell(CodeColumn(0), row))
        xg2.SetCell(col, row, QString());
    else if (col == CodeColumn(0))
        xg2.SetCells(row, CodeColumn(0) + 1, NewEntryTexts());
}

std::vector<Block> TTwoToneArea::EncodeBlocks() const
{
    std::vector<Block> blocks(static_cast<std::size_t>(frame::blockCount(frame::kTwoToneArea)), Block{});

    for (const TBoxField &field : kBoxFields) {
        const QString box = QString::fromLatin1(field.box);
        const QString text = Controls().Text(box);
        const std::uint32_t value = ConvertAt(Controls().Spec(box).label, [&] {
            return field.tone ? ToneValue(text) : StoredNumber(text, kNumberWidth);
        });
        WriteLe(blocks[0], field.offset, kNumberWidth, value);
    }

    const TGridTexts &xg1 = Grid(kEncodeGrid);
    for (int entry = 1; entry <= kEntries; ++entry) {
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

    for (int entry = 1; entry <= kEntries; ++entry) {
        const TEntryPlace place = DecodeEntryPlace(entry);
        EncodeDecodeEntry(entry, blocks[static_cast<std::size_t>(place.block)], place.offset);
    }
    return blocks;
}

// An entry not in use stays twelve zero bytes, and so does a slot whose code cell is empty.
void TTwoToneArea::EncodeDecodeEntry(int entry, Block &data, int offset) const
{
    const TGridTexts &xg2 = Grid(kDecodeGrid);
    if (xg2.IsEmptyCell(CodeColumn(0), entry))
        return;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (xg2.IsEmptyCell(CodeColumn(slot), entry))
            continue;
        auto cell = [&](int col) { return xg2.Cell(col, entry); };
        const int at = offset + kSlotSize * slot;
        WriteLe(data, at + kCodeAt, 1, ConvertAt(xg2.Place(CodeColumn(slot), entry), [&] {
                    return std::uint32_t{CodeByte(cell(CodeColumn(slot)))};
                }));
        WriteLe(data, at + kModeAt, 1, ConvertAt(xg2.Place(ModeColumn(slot), entry), [&] {
                    return static_cast<std::uint32_t>(ListIndex(cell(ModeColumn(slot)), ModeItems()));
                }));
        WriteLe(data, at + kPromptAt, 1, ConvertAt(xg2.Place(PromptColumn(slot), entry), [&] {
                    return static_cast<std::uint32_t>(StrToIntRange(cell(PromptColumn(slot)), 1, 16));
                }));
    }
}

void TTwoToneArea::DecodeBlock(int block, const Block &data)
{
    if (block < 0 || block >= frame::blockCount(frame::kTwoToneArea))
        return;

    if (block == 0) {
        for (const TBoxField &field : kBoxFields) {
            Controls().SetText(QString::fromLatin1(field.box),
                               QString::number(ReadLe(data, field.offset, kNumberWidth)));
        }
    }

    TGridTexts &xg1 = Grid(kEncodeGrid);
    for (int entry = 1; entry <= kEntries; ++entry) {
        const TEntryPlace place = EncodeEntryPlace(entry);
        if (place.block != block)
            continue;
        for (int col = 1; col <= 2; ++col) {
            xg1.SetCell(col, entry, FrequencyText(ReadLe(data, place.offset + kNumberWidth * (col - 1),
                                                         kNumberWidth)));
        }
    }

    for (int entry = 1; entry <= kEntries; ++entry) {
        const TEntryPlace place = DecodeEntryPlace(entry);
        if (place.block == block)
            DecodeDecodeEntry(entry, data, place.offset);
    }
}

// A first code of 0 marks the entry as not in use: the row shows empty. In an entry in use a
// slot with code 0 shows empty cells; a mode outside 0..3 shows an empty mode cell, which a
// later write refuses rather than guess.
void TTwoToneArea::DecodeDecodeEntry(int entry, const Block &data, int offset)
{
    TGridTexts &xg2 = Grid(kDecodeGrid);
    xg2.ClearRow(entry);
    if (data[static_cast<std::size_t>(offset + kCodeAt)] == 0)
        return;
    for (int slot = 0; slot < kSlots; ++slot) {
        const int at = offset + kSlotSize * slot;
        const std::uint8_t code = data[static_cast<std::size_t>(at + kCodeAt)];
        if (code == 0)
            continue;
        const std::uint8_t mode = data[static_cast<std::size_t>(at + kModeAt)];
        xg2.SetCell(CodeColumn(slot), entry, CodeText(code));
        xg2.SetCell(ModeColumn(slot), entry, mode < ModeItems().size() ? ModeItems()[mode] : QString());
        xg2.SetCell(PromptColumn(slot), entry, QString::number(data[static_cast<std::size_t>(at + kPromptAt)]));
    }
}
