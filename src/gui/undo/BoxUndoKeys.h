#pragma once

#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QObject>

// Ctrl+Z and Ctrl+Y or Ctrl+Shift+Z in a text box undo and redo the box's own typing; with
// nothing of its own left to undo or redo, the box lets the window's undo and redo have the
// keys, which a QLineEdit otherwise takes and does nothing with.
class TBoxUndoKeys : public QObject {
public:
    // `focused` is the widget that gets the keys: the box itself, or the editable combo box
    // whose line edit it is.
    TBoxUndoKeys(QWidget *focused, QLineEdit *box) : QObject(box), m_focused(focused), m_box(box)
    {
        focused->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool shortcut = event->type() == QEvent::ShortcutOverride;
        if (watched != m_focused || (!shortcut && event->type() != QEvent::KeyPress))
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        // Ctrl+Y redoes on every system, also where the box does not take it as its redo (X11):
        // the box's own typing first.
        if (key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) && m_box->isRedoAvailable()) {
            if (shortcut)
                key->accept();
            else
                m_box->redo();
            return true;
        }
        if (!shortcut)
            return false;
        // Not accepted, the key goes on to the window's shortcuts.
        return (key->matches(QKeySequence::Undo) && !m_box->isUndoAvailable())
            || (key->matches(QKeySequence::Redo) && !m_box->isRedoAvailable());
    }

private:
    QWidget *m_focused;
    QLineEdit *m_box;
};
