#include "signalling/GridTexts.h"

#include "base/ShownText.h"
#include "base/TextConvert.h"

#include <stdexcept>

TGridTexts::TGridTexts(TGridSpec spec)
    : m_spec(std::move(spec))
{
    QStringList empty;
    for (int col = 0; col < ColCount(); ++col)
        empty << QString();
    m_rows.assign(static_cast<std::size_t>(RowCount()), empty);
    for (int col = 0; col < ColCount(); ++col)
        m_rows.front()[col] = m_spec.columns[static_cast<std::size_t>(col)].caption;
}

void TGridTexts::Check(int col, int row) const
{
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount())
        throw std::out_of_range(QStringLiteral("no cell %1,%2 in %3")
                                    .arg(col).arg(row).arg(m_spec.name).toStdString());
}

QString TGridTexts::Cell(int col, int row) const
{
    Check(col, row);
    return m_rows[static_cast<std::size_t>(row)][col];
}

void TGridTexts::SetCell(int col, int row, const QString &text)
{
    Check(col, row);
    m_rows[static_cast<std::size_t>(row)][col] = text;
}

bool TGridTexts::IsEmptyCell(int col, int row) const
{
    return IsEmptyText(Cell(col, row));
}

void TGridTexts::SetCells(int row, int firstCol, const QStringList &texts)
{
    Check(firstCol + static_cast<int>(texts.size()) - 1, row);
    for (int i = 0; i < texts.size(); ++i)
        SetCell(firstCol + i, row, texts[i]);
}

void TGridTexts::ClearRow(int row)
{
    for (int col = 1; col < ColCount(); ++col)
        SetCell(col, row, QString());
}

QString TGridTexts::Place(int col, int row) const
{
    Check(col, row);
    return QStringLiteral("%1 %2 %3")
        .arg(ShownText(m_spec.title), ShownText(Cell(0, row)),
             ShownText(m_spec.columns[static_cast<std::size_t>(col)].field));
}
