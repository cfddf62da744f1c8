#include "signalling/TwoToneTexts.h"

namespace {

const QString kEncodeGrid = QStringLiteral("xg1");
const QString kDecodeGrid = QStringLiteral("xg2");

}  // namespace

TTwoToneTexts::TTwoToneTexts()
    : TEditorTexts(ControlSpecs(), GridSpecs(), CellEditorSpecs())
{
    FormCreate();
}

void TTwoToneTexts::FormCreate()
{
    for (int row = 1; row <= kEntries; ++row) {
        Grid(kEncodeGrid).SetCell(0, row, QString::number(row));
        Grid(kDecodeGrid).SetCell(0, row, QString::number(row));
    }
}

const QStringList &TTwoToneTexts::CodeItems()
{
    static const QStringList items{"AB", "AC", "AD", "BA", "BC", "BD",
                                   "CA", "CB", "CD", "DA", "DC", "DB"};
    return items;
}

const QStringList &TTwoToneTexts::ModeItems()
{
    static const QStringList items{QT_TRANSLATE_NOOP("Texts", "无"), QT_TRANSLATE_NOOP("Texts", "提醒"), QT_TRANSLATE_NOOP("Texts", "回复"), QT_TRANSLATE_NOOP("Texts", "提醒并回复")};
    return items;
}

const QStringList &TTwoToneTexts::PromptItems()
{
    static const QStringList items = NumberItems(1, 16, 1);
    return items;
}

const QStringList &TTwoToneTexts::TimeItems()
{
    static const QStringList items = NumberItems(50, 1000, 50);
    return items;
}

const QStringList &TTwoToneTexts::NewEntryTexts()
{
    static const QStringList texts{"无", "1", "AB", "无", "1", "AB", "无", "1", "AB", "无", "1"};
    return texts;
}

const std::vector<TControlSpec> &TTwoToneTexts::ControlSpecs()
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
            edit("ed1", QT_TRANSLATE_NOOP("Texts", "A音（HZ）"), "1981"),
            edit("ed2", QT_TRANSLATE_NOOP("Texts", "B音（HZ）"), "1124"),
            edit("ed3", QT_TRANSLATE_NOOP("Texts", "C音（HZ）"), "1197"),
            edit("ed4", QT_TRANSLATE_NOOP("Texts", "D音（HZ）"), "1275"),
            edit("ed5", QT_TRANSLATE_NOOP("Texts", "复位时间（MS）"), "6000"),
            time("cb1", QT_TRANSLATE_NOOP("Texts", "第一个频率时间长（MS）")),
            time("cb2", QT_TRANSLATE_NOOP("Texts", "第二个频率时间长（MS）")),
            time("cb3", QT_TRANSLATE_NOOP("Texts", "前后两个频率的间隔时间长（MS）")),
        };
    }();
    return specs;
}

const std::vector<TGridSpec> &TTwoToneTexts::GridSpecs()
{
    static const std::vector<TGridSpec> specs = [] {
        const QString entry = QStringLiteral(QT_TRANSLATE_NOOP("Texts", "信息码"));
        TGridSpec encode{kEncodeGrid, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "编码")), kEntries + 1,
                         {{entry, entry, QString()},
                          {QT_TRANSLATE_NOOP("Texts", "第一个频率（HZ）"), "第一个频率（HZ）", "EditCellEditor1"},
                          {QT_TRANSLATE_NOOP("Texts", "第二个频率（HZ）"), "第二个频率（HZ）", "EditCellEditor1"}}};
        TGridSpec decode{kDecodeGrid, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "解码")), kEntries + 1, {{entry, entry, QString()}}};
        for (int slot = 1; slot <= kSlots; ++slot) {
            const QString n = QString::number(slot);
            const QString code = QString::fromUtf8(QT_TRANSLATE_NOOP("Texts", "解码%1")).arg(n);
            decode.columns.push_back({code, code, "ComboCellEditor1"});
            decode.columns.push_back({QT_TRANSLATE_NOOP("Texts", "响应方式"), "响应方式" + n, "ComboCellEditor3"});
            decode.columns.push_back({QT_TRANSLATE_NOOP("Texts", "提示"), "提示" + n, "ComboCellEditor2"});
        }
        return std::vector<TGridSpec>{encode, decode};
    }();
    return specs;
}

const std::vector<TCellEditorSpec> &TTwoToneTexts::CellEditorSpecs()
{
    static const std::vector<TCellEditorSpec> specs = {
        {"EditCellEditor1", TCellEditorKind::Edit, QString(), {}},
        {"ComboCellEditor1", TCellEditorKind::Combo, "AB", CodeItems()},
        {"ComboCellEditor2", TCellEditorKind::Combo, "1", PromptItems()},
        {"ComboCellEditor3", TCellEditorKind::Combo, "无", ModeItems()},
    };
    return specs;
}

int TTwoToneTexts::CodeColumn(int slot)
{
    return kSlotColumns * slot + 1;
}

void TTwoToneTexts::SetEditText(const QString &grid, int col, int row, const QString &value)
{
    if (grid == kDecodeGrid)
        xg2SetEditText(col, row, value);
    else
        TEditorTexts::SetEditText(grid, col, row, value);
}

void TTwoToneTexts::xg2SetEditText(int col, int row, const QString &value)
{
    TGridTexts &xg2 = Grid(kDecodeGrid);
    // A first code committed as it was (a cell left, a paste onto itself) keeps the entry.
    const bool newFirstCode = col == CodeColumn(0) && xg2.Cell(col, row) != value;
    TEditorTexts::SetEditText(kDecodeGrid, col, row, value);
    // Without its first code an entry is not in use and is written as zeros: it shows nothing,
    // also when that code is emptied after the rest was filled.
    if (xg2.IsEmptyCell(CodeColumn(0), row))
        xg2.ClearRow(row);
    else if (newFirstCode)
        xg2.SetCells(row, CodeColumn(0) + 1, NewEntryTexts());
}
