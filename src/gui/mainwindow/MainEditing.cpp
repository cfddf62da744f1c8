#include "mainwindow/MainEditing.h"

#include "dialogs/MessageBox.h"
#include "grid/XStringGrid.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>

namespace {

// Keys typed into one settings box on one visit merge into one step; each box has its own key.
constexpr int kSettingMergeKey = 100;

}  // namespace

TMainEditing::TMainEditing(TMainConfig &config, TXStringGrid &grid, QWidget &window)
    : QObject(&window), m_config(config), m_grid(grid), m_window(window),
      m_history([&config] { return TakeSnapshot(config); },
                [&config](const TMainSnapshot &snapshot) { RestoreSnapshot(config, snapshot); }, this)
{
    BuildEditMenu();
    BuildRowMenu();
    QUndoStack &stack = UndoStack();
    connect(&stack, &QUndoStack::canUndoChanged, this, &TMainEditing::UpdateActions);
    connect(&stack, &QUndoStack::canRedoChanged, this, &TMainEditing::UpdateActions);
    connect(&stack, &QUndoStack::cleanChanged, this, &TMainEditing::ModifiedChanged);
    connect(&m_grid, &TXStringGrid::ActionStarted, this, [this](TGridAction a) { OnGridAction(a, false); });
    connect(&m_grid, &TXStringGrid::ActionFinished, this, [this](TGridAction a) { OnGridAction(a, true); });
    // Keys typed into a settings box merge into one step only while the box keeps the focus.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *) {
        if (old && m_window.isAncestorOf(old))
            m_history.EndMergeRun();
    });
    UpdateActions();
}

QAction *TMainEditing::NewAction(const char *name, const QString &text, const std::function<void()> &slot)
{
    auto *action = new QAction(text, &m_window);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void TMainEditing::BuildEditMenu()
{
    m_editMenu = new QMenu(tr("编辑"), &m_window);
    m_editMenu->setObjectName(QStringLiteral("EditMenu"));
    // An open cell is committed first, as the step that undo then takes back.
    m_undo = NewAction("Undo1", tr("撤销"), [this] {
        if (CommitOpenCell())
            UndoStack().undo();
    });
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = NewAction("Redo1", tr("重做"), [this] {
        if (CommitOpenCell())
            UndoStack().redo();
    });
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // With the table focused the grid takes these keys itself; the items serve the menu and
    // the keys elsewhere in the window.
    m_cut = NewAction("Cut1", tr("剪切"), [this] { m_grid.CutToClipboard(); });
    m_cut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    m_copy = NewAction("Copy1", tr("复制"), [this] { m_grid.CopyToClipboard(); });
    m_copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    m_paste = NewAction("Paste1", tr("粘贴"), [this] { m_grid.PasteFromClipboard(); });
    m_paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));

    m_insert = NewAction("InsertChannel1", tr("插入信道"), [this] { InsertChannel(); });
    m_insert->setShortcut(QKeySequence(Qt::Key_Insert));
    m_delete = NewAction("DeleteChannel1", tr("删除信道"), [this] { DeleteChannel(); });
    m_delete->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    m_moveUp = NewAction("MoveUp1", tr("上移"), [this] { MoveUp(); });
    m_moveUp->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
    m_moveDown = NewAction("MoveDown1", tr("下移"), [this] { MoveDown(); });
    m_moveDown->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
    m_clear = NewAction("ClearChannel1", tr("清空信道"), [this] { ClearChannel(); });
    // The channel keys belong to the table: in a settings box Insert and Ctrl+Up stay its own.
    for (QAction *action : {m_insert, m_delete, m_moveUp, m_moveDown, m_clear}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_grid.addAction(action);
    }

    m_editMenu->addActions({m_undo, m_redo});
    m_editMenu->addSeparator();
    m_editMenu->addActions({m_cut, m_copy, m_paste});
    m_editMenu->addSeparator();
    m_editMenu->addActions({m_insert, m_delete, m_moveUp, m_moveDown});
}

void TMainEditing::BuildRowMenu()
{
    m_rowMenu = new QMenu(&m_window);
    m_rowMenu->setObjectName(QStringLiteral("RowMenu"));
    m_rowMenu->addActions({m_insert, m_delete, m_moveUp, m_moveDown, m_clear});
    QHeaderView *rows = m_grid.verticalHeader();
    rows->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(rows, &QHeaderView::customContextMenuRequested, this, &TMainEditing::ShowRowMenu);
}

// A right click on a channel number outside the selection selects that channel first.
void TMainEditing::ShowRowMenu(const QPoint &pos)
{
    QHeaderView *rows = m_grid.verticalHeader();
    const int section = rows->logicalIndexAt(pos);
    if (section < 0)
        return;
    const int row = section + m_grid.FixedRows();
    const QRect selection = m_grid.Selection();
    if (row < selection.top() || row > selection.bottom()) {
        m_grid.SetRow(row);
        m_grid.SetSelection(QRect(m_grid.FixedCols(), row, m_grid.ColCount() - m_grid.FixedCols(), 1));
    }
    m_rowMenu->popup(rows->viewport()->mapToGlobal(pos));
}

void TMainEditing::UpdateActions()
{
    m_undo->setEnabled(m_editable && UndoStack().canUndo());
    m_redo->setEnabled(m_editable && UndoStack().canRedo());
    for (QAction *action : {m_cut, m_paste, m_insert, m_delete, m_moveUp, m_moveDown, m_clear})
        action->setEnabled(m_editable);
}

void TMainEditing::SetEditable(bool editable)
{
    m_editable = editable;
    UpdateActions();
}

// --- steps

void TMainEditing::CellCommitted()
{
    m_history.Record(tr("输入"));
}

void TMainEditing::SettingEdited(int box)
{
    m_history.Record(tr("设置"), kSettingMergeKey + box);
}

void TMainEditing::Record(const QString &step)
{
    m_history.Record(step);
}

bool TMainEditing::Record(const QString &step, std::function<void(bool redo)> applied)
{
    return m_history.Record(step, -1, std::move(applied));
}

void TMainEditing::MarkSaved()
{
    UndoStack().setClean();
}

bool TMainEditing::IsModified() const
{
    return !UndoStack().isClean();
}

void TMainEditing::OnGridAction(TGridAction action, bool finished)
{
    if (!finished)
        m_history.BeginBatch();
    else
        m_history.EndBatch(TXStringGrid::ActionName(action));
}

bool TMainEditing::CommitOpenCell()
{
    return m_grid.CommitOpenEdit();
}

// --- channels

TChannelRange TMainEditing::SelectedChannels() const
{
    const QRect rows = m_grid.Selection();
    return {rows.top(), rows.height()};
}

bool TMainEditing::RunOnChannels(const QString &step, const std::function<bool(TChannelRange)> &operation)
{
    // A typed cell is committed as its own step; a text its rule refuses stops the operation,
    // which would otherwise move the rows under the open editor.
    if (!m_editable || !CommitOpenCell())
        return false;
    const bool done = operation(SelectedChannels());
    m_history.Record(step);
    return done;
}

void TMainEditing::InsertChannel()
{
    RunOnChannels(tr("插入信道"), [this](TChannelRange range) {
        if (const int lost = ChannelLostByInsert(m_config, range)) {
            ShowMessage(&m_window, tr("信道 %1 已在使用，不能插入信道").arg(lost));
            return false;
        }
        return InsertChannels(m_config, range);
    });
}

void TMainEditing::DeleteChannel()
{
    RunOnChannels(tr("删除信道"), [this](TChannelRange range) { return DeleteChannels(m_config, range); });
}

void TMainEditing::ClearChannel()
{
    RunOnChannels(tr("清空信道"), [this](TChannelRange range) { return ClearChannels(m_config, range); });
}

void TMainEditing::MoveUp()
{
    Move(-1);
}

void TMainEditing::MoveDown()
{
    Move(1);
}

// The selection follows the channels it moved.
void TMainEditing::Move(int delta)
{
    const QRect selection = m_grid.Selection();
    const bool moved = RunOnChannels(delta < 0 ? tr("上移") : tr("下移"),
                                     [this, delta](TChannelRange range) { return MoveChannels(m_config, range, delta); });
    if (!moved)
        return;
    m_grid.SetRow(m_grid.Row() + delta);
    m_grid.SetSelection(selection.translated(0, delta));
}
