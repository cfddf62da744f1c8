#include "grid/MetaCellEditor.h"

#include "grid/CellEditorError.h"
#include "grid/GridClipboard.h"
#include "grid/XStringGrid.h"

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

TMetaCellEditor::TMetaCellEditor(QObject *owner)
    : TCellEditor(owner)
{
}

TMetaCellEditor::~TMetaCellEditor()
{
    // An edit in progress is dropped, not committed: the derived editor is already gone.
    ClearActiveEditor();
    DestroyEditWindow();
}

void TMetaCellEditor::Attach(TXStringGrid *grid)
{
    const bool first = Grid() == nullptr;
    TCellEditor::Attach(grid);
    if (m_control) {
        if (m_control->parentWidget() != grid->viewport()) {
            m_control->setParent(grid->viewport());
            m_control->hide();
        }
        return;
    }
    try {
        CreateEditControl();
    } catch (...) {
        if (first)
            TCellEditor::Detach();
        throw;
    }
}

void TMetaCellEditor::DestroyEditWindow()
{
    delete m_control.data();
}

void TMetaCellEditor::CreateEditControl()
{
    if (m_control)
        return;
    QWidget *owner = Grid() ? Grid()->viewport() : qobject_cast<QWidget *>(parent());
    QWidget *control = nullptr;
    try {
        control = NewEditControl(owner);
    } catch (const std::exception &) {
        throw ECellEditorError::NoEditControl();
    }
    if (!control)
        throw ECellEditorError::NoEditControl();
    control->hide();
    m_control = control;
}

QWidget *TMetaCellEditor::NewEditControl(QWidget *)
{
    return nullptr;
}

void TMetaCellEditor::EnsureControl()
{
    if (!m_control)
        CreateEditControl();
    if (Grid() && m_control->parentWidget() != Grid()->viewport()) {
        m_control->setParent(Grid()->viewport());
        m_control->hide();
    }
}

void TMetaCellEditor::ShowAt(const QRect &rect)
{
    if (!m_control)
        return;
    // Again at each edit: a drop-down gets a new text field when its style changes.
    if (QLineEdit *line = ControlLine())
        line->installEventFilter(this);
    m_control->setGeometry(rect);
    m_control->show();
    m_control->raise();
    m_control->setFocus(Qt::OtherFocusReason);
}

void TMetaCellEditor::Hide()
{
    // First, so that the focus leaving the hidden control does not commit a second time.
    ClearActiveEditor();
    if (m_control)
        m_control->hide();
}

TXStringGrid *TMetaCellEditor::EditingGrid() const
{
    return Grid() && Grid()->ActiveEditor() == this ? Grid() : nullptr;
}

bool TMetaCellEditor::ControlKeyPress(QKeyEvent *event, bool endEdit)
{
    if (event->matches(QKeySequence::Paste) && PasteCells(QGuiApplication::clipboard()->text()))
        return true;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ControlReturn();
        return true;
    case Qt::Key_Escape:
        ControlCancel();
        return true;
    default:
        return ControlKey(event, endEdit);
    }
}

bool TMetaCellEditor::ControlKey(QKeyEvent *event, bool endEdit)
{
    int key = event->key();
    if (AllowEndEditEvent)
        AllowEndEditEvent(m_control, key, event->modifiers(), endEdit);
    if (!endEdit)
        return key == 0;
    if (TXStringGrid *grid = EditingGrid())
        grid->EndEditByKey(key, event->modifiers());
    return true;
}

// Cells copied from a spreadsheet go into the cells they came as, not squeezed into the one
// being typed in: the edit is dropped and the grid pastes them from this cell, whatever else is
// selected. One cell comes without the line end a spreadsheet adds; any other text is the
// control's own paste.
bool TMetaCellEditor::PasteCells(const QString &clipboard)
{
    TXStringGrid *grid = EditingGrid();
    if (!grid)
        return false;
    if (HoldsSeveralCells(clipboard)) {
        grid->EndEdit(false, true);
        grid->SetSelection(QRect(grid->Col(), grid->Row(), 1, 1));
        grid->PasteFromClipboard();
        return true;
    }
    const TClipboardCells cells = CellsFromClipboardText(clipboard, 1, 1);
    QLineEdit *line = ControlLine();
    if (!line || cells.rows.isEmpty() || cells.rows.first().first() == clipboard)
        return false;
    line->insert(cells.rows.first().first());
    return true;
}

QLineEdit *TMetaCellEditor::ControlLine() const
{
    if (auto *combo = qobject_cast<QComboBox *>(m_control.data()))
        return combo->lineEdit();
    return qobject_cast<QLineEdit *>(m_control.data());
}

// The text field's own menu, with its Paste going the way Ctrl+V goes.
bool TMetaCellEditor::eventFilter(QObject *watched, QEvent *event)
{
    QLineEdit *line = ControlLine();
    if (event->type() != QEvent::ContextMenu || watched != line)
        return TCellEditor::eventFilter(watched, event);
    QMenu *menu = line->createStandardContextMenu();
    // Found by its text: the actions carry no names before Qt 6.6. The text is Qt's own, in Qt's
    // catalogue, so it is named through variables that our catalogue's scan does not take up.
    static const char *const context = "QLineEdit";
    static const char *const pasteText = "&Paste";
    const QString pasteShown = QCoreApplication::translate(context, pasteText);
    for (QAction *paste : menu->actions()) {
        if (paste->text().section(QLatin1Char('\t'), 0, 0) != pasteShown)
            continue;
        paste->disconnect();
        connect(paste, &QAction::triggered, line, [this, line] {
            if (!PasteCells(QGuiApplication::clipboard()->text()))
                line->paste();
        });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
    return true;
}

void TMetaCellEditor::ControlReturn()
{
    if (TXStringGrid *grid = EditingGrid())
        grid->EndEdit(true, true);
}

void TMetaCellEditor::ControlCancel()
{
    if (TXStringGrid *grid = EditingGrid())
        grid->EndEdit(false, true);
}

void TMetaCellEditor::ControlExit()
{
    if (TXStringGrid *grid = EditingGrid())
        grid->EndEdit(true, false);
}

bool TMetaCellEditor::GridTabs() const
{
    return Grid() && Grid()->Options().testFlag(TGridOption::Tabs);
}
