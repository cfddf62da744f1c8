#include "editors/SignallingWindow.h"

#include "base/ShownText.h"
#include "base/TextConvert.h"
#include "base/Version.h"
#include "compare/FieldDiff.h"
#include "dialogs/FileFolders.h"
#include "compare/BlockCompare.h"
#include "dialogs/Language.h"
#include "dialogs/MessageBox.h"
#include "dialogs/OpenedFile.h"
#include "dialogs/ScrolledControls.h"
#include "dialogs/TransferMessages.h"
#include "grid/ComboCellEditor.h"
#include "grid/EditCellEditor.h"
#include "grid/XStringGrid.h"
#include "undo/BoxUndoKeys.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QSettings>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QScrollArea>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QTabWidget>
#include <algorithm>
#include <utility>

namespace {

constexpr int kGuardMs = 10000;

// An edit box's length limit: its spec's, or the text's own when longer (read from the radio),
// so that the limit never cuts a text short.
int LengthLimit(int max, const QString &text)
{
    return std::max(max, static_cast<int>(text.size()));
}

}  // namespace

TSignallingWindow::TSignallingWindow(TProgramLink &link, TEditorTexts &texts, TSignallingArea &area,
                                     const TFormLayout &layout, const TTransferStyle &style,
                                     PortName portName, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint),
      m_link(link), m_texts(texts), m_area(area), m_layout(layout), m_style(style),
      m_portName(std::move(portName))
{
    // Hidden, never destroyed: closing an editor neither frees it nor keeps the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(ShownText(layout.caption));
    resize(layout.width, layout.height);
    // A window smaller than its controls (a scaled or small screen) scrolls them, so that
    // 读取, 写入 and 关闭 stay within reach.
    QScrollArea *scroll = NewControlsScroll(this);
    m_client = scroll->widget();
    auto *frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->addWidget(scroll);

    BuildPages(layout);
    BuildCellEditors();
    for (const TControlSpec &spec : texts.Controls().Specs())
        BuildControl(spec);
    for (const TGridTexts &grid : texts.Grids())
        BuildGrid(grid);

    m_rbtn = new QPushButton(ShownText(layout.readCaption), m_client);
    m_rbtn->setObjectName(QStringLiteral("rbtn"));
    m_wbtn = new QPushButton(ShownText(layout.writeCaption), m_client);
    m_wbtn->setObjectName(QStringLiteral("wbtn"));
    m_button3 = new QPushButton(ShownText(layout.closeCaption), m_client);
    m_button3->setObjectName(QStringLiteral("Button3"));
    m_progressBar1 = new QProgressBar(m_client);
    m_progressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar1->setTextVisible(false);
    m_progressBar1->hide();
    m_controls.insert(QStringLiteral("rbtn"), m_rbtn);
    m_controls.insert(QStringLiteral("wbtn"), m_wbtn);
    m_controls.insert(QStringLiteral("Button3"), m_button3);
    m_controls.insert(QStringLiteral("ProgressBar1"), m_progressBar1);
    BuildFileMenu();

    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(kGuardMs);
    m_timer1.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the guard promises ten seconds.
    m_timer1.setTimerType(Qt::PreciseTimer);

    connect(m_rbtn, &QPushButton::clicked, this, &TSignallingWindow::rbtnClick);
    connect(m_wbtn, &QPushButton::clicked, this, &TSignallingWindow::wbtnClick);
    connect(m_button3, &QPushButton::clicked, this, &TSignallingWindow::Button3Click);
    connect(&m_timer1, &QTimer::timeout, this, &TSignallingWindow::Timer1Timer);
    connect(&m_link, &TProgramLink::AreaBlockRead, this, &TSignallingWindow::OnBlockRead);
    connect(&m_link, &TProgramLink::Progressed, this, &TSignallingWindow::OnProgressed);
    connect(&m_link, &TProgramLink::Finished, this, &TSignallingWindow::OnFinished);
    connect(&m_link, &TProgramLink::BusyChanged, this, &TSignallingWindow::UpdateButtons);
    // Made after this window's handler of Finished, which thus sees a safe write's transfers
    // while it still runs and leaves them to it.
    m_safeWrite = new TSafeWrite(m_link, TBackupStore(), QStringLiteral("xiepin"), this);
    connect(m_safeWrite, &TSafeWrite::PhaseChanged, this, &TSignallingWindow::OnSafeWritePhase);
    connect(m_safeWrite, &TSafeWrite::Finished, this, &TSignallingWindow::OnSafeWriteFinished);

    LoadFromTexts();
    UpdateButtons();
    BuildUndo();
}

TSignallingWindow::~TSignallingWindow()
{
    // The controls outlive this body (QWidget deletes them later); none may reach the texts,
    // which a subclass may already have freed.
    for (QWidget *control : std::as_const(m_controls))
        control->disconnect(this);
    disconnect(m_focusWatch);  // the focus moves as the controls go
    disconnect(m_stepWatch);   // the undo stack, a child, clears its steps as it goes
}

// --- building

void TSignallingWindow::BuildPages(const TFormLayout &layout)
{
    if (layout.pages.isEmpty())
        return;
    m_pages = new QTabWidget(m_client);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    for (const QString &caption : layout.pages) {
        auto *page = new QWidget;
        page->setObjectName(caption);
        m_pages->addTab(page, ShownText(caption));
        m_pageByCaption.insert(caption, page);
    }
    m_pages->setCurrentIndex(layout.initialPage);
}

void TSignallingWindow::showEvent(QShowEvent *event)
{
    KeepControlsReachable(m_client);  // the subclass has placed them by now
    QWidget::showEvent(event);
}

QWidget *TSignallingWindow::ParentFor(const QString &name)
{
    const TPlacement *placement = m_layout.Placement(name);
    QWidget *parent = m_client;
    if (placement && !placement->page.isEmpty())
        parent = m_pageByCaption.value(placement->page, m_client);
    if (!placement || placement->group.isEmpty())
        return parent;
    const QString key = placement->page + QLatin1Char('/') + placement->group;
    QGroupBox *group = m_groupByCaption.value(key);
    if (!group) {
        group = new QGroupBox(ShownText(placement->group), parent);
        group->setObjectName(placement->group);
        m_groupByCaption.insert(key, group);
        m_groupByCaption.insert(placement->group, group);
    }
    return group;
}

void TSignallingWindow::BuildControl(const TControlSpec &spec)
{
    QWidget *parent = ParentFor(spec.name);
    const TPlacement *placement = m_layout.Placement(spec.name);
    const bool readOnly = placement && placement->readOnly;
    QWidget *control = nullptr;
    switch (spec.kind) {
    case TControlKind::ComboBox:
    case TControlKind::DropDownList: {
        auto *combo = new QComboBox(parent);
        combo->setEditable(spec.kind == TControlKind::ComboBox);
        // No inline completion: a typed "55" must not become "550" from the list. Nor does a
        // typed text join the list.
        if (combo->isEditable()) {
            combo->setCompleter(nullptr);
            combo->setInsertPolicy(QComboBox::NoInsert);
        }
        combo->addItems(ShownTexts(spec.items));
        combo->setEnabled(!readOnly);
        if (combo->isEditable()) {
            new TBoxUndoKeys(combo, combo->lineEdit());
            connect(combo, &QComboBox::editTextChanged, this, [this, name = spec.name] { StoreControl(name); });
        } else {
            connect(combo, &QComboBox::currentTextChanged, this, [this, name = spec.name] { StoreControl(name); });
        }
        control = combo;
        break;
    }
    case TControlKind::EditBox: {
        auto *edit = new QLineEdit(parent);
        edit->setReadOnly(readOnly);
        // A full box refuses another character, wherever the caret is. A longer text read from
        // the radio is shown whole (LoadFromTexts); edits may shorten it, not lengthen it.
        if (spec.maxLength > 0) {
            edit->setMaxLength(spec.maxLength);
            connect(edit, &QLineEdit::textEdited, this, [edit, max = spec.maxLength](const QString &text) {
                const int limit = LengthLimit(max, text);
                if (limit == edit->maxLength())
                    return;
                const int caret = edit->cursorPosition();  // a new limit puts the caret at the end
                edit->setMaxLength(limit);
                edit->setCursorPosition(caret);
            });
        }
        new TBoxUndoKeys(edit, edit);
        connect(edit, &QLineEdit::textChanged, this, [this, name = spec.name] { StoreControl(name); });
        control = edit;
        break;
    }
    case TControlKind::CheckBox: {
        auto *check = new QCheckBox(ShownText(spec.caption), parent);
        check->setEnabled(!readOnly);
        connect(check, &QCheckBox::toggled, this, [this, name = spec.name] { StoreControl(name); });
        control = check;
        break;
    }
    }
    control->setObjectName(spec.name);
    m_controls.insert(spec.name, control);
    // A check box without a caption of its own ("清除自动应答") has a label beside it.
    if (!spec.label.isEmpty()) {
        auto *label = new QLabel(ShownText(spec.label), parent);
        label->setObjectName(spec.name + QStringLiteral("Label"));
        m_labels.insert(spec.name, label);
    }
}

void TSignallingWindow::BuildCellEditors()
{
    // Children of the window like its other controls: grid and editor each let go of the other
    // when destroyed, so Qt may free them in either order.
    for (const TCellEditorSpec &spec : m_texts.CellEditors()) {
        TCellEditor *editor = nullptr;
        if (spec.kind == TCellEditorKind::Combo) {
            auto *combo = new TComboCellEditor(this);
            combo->SetItems(spec.items);
            combo->SetDefaultText(spec.defaultText);
            editor = combo;
        } else {
            auto *edit = new TEditCellEditor(this);
            edit->SetDefaultText(spec.defaultText);
            editor = edit;
        }
        editor->setObjectName(spec.name);
        m_cellEditors.insert(spec.name, editor);
    }
}

void TSignallingWindow::BuildGrid(const TGridTexts &texts)
{
    auto *grid = new TXStringGrid(ParentFor(texts.Name()));
    grid->setObjectName(texts.Name());
    grid->SetColCount(texts.ColCount());
    grid->SetRowCount(texts.RowCount());
    grid->SetFixedCols(1);
    grid->SetFixedRows(1);
    grid->SetOptions(TGridOption::Editing | TGridOption::RangeSelect);
    grid->SetImmediateEditMode(true);
    const std::vector<TColumnSpec> &columns = texts.Spec().columns;
    for (int col = 0; col < texts.ColCount(); ++col) {
        TXStringColumnItem &item = grid->Columns()[col];
        item.SetAlignment(Qt::AlignCenter);
        item.SetHeaderAlignment(Qt::AlignCenter);
        const QString &editor = columns[static_cast<std::size_t>(col)].editor;
        if (!editor.isEmpty())
            item.SetEditor(m_cellEditors.value(editor));
    }
    const QString name = texts.Name();
    grid->OnSetEditText = [this, name](int col, int row, const QString &value) {
        if (m_loading)
            return;
        // A text the rules refuse may have changed the cell all the same.
        try {
            m_texts.SetEditText(name, col, row, value);
        } catch (...) {
            RecordStep(tr("输入"));
            throw;
        }
        LoadGrid(m_texts.Grid(name), *m_grids.value(name));
        TextsChanged();
        RecordStep(tr("输入"));
    };
    // A cut, a paste or a clear is one step, however many cells it commits.
    connect(grid, &TXStringGrid::ActionStarted, this, [this] {
        RecordBoxStep();
        m_history->BeginBatch();
    });
    connect(grid, &TXStringGrid::ActionFinished, this, [this](TGridAction action) {
        m_history->EndBatch(TXStringGrid::ActionName(action));
    });
    m_grids.insert(name, grid);
    m_controls.insert(name, grid);
}

// --- texts

void TSignallingWindow::LoadGrid(const TGridTexts &texts, TXStringGrid &grid)
{
    const bool wasLoading = std::exchange(m_loading, true);
    for (int row = 0; row < texts.RowCount(); ++row) {
        for (int col = 0; col < texts.ColCount(); ++col)
            grid.SetCells(col, row, texts.Cell(col, row));
    }
    m_loading = wasLoading;
}

void TSignallingWindow::LoadFromTexts()
{
    const bool wasLoading = std::exchange(m_loading, true);
    const TControlTexts &controls = m_texts.Controls();
    for (const TControlSpec &spec : controls.Specs()) {
        QWidget *control = m_controls.value(spec.name);
        if (auto *combo = qobject_cast<QComboBox *>(control)) {
            if (combo->isEditable())
                combo->setEditText(ShownText(controls.Text(spec.name)));
            else
                combo->setCurrentIndex(combo->findText(ShownText(controls.Text(spec.name))));
        } else if (auto *edit = qobject_cast<QLineEdit *>(control)) {
            const QString text = controls.Text(spec.name);
            if (spec.maxLength > 0)
                edit->setMaxLength(LengthLimit(spec.maxLength, text));
            edit->setText(text);
        } else if (auto *check = qobject_cast<QCheckBox *>(control)) {
            check->setChecked(controls.Checked(spec.name));
        }
    }
    for (const TGridTexts &texts : m_texts.Grids())
        LoadGrid(texts, *m_grids.value(texts.Name()));
    m_loading = wasLoading;
}

void TSignallingWindow::StoreControl(const QString &name)
{
    if (m_loading)
        return;
    TControlTexts &controls = m_texts.Controls();
    QWidget *control = m_controls.value(name);
    // A spreadsheet cell pasted into a box brings its line end, which no box text holds; plain
    // spaces stay, English entries have them.
    const auto withoutBreaks = [](QString text) {
        text.removeIf([](QChar c) { return c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'); });
        return text;
    };
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        if (const QString kept = withoutBreaks(combo->currentText()); combo->isEditable() && kept != combo->currentText()) {
            combo->setEditText(kept);  // comes back here with the text kept
            return;
        }
        controls.SetText(name, StoredText(combo->currentText(), controls.Spec(name).items));
    } else if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        if (const QString kept = withoutBreaks(edit->text()); kept != edit->text()) {
            edit->setText(kept);
            return;
        }
        controls.SetText(name, edit->text());
    } else if (auto *check = qobject_cast<QCheckBox *>(control)) {
        controls.SetChecked(name, check->isChecked());
    }
    TextsChanged();
    if (!controls.Spec(name).inArea)
        return;  // what is only shown is no edit of the table
    // Other handlers of the same change may still follow: the step is taken once the event is
    // done, named after the first box it changed.
    if (m_pendingBox < 0) {
        const std::vector<TControlSpec> &specs = controls.Specs();
        const auto spec = std::find_if(specs.cbegin(), specs.cend(), [&name](const TControlSpec &s) { return s.name == name; });
        m_pendingBox = static_cast<int>(spec - specs.cbegin());
        QTimer::singleShot(0, this, &TSignallingWindow::RecordBoxStep);
    }
}

void TSignallingWindow::RecordBoxStep()
{
    // The keys typed into one box on one visit are one step.
    if (m_pendingBox >= 0)
        m_history->Record(tr("设置"), std::exchange(m_pendingBox, -1));
}

void TSignallingWindow::RecordStep(const QString &text)
{
    RecordBoxStep();
    m_history->Record(text);
}

// --- undo

void TSignallingWindow::BuildUndo()
{
    m_history = std::make_unique<TSnapshotHistory<TEditorSnapshot>>(
        [this] { return TakeSnapshot(m_texts); }, [this](const TEditorSnapshot &snapshot) { Restore(snapshot); }, this);
    auto *undo = new QAction(tr("撤销"), this);
    undo->setObjectName(QStringLiteral("Undo1"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    auto *redo = new QAction(tr("重做"), this);
    redo->setObjectName(QStringLiteral("Redo1"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // Always enabled: a box's last keys become a step only as the keys arrive.
    connect(undo, &QAction::triggered, this, [this] {
        RecordBoxStep();
        UndoStack().undo();
    });
    connect(redo, &QAction::triggered, this, [this] {
        RecordBoxStep();
        UndoStack().redo();
    });
    addActions({undo, redo});
    m_stepWatch = connect(&UndoStack(), &QUndoStack::indexChanged, this, [this] { m_movedDuringTransfer = true; });
    // A later visit to the same box is a step of its own.
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *) {
        if (old && isAncestorOf(old)) {
            RecordBoxStep();
            m_history->EndMergeRun();
        }
    });
}

void TSignallingWindow::Restore(const TEditorSnapshot &snapshot)
{
    RestoreSnapshot(m_texts, snapshot);
    LoadFromTexts();
    TextsChanged();
}

// --- lookup and placement

QWidget *TSignallingWindow::Page(const QString &caption) const
{
    return m_pageByCaption.value(caption);
}

QGroupBox *TSignallingWindow::Group(const QString &caption) const
{
    return m_groupByCaption.value(caption);
}

QWidget *TSignallingWindow::Control(const QString &name) const
{
    return m_controls.value(name);
}

QLabel *TSignallingWindow::Label(const QString &controlName) const
{
    return m_labels.value(controlName);
}

TXStringGrid *TSignallingWindow::Grid(const QString &name) const
{
    return m_grids.value(name);
}

TCellEditor *TSignallingWindow::CellEditor(const QString &name) const
{
    return m_cellEditors.value(name);
}

int TSignallingWindow::GridHeight(int rows, int rowHeight)
{
    return rows * (rowHeight + 1) + 2;
}

int TSignallingWindow::GridWidth(std::initializer_list<int> widths)
{
    int sum = 2;
    for (int width : widths)
        sum += width + 1;
    return sum;
}

void TSignallingWindow::Place(const QString &name, int left, int top, int width, int height)
{
    QWidget *widget = m_controls.value(name);
    if (!widget)
        widget = m_groupByCaption.value(name);
    if (!widget)
        widget = m_pageByCaption.value(name);
    if (!widget && name == QStringLiteral("PageControl1"))
        widget = m_pages;
    if (!widget)
        return;
    widget->setGeometry(left, top, width, height < 0 ? widget->sizeHint().height() : height);
}

void TSignallingWindow::PlaceLabel(const QString &controlName, int left, int top)
{
    if (QLabel *label = m_labels.value(controlName)) {
        label->adjustSize();
        label->move(left, top);
    }
}

// --- transfers

// This window's transfers: its read, and the writes of its safe write. The main window's
// restore moves the same area, but not for this window.
bool TSignallingWindow::IsMine(TransferKind kind, int area) const
{
    if (area != m_area.Area())
        return false;
    if (kind == TransferKind::AreaRead)
        return m_reading || m_safeWrite->IsRunning();
    return kind == TransferKind::AreaWrite && m_safeWrite->IsRunning();
}

bool TSignallingWindow::EnsurePortOpen()
{
    if (m_link.IsPortOpen())
        return true;
    try {
        m_link.OpenPort(m_portName());
        return true;
    } catch (const ECommsError &error) {
        ShowError(this, QString::fromUtf8(error.what()));
        return false;
    }
}

// The guard counts ten seconds without an answer: every answer starts it again.
void TSignallingWindow::StartGuard()
{
    m_timer1.start();
}

void TSignallingWindow::ShowProgress(int maximum)
{
    m_progressBar1->setRange(0, maximum);
    m_progressBar1->setValue(1);
    m_progressBar1->show();
}

void TSignallingWindow::rbtnClick()
{
    m_comparing = false;
    StartRead();
}

bool TSignallingWindow::StartRead()
{
    if (m_link.IsBusy() || !EnsurePortOpen())
        return false;
    m_readBlocks = TRadioImage::None();
    if (!m_link.StartAreaRead(m_area.Area(), AreaFacts(m_area.Area()).read))
        return false;
    m_reading = true;
    ++m_readRun;
    MarkTransferStart();
    StartGuard();
    ShowProgress(m_style.readMaximum);
    return true;
}

// Check before sending or saving: a text that does not fit is reported and nothing comes out.
std::optional<std::vector<Block>> TSignallingWindow::EncodeBlocks()
{
    try {
        return m_area.EncodeBlocks();
    } catch (const EConvertError &error) {
        ShowError(this, error.message());
        return std::nullopt;
    }
}

void TSignallingWindow::wbtnClick()
{
    if (m_link.IsBusy())
        return;
    const std::optional<std::vector<Block>> blocks = EncodeBlocks();
    if (!blocks || !EnsurePortOpen())
        return;
    const bool verify = QSettings().value(QStringLiteral("write/verify"), true).toBool();
    if (!m_safeWrite->StartArea(m_portName(), m_area.Area(), *blocks, m_lastRead, verify))
        return;
    MarkTransferStart();
}

// The controls stay open during a transfer; an edit made meanwhile is a step of its own, so
// that the end of the transfer can tell the texts are no longer what it moved.
void TSignallingWindow::MarkTransferStart()
{
    RecordBoxStep();  // keys typed just before belong to the texts the transfer starts from
    m_history->EndMergeRun();
    m_movedDuringTransfer = false;
}

bool TSignallingWindow::EditedDuringTransfer() const
{
    return m_movedDuringTransfer;
}

void TSignallingWindow::Button3Click()
{
    if (IsMine(m_link.Running(), m_link.RunningArea()))
        m_link.AbandonAreaTransfer(m_area.Area());
    m_timer1.stop();
    m_progressBar1->hide();
    hide();
}

void TSignallingWindow::Timer1Timer()
{
    m_timer1.stop();
    if (IsMine(m_link.Running(), m_link.RunningArea()))
        m_link.AbandonAreaTransfer(m_area.Area(), TransferEnd::Silent);
}

void TSignallingWindow::OnBlockRead(int area, int block, const Block &data)
{
    if (area != m_area.Area() || !m_reading)
        return;  // another area's, or the radio's blocks for a backup, a verify or a restore
    m_readBlocks.setBlock(area, block, data);
    if (m_comparing)
        return;
    RecordBoxStep();  // keys typed before the block are no part of the read
    m_area.DecodeBlock(block, data);
    LoadFromTexts();
    TextsChanged();
    // Each block is recorded as it comes, into the read's one step, so that an edit made between
    // two blocks is a step of its own: undone, it gives back the blocks read before it.
    const bool moved = m_movedDuringTransfer;
    m_history->RecordInRun(tr("读取"), kReadStepKey, m_readRun);
    m_movedDuringTransfer = moved;  // the read's own step is no edit made during it
}

void TSignallingWindow::OnProgressed(TransferKind kind, int area, int answers)
{
    if (!IsMine(kind, area))
        return;
    m_progressBar1->setValue(qMin(1 + answers, m_progressBar1->maximum()));
    StartGuard();
}

void TSignallingWindow::OnFinished(TransferKind kind, int area, TransferEnd reason)
{
    if (!IsMine(kind, area) || m_safeWrite->IsRunning())
        return;
    m_reading = false;
    m_timer1.stop();
    m_progressBar1->hide();
    // All blocks of one read are one step, also when it ended early. Texts edited meanwhile
    // are not the radio's.
    const bool comparing = std::exchange(m_comparing, false);
    const bool edited = EditedDuringTransfer();
    if (!comparing)
        RecordStep(tr("读取"));
    if (reason == TransferEnd::Silent)
        ShowError(this, tr("读取失败：电台无应答") + QLatin1Char('\n')
                            + HowFarText(true, m_link.LastTally().done, m_link.LastTally().total));
    else if (reason == TransferEnd::PortGone)
        ShowError(this, PortGoneText(m_portName(), true, m_link.LastTally().done, m_link.LastTally().total));
    if (reason != TransferEnd::Completed)
        return;
    SaveReadAsBackup();
    // Blocks never read are not the radio's, and a compare would count them as differences.
    if (TellIncompleteRead(this, {m_area.Area()}, m_readBlocks))
        return;
    if (comparing) {
        ShowComparison();
        return;
    }
    MarkRadioState(edited);
    TellHalfWrittenRead(this, m_portName(), m_readBlocks);
}

// The texts are what the radio holds now, unless edited during the transfer: then no step of
// the stack is (an undo back to the one before the transfer would look saved).
void TSignallingWindow::MarkRadioState(bool editedMeanwhile)
{
    if (editedMeanwhile)
        UndoStack().resetClean();
    else
        UndoStack().setClean();
}

void TSignallingWindow::ForgetLastRead()
{
    m_lastRead = TSafeWrite::PriorRead();
}

// Every read of the radio is kept in the backups folder. It is no backup of the next write:
// by then another radio may be on the cable, with nothing on the port to tell, and the write
// reads its own.
void TSignallingWindow::SaveReadAsBackup()
{
    QString error;
    m_lastRead = TSafeWrite::PriorRead();
    if (m_safeWrite->SaveRead(m_readBlocks, m_portName(), &error).isEmpty())
        ShowError(this, tr("无法保存备份：%1").arg(error));
}

void TSignallingWindow::OnSafeWritePhase(TSafeWrite::Phase phase)
{
    if (phase == TSafeWrite::Phase::Idle)
        return;
    StartGuard();
    ShowProgress(phase == TSafeWrite::Phase::Write ? m_style.writeMaximum : m_style.readMaximum);
}

void TSignallingWindow::OnSafeWriteFinished(const TSafeWrite::Outcome &outcome)
{
    m_timer1.stop();
    m_progressBar1->hide();
    // Known again only after the next read; a write that did not end well leaves its backup
    // for the next one.
    m_lastRead = TSafeWrite::BackupForNextWrite(outcome);
    const QString text = WriteOutcomeText(outcome, m_portName());
    if (text.isEmpty())
        return;  // Close
    if (WriteSucceeded(outcome)) {
        MarkRadioState(EditedDuringTransfer());
        ShowMessage(this, text);
    } else {
        ShowError(this, text);
    }
}

bool TSignallingWindow::HasUnsavedChanges()
{
    // Keys just typed into a box or a cell that is still open count.
    CommitOpenCells();
    RecordBoxStep();
    return !UndoStack().isClean();
}

bool TSignallingWindow::CommitOpenCells()
{
    bool committed = true;
    for (TXStringGrid *grid : std::as_const(m_grids))
        committed = grid->CommitOpenEdit() && committed;
    return committed;
}

void TSignallingWindow::SetPortsHeldElsewhere(bool held)
{
    m_heldElsewhere = held;
    UpdateButtons();
}

// The file items wait too: a table opened or compared while a read of it runs would be filled
// by the rest of the read.
void TSignallingWindow::UpdateButtons()
{
    const bool idle = !m_link.IsBusy() && !m_heldElsewhere;
    m_rbtn->setEnabled(idle);
    m_wbtn->setEnabled(idle);
    if (m_fileButton) {
        for (QAction *item : m_fileButton->menu()->actions())
            item->setEnabled(idle);
    }
}

// --- the table as a file, and the compare

void TSignallingWindow::BuildFileMenu()
{
    m_fileButton = new QToolButton(m_client);
    m_fileButton->setObjectName(QStringLiteral("FileButton"));
    m_fileButton->setText(tr("文件"));
    m_fileButton->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(m_fileButton);
    menu->addAction(tr("打开"), this, &TSignallingWindow::OpenTableClick)->setObjectName(QStringLiteral("OpenTable"));
    menu->addAction(tr("保存"), this, &TSignallingWindow::SaveTableClick)->setObjectName(QStringLiteral("SaveTable"));
    menu->addSeparator();
    menu->addAction(tr("与电台比较"), this, &TSignallingWindow::CompareClick)->setObjectName(QStringLiteral("CompareTable"));
    m_fileButton->setMenu(menu);
    m_controls.insert(QStringLiteral("FileButton"), m_fileButton);
    // In the tab row's free corner where there are tabs; the window places it otherwise.
    if (m_pages)
        m_pages->setCornerWidget(m_fileButton, Qt::TopRightCorner);
}

QFileDialog *TSignallingWindow::TableDialog(int acceptMode)
{
    // Made on first use: a hidden dialog's widgets would count among the window's controls.
    auto *dialog = findChild<QFileDialog *>(QStringLiteral("TableDialog"));
    if (!dialog) {
        // Non-native, so it looks the same everywhere and tests can answer it.
        dialog = new QFileDialog(this);
        dialog->setObjectName(QStringLiteral("TableDialog"));
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->setNameFilter(QStringLiteral("*.img"));
        dialog->setDefaultSuffix(QStringLiteral("img"));
    }
    const auto mode = static_cast<QFileDialog::AcceptMode>(acceptMode);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    return dialog;
}

// Any image file that holds this area whole: a table saved here, or a backup of the radio.
void TSignallingWindow::OpenTableClick()
{
    // The 文件 button takes no focus: a cell being typed in is still open.
    if (!CommitOpenCells())
        return;
    const QString path = ExecFileDialog(*TableDialog(QFileDialog::AcceptOpen), QStringLiteral("img"));
    if (path.isEmpty() || !OpenableFile(this, path))
        return;
    QString error;
    const std::optional<TRadioImage> image = TRadioImage::load(path, &error);
    if (!image) {
        ShowError(this, error);
        return;
    }
    const TArea &area = AreaFacts(m_area.Area());
    for (int block = area.firstBlock; block < area.EndBlock(); ++block) {
        if (!image->holds(area.number, block)) {
            ShowError(this, tr("%1 不含完整的 %2 表").arg(QFileInfo(path).fileName(), ShownText(QString::fromUtf8(area.title))));
            return;
        }
    }
    for (int block = area.firstBlock; block < area.EndBlock(); ++block)
        m_area.DecodeBlock(block, image->block(area.number, block));
    LoadFromTexts();
    TextsChanged();
    RecordStep(tr("打开"));
    UndoStack().setClean();
}

// Just this area's blocks, as they would be written: a text that does not fit is reported
// and nothing is saved.
void TSignallingWindow::SaveTableClick()
{
    if (!CommitOpenCells())
        return;
    const std::optional<std::vector<Block>> blocks = EncodeBlocks();
    if (!blocks)
        return;
    const QString path = ExecFileDialog(*TableDialog(QFileDialog::AcceptSave), QStringLiteral("img"));
    if (path.isEmpty())
        return;
    TRadioImage image = TRadioImage::None();
    for (std::size_t i = 0; i < blocks->size(); ++i)
        image.setBlock(m_area.Area(), AreaFacts(m_area.Area()).firstBlock + static_cast<int>(i), (*blocks)[i]);
    image.setNotes({QStringLiteral("program: xiepin %1").arg(QString::fromLatin1(kXiepinVersion)),
                    QStringLiteral("holds: %1 (%2 blocks)").arg(image.contentsId()).arg(image.heldCount())});
    QString error;
    if (image.save(path, &error))
        UndoStack().setClean();
    else
        ShowError(this, error);
}

// Reads the radio's table without touching the window's, and lists where they differ.
void TSignallingWindow::CompareClick()
{
    if (!CommitOpenCells())
        return;
    m_comparing = true;
    if (!StartRead())
        m_comparing = false;
}

void TSignallingWindow::ShowComparison()
{
    m_comparing = false;
    const std::unique_ptr<TEditorTexts> radio = DecodeAreaTexts(m_area.Area(), AreaBlocks(m_readBlocks, m_area.Area()));
    ShowMessage(this, CompareResultText(EditorFieldDiff(*radio, m_texts)));
}
