#include "grid/XStringColumns.h"

#include "grid/XStringGrid.h"

TXStringColumns::TXStringColumns(TXStringGrid &grid)
    : m_grid(grid)
{
}

TXStringColumns::~TXStringColumns() = default;

void TXStringColumns::Resize(int count)
{
    while (Count() > count)
        m_items.pop_back();
    while (Count() < count)
        m_items.push_back(std::make_unique<TXStringColumnItem>(*this, Count()));
}

void TXStringColumns::Assign(const TXStringColumns &source)
{
    if (&source == this)
        return;
    m_grid.SetColCount(source.Count());
    for (int i = 0; i < Count(); ++i)
        Items(i).Assign(source.Items(i));
}
