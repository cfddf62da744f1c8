#pragma once

#include "mainconfig/ChannelRows.h"
#include "mainconfig/MainSnapshot.h"
#include "undo/SnapshotHistory.h"

#include <QObject>
#include <functional>

class QAction;
class QMenu;
class QUndoStack;
class QWidget;
class TXStringGrid;
enum class TGridAction;

// The main window's editing beyond typing into one cell: the Edit menu ("编辑") with undo and
// redo of the channel table and the ten settings, the table's clipboard, and the operations
// on whole channels, which the row header's context menu offers as well. Every user action is
// one undo step: a committed cell with what its entry rule changed, a cut, a paste, a channel
// operation, the keys typed into one settings box, a file loaded, a read from the radio.
class TMainEditing : public QObject {
    Q_OBJECT
public:
    TMainEditing(TMainConfig &config, TXStringGrid &grid, QWidget &window);

    QMenu *EditMenu() const { return m_editMenu; }
    QMenu *RowMenu() const { return m_rowMenu; }
    QUndoStack &UndoStack() const { return m_history.Stack(); }

    // What the window reports after it changed the texts.
    void CellCommitted();
    void SettingEdited(int box);
    void Record(const QString &step);
    // A step that changed more than the texts: `applied` follows its undo (false) and redo (true).
    // False when the texts did not change, and so no step was recorded.
    bool Record(const QString &step, std::function<void(bool redo)> applied);

    // The texts as they are now are the saved ones: a file saved or loaded, a read or a write.
    void MarkSaved();
    // The texts differ from the saved ones.
    bool IsModified() const;
    // Ends an open cell edit through its entry rule; false when the rule refused the text.
    bool CommitOpenCell();
    // Off while a main transfer runs: nothing but the transfer changes the table then.
    void SetEditable(bool editable);

public Q_SLOTS:
    void InsertChannel();
    void DeleteChannel();
    void MoveUp();
    void MoveDown();
    void ClearChannel();

Q_SIGNALS:
    void ModifiedChanged();

private:
    QAction *NewAction(const char *name, const QString &text, const std::function<void()> &slot);
    void BuildEditMenu();
    void BuildRowMenu();
    void ShowRowMenu(const QPoint &pos);
    void UpdateActions();

    // The channels of the selected rows.
    TChannelRange SelectedChannels() const;
    // Commits an open cell edit, runs the operation on the selected channels and records it.
    bool RunOnChannels(const QString &step, const std::function<bool(TChannelRange)> &operation);
    void Move(int delta);
    void OnGridAction(TGridAction action, bool finished);

    TMainConfig &m_config;
    TXStringGrid &m_grid;
    QWidget &m_window;
    TSnapshotHistory<TMainSnapshot> m_history;
    bool m_editable = true;

    QMenu *m_editMenu = nullptr;
    QMenu *m_rowMenu = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    QAction *m_cut = nullptr;
    QAction *m_copy = nullptr;
    QAction *m_paste = nullptr;
    QAction *m_insert = nullptr;
    QAction *m_delete = nullptr;
    QAction *m_moveUp = nullptr;
    QAction *m_moveDown = nullptr;
    QAction *m_clear = nullptr;
};
