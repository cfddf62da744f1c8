#include "signalling/DtmfTexts.h"

#include "signalling/DtmfCodes.h"

TDtmfTexts::TDtmfTexts()
    : TEditorTexts(ControlSpecs(), {GridSpec()}, CellEditorSpecs())
{
    // FormCreate: the memory numbers of the fixed column.
    for (int row = 1; row <= kMemories; ++row)
        xg2().SetCell(0, row, QString::number(row));
}

const std::vector<TControlSpec> &TDtmfTexts::ControlSpecs()
{
    using K = TControlKind;
    static const std::vector<TControlSpec> specs = {
        // Page "DTMF编码"
        {QStringLiteral("cb1"), K::ComboBox, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "DTMF速率")), {},
         {QStringLiteral("6"), QStringLiteral("8"), QStringLiteral("10"), QStringLiteral("15")},
         QStringLiteral("6"), false, 0},
        {QStringLiteral("cb2"), K::ComboBox, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "首位数码时间（毫秒）")), {},
         {QStringLiteral("100"), QStringLiteral("500"), QStringLiteral("1000")}, QStringLiteral("0"), false, 0},
        {QStringLiteral("cb3"), K::ComboBox, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "首位数码延迟（毫秒）")), {},
         NumberItems(100, 1000, 50), QStringLiteral("100"), false, 0},
        {QStringLiteral("cb4"), K::ComboBox, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "*和#音时间（毫秒）")), {},
         {QStringLiteral("0"), QStringLiteral("100"), QStringLiteral("500"), QStringLiteral("1000")},
         QStringLiteral("0"), false, 0},
        {QStringLiteral("cb5"), K::ComboBox, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "D键设定(毫秒)")), {},
         QStringList{QStringLiteral(QT_TRANSLATE_NOOP("Texts", "D码"))} + NumberItems(1000, 10000, 1000), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "D码")), false, 0},
        {QStringLiteral("CheckB1"), K::CheckBox, {}, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "DTMF侧音")), {}, {}, true, 0},
        // Page "DTMF解码"
        {QStringLiteral("Edit1"), K::EditBox, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "ID码")), {}, {}, QStringLiteral("12345678"), false, 8},
        {QStringLiteral("cb6"), K::ComboBox, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "组呼码")), {},
         {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "关")), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
          QStringLiteral("*"), QStringLiteral("#")},
         QStringLiteral(QT_TRANSLATE_NOOP("Texts", "关")), false, 0},
        {QStringLiteral("cb7"), K::ComboBox, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "自动复位定时器（秒）")), {},
         QStringList{QStringLiteral(QT_TRANSLATE_NOOP("Texts", "关"))} + NumberItems(1, 15, 1), QStringLiteral("10"), false, 0},
        {QStringLiteral("cb8"), K::ComboBox, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "呼叫告警")), {},
         {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "常规")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "连续")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "关"))}, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "常规")), false, 0},
        {QStringLiteral("cb9"), K::ComboBox, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "自动应答")), {},
         {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "关")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "告警")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "ID码"))}, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "关")), false, 0},
        {QStringLiteral("CheckB2"), K::CheckBox, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "清除自动应答")), {}, {}, {}, false, 0},
    };
    return specs;
}

const TGridSpec &TDtmfTexts::GridSpec()
{
    static const TGridSpec spec = {
        QStringLiteral("xg2"), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "DTMF编码")), kMemories + 1,
        {{QStringLiteral(QT_TRANSLATE_NOOP("Texts", "信息码")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "信息码")), {}},
         {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "自动拨号存储器")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "自动拨号存储器")), QStringLiteral("EditCellEditor1")}},
    };
    return spec;
}

const std::vector<TCellEditorSpec> &TDtmfTexts::CellEditorSpecs()
{
    // An empty memory that the editor opens on takes this text.
    static const std::vector<TCellEditorSpec> specs = {
        {QStringLiteral("EditCellEditor1"), TCellEditorKind::Edit, QStringLiteral("12345678"), {}}};
    return specs;
}

void TDtmfTexts::SetEditText(const QString &grid, int col, int row, const QString &value)
{
    if (grid == xg2().Name())
        xg2SetEditText(col, row, value);
    else
        TEditorTexts::SetEditText(grid, col, row, value);
}

QString TDtmfTexts::xg2SetEditText(int col, int row, const QString &value)
{
    const bool memory = col == kMemoryColumn && value.size() > kMaxDigits;
    xg2().SetCell(col, row, memory ? value.left(kMaxDigits) : value);
    return xg2().Cell(col, row);
}
