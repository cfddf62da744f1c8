#include "grid/XStringGrid.h"

#include "base/ShownText.h"
#include "base/TextConvert.h"
#include "dialogs/MessageBox.h"
#include "grid/CellEditor.h"
#include "grid/ComboCellEditor.h"
#include "grid/GridCellDelegate.h"
#include "grid/GridCellModel.h"
#include "grid/GridClipboard.h"
#include "grid/GridCornerCell.h"
#include "grid/GridHeaderView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <algorithm>

TXStringGrid::TXStringGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new GridCellModel(this))
    , m_corner(nullptr)
    , m_columns(*this)
    , m_color(palette().color(QPalette::Base))
    , m_fixedColor(palette().color(QPalette::Button))
    , m_selectedColor(palette().color(QPalette::Highlight))
    , m_selectedTextColor(palette().color(QPalette::HighlightedText))
{
    setHorizontalHeader(new GridHeaderView(Qt::Horizontal, this));
    setVerticalHeader(new GridHeaderView(Qt::Vertical, this));
    setModel(m_model);
    setItemDelegate(new GridCellDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // Grid lines are part of each cell's painting, in the fixed and the ordinary line colour.
    setShowGrid(false);
    setCornerButtonEnabled(false);
    m_corner = new GridCornerCell(this);
    SetOptions(TGridOption::RangeSelect);
    Rebuild(5, 5, 1, 1);
}

TXStringGrid::~TXStringGrid()
{
    // The controls go first, while nothing is being edited, so that their focus-out commits nothing.
    m_activeEditor = nullptr;
    for (int i = 0; i < m_columns.Count(); ++i)
        if (TCellEditor *editor = m_columns[i].Editor())
            editor->DestroyEditWindow();
    for (int i = 0; i < m_columns.Count(); ++i)
        m_columns[i].SetEditor(nullptr);
}

// --- cells, counts and sizes

// A data cell as its column's editor shows it: a yes/no column says "No" where another says
// "None" for the same kept text.
QString TXStringGrid::ShownCells(int col, int row) const
{
    const TCellEditor *editor = row >= FixedRows() && col >= 0 && col < m_columns.Count() ? m_columns[col].Editor() : nullptr;
    return editor ? editor->Shown(Cells(col, row)) : ShownText(Cells(col, row));
}

QString TXStringGrid::Cells(int col, int row) const
{
    return m_model->Text(col, row);
}

void TXStringGrid::SetCells(int col, int row, const QString &text)
{
    m_model->SetText(col, row, text);
    if (col < FixedCols() && row < FixedRows())
        m_corner->update();
}

int TXStringGrid::ColCount() const
{
    return m_model->Cols();
}

int TXStringGrid::RowCount() const
{
    return m_model->Rows();
}

int TXStringGrid::FixedCols() const
{
    return m_model->FixedCols();
}

int TXStringGrid::FixedRows() const
{
    return m_model->FixedRows();
}

void TXStringGrid::SetColCount(int count)
{
    Rebuild(std::max(count, FixedCols() + 1), RowCount(), FixedCols(), FixedRows());
}

void TXStringGrid::SetRowCount(int count)
{
    Rebuild(ColCount(), std::max(count, FixedRows() + 1), FixedCols(), FixedRows());
}

void TXStringGrid::SetFixedCols(int count)
{
    Rebuild(ColCount(), RowCount(), std::clamp(count, 0, 1), FixedRows());
}

void TXStringGrid::SetFixedRows(int count)
{
    Rebuild(ColCount(), RowCount(), FixedCols(), std::clamp(count, 0, 1));
}

void TXStringGrid::Rebuild(int cols, int rows, int fixedCols, int fixedRows)
{
    EndEdit(false, false);
    const int col = Col();
    const int row = Row();
    // The column descriptions follow first, so that the cells never lack one.
    m_columns.Resize(cols);
    m_colWidths.resize(static_cast<size_t>(cols), m_defaultColWidth);
    m_rowHeights.resize(static_cast<size_t>(rows), m_defaultRowHeight);
    m_model->Resize(cols, rows, fixedCols, fixedRows);
    horizontalHeader()->setHidden(fixedRows == 0);
    verticalHeader()->setHidden(fixedCols == 0);
    ApplySizes();
    SetCurrent(std::clamp(col, fixedCols, cols - 1), std::clamp(row, fixedRows, rows - 1));
}

int TXStringGrid::ColWidths(int col) const
{
    return col >= 0 && col < ColCount() ? m_colWidths[static_cast<size_t>(col)] : 0;
}

void TXStringGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= ColCount())
        return;
    m_colWidths[static_cast<size_t>(col)] = std::max(width, 0);
    ApplySizes();
}

int TXStringGrid::TextWidth(int col) const
{
    if (col < 0 || col >= ColCount())
        return 0;
    const TXStringColumnItem &item = m_columns[col];
    const auto width = [](const QFont &font, const QString &text) {
        return text.isEmpty() ? 0
                              : QFontMetrics(font).boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignLeft | Qt::AlignTop, text).width();
    };
    int widest = FixedRows() > 0 ? width(item.HeaderFont(), ShownCells(col, 0)) : 0;
    for (int row = FixedRows(); row < RowCount(); ++row)
        widest = std::max(widest, width(item.Font(), ShownCells(col, row)));
    if (const auto *combo = qobject_cast<const TComboCellEditor *>(item.Editor())) {
        for (const QString &entry : combo->Items())
            widest = std::max(widest, width(item.Font(), combo->Shown(entry)));
    }
    // Drawn 2 pixels in from both sides, left of the grid line.
    return widest + 4 + m_gridLineWidth;
}

void TXStringGrid::GrowColumnToText(int col)
{
    if (const int needed = TextWidth(col); needed > ColWidths(col))
        SetColWidths(col, needed);
}

void TXStringGrid::GrowColumnsToText()
{
    for (int col = 0; col < ColCount(); ++col)
        GrowColumnToText(col);
}

int TXStringGrid::RowHeights(int row) const
{
    return row >= 0 && row < RowCount() ? m_rowHeights[static_cast<size_t>(row)] : 0;
}

void TXStringGrid::SetRowHeights(int row, int height)
{
    if (row < 0 || row >= RowCount())
        return;
    m_rowHeights[static_cast<size_t>(row)] = std::max(height, 0);
    ApplySizes();
}

void TXStringGrid::SetDefaultColWidth(int width)
{
    m_defaultColWidth = std::max(width, 0);
    std::fill(m_colWidths.begin(), m_colWidths.end(), m_defaultColWidth);
    ApplySizes();
}

void TXStringGrid::SetDefaultRowHeight(int height)
{
    m_defaultRowHeight = std::max(height, 0);
    std::fill(m_rowHeights.begin(), m_rowHeights.end(), m_defaultRowHeight);
    ApplySizes();
}

void TXStringGrid::SetGridLineWidth(int width)
{
    m_gridLineWidth = std::max(width, 0);
    ApplySizes();
}

// Sections are the cell plus its grid line on the right or at the bottom.
void TXStringGrid::ApplySizes()
{
    for (int section = 0; section < m_model->columnCount(); ++section)
        horizontalHeader()->resizeSection(section, ColWidths(section + FixedCols()) + m_gridLineWidth);
    for (int section = 0; section < m_model->rowCount(); ++section)
        verticalHeader()->resizeSection(section, RowHeights(section + FixedRows()) + m_gridLineWidth);
    updateGeometries();
    RepaintCells();
    if (m_activeEditor)
        ShowCellEditor(m_editCol, m_editRow);
}

void TXStringGrid::updateGeometries()
{
    QTableView::updateGeometries();
    if (!m_corner)
        return;
    m_corner->setHidden(horizontalHeader()->isHidden() || verticalHeader()->isHidden());
    m_corner->setGeometry(verticalHeader()->x(), horizontalHeader()->y(), verticalHeader()->width(),
                          horizontalHeader()->height());
    m_corner->raise();
}

// --- current cell and options

int TXStringGrid::Col() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() + FixedCols() : FixedCols();
}

int TXStringGrid::Row() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + FixedRows() : FixedRows();
}

void TXStringGrid::SetCol(int col)
{
    EndEdit(true, false);
    SetCurrent(col, Row());
}

void TXStringGrid::SetRow(int row)
{
    EndEdit(true, false);
    SetCurrent(Col(), row);
}

void TXStringGrid::SetCurrent(int col, int row)
{
    const QModelIndex index = m_model->IndexOf(col, row);
    if (index.isValid())
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void TXStringGrid::SetOptions(TGridOptions options)
{
    m_options = options;
    setSelectionMode(options.testFlag(TGridOption::RangeSelect) ? QAbstractItemView::ContiguousSelection
                                                                 : QAbstractItemView::SingleSelection);
    setTabKeyNavigation(options.testFlag(TGridOption::Tabs));
}

QRect TXStringGrid::CellRect(int col, int row) const
{
    const QModelIndex index = m_model->IndexOf(col, row);
    if (!index.isValid())
        return {};
    return visualRect(index).adjusted(0, 0, -m_gridLineWidth, -m_gridLineWidth);
}

QRect TXStringGrid::Selection() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return QRect(Col(), Row(), 1, 1);
    QRect cells;
    for (const QModelIndex &index : selected)
        cells |= QRect(index.column() + FixedCols(), index.row() + FixedRows(), 1, 1);
    return cells;
}

void TXStringGrid::SetSelection(const QRect &cells)
{
    const QModelIndex topLeft = m_model->IndexOf(cells.left(), cells.top());
    const QModelIndex bottomRight = m_model->IndexOf(cells.right(), cells.bottom());
    if (!topLeft.isValid() || !bottomRight.isValid())
        return;
    selectionModel()->select(QItemSelection(topLeft, bottomRight), QItemSelectionModel::ClearAndSelect);
}

// --- look

void TXStringGrid::SetFixedColor(const QColor &color)
{
    m_fixedColor = color;
    RepaintCells();
}

void TXStringGrid::SetFixedLineColor(const QColor &color)
{
    m_fixedLineColor = color;
    RepaintCells();
}

void TXStringGrid::SetGridLineColor(const QColor &color)
{
    m_gridLineColor = color;
    RepaintCells();
}

void TXStringGrid::SetSelectedColor(const QColor &color)
{
    m_selectedColor = color;
    RepaintCells();
}

void TXStringGrid::SetSelectedTextColor(const QColor &color)
{
    m_selectedTextColor = color;
    RepaintCells();
}

void TXStringGrid::SetMultiLine(bool on)
{
    m_multiLine = on;
    RepaintCells();
}

void TXStringGrid::RepaintCells()
{
    viewport()->update();
    horizontalHeader()->viewport()->update();
    verticalHeader()->viewport()->update();
    if (m_corner)
        m_corner->update();
}

void TXStringGrid::PaintCell(QPainter *painter, const QRect &sectionRect, int col, int row, TGridDrawStates state)
{
    if (col >= m_columns.Count())
        return;
    const TXStringColumnItem &item = m_columns[col];
    const bool fixedRow = row < FixedRows();
    const bool fixed = fixedRow || col < FixedCols();
    QColor background = m_fixedColor;
    QFont font = this->font();
    QColor textColor = palette().color(QPalette::Text);
    if (fixedRow) {
        background = item.HeaderColor();
        font = item.HeaderFont();
        textColor = item.HeaderFontColor();
    } else if (!fixed) {
        background = item.Color();
        font = item.Font();
        textColor = item.FontColor();
    }
    if (state.testFlag(TGridDrawState::Selected)) {
        background = m_selectedColor;
        textColor = m_selectedTextColor;
    }
    Qt::Alignment alignment = fixedRow ? item.HeaderAlignment() : item.Alignment();
    QString text = ShownCells(col, row);
    if (OnCellProps)
        OnCellProps(this, painter, alignment, text, state, row, col);

    const int line = m_gridLineWidth;
    const QRect cell = sectionRect.adjusted(0, 0, -line, -line);
    painter->save();
    painter->fillRect(cell, background);
    painter->setFont(font);
    painter->setPen(textColor);
    // At the top of the cell, 2 pixels in, not centred vertically; '&' is shown as it is.
    const int flags = int(alignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop
                      | (m_multiLine ? Qt::TextWordWrap : Qt::TextSingleLine);
    painter->drawText(cell.adjusted(2, 2, -2, -2), flags, text);
    if (state.testFlag(TGridDrawState::Focused)) {
        painter->setPen(QPen(textColor, 1, Qt::DotLine));
        painter->drawRect(cell.adjusted(0, 0, -1, -1));
    }
    const QColor lineColor = fixed ? m_fixedLineColor : m_gridLineColor;
    painter->fillRect(QRect(cell.right() + 1, sectionRect.top(), line, sectionRect.height()), lineColor);
    painter->fillRect(QRect(sectionRect.left(), cell.bottom() + 1, sectionRect.width(), line), lineColor);
    painter->restore();
}

// --- editing

void TXStringGrid::ShowCellEditor(int col, int row)
{
    if (col < 0 || col >= m_columns.Count())
        return;
    TCellEditor *editor = m_columns[col].Editor();
    if (!editor)
        return;
    if (OnDrawEditor)
        OnDrawEditor(this, col, row, editor);
    else
        m_columns[col].PlaceEditor(row);
}

QString TXStringGrid::GetEditText(int col, int row) const
{
    QString text = Cells(col, row);
    if (OnGetEditText)
        OnGetEditText(col, row, text);
    return text;
}

void TXStringGrid::SetEditText(int col, int row, const QString &value)
{
    const QString text = value;  // a copy: the handler may rewrite the cell it came from
    if (Cells(col, row) != text)
        SetCells(col, row, text);
    if (OnSetEditText)
        OnSetEditText(col, row, text);
}

void TXStringGrid::TryShowEditor()
{
    const int col = Col();
    const int row = Row();
    TCellEditor *editor = nullptr;
    if (m_options.testFlag(TGridOption::Editing) && hasFocus() && !m_activeEditor
        && m_model->IndexOf(col, row).isValid())
        editor = m_columns[col].Editor();
    if (!editor) {
        m_pendingText.clear();
        return;
    }
    m_activeEditor = editor;
    try {
        editor->StartEdit();
    } catch (...) {
        m_activeEditor = nullptr;
        m_pendingText.clear();
        throw;
    }
    m_editCol = col;
    m_editRow = row;
    scrollTo(currentIndex());
    ShowCellEditor(col, row);
}

bool TXStringGrid::EndEdit(bool commit, bool takeFocus)
{
    TCellEditor *editor = m_activeEditor;
    if (!editor || m_hidingEditor)
        return true;
    {
        const QScopedValueRollback<bool> hiding(m_hidingEditor, true);
        // Before hiding, so that the focus stays in the grid instead of moving on.
        if (takeFocus)
            setFocus(Qt::OtherFocusReason);
        editor->Hide();
        m_activeEditor = nullptr;
    }
    // The editor is hidden before the handler runs, so that it finds the grid at rest.
    return !commit || Report([editor] { editor->CommitEdit(); });
}

void TXStringGrid::EndEditByKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (!EndEdit(true, true) || m_activeEditor)
        return;
    QKeyEvent move(QEvent::KeyPress, key, modifiers);
    QTableView::keyPressEvent(&move);
}

void TXStringGrid::ForgetEditor(TCellEditor *editor)
{
    if (m_activeEditor == editor)
        m_activeEditor = nullptr;
    for (int i = 0; i < m_columns.Count(); ++i)
        if (m_columns[i].Editor() == editor)
            m_columns[i].DropEditor();
}

bool TXStringGrid::Report(const std::function<void()> &action)
{
    try {
        action();
        return true;
    } catch (const std::exception &error) {
        ShowError(window(), QString::fromUtf8(error.what()));
        return false;
    }
}

// --- clipboard

// What the user sees goes out, so a copy in one language pastes in the other; an empty cell
// goes out empty, not as the space a loaded file holds.
void TXStringGrid::CopyToClipboard()
{
    EndEdit(true, false);
    const QRect cells = Selection();
    QList<QStringList> rows;
    for (int row = cells.top(); row <= cells.bottom(); ++row) {
        QStringList texts;
        for (int col = cells.left(); col <= cells.right(); ++col)
            texts << (IsEmptyText(Cells(col, row)) ? QString() : ShownCells(col, row));
        rows << texts;
    }
    QGuiApplication::clipboard()->setText(CellsToClipboardText(rows));
}

void TXStringGrid::CutToClipboard()
{
    if (!m_options.testFlag(TGridOption::Editing))
        return;
    CopyToClipboard();
    CommitEmptyTexts(TGridAction::Cut);
}

void TXStringGrid::ClearSelectedCells()
{
    if (m_options.testFlag(TGridOption::Editing) && EndEdit(true, false))
        CommitEmptyTexts(TGridAction::Clear);
}

QString TXStringGrid::ActionName(TGridAction action)
{
    switch (action) {
    case TGridAction::Cut:
        return tr("剪切");
    case TGridAction::Paste:
        return tr("粘贴");
    case TGridAction::Clear:
        return tr("清除");
    }
    return QString();
}

void TXStringGrid::CommitEmptyTexts(TGridAction action)
{
    const QRect cells = Selection();
    QList<std::pair<QPoint, QString>> commits;
    for (int row = cells.top(); row <= cells.bottom(); ++row) {
        for (int col = cells.left(); col <= cells.right(); ++col)
            commits.append({QPoint(col, row), QString()});
    }
    CommitCells(action, commits);
}

void TXStringGrid::PasteFromClipboard()
{
    if (!m_options.testFlag(TGridOption::Editing) || !EndEdit(true, false))
        return;
    // From the selection's corner: a drag or Shift+arrow leaves the current cell at its far end.
    const QRect selection = Selection();
    const QPoint current(Col(), Row());
    const QPoint origin = selection.contains(current) ? selection.topLeft() : current;
    const TClipboardCells cells = CellsFromClipboardText(QGuiApplication::clipboard()->text(),
                                                         RowCount() - origin.y(), ColCount() - origin.x());
    if (cells.rows.isEmpty())
        return;
    // Tiled, the block repeats over the selection; else it lies once, its lines as long as they
    // are. A current cell outside the selection (left there by the last paste) starts a plain
    // paste: the selection's size counted from it would reach past the grid.
    const bool tiled = origin == selection.topLeft() && cells.beyond == 0 && TilesSelection(cells.rows, selection);
    const int height = tiled ? selection.height() : cells.rows.size();
    QList<std::pair<QPoint, QString>> commits;
    QRect pasted;
    for (int r = 0; r < height; ++r) {
        const QStringList &texts = cells.rows[r % cells.rows.size()];
        const int width = tiled ? selection.width() : texts.size();
        for (int c = 0; c < width; ++c) {
            const QPoint cell = origin + QPoint(c, r);
            commits.append({cell, texts[c % texts.size()]});
            pasted |= QRect(cell, QSize(1, 1));
        }
    }
    const bool completed = CommitCells(TGridAction::Paste, commits);
    SetSelection(pasted);
    // The next paste starts where this one did, inside what it highlighted.
    selectionModel()->setCurrentIndex(m_model->IndexOf(pasted.left(), pasted.top()), QItemSelectionModel::NoUpdate);
    if (completed && cells.beyond > 0)
        ShowMessage(window(), tr("%1 个单元格超出表格，没有粘贴").arg(cells.beyond));
}

bool TXStringGrid::TilesSelection(const QList<QStringList> &block, const QRect &selection)
{
    if (block.isEmpty() || block.first().isEmpty() || selection.width() * selection.height() <= 1)
        return false;
    const int width = block.first().size();
    const bool rectangular =
        std::all_of(block.cbegin(), block.cend(), [width](const QStringList &row) { return row.size() == width; });
    const bool larger = selection.width() > width || selection.height() > block.size();
    return rectangular && larger && selection.width() % width == 0 && selection.height() % block.size() == 0;
}

bool TXStringGrid::CommitCells(TGridAction action, const QList<std::pair<QPoint, QString>> &cells)
{
    Q_EMIT ActionStarted(action);
    const bool completed = Report([this, &cells] {
        for (const auto &[cell, text] : cells) {
            if (const TCellEditor *editor = m_columns[cell.x()].Editor())
                SetEditText(cell.x(), cell.y(), editor->StoredOf(text));
        }
    });
    Q_EMIT ActionFinished(action);
    return completed;
}

QKeySequence::StandardKey TXStringGrid::ClipboardKey(const QKeyEvent *event)
{
    for (const QKeySequence::StandardKey key : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste}) {
        if (event->matches(key))
            return key;
    }
    return QKeySequence::UnknownKey;
}

// --- input

bool TXStringGrid::event(QEvent *event)
{
    // The grid's own clipboard keys come before any shortcut of the window that uses them.
    if (event->type() == QEvent::ShortcutOverride && !m_activeEditor
        && ClipboardKey(static_cast<QKeyEvent *>(event)) != QKeySequence::UnknownKey) {
        event->accept();
        return true;
    }
    return QTableView::event(event);
}

bool TXStringGrid::KeyStartsEdit(QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const bool editing = m_options.testFlag(TGridOption::Editing);
    const int key = event->key();
    if (key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (!editing)
            return false;
        m_pendingText.clear();
        Report([this] { TryShowEditor(); });
        return true;
    }
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    const char16_t first = text.at(0).unicode();
    const bool printable = first >= 32 && first != 127;
    if (!printable && key != Qt::Key_Backspace)
        return false;
    if (editing) {
        m_pendingText = m_immediateEditMode && printable ? text : QString();
        Report([this] { TryShowEditor(); });
    }
    return true;
}

void TXStringGrid::keyPressEvent(QKeyEvent *event)
{
    // Keys that the in-place control passed on are not the grid's while it edits.
    if (m_activeEditor) {
        event->ignore();
        return;
    }
    switch (ClipboardKey(event)) {
    case QKeySequence::Copy:
        CopyToClipboard();
        return;
    case QKeySequence::Cut:
        CutToClipboard();
        return;
    case QKeySequence::Paste:
        PasteFromClipboard();
        return;
    default:
        break;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier
        && m_options.testFlag(TGridOption::Editing)) {
        ClearSelectedCells();
        return;
    }
    if (KeyStartsEdit(event))
        return;
    QTableView::keyPressEvent(event);
}

void TXStringGrid::mousePressEvent(QMouseEvent *event)
{
    EndEdit(true, false);
    const bool hadFocus = !std::exchange(m_focusInByMouse, false);
    const QModelIndex hit = indexAt(event->position().toPoint());
    const bool onCurrent = hit.isValid() && hit == currentIndex();
    QTableView::mousePressEvent(event);
    // A click on the current cell of the focused grid edits it.
    if (onCurrent && hadFocus && event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier) {
        m_pendingText.clear();
        Report([this] { TryShowEditor(); });
    }
}

void TXStringGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    const QModelIndex hit = indexAt(event->position().toPoint());
    if (hit.isValid() && hit == currentIndex() && event->button() == Qt::LeftButton) {
        m_pendingText.clear();
        Report([this] { TryShowEditor(); });
    }
}

void TXStringGrid::focusInEvent(QFocusEvent *event)
{
    m_focusInByMouse = event->reason() == Qt::MouseFocusReason;
    QTableView::focusInEvent(event);
    viewport()->update();
}

void TXStringGrid::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void TXStringGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (m_activeEditor)
        ShowCellEditor(m_editCol, m_editRow);
}
