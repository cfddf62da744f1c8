#pragma once

#include "backup/SafeWrite.h"
#include "editors/FormLayout.h"
#include "protocol/ProgramLink.h"
#include "signalling/EditorSnapshot.h"
#include "signalling/EditorTexts.h"
#include "signalling/SignallingArea.h"
#include "undo/SnapshotHistory.h"

#include <QHash>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QFileDialog;
class QTabWidget;
class QToolButton;
class TCellEditor;
class TXStringGrid;

// How an editor's transfers look in its own window.
struct TTransferStyle {
    int readMaximum = 0;   // progress bar range 0..readMaximum, starting at 1
    int writeMaximum = 0;  // 0..writeMaximum, starting at 1
};

// The common body of the four signalling editors: a window that stays on top, built from its
// area's control and grid descriptions, bound both ways to the area's texts, with the buttons
// Read, Write and Close, a progress bar and the guard timer `Timer1`. It drives the area's
// transfers through the shared TProgramLink. Subclasses place the controls (pixel layout) and
// add what is special to their window.
//
// Check before sending: Write encodes every block first; a text that does not fit is reported
// and nothing is sent. Read and Write open the port when it is closed. While any transfer runs
// (this window's or another's) Read and Write are disabled. Close and the title bar's close box
// hide the window; it is never destroyed, so its texts last for the whole run.
//
// Ctrl+Z undoes and Ctrl+Y or Ctrl+Shift+Z redoes the window's own changes to its grids and
// boxes, one step per action: a committed cell, a cut, a paste, the keys typed into one box,
// a read from the radio.
class TSignallingWindow : public QWidget {
    Q_OBJECT
public:
    using PortName = std::function<QString()>;

    TSignallingWindow(TProgramLink &link, TEditorTexts &texts, TSignallingArea &area,
                      const TFormLayout &layout, const TTransferStyle &style, PortName portName,
                      QWidget *parent = nullptr);
    ~TSignallingWindow() override;

    QPushButton *rbtn() const { return m_rbtn; }
    QPushButton *wbtn() const { return m_wbtn; }
    QPushButton *Button3() const { return m_button3; }
    QToolButton *FileButton() const { return m_fileButton; }  // "文件": 打开, 保存, 与电台比较
    QProgressBar *ProgressBar1() const { return m_progressBar1; }
    QTimer &Timer1() { return m_timer1; }
    // The area this window edits and transfers, with its codec.
    TSignallingArea &SignallingArea() const { return m_area; }

    QTabWidget *PageControl1() const { return m_pages; }
    QWidget *Page(const QString &caption) const;
    QGroupBox *Group(const QString &caption) const;
    // The control, grid or label by object name; nullptr when there is none.
    QWidget *Control(const QString &name) const;
    QLabel *Label(const QString &controlName) const;
    TXStringGrid *Grid(const QString &name) const;
    TCellEditor *CellEditor(const QString &name) const;

    // Shows every control, check box and cell as the area's texts hold them.
    void LoadFromTexts();

    QUndoStack &UndoStack() const { return m_history->Stack(); }
    // The texts differ from what the radio held at the last complete read or successful write,
    // and from the table file last opened or saved.
    bool HasUnsavedChanges();
    // Ends the cells still being typed in through their entry rules, before the table is read
    // or replaced; false when a rule refused its text (the error is shown).
    bool CommitOpenCells();

public Q_SLOTS:
    void rbtnClick();
    void wbtnClick();
    void Button3Click();
    void Timer1Timer();
    void OnSafeWritePhase(TSafeWrite::Phase phase);
    void OnSafeWriteFinished(const TSafeWrite::Outcome &outcome);
    // Something else wrote the radio: the last read no longer serves as a write's backup.
    void ForgetLastRead();
    // 批量写频 holds the ports: 读取 and 写入 wait for it.
    void SetPortsHeldElsewhere(bool held);
    // The window's file menu: its table alone as an image file, and a compare with the radio.
    void OpenTableClick();
    void SaveTableClick();
    void CompareClick();

protected:
    // Outer size of a grid that shows all its rows and columns: each with its grid line, and
    // the frame.
    static int GridHeight(int rows, int rowHeight);
    static int GridWidth(std::initializer_list<int> widths);
    // Pixel layout, in the coordinates of the control's parent (page, group or window).
    void Place(const QString &name, int left, int top, int width, int height = -1);
    void PlaceLabel(const QString &controlName, int left, int top);
    // Called after a grid's entry rules ran, and after every decoded block.
    virtual void TextsChanged() {}
    void showEvent(QShowEvent *event) override;

    TProgramLink &Link() { return m_link; }

private:
    void BuildPages(const TFormLayout &layout);
    QWidget *ParentFor(const QString &name);
    void BuildControl(const TControlSpec &spec);
    void BuildCellEditors();
    void BuildGrid(const TGridTexts &grid);
    void LoadGrid(const TGridTexts &texts, TXStringGrid &grid);
    void StoreControl(const QString &name);
    void BuildUndo();
    void Restore(const TEditorSnapshot &snapshot);
    // A step for the change just made, after the boxes' pending one.
    void RecordStep(const QString &text);
    void RecordBoxStep();

    std::optional<std::vector<Block>> EncodeBlocks();
    bool EnsurePortOpen();
    void StartGuard();
    void SaveReadAsBackup();
    void MarkRadioState(bool editedMeanwhile);
    bool IsMine(TransferKind kind, int area) const;
    void ShowProgress(int maximum);
    void UpdateButtons();

    void BuildFileMenu();
    QFileDialog *TableDialog(int acceptMode);
    bool StartRead();  // this window's read of its area: for the texts, or for a compare
    void MarkTransferStart();
    bool EditedDuringTransfer() const;
    void ShowComparison();
    void OnBlockRead(int area, int block, const Block &data);
    void OnProgressed(TransferKind kind, int area, int answers);
    void OnFinished(TransferKind kind, int area, TransferEnd reason);

    TProgramLink &m_link;
    TEditorTexts &m_texts;
    TSignallingArea &m_area;
    const TFormLayout &m_layout;
    const TTransferStyle m_style;
    PortName m_portName;

    QWidget *m_client = nullptr;  // the controls, scrolled when the window is smaller
    QTabWidget *m_pages = nullptr;
    QHash<QString, QWidget *> m_pageByCaption;
    QHash<QString, QGroupBox *> m_groupByCaption;
    QHash<QString, QWidget *> m_controls;
    QHash<QString, QLabel *> m_labels;
    QHash<QString, TXStringGrid *> m_grids;
    QHash<QString, TCellEditor *> m_cellEditors;

    QPushButton *m_rbtn = nullptr;
    QPushButton *m_wbtn = nullptr;
    QPushButton *m_button3 = nullptr;
    QToolButton *m_fileButton = nullptr;
    QProgressBar *m_progressBar1 = nullptr;
    QTimer m_timer1;
    TSafeWrite *m_safeWrite = nullptr;
    TRadioImage m_readBlocks = TRadioImage::None();  // the blocks of this window's read that runs
    TSafeWrite::PriorRead m_lastRead;                 // this window's last read, saved as a backup
    bool m_heldElsewhere = false;
    bool m_reading = false;  // this window's read runs (another window may move this area too)
    int m_readRun = 0;       // which read: the blocks of one read merge into one step
    static constexpr int kReadStepKey = 1 << 20;  // beyond every box's merge key
    bool m_comparing = false;  // that read is for a compare: the texts stay
    bool m_loading = false;  // texts are being shown: control signals are not edits
    std::unique_ptr<TSnapshotHistory<TEditorSnapshot>> m_history;
    // Whether an undo, redo or edit moved the texts since this window's transfer began (an undo
    // then an edit leave the step count where it was).
    bool m_movedDuringTransfer = false;
    int m_pendingBox = -1;  // the box whose change waits for its step, by its place in the specs
    QMetaObject::Connection m_focusWatch;  // ends a box's run of keys as the focus leaves it
    QMetaObject::Connection m_stepWatch;   // notes steps taken or undone during a transfer
};
