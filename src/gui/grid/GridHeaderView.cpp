#include "grid/GridHeaderView.h"

#include "grid/XStringGrid.h"

GridHeaderView::GridHeaderView(Qt::Orientation orientation, TXStringGrid *grid)
    : QHeaderView(orientation, grid)
    , m_grid(grid)
{
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setMinimumSectionSize(1);
    setSectionResizeMode(QHeaderView::Fixed);
    setFocusPolicy(Qt::NoFocus);
}

QSize GridHeaderView::sizeHint() const
{
    const int line = m_grid->GridLineWidth();
    if (orientation() == Qt::Horizontal)
        return {length(), m_grid->RowHeights(0) + line};
    return {m_grid->ColWidths(0) + line, length()};
}

void GridHeaderView::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (orientation() == Qt::Horizontal)
        m_grid->PaintCell(painter, rect, logicalIndex + m_grid->FixedCols(), 0, TGridDrawState::Fixed);
    else
        m_grid->PaintCell(painter, rect, 0, logicalIndex + m_grid->FixedRows(), TGridDrawState::Fixed);
}
