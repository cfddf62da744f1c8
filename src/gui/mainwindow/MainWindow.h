#pragma once

#include "mainconfig/MainConfig.h"
#include "backup/SafeWrite.h"
#include "mainwindow/FleetDialog.h"
#include "protocol/ProgramLink.h"

#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QComboBox;
class QFileDialog;
class QPushButton;
class TCellEditor;
class TChannelPlanActions;
class TForm3;
class TMainEditing;
class TRestoreActions;
class TSilenceWatch;
class TXStringGrid;

// The main window: the channel table `xg` and the ten settings boxes, the port list `comcbb`,
// the Write and Read buttons with F11 and F12, the File menu and the menu that opens the four
// signalling editors. It owns the programming link (and so the one serial port) and the main
// configuration; the grid and the boxes show the model's texts and hand every edit to it.
//
// While a transfer runs, Read, Write, the port list, File/Open and the CSV import are disabled; during a main
// read or write the table and the boxes are read-only as well. F11 during a main write and F12
// during a main read restart that transfer from the handshake.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kDesignWidth = 923;
    static constexpr int kDesignHeight = 625;

    // screen: the screen size the layout adapts to; the primary screen's when not given.
    explicit TForm1(std::unique_ptr<TSerialChannel> port, std::optional<QSize> screen = std::nullopt,
                    QWidget *parent = nullptr);
    ~TForm1() override;

    // The windows created after this one at start-up.
    void SetWindows(TForm3 *progress, QWidget *dtmf, QWidget *twoTone, QWidget *fiveTone, QWidget *fsk);
    // The four signalling tables as the editors hold them, for 批量写频; throws EConvertError
    // for a text that does not fit, empty when an editor refused a text still being typed.
    void SetSignallingSource(std::function<std::optional<TRadioImage>()> source) { m_signallingSource = std::move(source); }
    // The names of the signalling tables whose changes are neither written nor saved, asked on
    // closing the program.
    void SetUnsavedTablesSource(std::function<QStringList()> source) { m_unsavedTables = std::move(source); }
    // 文件 → 批量写频…; nullptr before it was first opened.
    TFleetDialog *FleetDialog() const { return m_fleetDialog; }

    TProgramLink &Link() { return *m_link; }
    TMainConfig &Config() { return m_config; }
    // The controls' own widget, placed by pixels; the window scrolls it when smaller.
    QWidget *Client() const { return m_client; }
    TForm3 *Form3() const { return m_form3; }
    TMainEditing &Editing() const { return *m_editing; }
    // The .qz file last loaded or saved; empty before the first.
    QString FileName() const { return m_fileName; }

    TXStringGrid *xg() const { return m_xg; }
    QComboBox *comcbb() const { return m_comcbb; }
    QPushButton *wbtn() const { return m_wbtn; }
    QPushButton *rbtn() const { return m_rbtn; }
    QComboBox *ComboBox(int box) const { return m_boxes.at(static_cast<std::size_t>(box - 1)); }

    // The port the user chose: the text of comcbb, or the name behind a listed entry's label
    // ("/dev/ttyUSB0 — Prolific …" opens /dev/serial/by-id/… when there is one).
    QString PortName() const;
    // Lists the ports afresh (the drop-down opens, a device came or went), keeping the choice;
    // an open 批量写频 dialog gets them too.
    void RefreshPorts();
    // The listed ports as 批量写频 offers them.
    QList<TFleetDialog::Port> FleetPorts() const;
    // Chooses the listed port with that name or label, or that leads to the same device; false
    // when it is not listed.
    bool SelectPort(const QString &name);

    // Replaces list with the serial ports present; unchanged when they cannot be listed.
    static void ListSerialPorts(QStringList &list);
    void AdaptToSmallScreen(const QSize &screen);
    // Widens the boxes, buttons and columns that are narrower than their texts in the current
    // language and font; call again when the port list changes.
    void FitToTexts();
    // "对讲机写频软件 V1.1.4", in the current language.
    static QString Caption();
    void ScaleToScreen(const QSize &screen);

public Q_SLOTS:
    void wbtnClick();
    void rbtnClick();
    void N3Click();  // File / Open
    void N5Click();  // File / Save: to the current file, or as SaveAs1 when there is none
    void SaveAs1Click();  // File / Save as
    void N1Click();  // File / Exit
    void DTMF1Click();
    void N2tone1Click();
    void N5TONE1Click();
    void N4Click();
    void FleetWriteClick();  // File / 批量写频…
    void LanguageClick(const QString &code);  // 语言 / Language: remembered for the next start
    void AboutClick();                        // 帮助 / 关于
    void Button1Click();  // progress window: Retry
    void Button2Click();  // progress window: Cancel
    void FormActivate();

    // What Open and Save do after their dialog; errors are shown to the user.
    void LoadFile(const QString &path);
    bool SaveFile(const QString &path);
    // A file named at the start or dropped on the window: a CSV channel list is imported (the
    // start channel asked), anything else opened as a .qz file.
    void OpenOrImport(const QString &path);

Q_SIGNALS:
    // A restore or 批量写频 is about to write or has written radios, or the chosen port went away
    // (its cable may come back on another radio): a read made before no longer says what a
    // radio holds, and must not serve as a write's backup.
    void LastReadsOutdated();
    // 批量写频 began or ended: the editors' transfers wait for it.
    void PortsHeldElsewhere(bool held);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    // With unsaved changes the user chooses: save, don't save, or keep the window open.
    void closeEvent(QCloseEvent *event) override;
    // One .qz file or CSV list dropped from a file manager.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Bytes are going to a radio now: this window's or an editor's write, or 批量写频.
    bool IsWriting() const;
    bool ReadFillsTable() const;
    bool ChangesSavedOrDropped();
    void FormCreate(const QSize &screen);
    void RememberPort();  // the port just opened is the one chosen at the next start
    void BuildMenus();
    void BuildSettings(QWidget *client);
    void BuildGrid(QWidget *client);
    void BuildBottom(QWidget *client);
    void BuildHelpMenus();
    int ControlsRight() const;  // right edge of the rightmost control
    void SetTabOrder();

    void xgSetEditText(int col, int row, const QString &value);
    void ShowCell(int row, int col);
    void ShowSetting(int box);
    void ShowAllTexts();

    void ShowEditor(QWidget *editor);
    bool StartMainTransfer(TransferKind kind);
    bool RunsOwn(TransferKind kind) const;
    bool FleetRunning() const;
    void ForgetLastReads();
    void OnBusyChanged();
    void OnProgressed(TransferKind kind, int area, int answers);
    void OnFinished(TransferKind kind, int area, TransferEnd reason);
    void OnSilenceChanged(bool silent, int resends);
    void OnSafeWritePhase(TSafeWrite::Phase phase);
    void OnSafeWriteFinished(const TSafeWrite::Outcome &outcome);
    void ReportWrite(const TSafeWrite::Outcome &outcome);
    void CancelTransfer();  // ends the transfer without a word (Retry, quitting)
    void SaveReadAsBackup();
    void RecordRead();
    // A backup or verify read of a safe write or a restore: not the window's own transfer.
    bool OthersTransfer() const;
    void CompareWithRadio();
    std::optional<TRadioImage> FleetImage(bool withSignalling);
    void ShowComparison(TransferEnd reason);
    void SetTableEditable(bool editable);
    void UpdateCaption();
    void MarkSaved();
    void OnModifiedChanged();
    void HideProgressWindow();
    void UpdateSignallingMenu();

    TMainConfig m_config;
    std::unique_ptr<TProgramLink> m_link;

    QWidget *m_client = nullptr;
    TXStringGrid *m_xg = nullptr;
    std::array<QComboBox *, kSettingBoxCount> m_boxes{};
    QComboBox *m_comcbb = nullptr;
    QPushButton *m_wbtn = nullptr;
    QPushButton *m_rbtn = nullptr;

    QAction *m_n3 = nullptr;
    QAction *m_n5 = nullptr;
    QAction *m_saveAs1 = nullptr;
    QAction *m_n1 = nullptr;
    std::array<QAction *, 4> m_signallingItems{};
    QAction *m_compare = nullptr;     // "与电台比较"
    QFileDialog *m_openDialog1 = nullptr;
    QFileDialog *m_saveDialog1 = nullptr;
    TChannelPlanActions *m_plan = nullptr;

    TMainEditing *m_editing = nullptr;
    QString m_fileName;
    QString m_cleanFile;  // the file the saved texts went with

    TForm3 *m_form3 = nullptr;
    TSilenceWatch *m_silence = nullptr;
    TSafeWrite *m_safeWrite = nullptr;
    TRestoreActions *m_restoreActions = nullptr;      // 从备份恢复… and 恢复备份
    TRadioImage m_readBlocks = TRadioImage::None();  // the blocks of the read that runs
    TSafeWrite::PriorRead m_lastRead;                 // this run's last read, saved as a backup
    QAction *m_verifyAction = nullptr;                // "写入后校验"
    bool m_comparing = false;                         // the read that runs is for 与电台比较
    bool m_tellCancelledWrite = false;                // 取消 was clicked: not a Retry, not a quit
    bool m_plainRead = false;                         // a read or compare of this window's own runs
    TFleetDialog *m_fleetDialog = nullptr;
    std::function<std::optional<TRadioImage>()> m_signallingSource;
    std::function<QStringList()> m_unsavedTables;

    QPointer<QWidget> m_dtmf;
    QPointer<QWidget> m_twoTone;
    QPointer<QWidget> m_fiveTone;
    QPointer<QWidget> m_fsk;

    TransferKind m_lastMainKind = TransferKind::None;  // what Retry restarts
    bool m_fitted = false;   // columns grow with the texts shown from now on
    bool m_showing = false;  // model texts are being shown: control signals are not edits
};
