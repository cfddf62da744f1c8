#include "grid/GridCellDelegate.h"

#include "grid/XStringGrid.h"

GridCellDelegate::GridCellDelegate(TXStringGrid *grid)
    : QAbstractItemDelegate(grid)
    , m_grid(grid)
{
}

void GridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int col = index.column() + m_grid->FixedCols();
    const int row = index.row() + m_grid->FixedRows();
    TGridDrawStates state;
    // The current cell of the focused grid shows a focus frame instead of the selection colour.
    if (option.state.testFlag(QStyle::State_HasFocus) && m_grid->hasFocus())
        state |= TGridDrawState::Focused;
    else if (option.state.testFlag(QStyle::State_Selected))
        state |= TGridDrawState::Selected;
    m_grid->PaintCell(painter, option.rect, col, row, state);
}

QSize GridCellDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const
{
    const int line = m_grid->GridLineWidth();
    return {m_grid->ColWidths(index.column() + m_grid->FixedCols()) + line,
            m_grid->RowHeights(index.row() + m_grid->FixedRows()) + line};
}
