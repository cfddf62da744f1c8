#pragma once

#include <QWidget>

class TXStringGrid;

// Cell (0, 0) of a TXStringGrid, where the fixed row meets the fixed column; it covers the
// table view's own corner button.
class GridCornerCell : public QWidget {
    Q_OBJECT
public:
    explicit GridCornerCell(TXStringGrid *grid);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TXStringGrid *m_grid;
};
