#include "grid/EditInplace.h"

#include "grid/MetaCellEditor.h"

#include <QKeyEvent>

TEditInplace::TEditInplace(QWidget *parent, TMetaCellEditor *editor)
    : QLineEdit(parent)
    , m_editor(editor)
{
    setFrame(false);
    setFocusPolicy(Qt::ClickFocus);
    // The text starts 2 pixels in from the left and the top, as the cell draws it.
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextMargins(2, 2, 2, 0);
    hide();
}

bool TEditInplace::event(QEvent *event)
{
    // Tab would otherwise move the focus before keyPressEvent sees it.
    if (event->type() == QEvent::KeyPress && m_editor->GridTabs()) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

bool TEditInplace::EndsEdit(int key) const
{
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return m_editor->GridTabs();
    case Qt::Key_Left:
        return !hasSelectedText() && cursorPosition() == 0;
    case Qt::Key_Right:
        return !hasSelectedText() && cursorPosition() >= text().length();
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

void TEditInplace::keyPressEvent(QKeyEvent *event)
{
    if (!m_editor->ControlKeyPress(event, EndsEdit(event->key())))
        QLineEdit::keyPressEvent(event);
}

void TEditInplace::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Another window becoming active leaves the edit open, as it leaves the focus here.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        m_editor->ControlExit();
}
