#pragma once

#include <QComboBox>

class TMetaCellEditor;

// The in-place drop-down of a TComboCellEditor: flat, out of the tab order, hidden until an edit
// starts. Up and Down change the selected item; Left and Right end the edit at the ends of the
// free text (always, in the style without one).
class TComboInplace : public QComboBox {
    Q_OBJECT
public:
    TComboInplace(QWidget *parent, TMetaCellEditor *editor);

    // With a free-text field (the drop-down style) or without (the drop-down list style).
    void SetFreeText(bool freeText);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool EndsEdit(int key) const;

    TMetaCellEditor *m_editor;
};
