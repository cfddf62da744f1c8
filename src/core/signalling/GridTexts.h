#pragma once

#include <QString>
#include <QStringList>
#include <vector>

enum class TCellEditorKind {
    Edit,   // free text (TEditCellEditor)
    Combo,  // drop-down list with a free-text field (TComboCellEditor)
};

// A cell editor of a window; several columns may share one.
struct TCellEditorSpec {
    QString name;  // object name ("ComboCellEditor1")
    TCellEditorKind kind = TCellEditorKind::Edit;
    QString defaultText;  // what an empty cell shows when the editor opens
    QStringList items;    // drop-down entries, in order
};

struct TColumnSpec {
    QString caption;  // text of row 0
    QString field;    // names the column in error messages (captions repeat in some grids)
    QString editor;   // name of its cell editor; empty for a column that cannot be edited
};

struct TGridSpec {
    QString name;   // object name ("xg2")
    QString title;  // names the grid in error messages, usually the caption of its page
    int rowCount = 0;  // row 0 (the captions) included
    std::vector<TColumnSpec> columns;
};

// The texts of a grid, addressed as the grid does: Cell(col, row), row 0 the column captions,
// column 0 the fixed column. A cell outside the grid is a programming error (std::out_of_range).
class TGridTexts {
public:
    explicit TGridTexts(TGridSpec spec);

    const TGridSpec &Spec() const { return m_spec; }
    const QString &Name() const { return m_spec.name; }
    int ColCount() const { return static_cast<int>(m_spec.columns.size()); }
    int RowCount() const { return m_spec.rowCount; }

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString &text);
    // Empty text or a single space.
    bool IsEmptyCell(int col, int row) const;
    // Writes texts into the row from column firstCol on.
    void SetCells(int row, int firstCol, const QStringList &texts);
    // Empties every column of the row except the fixed column 0.
    void ClearRow(int row);

    // "解码 3 提示2": page, the row's fixed-column text and the column, for error messages (in
    // the language shown, see ShownText).
    QString Place(int col, int row) const;

private:
    void Check(int col, int row) const;

    TGridSpec m_spec;
    std::vector<QStringList> m_rows;
};
