#pragma once

#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QObject>

// Ctrl+Z and Ctrl+Shift+Z in a text box undo and redo the box's own typing; with nothing of its
// own left to undo or redo, the box lets the window's undo and redo have the keys, which a
// QLineEdit otherwise takes and does nothing with.
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
        if (watched != m_focused || event->type() != QEvent::ShortcutOverride)
            return false;
        const auto *key = static_cast<const QKeyEvent *>(event);
        // Not accepted, the key goes on to the window's shortcuts.
        return (key->matches(QKeySequence::Undo) && !m_box->isUndoAvailable())
            || (key->matches(QKeySequence::Redo) && !m_box->isRedoAvailable());
    }

private:
    QWidget *m_focused;
    QLineEdit *m_box;
};
