#include "signalling/EditorTexts.h"

#include "base/ShownText.h"

#include <stdexcept>
#include <utility>

TEditorTexts::TEditorTexts(std::vector<TControlSpec> controls, std::vector<TGridSpec> grids,
                           std::vector<TCellEditorSpec> cellEditors)
    : m_controls(std::move(controls)), m_cellEditors(std::move(cellEditors))
{
    for (TGridSpec &spec : grids)
        m_grids.emplace_back(std::move(spec));
}

const TGridTexts &TEditorTexts::Grid(const QString &name) const
{
    for (const TGridTexts &grid : m_grids) {
        if (grid.Name() == name)
            return grid;
    }
    throw std::out_of_range("no grid named " + name.toStdString());
}

TGridTexts &TEditorTexts::Grid(const QString &name)
{
    return const_cast<TGridTexts &>(std::as_const(*this).Grid(name));
}

void TEditorTexts::SetEditText(const QString &grid, int col, int row, const QString &value)
{
    TGridTexts &texts = Grid(grid);
    texts.Cell(col, row);  // throws outside the grid
    if (row < 1 || texts.Spec().columns[static_cast<std::size_t>(col)].editor.isEmpty())
        throw std::out_of_range(QStringLiteral("cell %1,%2 of %3 is not editable")
                                    .arg(col).arg(row).arg(grid).toStdString());
    texts.SetCell(col, row, value);
}

int ListIndex(const QString &text, const QStringList &items)
{
    const int index = static_cast<int>(items.indexOf(text));
    if (index < 0)
        throw EConvertError(QStringLiteral("'%1' is not one of %2").arg(text, ShownTexts(items).join(QStringLiteral(", "))));
    return index;
}
