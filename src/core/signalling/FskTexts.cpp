#include "signalling/FskTexts.h"

TFskTexts::TFskTexts()
    : TEditorTexts(ControlSpecs(), {GridSpec()}, CellEditorSpecs())
{
    // FormCreate: the entry numbers of the fixed column.
    for (int row = 1; row <= kEntries; ++row)
        xg1().SetCell(0, row, QString::number(row));
}

const std::vector<TControlSpec> &TFskTexts::ControlSpecs()
{
    using K = TControlKind;
    static const std::vector<TControlSpec> specs = {
        {QStringLiteral("ed1"), K::EditBox, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "队列（自身）")), {}, {}, QStringLiteral("100"), false, 0},
        {QStringLiteral("ed2"), K::EditBox, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "ID（自身）")), {}, {}, QStringLiteral("1000"), false, 0},
        {QStringLiteral("cb1"), K::DropDownList, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "队列同步波特率[bps]")), {},
         {QStringLiteral("1200"), QStringLiteral("2400")}, QStringLiteral("2400"), false, 0},
        {QStringLiteral("ed3"), K::EditBox, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "数据发射延迟时间[MS]")), {}, {}, QStringLiteral("400"), false, 0},
        {QStringLiteral("ed4"), K::EditBox, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "信息模式定时器[S]")), {}, {}, QStringLiteral("10"), false, 0},
        {QStringLiteral("CheckBox1"), K::CheckBox, {}, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "PTT ID侧音")), {}, {}, true, 0},
    };
    return specs;
}

const TGridSpec &TFskTexts::GridSpec()
{
    static const TGridSpec spec = {
        QStringLiteral("xg1"), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "编号")), kEntries + 1,
        {{QStringLiteral(QT_TRANSLATE_NOOP("Texts", "编号")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "编号")), {}},
         {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "队列")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "队列")), QStringLiteral("EditCellEditor1")},
         {QStringLiteral("ID"), QStringLiteral("ID"), QStringLiteral("EditCellEditor1")}},
    };
    return spec;
}

const std::vector<TCellEditorSpec> &TFskTexts::CellEditorSpecs()
{
    static const std::vector<TCellEditorSpec> specs = {
        {QStringLiteral("EditCellEditor1"), TCellEditorKind::Edit, {}, {}}};
    return specs;
}
