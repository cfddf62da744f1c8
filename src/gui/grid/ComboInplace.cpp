#include "grid/ComboInplace.h"

#include "grid/MetaCellEditor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

TComboInplace::TComboInplace(QWidget *parent, TMetaCellEditor *editor)
    : QComboBox(parent)
    , m_editor(editor)
{
    setFrame(false);
    setFocusPolicy(Qt::ClickFocus);
    setMaxVisibleItems(12);
    hide();
}

void TComboInplace::SetFreeText(bool freeText)
{
    setEditable(freeText);
    if (!freeText)
        return;
    // Typed text is committed as typed: no completion from the list, no growing list.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    lineEdit()->setFrame(false);
}

bool TComboInplace::event(QEvent *event)
{
    if (event->type() == QEvent::KeyPress && m_editor->GridTabs()) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QComboBox::event(event);
}

bool TComboInplace::EndsEdit(int key) const
{
    const QLineEdit *edit = lineEdit();
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return m_editor->GridTabs();
    case Qt::Key_Left:
        return !edit || (!edit->hasSelectedText() && edit->cursorPosition() == 0);
    case Qt::Key_Right:
        return !edit || (!edit->hasSelectedText() && edit->cursorPosition() >= edit->text().length());
    default:
        return false;
    }
}

void TComboInplace::keyPressEvent(QKeyEvent *event)
{
    if (!m_editor->ControlKeyPress(event, EndsEdit(event->key())))
        QComboBox::keyPressEvent(event);
}

void TComboInplace::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    // The drop-down list taking the focus, or another window becoming active, is not leaving.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    const QWidget *now = QApplication::focusWidget();
    if (now && now->window() == view()->window())
        return;
    m_editor->ControlExit();
}
