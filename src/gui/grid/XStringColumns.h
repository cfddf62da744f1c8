#pragma once

#include "grid/XStringColumnItem.h"

#include <memory>
#include <vector>

// The column descriptions of one grid, one item per column. The grid keeps the count equal to
// its column count: items are added at the end with defaults, or dropped from the end with
// their settings.
class TXStringColumns {
public:
    explicit TXStringColumns(TXStringGrid &grid);
    ~TXStringColumns();
    TXStringColumns(const TXStringColumns &) = delete;
    TXStringColumns &operator=(const TXStringColumns &) = delete;

    TXStringGrid &Grid() const { return m_grid; }
    int Count() const { return static_cast<int>(m_items.size()); }
    // index must be below Count().
    TXStringColumnItem &Items(int index) const { return *m_items.at(static_cast<size_t>(index)); }
    TXStringColumnItem &operator[](int index) const { return Items(index); }

    // Takes the other grid's column count and copies each item (editors are not copied).
    void Assign(const TXStringColumns &source);

private:
    friend class TXStringGrid;
    void Resize(int count);

    TXStringGrid &m_grid;
    std::vector<std::unique_ptr<TXStringColumnItem>> m_items;
};
