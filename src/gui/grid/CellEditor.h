#pragma once

#include <QObject>
#include <QRect>
#include <functional>
#include <utility>

class QWidget;
class TXStringGrid;

// Lets the owner change the key that ends an in-place edit, or whether it ends at all.
// A key set to 0 is swallowed when the edit goes on.
using TAllowEndEditEvent =
    std::function<void(QWidget *control, int &key, Qt::KeyboardModifiers shift, bool &endEdit)>;

// A cell editor belongs to the window that holds the grid, not to the grid. Several columns of
// one grid may share it (AttachCount counts them); it can serve only one grid at a time.
class TCellEditor : public QObject {
    Q_OBJECT
public:
    explicit TCellEditor(QObject *owner = nullptr);
    ~TCellEditor() override;

    TXStringGrid *Grid() const { return m_grid; }
    int AttachCount() const { return m_attachCount; }

    TAllowEndEditEvent AllowEndEditEvent;

    // Called by a column that takes this editor. Throws ECellEditorError, changing nothing,
    // when another grid has it.
    virtual void Attach(TXStringGrid *grid);
    // Called by a column that lets go of this editor; the last one frees it from the grid.
    virtual void Detach();
    virtual void DestroyEditWindow() {}
    virtual void CreateEditControl() {}
    // Loads the grid's current cell into the control.
    virtual void StartEdit() = 0;
    // Writes the control's text back through SetCellText.
    virtual void CommitEdit() = 0;
    // The grid's set-edit-text for the cell being edited.
    void SetCellText(const QString &value);
    // The text kept for `shown` put into a cell by other means than the control (a paste): a
    // list entry as the current language shows it becomes the entry itself.
    virtual QString StoredOf(const QString &shown) const { return shown; }
    // A kept cell text as this editor's column shows it.
    virtual QString Shown(const QString &stored) const;
    // rect is in the coordinates of the grid's viewport.
    virtual void ShowAt(const QRect &rect) = 0;
    virtual void Hide() = 0;

protected:
    // What the grid holds for an immediate edit (empty when none); reading clears it.
    QString TakePendingText();
    // The text that the edit starts from: the current cell's edit text.
    QString CurrentEditText() const;
    // Marks the grid as having no editor shown.
    void ClearActiveEditor();

private:
    TXStringGrid *m_grid = nullptr;
    int m_attachCount = 0;
};
