#pragma once

#include "grid/XStringColumns.h"

#include <QKeySequence>
#include <QTableView>
#include <functional>
#include <utility>
#include <vector>

class GridCellModel;
class GridCornerCell;
class TCellEditor;

enum class TGridOption {
    Editing = 0x1,      // cells of columns with an editor can be edited
    RangeSelect = 0x2,  // a rectangle of cells can be selected
    Tabs = 0x4,         // Tab moves between cells instead of leaving the grid
};
Q_DECLARE_FLAGS(TGridOptions, TGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptions)

// What a grid does to several cells at once, through the same commits as typing.
enum class TGridAction { Cut, Paste, Clear };

enum class TGridDrawState { Selected = 0x1, Focused = 0x2, Fixed = 0x4 };
Q_DECLARE_FLAGS(TGridDrawStates, TGridDrawState)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridDrawStates)

// The editable string grid of every window. Cells are addressed (col, row) with the fixed
// row 0 (column captions) and fixed column 0 included, as Cells(col, row). A cell is edited only
// through its column's cell editor, laid over the cell; a column without one is read-only.
// Every commit of an editor writes the cell (when the text differs) and then raises
// OnSetEditText, where the window applies its entry rules; the handler may rewrite any cell.
//
// Built on QTableView: the fixed row and column are the view's headers, so they stay in place
// while the cells scroll, and no model index is editable, so Qt's own editor never opens.
class TXStringGrid : public QTableView {
    Q_OBJECT
public:
    using TSetEditTextEvent = std::function<void(int ACol, int ARow, const QString &Value)>;
    using TGetEditTextEvent = std::function<void(int ACol, int ARow, QString &Value)>;
    using TDrawEditorEvent = std::function<void(TXStringGrid *Sender, int ACol, int ARow, TCellEditor *Editor)>;
    using TCellPropsEvent = std::function<void(TXStringGrid *Sender, QPainter *Canvas, Qt::Alignment &Alignment,
                                               QString &CellText, TGridDrawStates AState, int Row, int Col)>;

    explicit TXStringGrid(QWidget *parent = nullptr);
    ~TXStringGrid() override;

    QString Cells(int col, int row) const;
    // The cell as drawn: list entries and captions in the user's language.
    QString ShownCells(int col, int row) const;
    void SetCells(int col, int row, const QString &text);

    int ColCount() const;
    void SetColCount(int count);
    int RowCount() const;
    void SetRowCount(int count);
    // 0 or 1.
    int FixedCols() const;
    void SetFixedCols(int count);
    int FixedRows() const;
    void SetFixedRows(int count);

    // Widths and heights without the grid line; each line adds GridLineWidth pixels.
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    // The width that shows the column's caption, cells and drop-down entries whole, as shown.
    int TextWidth(int col) const;
    // Widens a column narrower than its text; a width set before is the least it keeps.
    void GrowColumnToText(int col);
    void GrowColumnsToText();
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    int DefaultColWidth() const { return m_defaultColWidth; }
    void SetDefaultColWidth(int width);  // every column
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    void SetDefaultRowHeight(int height);  // every row
    int GridLineWidth() const { return m_gridLineWidth; }
    void SetGridLineWidth(int width);

    // The current cell; never a fixed one.
    int Col() const;
    void SetCol(int col);
    int Row() const;
    void SetRow(int row);

    TGridOptions Options() const { return m_options; }
    void SetOptions(TGridOptions options);

    // The selected cells, x the columns and y the rows; the current cell when none is selected.
    QRect Selection() const;
    // Selects that rectangle of ordinary cells; the current cell stays where it is.
    void SetSelection(const QRect &cells);

    // The clipboard, also on Ctrl+C, Ctrl+X and Ctrl+V. Copy puts the selected cells there as
    // tab-separated lines. Cut copies, then commits an empty text into each selected cell of a
    // column with an editor. Paste commits the clipboard's cells from the selection's top left
    // cell (the current cell when it lies outside the selection) to the right and down, each as
    // if typed; cells of columns without an editor stay as they are,
    // cells beyond the grid are dropped and counted in a message, and an error of the
    // OnSetEditText handler stops the paste there. A block that fits a selection of more cells
    // a whole number of times is repeated over it, as spreadsheets do: one cell copied onto a
    // selected column sets the whole column. Cut and paste need the editing option.
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // Commits an empty text into each selected cell of a column with an editor, as cut does but
    // leaving the clipboard alone: the Delete key of spreadsheets.
    void ClearSelectedCells();
    // The name of the one undoable step an action makes.
    static QString ActionName(TGridAction action);

    // Rectangle of an ordinary cell inside its grid lines, in viewport coordinates; empty for
    // fixed cells.
    QRect CellRect(int col, int row) const;

    // Background and fixed-cell colours that new column descriptions start with.
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color) { m_color = color; }
    QColor FixedColor() const { return m_fixedColor; }
    void SetFixedColor(const QColor &color);
    QColor FixedLineColor() const { return m_fixedLineColor; }
    void SetFixedLineColor(const QColor &color);
    QColor GridLineColor() const { return m_gridLineColor; }
    void SetGridLineColor(const QColor &color);
    QColor SelectedColor() const { return m_selectedColor; }
    void SetSelectedColor(const QColor &color);
    QColor SelectedTextColor() const { return m_selectedTextColor; }
    void SetSelectedTextColor(const QColor &color);
    bool MultiLine() const { return m_multiLine; }
    void SetMultiLine(bool on);
    // A printable character typed on a cell starts its edit with that character as the text.
    bool ImmediateEditMode() const { return m_immediateEditMode; }
    void SetImmediateEditMode(bool on) { m_immediateEditMode = on; }

    TXStringColumns &Columns() { return m_columns; }
    const TXStringColumns &Columns() const { return m_columns; }
    void SetColumns(const TXStringColumns &columns) { m_columns.Assign(columns); }

    // Ends an open edit as leaving the cell would, the focus staying in the grid. Unlike moving
    // the focus, this also commits in a window that is not active. false when the
    // OnSetEditText handler refused the text (the error has been shown; the cell keeps it).
    bool CommitOpenEdit() { return EndEdit(true, true); }

    // The editor shown now (or none) and the cell it edits.
    TCellEditor *ActiveEditor() const { return m_activeEditor; }
    int EditCol() const { return m_editCol; }
    int EditRow() const { return m_editRow; }

    // Lays the column's editor over the cell (or leaves it to OnDrawEditor).
    virtual void ShowCellEditor(int col, int row);
    // The text an edit starts from: the cell's, passed through OnGetEditText.
    virtual QString GetEditText(int col, int row) const;
    // Writes the cell if the text differs, then raises OnSetEditText.
    virtual void SetEditText(int col, int row, const QString &value);

    TSetEditTextEvent OnSetEditText;
    TGetEditTextEvent OnGetEditText;
    TDrawEditorEvent OnDrawEditor;
    TCellPropsEvent OnCellProps;

Q_SIGNALS:
    // Around the commits of one cut or paste, so that the window can take them as one change.
    void ActionStarted(TGridAction action);
    void ActionFinished(TGridAction action);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    // Typing on a cell edits it; it never jumps to a matching cell.
    void keyboardSearch(const QString &) override {}

private:
    friend class TCellEditor;
    friend class TMetaCellEditor;
    friend class TXStringColumnItem;
    friend class GridCellDelegate;
    friend class GridHeaderView;
    friend class GridCornerCell;

    void PaintCell(QPainter *painter, const QRect &sectionRect, int col, int row, TGridDrawStates state);
    void RepaintCells();
    void Rebuild(int cols, int rows, int fixedCols, int fixedRows);
    void ApplySizes();
    void SetCurrent(int col, int row);

    bool KeyStartsEdit(QKeyEvent *event);
    // Copy, Cut or Paste for Ctrl+C, Ctrl+X, Ctrl+V and their platform aliases; else UnknownKey.
    static QKeySequence::StandardKey ClipboardKey(const QKeyEvent *event);
    // An empty text into each selected cell, as one action.
    void CommitEmptyTexts(TGridAction action);
    // The clipboard's block is rectangular and fits the selection, larger than it, whole times.
    static bool TilesSelection(const QList<QStringList> &block, const QRect &selection);
    // Commits texts into cells of columns with an editor, between ActionStarted and
    // ActionFinished. false when the handler failed (the error has been shown); the rest is skipped.
    bool CommitCells(TGridAction action, const QList<std::pair<QPoint, QString>> &cells);
    // Opens the current column's editor when the grid may edit the current cell.
    void TryShowEditor();
    // Hides the active editor and, with commit, writes its text back. false when the
    // OnSetEditText handler failed (the error has been shown).
    bool EndEdit(bool commit, bool takeFocus);
    // An in-place control ended its edit on a key: commit, then move as that key moves.
    void EndEditByKey(int key, Qt::KeyboardModifiers modifiers);
    void ForgetEditor(TCellEditor *editor);
    // Runs an action started by the user; an exception is shown in the application's error box.
    bool Report(const std::function<void()> &action);

    GridCellModel *m_model;
    GridCornerCell *m_corner;
    TXStringColumns m_columns;
    std::vector<int> m_colWidths;
    std::vector<int> m_rowHeights;
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 24;
    int m_gridLineWidth = 1;
    TGridOptions m_options;
    QColor m_color;
    QColor m_fixedColor;
    QColor m_fixedLineColor = Qt::black;
    QColor m_gridLineColor = QColor(192, 192, 192);
    QColor m_selectedColor;
    QColor m_selectedTextColor;
    bool m_multiLine = false;
    bool m_immediateEditMode = false;

    TCellEditor *m_activeEditor = nullptr;
    int m_editCol = 0;
    int m_editRow = 0;
    QString m_pendingText;       // what typing on a cell hands to an immediate edit
    bool m_hidingEditor = false;  // the control's focus-out while hiding it is not a second exit
    bool m_focusInByMouse = false;
};
