#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

// The texts of a string grid, addressed (col, row) with the fixed row and column included.
// The view shows the fixed row as its horizontal header and the fixed column as its vertical
// header, so that they stay in place while the cells scroll; the model's own indexes cover the
// ordinary cells only. No index is editable: the grid's cell editors do the editing.
class GridCellModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridCellModel(QObject *parent = nullptr);

    int Cols() const { return static_cast<int>(m_cells.size()); }
    int Rows() const { return m_rows; }
    int FixedCols() const { return m_fixedCols; }
    int FixedRows() const { return m_fixedRows; }
    // Keeps the texts of the cells that remain.
    void Resize(int cols, int rows, int fixedCols, int fixedRows);

    QString Text(int col, int row) const;
    void SetText(int col, int row, const QString &text);
    bool Contains(int col, int row) const;

    // The view index of an ordinary cell; invalid for fixed cells and cells outside.
    QModelIndex IndexOf(int col, int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    std::vector<QStringList> m_cells;  // [col][row]
    int m_rows = 0;
    int m_fixedCols = 0;
    int m_fixedRows = 0;
};
