#include "grid/GridCornerCell.h"

#include "grid/XStringGrid.h"

#include <QPainter>

GridCornerCell::GridCornerCell(TXStringGrid *grid)
    : QWidget(grid)
    , m_grid(grid)
{
}

void GridCornerCell::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_grid->PaintCell(&painter, rect(), 0, 0, TGridDrawState::Fixed);
}
