#include "signalling/FiveToneArea.h"

#include "base/TextConvert.h"
#include "signalling/AreaFields.h"

namespace {

const QString kStandardGrid = QStringLiteral("xg1");
const QString kEncodeGrid = QStringLiteral("xg2");
const QString kDecodeGrid = QStringLiteral("xg3");
const QString kStandardBox = QStringLiteral("CCIR");

// Tone frequency in Hz of each digit 0..F; columns CCIR, EIA, EEA, ZVEI1, ZVEI2.
constexpr double kFrequencies[TFiveToneArea::kDigits][TFiveToneArea::kStandards] = {
    {1981, 600, 1981, 2400, 2400},  // 0
    {1124, 741, 1124, 1060, 1060},  // 1
    {1197, 882, 1197, 1160, 1160},  // 2
    {1275, 1023, 1275, 1270, 1270}, // 3
    {1358, 1164, 1358, 1400, 1400}, // 4
    {1446, 1305, 1446, 1530, 1530}, // 5
    {1540, 1446, 1540, 1670, 1670}, // 6
    {1640, 1587, 1640, 1830, 1830}, // 7
    {1747, 1728, 1747, 2000, 2000}, // 8
    {1860, 1869, 1860, 2200, 2200}, // 9
    {2400, 2151, 1055, 2800, 885},  // A
    {930, 2433, 930, 810, 810},     // B
    {2247, 2010, 2400, 970, 740},   // C
    {991, 2292, 991, 885, 680},     // D
    {2110, 459, 2110, 2600, 970},   // E
    {1055, 1091, 2247, 680, 2600},  // F
};

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
constexpr int kDelaysAt = 20;
constexpr int kDelayCount = 4;
constexpr int kDelayScale = 10;

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
constexpr TNibbleField kDecodeStandard = {0, 0, 1};
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
    const int digit = static_cast<int>(TFiveToneArea::DigitItems().indexOf(text.trimmed().toUpper()));
    if (digit < 0)
        throw EConvertError(QStringLiteral("'%1' is not one hexadecimal digit").arg(text));
    return static_cast<std::uint32_t>(digit);
}

std::uint32_t StandardValue(const QString &text)
{
    return static_cast<std::uint32_t>(ListIndex(text, TFiveToneArea::StandardItems()) + 1);
}

QString StandardText(std::uint32_t value)
{
    return value >= 1 && value <= TFiveToneArea::kStandards ? TFiveToneArea::StandardItems()[value - 1]
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

TFiveToneArea::TFiveToneArea()
    : TEditorTexts(ControlSpecs(), GridSpecs())
{
    FormCreate();
}

void TFiveToneArea::FormCreate()
{
    TGridTexts &xg1 = Grid(kStandardGrid);
    for (int row = 1; row <= kStandards; ++row)
        xg1.SetCells(row, 0, {StandardItems()[row - 1], "100", "A", "E"});
    for (int row = 1; row <= kEntries; ++row) {
        Grid(kEncodeGrid).SetCell(0, row, QString::number(row));
        Grid(kDecodeGrid).SetCell(0, row, QString::number(row));
    }
}

int TFiveToneArea::Area() const
{
    return frame::kFiveToneArea;
}

const QStringList &TFiveToneArea::StandardItems()
{
    static const QStringList items{"CCIR", "EIA", "EEA", "ZVEI1", "ZVEI2"};
    return items;
}

const QStringList &TFiveToneArea::FunctionItems()
{
    static const QStringList items{"通话", "主叫", "被叫", "监听", "巡查", "报警", "遥毙", "遥晕", "唤醒"};
    return items;
}

const QStringList &TFiveToneArea::DigitItems()
{
    static const QStringList items{"0", "1", "2", "3", "4", "5", "6", "7",
                                   "8", "9", "A", "B", "C", "D", "E", "F"};
    return items;
}

const QStringList &TFiveToneArea::DelayItems()
{
    static const QStringList items = NumberItems(50, 1000, 50);
    return items;
}

const QStringList &TFiveToneArea::NewEncodeEntryTexts()
{
    static const QStringList texts{"12345", "45678", "ABCDE", "CCIR"};
    return texts;
}

const QStringList &TFiveToneArea::NewDecodeEntryTexts()
{
    static const QStringList texts{"12345", "通话", "45678", "主叫", "ABCDE", "被叫", "56789"};
    return texts;
}

QStringList TFiveToneArea::FrequencyTexts(const QString &standard)
{
    const int column = static_cast<int>(StandardItems().indexOf(standard));
    QStringList texts;
    if (column < 0)
        return texts;
    for (const auto &digit : kFrequencies)
        texts << QString::number(digit[column], 'f', 1);
    return texts;
}

const std::vector<TControlSpec> &TFiveToneArea::ControlSpecs()
{
    static const std::vector<TControlSpec> specs = [] {
        std::vector<TControlSpec> list;
        TControlSpec standard;
        standard.name = kStandardBox;
        standard.kind = TControlKind::ComboBox;
        standard.label = QStringLiteral("标准名称：");
        standard.items = StandardItems();
        standard.initialText = QStringLiteral("CCIR");
        list.push_back(standard);

        const QStringList frequencies = FrequencyTexts(QStringLiteral("CCIR"));
        for (int digit = 0; digit < kDigits; ++digit) {
            TControlSpec box;
            box.name = QStringLiteral("Edit%1").arg(digit + 1);
            box.kind = TControlKind::EditBox;
            box.label = DigitItems()[digit];
            box.initialText = frequencies[digit];
            list.push_back(box);
        }

        const char *const delayLabels[kDelayCount] = {
            "发送第一帧编码的延迟时间（MS）", "发送第二帧编码的延迟时间（MS）",
            "发送第三帧编码的延迟时间（MS）", "各组码第一个音的扩展时长"};
        for (int i = 0; i < kDelayCount; ++i) {
            TControlSpec delay;
            delay.name = QStringLiteral("cb%1").arg(i + 1);
            delay.kind = TControlKind::ComboBox;
            delay.label = QString::fromUtf8(delayLabels[i]);
            delay.items = DelayItems();
            delay.initialText = QStringLiteral("500");
            list.push_back(delay);
        }

        TControlSpec reset;
        reset.name = QStringLiteral("ed1");
        reset.kind = TControlKind::EditBox;
        reset.label = QStringLiteral("复位时间（MS）");
        reset.initialText = QStringLiteral("6000");
        list.push_back(reset);
        return list;
    }();
    return specs;
}

const std::vector<TGridSpec> &TFiveToneArea::GridSpecs()
{
    static const std::vector<TGridSpec> specs = [] {
        const QString entry = QStringLiteral("信息码");
        const QString standard = QStringLiteral("使用标准");
        const QString function = QStringLiteral("功   能");
        TGridSpec standards{kStandardGrid, QStringLiteral("标准"), kStandards + 1,
                            {{"5 TONE 标准", "5 TONE 标准", QString()},
                             {"发射时长（MS）", "发射时长（MS）", "EditCellEditor1"},
                             {"群呼码", "群呼码", "ComboCellEditor1"},
                             {"重复码", "重复码", "ComboCellEditor1"}}};
        TGridSpec encode{kEncodeGrid, QStringLiteral("编码"), kEntries + 1,
                         {{entry, entry, QString()},
                          {"第一帧编码", "第一帧编码", "EditCellEditor2"},
                          {"第二帧编码", "第二帧编码", "EditCellEditor2"},
                          {"第三帧编码", "第三帧编码", "EditCellEditor2"},
                          {"确认码", "确认码", "EditCellEditor2"},
                          {standard, standard, "ComboCellEditor2"}}};
        TGridSpec decode{kDecodeGrid, QStringLiteral("解码"), kEntries + 1,
                         {{entry, entry, QString()},
                          {standard, standard, "ComboCellEditor3"},
                          {"第一帧解码", "第一帧解码", "EditCellEditor3"},
                          {function, "第一帧功能", "ComboCellEditor4"},
                          {"第二帧解码", "第二帧解码", "EditCellEditor3"},
                          {function, "第二帧功能", "ComboCellEditor4"},
                          {"第三帧解码", "第三帧解码", "EditCellEditor3"},
                          {function, "第三帧功能", "ComboCellEditor4"},
                          {"回复码", "回复码", "EditCellEditor3"}}};
        return std::vector<TGridSpec>{standards, encode, decode};
    }();
    return specs;
}

const TFormLayout &TFiveToneArea::Layout()
{
    static const TFormLayout layout = [] {
        TFormLayout form;
        form.width = 777;
        form.height = 529;
        form.pages = QStringList{"标准", "编码", "解码"};
        form.initialPage = 2;
        form.placements.push_back({kStandardBox, "标准", QString(), false});
        for (int digit = 1; digit <= kDigits; ++digit)
            form.placements.push_back({QStringLiteral("Edit%1").arg(digit), "标准", QString(), true});
        form.placements.push_back({kStandardGrid, "标准", QString(), false});
        form.placements.push_back({kEncodeGrid, "编码", QString(), false});
        for (int i = 1; i <= kDelayCount; ++i)
            form.placements.push_back({QStringLiteral("cb%1").arg(i), "编码", QString(), false});
        form.placements.push_back({kDecodeGrid, "解码", QString(), false});
        form.placements.push_back({"ed1", "解码", QString(), false});
        form.cellEditors = {
            {"EditCellEditor1", TCellEditorKind::Edit, QString(), {}},
            {"ComboCellEditor1", TCellEditorKind::Combo, QString(), DigitItems()},
            {"EditCellEditor2", TCellEditorKind::Edit, "12345", {}},
            {"ComboCellEditor2", TCellEditorKind::Combo, "CCIR", StandardItems()},
            {"EditCellEditor3", TCellEditorKind::Edit, "12345", {}},
            {"ComboCellEditor3", TCellEditorKind::Combo, "CCIR", StandardItems()},
            {"ComboCellEditor4", TCellEditorKind::Combo, "通话", FunctionItems()},
        };
        return form;
    }();
    return layout;
}

void TFiveToneArea::CCIRChange()
{
    const QStringList texts = FrequencyTexts(Controls().Text(kStandardBox));
    for (int digit = 0; digit < texts.size(); ++digit)
        Controls().SetText(QStringLiteral("Edit%1").arg(digit + 1), texts[digit]);
}

void TFiveToneArea::SetEditText(const QString &grid, int col, int row, const QString &value)
{
    if (grid == kEncodeGrid)
        xg2SetEditText(col, row, value);
    else if (grid == kDecodeGrid)
        xg3SetEditText(col, row, value);
    else
        TEditorTexts::SetEditText(grid, col, row, value);
}

void TFiveToneArea::xg2SetEditText(int col, int row, const QString &value)
{
    TEditorTexts::SetEditText(kEncodeGrid, col, row, value);
    TGridTexts &xg2 = Grid(kEncodeGrid);
    if (xg2.IsEmptyCell(1, row))
        xg2.SetCell(col, row, QString());
    else if (col == 1)
        xg2.SetCells(row, 2, NewEncodeEntryTexts());
}

void TFiveToneArea::xg3SetEditText(int col, int row, const QString &value)
{
    TEditorTexts::SetEditText(kDecodeGrid, col, row, value);
    TGridTexts &xg3 = Grid(kDecodeGrid);
    if (xg3.IsEmptyCell(kDecodeStandard.column, row))
        xg3.SetCell(col, row, QString());
    else if (col == kDecodeStandard.column)
        xg3.SetCells(row, 2, NewDecodeEntryTexts());
}

std::vector<Block> TFiveToneArea::EncodeBlocks() const
{
    std::vector<Block> blocks(static_cast<std::size_t>(frame::blockCount(frame::kFiveToneArea)), Block{});
    EncodeStandards(blocks[0]);
    for (int entry = 1; entry <= kEntries; ++entry) {
        const TEntryPlace place = EncodeEntryPlace(entry);
        EncodeEncodeEntry(entry, blocks[static_cast<std::size_t>(place.block)], place.offset);
    }
    for (int entry = 1; entry <= kEntries; ++entry) {
        const TEntryPlace place = DecodeEntryPlace(entry);
        EncodeDecodeEntry(entry, blocks[static_cast<std::size_t>(place.block)], place.offset);
    }
    return blocks;
}

void TFiveToneArea::EncodeStandards(Block &data) const
{
    const TGridTexts &xg1 = Grid(kStandardGrid);
    for (int row = 1; row <= kStandards; ++row) {
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
    for (int i = 0; i < kDelayCount; ++i) {
        const QString box = QStringLiteral("cb%1").arg(i + 1);
        WriteLe(data, kDelaysAt + i, 1, ConvertAt(Controls().Spec(box).label, [&] {
                    return StoredNumber(Controls().Text(box), 1, kDelayScale);
                }));
    }
}

// An entry not in use stays fourteen zero bytes.
void TFiveToneArea::EncodeEncodeEntry(int entry, Block &data, int offset) const
{
    const TGridTexts &xg2 = Grid(kEncodeGrid);
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

void TFiveToneArea::EncodeDecodeEntry(int entry, Block &data, int offset) const
{
    const TGridTexts &xg3 = Grid(kDecodeGrid);
    if (xg3.IsEmptyCell(kDecodeStandard.column, entry))
        return;
    auto orNibble = [&](const TNibbleField &field, std::uint32_t value) {
        data[static_cast<std::size_t>(offset + field.offset)] |= static_cast<std::uint8_t>(value << field.shift);
    };
    orNibble(kDecodeStandard, ConvertAt(xg3.Place(kDecodeStandard.column, entry), [&] {
                 return StandardValue(xg3.Cell(kDecodeStandard.column, entry));
             }));
    for (const TNibbleField &function : kDecodeFunctions) {
        orNibble(function, ConvertAt(xg3.Place(function.column, entry), [&] {
                     return static_cast<std::uint32_t>(ListIndex(xg3.Cell(function.column, entry), FunctionItems()));
                 }));
    }
    for (const TCodeField &code : kDecodeCodes) {
        WriteLe(data, offset + code.offset, kCodeWidth, ConvertAt(xg3.Place(code.column, entry), [&] {
                    return CodeValue(xg3.Cell(code.column, entry));
                }));
    }
}

void TFiveToneArea::DecodeBlock(int block, const Block &data)
{
    if (block < 0 || block >= frame::blockCount(frame::kFiveToneArea))
        return;
    if (block == 0)
        DecodeStandards(data);
    for (int entry = 1; entry <= kEntries; ++entry) {
        const TEntryPlace encode = EncodeEntryPlace(entry);
        if (encode.block == block)
            DecodeEncodeEntry(entry, data, encode.offset);
        const TEntryPlace decode = DecodeEntryPlace(entry);
        if (decode.block == block)
            DecodeDecodeEntry(entry, data, decode.offset);
    }
}

void TFiveToneArea::DecodeStandards(const Block &data)
{
    TGridTexts &xg1 = Grid(kStandardGrid);
    for (int row = 1; row <= kStandards; ++row) {
        const int at = kStandardSize * (row - 1);
        xg1.SetCells(row, 1, {QString::number(ReadLe(data, at + kDurationAt, 1)),
                              DigitItems()[ReadLe(data, at + kGroupDigitAt, 1) & 0x0F],
                              DigitItems()[ReadLe(data, at + kRepeatDigitAt, 1) & 0x0F]});
    }
    for (int i = 0; i < kDelayCount; ++i) {
        Controls().SetText(QStringLiteral("cb%1").arg(i + 1),
                           QString::number(ReadLe(data, kDelaysAt + i, 1) * kDelayScale));
    }
}

// An entry of zero bytes shows an empty row. A standard outside 1..5 shows an empty cell.
void TFiveToneArea::DecodeEncodeEntry(int entry, const Block &data, int offset)
{
    TGridTexts &xg2 = Grid(kEncodeGrid);
    xg2.ClearRow(entry);
    if (AllZero(data, offset, kEntrySize))
        return;
    for (const TCodeField &code : kEncodeCodes)
        xg2.SetCell(code.column, entry, CodeText(ReadLe(data, offset + code.offset, kCodeWidth)));
    xg2.SetCell(kEncodeStandardColumn, entry, StandardText(ReadLe(data, offset + kEncodeStandardAt, 1)));
}

// An entry of zero bytes shows an empty row. A standard outside 1..5 shows an empty cell;
// a function outside 0..8 shows "通话".
void TFiveToneArea::DecodeDecodeEntry(int entry, const Block &data, int offset)
{
    TGridTexts &xg3 = Grid(kDecodeGrid);
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
                    FunctionItems().value(static_cast<int>(value), FunctionItems().front()));
    }
    for (const TCodeField &code : kDecodeCodes)
        xg3.SetCell(code.column, entry, CodeText(ReadLe(data, offset + code.offset, kCodeWidth)));
}
