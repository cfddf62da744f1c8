#include "grid/GridCellModel.h"

GridCellModel::GridCellModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void GridCellModel::Resize(int cols, int rows, int fixedCols, int fixedRows)
{
    beginResetModel();
    m_cells.resize(static_cast<size_t>(cols));
    for (QStringList &column : m_cells) {
        while (column.size() > rows)
            column.removeLast();
        while (column.size() < rows)
            column.append(QString());
    }
    m_rows = rows;
    m_fixedCols = fixedCols;
    m_fixedRows = fixedRows;
    endResetModel();
}

bool GridCellModel::Contains(int col, int row) const
{
    return col >= 0 && col < Cols() && row >= 0 && row < m_rows;
}

QString GridCellModel::Text(int col, int row) const
{
    return Contains(col, row) ? m_cells[static_cast<size_t>(col)].at(row) : QString();
}

void GridCellModel::SetText(int col, int row, const QString &text)
{
    if (!Contains(col, row))
        return;
    m_cells[static_cast<size_t>(col)][row] = text;
    if (row < m_fixedRows && col >= m_fixedCols)
        emit headerDataChanged(Qt::Horizontal, col - m_fixedCols, col - m_fixedCols);
    else if (col < m_fixedCols && row >= m_fixedRows)
        emit headerDataChanged(Qt::Vertical, row - m_fixedRows, row - m_fixedRows);
    else if (const QModelIndex index = IndexOf(col, row); index.isValid())
        emit dataChanged(index, index, {Qt::DisplayRole});
}

QModelIndex GridCellModel::IndexOf(int col, int row) const
{
    if (!Contains(col, row) || col < m_fixedCols || row < m_fixedRows)
        return {};
    return index(row - m_fixedRows, col - m_fixedCols);
}

int GridCellModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows - m_fixedRows;
}

int GridCellModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Cols() - m_fixedCols;
}

QVariant GridCellModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return Text(index.column() + m_fixedCols, index.row() + m_fixedRows);
}

QVariant GridCellModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_fixedRows > 0 ? Text(section + m_fixedCols, 0) : QVariant();
    return m_fixedCols > 0 ? Text(0, section + m_fixedRows) : QVariant();
}

Qt::ItemFlags GridCellModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
