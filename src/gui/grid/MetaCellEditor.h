#pragma once

#include "grid/CellEditor.h"

#include <QPointer>

class QKeyEvent;
class QLineEdit;

// A cell editor that edits through an in-place control: a child of the grid's viewport, hidden
// until an edit starts and laid over the cell while it runs.
class TMetaCellEditor : public TCellEditor {
    Q_OBJECT
public:
    explicit TMetaCellEditor(QObject *owner = nullptr);
    ~TMetaCellEditor() override;

    void Attach(TXStringGrid *grid) override;
    void DestroyEditWindow() override;
    // Builds the control if there is none. Throws ECellEditorError when NewEditControl fails.
    void CreateEditControl() override;
    void ShowAt(const QRect &rect) override;
    void Hide() override;

    QWidget *EditControl() const { return m_control; }

    // Called by the in-place control. ControlKey runs AllowEndEditEvent on the control's own
    // decision; when the edit ends it commits, hands the key to the grid and returns true
    // (the key is consumed). Enter commits, Escape cancels, losing the focus commits.
    bool ControlKey(QKeyEvent *event, bool endEdit);
    // The key handling both in-place controls share: Enter, Escape, then ControlKey. True
    // when the key is consumed and the control must not see it.
    bool ControlKeyPress(QKeyEvent *event, bool endEdit);
    void ControlReturn();
    void ControlCancel();
    void ControlExit();
    // Tab ends an edit only when the grid moves between cells on Tab.
    bool GridTabs() const;

protected:
    // Returns a new control with the given parent; none in this class.
    virtual QWidget *NewEditControl(QWidget *owner);
    // Builds the control if there is none yet.
    void EnsureControl();
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TXStringGrid *EditingGrid() const;
    // Ctrl+V or the menu's Paste in the control; false when the control pastes the text itself.
    bool PasteCells(const QString &clipboard);
    // The control's text field; none for a drop-down list without free text.
    QLineEdit *ControlLine() const;

    QPointer<QWidget> m_control;
};
