#pragma once

#include <QAbstractItemDelegate>

class TXStringGrid;

// Paints the ordinary cells of a TXStringGrid with the grid's own cell painting. It never
// creates an editor: the grid's cell editors do the editing.
class GridCellDelegate : public QAbstractItemDelegate {
    Q_OBJECT
public:
    explicit GridCellDelegate(TXStringGrid *grid);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    TXStringGrid *m_grid;
};
