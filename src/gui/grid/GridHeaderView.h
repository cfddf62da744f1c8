#pragma once

#include <QHeaderView>

class TXStringGrid;

// The fixed row (horizontal) or fixed column (vertical) of a TXStringGrid, painted with the
// grid's cell painting and sized to the grid's width of column 0 / height of row 0.
class GridHeaderView : public QHeaderView {
    Q_OBJECT
public:
    GridHeaderView(Qt::Orientation orientation, TXStringGrid *grid);

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    TXStringGrid *m_grid;
};
