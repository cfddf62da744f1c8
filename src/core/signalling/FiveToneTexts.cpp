#include "signalling/FiveToneTexts.h"

namespace {

const QString kStandardGrid = QStringLiteral("xg1");
const QString kEncodeGrid = QStringLiteral("xg2");
const QString kDecodeGrid = QStringLiteral("xg3");
const QString kStandardBox = QStringLiteral("CCIR");

// Tone frequency in Hz of each digit 0..F; columns CCIR, EIA, EEA, ZVEI1, ZVEI2.
constexpr double kFrequencies[TFiveToneTexts::kDigits][TFiveToneTexts::kStandards] = {
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

// Whether a cell of the row other than col holds text.
bool HoldsTextBeside(const TGridTexts &grid, int row, int col)
{
    for (int c = 1; c < grid.ColCount(); ++c)
        if (c != col && !grid.IsEmptyCell(c, row))
            return true;
    return false;
}

}  // namespace

TFiveToneTexts::TFiveToneTexts()
    : TEditorTexts(ControlSpecs(), GridSpecs(), CellEditorSpecs())
{
    FormCreate();
}

void TFiveToneTexts::FormCreate()
{
    TGridTexts &xg1 = Grid(kStandardGrid);
    for (int row = 1; row <= kStandards; ++row)
        xg1.SetCells(row, 0, {StandardItems()[row - 1], "100", "A", "E"});
    for (int row = 1; row <= kEntries; ++row) {
        Grid(kEncodeGrid).SetCell(0, row, QString::number(row));
        Grid(kDecodeGrid).SetCell(0, row, QString::number(row));
    }
}

const QStringList &TFiveToneTexts::StandardItems()
{
    static const QStringList items{"CCIR", "EIA", "EEA", "ZVEI1", "ZVEI2"};
    return items;
}

const QStringList &TFiveToneTexts::FunctionItems()
{
    static const QStringList items{
        QT_TRANSLATE_NOOP("Texts", "通话"),
        QT_TRANSLATE_NOOP("Texts", "主叫"),
        QT_TRANSLATE_NOOP("Texts", "被叫"),
        QT_TRANSLATE_NOOP("Texts", "监听"),
        QT_TRANSLATE_NOOP("Texts", "巡查"),
        QT_TRANSLATE_NOOP("Texts", "报警"),
        QT_TRANSLATE_NOOP("Texts", "遥毙"),
        QT_TRANSLATE_NOOP("Texts", "遥晕"),
        QT_TRANSLATE_NOOP("Texts", "唤醒"),
    };
    return items;
}

const QStringList &TFiveToneTexts::DigitItems()
{
    static const QStringList items{"0", "1", "2", "3", "4", "5", "6", "7",
                                   "8", "9", "A", "B", "C", "D", "E", "F"};
    return items;
}

const QStringList &TFiveToneTexts::DelayItems()
{
    static const QStringList items = NumberItems(50, 1000, 50);
    return items;
}

const QStringList &TFiveToneTexts::NewEncodeEntryTexts()
{
    static const QStringList texts{"12345", "45678", "ABCDE", "CCIR"};
    return texts;
}

const QStringList &TFiveToneTexts::NewDecodeEntryTexts()
{
    static const QStringList texts{"12345", "通话", "45678", "主叫", "ABCDE", "被叫", "56789"};
    return texts;
}

QStringList TFiveToneTexts::FrequencyTexts(const QString &standard)
{
    const int column = static_cast<int>(StandardItems().indexOf(standard));
    QStringList texts;
    if (column < 0)
        return texts;
    for (const auto &digit : kFrequencies)
        texts << QString::number(digit[column], 'f', 1);
    return texts;
}

const std::vector<TControlSpec> &TFiveToneTexts::ControlSpecs()
{
    static const std::vector<TControlSpec> specs = [] {
        std::vector<TControlSpec> list;
        TControlSpec standard;
        standard.name = kStandardBox;
        standard.kind = TControlKind::ComboBox;
        standard.label = QStringLiteral(QT_TRANSLATE_NOOP("Texts", "标准名称："));
        standard.items = StandardItems();
        standard.initialText = QStringLiteral("CCIR");
        standard.inArea = false;
        list.push_back(standard);

        const QStringList frequencies = FrequencyTexts(QStringLiteral("CCIR"));
        for (int digit = 0; digit < kDigits; ++digit) {
            TControlSpec box;
            box.name = QStringLiteral("Edit%1").arg(digit + 1);
            box.kind = TControlKind::EditBox;
            box.label = DigitItems()[digit];
            box.initialText = frequencies[digit];
            box.inArea = false;
            list.push_back(box);
        }

        const char *const delayLabels[kDelays] = {
            QT_TRANSLATE_NOOP("Texts", "发送第一帧编码的延迟时间（MS）"), QT_TRANSLATE_NOOP("Texts", "发送第二帧编码的延迟时间（MS）"),
            QT_TRANSLATE_NOOP("Texts", "发送第三帧编码的延迟时间（MS）"), QT_TRANSLATE_NOOP("Texts", "各组码第一个音的扩展时长")};
        for (int i = 0; i < kDelays; ++i) {
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
        reset.label = QStringLiteral(QT_TRANSLATE_NOOP("Texts", "复位时间（MS）"));
        reset.initialText = QStringLiteral("6000");
        reset.inArea = false;
        list.push_back(reset);
        return list;
    }();
    return specs;
}

const std::vector<TGridSpec> &TFiveToneTexts::GridSpecs()
{
    static const std::vector<TGridSpec> specs = [] {
        const QString entry = QStringLiteral(QT_TRANSLATE_NOOP("Texts", "信息码"));
        const QString standard = QStringLiteral(QT_TRANSLATE_NOOP("Texts", "使用标准"));
        const QString function = QStringLiteral(QT_TRANSLATE_NOOP("Texts", "功   能"));
        TGridSpec standards{kStandardGrid, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "标准")), kStandards + 1,
                            {{QT_TRANSLATE_NOOP("Texts", "5 TONE 标准"), "5 TONE 标准", QString()},
                             {QT_TRANSLATE_NOOP("Texts", "发射时长（MS）"), "发射时长（MS）", "EditCellEditor1"},
                             {QT_TRANSLATE_NOOP("Texts", "群呼码"), "群呼码", "ComboCellEditor1"},
                             {QT_TRANSLATE_NOOP("Texts", "重复码"), "重复码", "ComboCellEditor1"}}};
        TGridSpec encode{kEncodeGrid, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "编码")), kEntries + 1,
                         {{entry, entry, QString()},
                          {QT_TRANSLATE_NOOP("Texts", "第一帧编码"), "第一帧编码", "EditCellEditor2"},
                          {QT_TRANSLATE_NOOP("Texts", "第二帧编码"), "第二帧编码", "EditCellEditor2"},
                          {QT_TRANSLATE_NOOP("Texts", "第三帧编码"), "第三帧编码", "EditCellEditor2"},
                          {QT_TRANSLATE_NOOP("Texts", "确认码"), "确认码", "EditCellEditor2"},
                          {standard, standard, "ComboCellEditor2"}}};
        TGridSpec decode{kDecodeGrid, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "解码")), kEntries + 1,
                         {{entry, entry, QString()},
                          {standard, standard, "ComboCellEditor3"},
                          {QT_TRANSLATE_NOOP("Texts", "第一帧解码"), "第一帧解码", "EditCellEditor3"},
                          {function, QT_TRANSLATE_NOOP("Texts", "第一帧功能"), "ComboCellEditor4"},
                          {QT_TRANSLATE_NOOP("Texts", "第二帧解码"), "第二帧解码", "EditCellEditor3"},
                          {function, QT_TRANSLATE_NOOP("Texts", "第二帧功能"), "ComboCellEditor4"},
                          {QT_TRANSLATE_NOOP("Texts", "第三帧解码"), "第三帧解码", "EditCellEditor3"},
                          {function, QT_TRANSLATE_NOOP("Texts", "第三帧功能"), "ComboCellEditor4"},
                          {QT_TRANSLATE_NOOP("Texts", "回复码"), "回复码", "EditCellEditor3"}}};
        return std::vector<TGridSpec>{standards, encode, decode};
    }();
    return specs;
}

const std::vector<TCellEditorSpec> &TFiveToneTexts::CellEditorSpecs()
{
    static const std::vector<TCellEditorSpec> specs = {
        {"EditCellEditor1", TCellEditorKind::Edit, QString(), {}},
        {"ComboCellEditor1", TCellEditorKind::Combo, QString(), DigitItems()},
        {"EditCellEditor2", TCellEditorKind::Edit, "12345", {}},
        {"ComboCellEditor2", TCellEditorKind::Combo, "CCIR", StandardItems()},
        {"EditCellEditor3", TCellEditorKind::Edit, "12345", {}},
        {"ComboCellEditor3", TCellEditorKind::Combo, "CCIR", StandardItems()},
        {"ComboCellEditor4", TCellEditorKind::Combo, "通话", FunctionItems()},
    };
    return specs;
}

void TFiveToneTexts::CCIRChange()
{
    const QStringList texts = FrequencyTexts(Controls().Text(kStandardBox));
    for (int digit = 0; digit < texts.size(); ++digit)
        Controls().SetText(QStringLiteral("Edit%1").arg(digit + 1), texts[digit]);
}

void TFiveToneTexts::SetEditText(const QString &grid, int col, int row, const QString &value)
{
    if (grid == kEncodeGrid)
        xg2SetEditText(col, row, value);
    else if (grid == kDecodeGrid)
        xg3SetEditText(col, row, value);
    else
        TEditorTexts::SetEditText(grid, col, row, value);
}

void TFiveToneTexts::xg2SetEditText(int col, int row, const QString &value)
{
    TGridTexts &xg2 = Grid(kEncodeGrid);
    // A first frame code committed as it was (a cell left, a paste onto itself) keeps the entry.
    const bool newFirstCode = col == 1 && xg2.Cell(col, row) != value;
    TEditorTexts::SetEditText(kEncodeGrid, col, row, value);
    // Without its first frame code an entry is not in use and is written as zeros: it shows
    // nothing, also when that code is emptied after the rest was filled.
    if (xg2.IsEmptyCell(1, row))
        xg2.ClearRow(row);
    else if (newFirstCode)
        xg2.SetCells(row, 2, NewEncodeEntryTexts());
}

// An entry the radio holds with a standard outside 1..5 shows its codes beside an empty
// standard, and is written back with them: its cells stay open to edits. A standard emptied by
// hand takes the entry out of use, as an emptied first code does in the encode grid.
void TFiveToneTexts::xg3SetEditText(int col, int row, const QString &value)
{
    TGridTexts &xg3 = Grid(kDecodeGrid);
    const bool hadStandard = !xg3.IsEmptyCell(kDecodeStandardColumn, row);
    const bool newStandard = col == kDecodeStandardColumn && xg3.Cell(col, row) != value;
    TEditorTexts::SetEditText(kDecodeGrid, col, row, value);
    if (col == kDecodeStandardColumn && xg3.IsEmptyCell(col, row)) {
        if (hadStandard)
            xg3.ClearRow(row);
        return;
    }
    if (xg3.IsEmptyCell(kDecodeStandardColumn, row) && !HoldsTextBeside(xg3, row, col))
        xg3.SetCell(col, row, QString());
    else if (newStandard)
        xg3.SetCells(row, 2, NewDecodeEntryTexts());
}
