#pragma once

#include <QLineEdit>

class TMetaCellEditor;

// The in-place text box of a TEditCellEditor: borderless, out of the tab order, hidden until an
// edit starts. Up and Down always end the edit; Left and Right only at the ends of the text.
class TEditInplace : public QLineEdit {
    Q_OBJECT
public:
    TEditInplace(QWidget *parent, TMetaCellEditor *editor);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool EndsEdit(int key) const;

    TMetaCellEditor *m_editor;
};
