#include "mainwindow/MainWindow.h"

#include "base/PortDevice.h"
#include "base/ShownText.h"
#include "base/TextConvert.h"
#include "base/Version.h"
#include "compare/BlockCompare.h"
#include "compare/FieldDiff.h"
#include "dialogs/FileFolders.h"
#include "dialogs/Language.h"
#include "dialogs/MessageBox.h"
#include "dialogs/OpenedFile.h"
#include "dialogs/ScrolledControls.h"
#include "dialogs/TransferMessages.h"
#include "grid/ComboCellEditor.h"
#include "grid/EditCellEditor.h"
#include "grid/XStringGrid.h"
#include "undo/BoxUndoKeys.h"
#include "mainconfig/ConfigFile.h"
#include "mainconfig/MainCodec.h"
#include "mainwindow/ChannelPlanActions.h"
#include "mainwindow/FleetDialog.h"
#include "mainwindow/MainEditing.h"
#include "mainwindow/PortBox.h"
#include "mainwindow/ProgressWindow.h"
#include "mainwindow/RestoreActions.h"
#include "protocol/SilenceWatch.h"
#include "serial/PortWatcher.h"
#include "serial/SerialPorts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QSettings>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QDropEvent>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTimer>

#include <cmath>

namespace {

// What a main read brings: the channels and the settings.
const QList<int> kMainAreas{frame::kMainArea, frame::kSettingsArea};

// No text puts a space into the table or a settings box, typed or pasted: a text of spaces is
// empty. Tabs, line breaks and the wide spaces of an input method count as spaces.
QString WithoutSpaces(QString text)
{
    text.removeIf([](QChar c) { return c.isSpace(); });
    return text;
}

// Where each settings box and its label sit (label left/top, box left/top/width), as designed.
struct SettingPlace {
    int box;
    int labelLeft, labelTop;
    int left, top, width;
};

constexpr SettingPlace kSettingPlaces[] = {
    {VoxLevelBox, 24, 16, 88, 8, 81},     {TimeOutBox, 184, 16, 264, 8, 81},
    {PowerSaveBox, 384, 16, 424, 8, 41},  {Pf1Box, 496, 16, 528, 8, 113},
    {VoicePromptBox, 672, 16, 736, 8, 57}, {VoxDelayBox, 24, 56, 112, 48, 57},
    {SquelchBox, 192, 56, 264, 48, 81},   {ScanBox, 384, 56, 424, 48, 41},
    {Pf2Box, 496, 56, 528, 48, 113},      {AlarmBox, 696, 56, 736, 48, 41},
};

constexpr int kBoxHeight = 21;
const QString kLastPortKey = QStringLiteral("port/last");
// Each entry of the port list also keeps the device its name led to when listed: a port typed or
// remembered by its device is that entry, also once its link has gone.
constexpr int kPortDeviceRole = Qt::UserRole + 1;
constexpr int kRowHeight = 24;
constexpr int kRetryPauseMs = 100;
constexpr int kMainWriteSteps = frame::kMainAnswers - 1;  // progress range of a main write
constexpr int kMainReadSteps = frame::kChannelCount;     // progress range of a main read
constexpr int kSilenceNoteMs = 3000;  // quiet before the progress window says the radio is silent
const QString kVerifySetting = QStringLiteral("write/verify");

bool IsMainTransfer(TransferKind kind, int /*area*/)
{
    return kind == TransferKind::MainRead || kind == TransferKind::MainWrite;
}

QSize PrimaryScreenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(1024, 768);
}

int Scaled(int value, double ratio)
{
    return static_cast<int>(std::lround(value * ratio));
}

void ScaleFont(QWidget &widget, double ratio)
{
    QFont font = widget.font();
    if (font.pixelSize() > 0)
        font.setPixelSize(qMax(1, Scaled(font.pixelSize(), ratio)));
    else if (font.pointSizeF() > 0)
        font.setPointSizeF(qMax(1.0, std::round(font.pointSizeF() * ratio)));
    widget.setFont(font);
}

void ScaleGeometry(QWidget &widget, double w, double h)
{
    const QRect g = widget.geometry();
    widget.setGeometry(Scaled(g.left(), w), Scaled(g.top(), h), Scaled(g.width(), w), Scaled(g.height(), h));
}

// A cell editor of the channel table, owned by the window like its other controls. Grid and
// editor each let go of the other when destroyed, so Qt may free them in either order.
TCellEditor *NewCellEditor(const ChannelColumn &column, QObject *owner)
{
    TCellEditor *editor = nullptr;
    if (column.editor == EditorKind::Combo) {
        auto *combo = new TComboCellEditor(owner);
        combo->SetItems(column.items);
        combo->SetDefaultText(column.defaultText);
        editor = combo;
    } else {
        auto *edit = new TEditCellEditor(owner);
        edit->SetDefaultText(column.defaultText);
        editor = edit;
    }
    editor->setObjectName(column.editorName);
    return editor;
}

}  // namespace

TForm1::TForm1(std::unique_ptr<TSerialChannel> port, std::optional<QSize> screen, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_link(std::make_unique<TProgramLink>(std::move(port)))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Caption());

    // A window smaller than its controls (a small or scaled screen, or made so by the user)
    // scrolls them: the form's controls keep their places, as its layout fixes them.
    QScrollArea *scroll = NewControlsScroll(this);
    m_client = scroll->widget();
    setCentralWidget(scroll);
    QWidget *client = m_client;
    BuildMenus();
    BuildSettings(client);
    BuildGrid(client);
    BuildBottom(client);
    SetTabOrder();
    resize(kDesignWidth, kDesignHeight);
    move(-1, 4);

    connect(&m_config, &TMainConfig::CellChanged, this, &TForm1::ShowCell);
    connect(&m_config, &TMainConfig::SettingChanged, this, &TForm1::ShowSetting);
    connect(m_link.get(), &TProgramLink::MainBlockRead, this, [this](int area, int block, const Block &data) {
        if (m_safeWrite->IsReading() || m_restoreActions->IsRunning())
            return;  // a backup or verify read, or a restore: the radio's blocks, not the table's
        m_readBlocks.setBlock(area, block, data);
        if (!m_comparing)
            DecodeMainBlock(m_config, area, block, data);
    });
    connect(m_link.get(), &TProgramLink::BusyChanged, this, &TForm1::OnBusyChanged);
    connect(m_link.get(), &TProgramLink::PortOpenChanged, this, &TForm1::OnBusyChanged);
    connect(m_link.get(), &TProgramLink::PortOpenChanged, this, &TForm1::RememberPort);
    connect(m_link.get(), &TProgramLink::PortGone, this, &TForm1::ForgetLastReads);
    connect(m_link.get(), &TProgramLink::Progressed, this, &TForm1::OnProgressed);
    connect(m_link.get(), &TProgramLink::Finished, this, &TForm1::OnFinished);
    // Made after the window's own handler of Finished, which thus sees a safe write's
    // transfers while it still runs and leaves them to it.
    m_safeWrite = new TSafeWrite(*m_link, TBackupStore(), QStringLiteral("xiepin"), this);
    connect(m_safeWrite, &TSafeWrite::PhaseChanged, this, &TForm1::OnSafeWritePhase);
    connect(m_safeWrite, &TSafeWrite::Finished, this, &TForm1::OnSafeWriteFinished);
    m_silence = new TSilenceWatch(*m_link, kSilenceNoteMs, IsMainTransfer, this);
    connect(m_silence, &TSilenceWatch::SilenceChanged, this, &TForm1::OnSilenceChanged);
    qApp->installEventFilter(this);

    ShowAllTexts();
    FormCreate(screen.value_or(PrimaryScreenSize()));

    // The history starts from the texts as the window shows them at start.
    m_editing = new TMainEditing(m_config, *m_xg, *this);
    menuBar()->insertMenu(findChild<QMenu *>(QStringLiteral("N11111"))->menuAction(), m_editing->EditMenu());
    connect(m_editing, &TMainEditing::ModifiedChanged, this, &TForm1::OnModifiedChanged);
    BuildHelpMenus();
    FitToTexts();
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
}

void TForm1::SetWindows(TForm3 *progress, QWidget *dtmf, QWidget *twoTone, QWidget *fiveTone, QWidget *fsk)
{
    m_form3 = progress;
    m_dtmf = dtmf;
    m_twoTone = twoTone;
    m_fiveTone = fiveTone;
    m_fsk = fsk;
    if (m_form3) {
        connect(m_form3, &TForm3::RetryClicked, this, &TForm1::Button1Click);
        connect(m_form3, &TForm3::CancelClicked, this, &TForm1::Button2Click);
    }
}

// --- building

void TForm1::FormCreate(const QSize &screen)
{
    AdaptToSmallScreen(screen);
    RefreshPorts();
    if (m_comcbb->count() > 0)
        m_comcbb->setCurrentIndex(0);
    // A remembered port not there now stays chosen by its name: another port of the list may
    // hold another radio.
    const QString last = QSettings().value(kLastPortKey).toString();
    if (!last.isEmpty() && !SelectPort(last))
        m_comcbb->setEditText(last);
    m_restoreActions->OfferNotedFor(PortName());
    m_saveDialog1->setDefaultSuffix(QStringLiteral("qz"));
    setAcceptDrops(true);
    UpdateSignallingMenu();
}

void TForm1::BuildMenus()
{
    QMenu *file = menuBar()->addMenu(tr("文件"));
    file->setObjectName(QStringLiteral("N2"));
    m_n3 = file->addAction(tr("打开"), this, &TForm1::N3Click);
    m_n3->setObjectName(QStringLiteral("N3"));
    m_n5 = file->addAction(tr("保存"), this, &TForm1::N5Click);
    m_n5->setObjectName(QStringLiteral("N5"));
    m_saveAs1 = file->addAction(tr("另存为…"), this, &TForm1::SaveAs1Click);
    m_saveAs1->setObjectName(QStringLiteral("SaveAs1"));
    m_n1 = file->addAction(tr("退出"), this, &TForm1::N1Click);
    m_n1->setObjectName(QStringLiteral("N1"));
    // The keys every desktop program has for these.
    m_n3->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_n5->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_saveAs1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    m_n1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_plan = new TChannelPlanActions(this, m_config,
                                     {[this] { return m_xg->Row(); }, [this] { return m_fileName; },
                                      [this](const QString &step) { m_editing->Record(step); },
                                      [this] { return m_editing->CommitOpenCell(); }},
                                     file, m_n1);
    m_verifyAction = new QAction(tr("写入后校验"), this);
    m_verifyAction->setObjectName(QStringLiteral("VerifyAfterWrite"));
    m_verifyAction->setCheckable(true);
    m_verifyAction->setChecked(QSettings().value(kVerifySetting, true).toBool());
    connect(m_verifyAction, &QAction::toggled, this, [](bool on) { QSettings().setValue(kVerifySetting, on); });
    file->insertAction(m_n1, m_verifyAction);
    m_restoreActions = new TRestoreActions(this, *m_link,
                                           {[this] { return PortName(); }, [this] { return m_verifyAction->isChecked(); },
                                            [this] { return m_form3; }},
                                           file, m_n1);
    // 恢复备份 follows the backups folder's note, which the editors' writes and other programs change too.
    connect(file, &QMenu::aboutToShow, this, [this] { m_restoreActions->OfferNotedFor(PortName()); });
    connect(m_restoreActions, &TRestoreActions::Finished, this, [this] {
        HideProgressWindow();
        ForgetLastReads();  // the radio holds what was put back now
    });
    m_compare = new QAction(tr("与电台比较"), this);
    m_compare->setObjectName(QStringLiteral("CompareWithRadio"));
    connect(m_compare, &QAction::triggered, this, &TForm1::CompareWithRadio);
    file->insertAction(m_n1, m_compare);
    QAction *fleet = new QAction(tr("批量写频…"), this);
    fleet->setObjectName(QStringLiteral("FleetWrite"));
    connect(fleet, &QAction::triggered, this, &TForm1::FleetWriteClick);
    file->insertAction(m_n1, fleet);
    file->insertSeparator(m_n1);

    QMenu *signalling = menuBar()->addMenu(tr("信令编辑"));
    signalling->setObjectName(QStringLiteral("N11111"));
    m_signallingItems[0] = signalling->addAction(ShownText(QString::fromUtf8(AreaFacts(frame::kDtmfArea).title)), this, &TForm1::DTMF1Click);
    m_signallingItems[0]->setObjectName(QStringLiteral("DTMF1"));
    m_signallingItems[1] = signalling->addAction(ShownText(QString::fromUtf8(AreaFacts(frame::kTwoToneArea).title)), this, &TForm1::N2tone1Click);
    m_signallingItems[1]->setObjectName(QStringLiteral("N2tone1"));
    m_signallingItems[2] = signalling->addAction(ShownText(QString::fromUtf8(AreaFacts(frame::kFiveToneArea).title)), this, &TForm1::N5TONE1Click);
    m_signallingItems[2]->setObjectName(QStringLiteral("N5TONE1"));
    m_signallingItems[3] = signalling->addAction(ShownText(QString::fromUtf8(AreaFacts(frame::kFskArea).title)), this, &TForm1::N4Click);
    m_signallingItems[3]->setObjectName(QStringLiteral("N4"));

    // Non-native dialogs, so they look the same everywhere and tests can answer them.
    for (QFileDialog **dialog : {&m_openDialog1, &m_saveDialog1}) {
        *dialog = new QFileDialog(this);
        (*dialog)->setOption(QFileDialog::DontUseNativeDialog);
        (*dialog)->setOption(QFileDialog::DontConfirmOverwrite);
        (*dialog)->setNameFilter(QStringLiteral("*.qz"));
        (*dialog)->setDefaultSuffix(QStringLiteral("qz"));
    }
    m_openDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    m_openDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    m_openDialog1->setFileMode(QFileDialog::AnyFile);
    m_saveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    m_saveDialog1->setAcceptMode(QFileDialog::AcceptSave);
}

void TForm1::BuildSettings(QWidget *client)
{
    for (const SettingPlace &place : kSettingPlaces) {
        const SettingDef &def = SettingDefinition(place.box);
        auto *label = new QLabel(ShownText(def.label), client);
        label->setObjectName(QStringLiteral("Label%1").arg(place.box));
        label->move(place.labelLeft, place.labelTop - 3);
        label->adjustSize();
        auto *box = new QComboBox(client);
        box->setObjectName(def.controlName);
        box->setEditable(true);
        box->setCompleter(nullptr);  // a typed "1" must not become "10" from the list
        new TBoxUndoKeys(box, box->lineEdit());
        box->addItems(ShownTexts(def.items));
        box->setGeometry(place.left, place.top, place.width, kBoxHeight);
        const int index = place.box;
        connect(box, &QComboBox::editTextChanged, this, [this, box, index](const QString &text) {
            if (m_showing)
                return;
            // An entry of the list keeps its spaces: English names have them.
            if (const QString kept = WithoutSpaces(text); kept != text && box->findText(text) < 0) {
                box->setEditText(kept);  // comes back here with the text kept
                return;
            }
            m_config.SetSetting(index, StoredText(text, SettingDefinition(index).items));
            if (m_editing)
                m_editing->SettingEdited(index);
        });
        m_boxes[static_cast<std::size_t>(place.box - 1)] = box;
    }
}

void TForm1::BuildGrid(QWidget *client)
{
    m_xg = new TXStringGrid(client);
    m_xg->setObjectName(QStringLiteral("xg"));
    m_xg->SetColCount(TMainConfig::kCols);
    m_xg->SetRowCount(TMainConfig::kRows);
    m_xg->SetFixedCols(1);
    m_xg->SetFixedRows(1);
    m_xg->SetDefaultRowHeight(kRowHeight);
    m_xg->SetOptions(TGridOption::Editing | TGridOption::RangeSelect);
    m_xg->SetImmediateEditMode(true);
    m_xg->SetFixedLineColor(Qt::black);
    m_xg->setGeometry(16, 84, 881, 433);

    // One editor component per editor name; columns naming the same one share it.
    QHash<QString, TCellEditor *> editors;
    const QVector<ChannelColumn> &columns = ChannelColumns();
    for (int col = 0; col < columns.size(); ++col) {
        const ChannelColumn &column = columns[col];
        TXStringColumnItem &item = m_xg->Columns()[col];
        item.SetCaption(column.caption);
        item.SetWidth(column.width);
        item.SetAlignment(Qt::AlignCenter);
        item.SetHeaderAlignment(Qt::AlignCenter);
        if (column.editor == EditorKind::None)
            continue;
        TCellEditor *editor = editors.value(column.editorName);
        if (!editor) {
            editor = NewCellEditor(column, this);
            editors.insert(column.editorName, editor);
        }
        item.SetEditor(editor);
    }
    m_xg->OnSetEditText = [this](int col, int row, const QString &value) { xgSetEditText(col, row, value); };
}

void TForm1::BuildBottom(QWidget *client)
{
    auto *ports = new TPortBox(client);
    m_comcbb = ports;
    m_comcbb->setObjectName(QStringLiteral("comcbb"));
    m_comcbb->setEditable(true);
    m_comcbb->setCompleter(nullptr);
    m_comcbb->setGeometry(24, 528, 121, kBoxHeight);
    connect(ports, &TPortBox::PopupOpening, this, &TForm1::RefreshPorts);
    connect(m_comcbb, &QComboBox::editTextChanged, m_comcbb, &QWidget::setToolTip);
    connect(new TPortWatcher(this), &TPortWatcher::PortsChanged, this, &TForm1::RefreshPorts);
    connect(m_comcbb, &QComboBox::editTextChanged, this, [this] {
        if (m_fitted)
            FitToTexts();
        m_restoreActions->OfferNotedFor(PortName());
    });

    m_wbtn = new QPushButton(tr("写频(&W)(F11)"), client);
    m_wbtn->setObjectName(QStringLiteral("wbtn"));
    m_wbtn->setGeometry(304, 528, 100, 35);
    connect(m_wbtn, &QPushButton::clicked, this, &TForm1::wbtnClick);

    m_rbtn = new QPushButton(tr("读频(&R)(F12)"), client);
    m_rbtn->setObjectName(QStringLiteral("rbtn"));
    m_rbtn->setGeometry(496, 528, 100, 35);
    connect(m_rbtn, &QPushButton::clicked, this, &TForm1::rbtnClick);
}

void TForm1::BuildHelpMenus()
{
    // Named in both languages, so that either reader finds the way back.
    QMenu *language = menuBar()->addMenu(QStringLiteral("语言 / Language"));
    language->setObjectName(QStringLiteral("Language1"));
    auto *choices = new QActionGroup(language);
    const QString names[] = {QStringLiteral("中文"), QStringLiteral("English")};
    for (int i = 0; i < Languages().size(); ++i) {
        const QString code = Languages().at(i);
        QAction *item = language->addAction(names[i], this, [this, code] { LanguageClick(code); });
        item->setObjectName(QStringLiteral("Language_") + code);
        item->setCheckable(true);
        item->setChecked(code == CurrentLanguage());
        choices->addAction(item);
    }

    QMenu *help = menuBar()->addMenu(tr("帮助"));
    help->setObjectName(QStringLiteral("Help1"));
    help->addAction(tr("关于"), this, &TForm1::AboutClick)->setObjectName(QStringLiteral("About1"));
}

void TForm1::LanguageClick(const QString &code)
{
    SaveLanguage(code);
    if (code == CurrentLanguage())
        return;
    // Told in both languages: the reader may know only the one not shown yet.
    ShowMessage(this, QStringLiteral("界面语言将在下次启动时更改。\nThe language changes at the next start."));
}

void TForm1::AboutClick()
{
    ShowMessage(this, tr("对讲机写频软件\n版本 %1\n\n以 MIT 许可证发布（见 LICENSE 文件）。")
                          .arg(QString::fromLatin1(kXiepinVersion)));
}

QString TForm1::Caption()
{
    return tr("对讲机写频软件 V%1").arg(QString::fromLatin1(kXiepinVersion));
}

// --- fitting the texts

namespace {

constexpr int kGap = 4;

// Moves `label` right of `left` when it would touch it; its right edge.
int FlowLabel(QLabel *label, int left)
{
    label->adjustSize();
    label->move(qMax(label->x(), left), label->y());
    return label->geometry().right() + 1;
}

// Moves and widens `control` so it starts at or right of `left` and shows its widest text.
int FlowControl(QWidget *control, int left)
{
    control->ensurePolished();  // the style's margins count
    int width = qMax(control->width(), control->sizeHint().width());
    if (auto *box = qobject_cast<QComboBox *>(control)) {
        // The widest entry, or the typed text (a port path) when that is wider.
        int widest = box->fontMetrics().horizontalAdvance(box->currentText());
        for (int i = 0; i < box->count(); ++i)
            widest = qMax(widest, box->fontMetrics().horizontalAdvance(box->itemText(i)));
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.editable = box->isEditable();
        const QSize text(widest + kGap, box->height());
        width = qMax(width, box->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, box).width());
    }
    control->setGeometry(qMax(control->x(), left), control->y(), width, control->height());
    return control->geometry().right() + 1;
}

}  // namespace

void TForm1::FitToTexts()
{
    // The designed places and widths are the least each control takes: a wider text widens
    // its control and moves the ones to its right along, and the window grows by what the
    // controls grew past their old right edge.
    const int before = ControlsRight();
    for (const int top : {kSettingPlaces[0].top, kSettingPlaces[5].top}) {
        int left = 0;
        for (const SettingPlace &place : kSettingPlaces) {
            if (place.top != top)
                continue;
            left = FlowLabel(findChild<QLabel *>(QStringLiteral("Label%1").arg(place.box)), left + kGap);
            left = FlowControl(ComboBox(place.box), left + kGap);
        }
    }
    int left = 0;
    for (QWidget *control : {static_cast<QWidget *>(m_comcbb), static_cast<QWidget *>(m_wbtn),
                             static_cast<QWidget *>(m_rbtn)})
        left = FlowControl(control, left + kGap);

    m_xg->GrowColumnsToText();
    m_fitted = true;
    int columns = 2 * m_xg->frameWidth() + m_xg->verticalScrollBar()->sizeHint().width();
    for (int col = 0; col < m_xg->ColCount(); ++col)
        columns += m_xg->ColWidths(col) + m_xg->GridLineWidth();  // each column draws its line
    if (columns > m_xg->width())
        m_xg->resize(columns, m_xg->height());
    if (const int grown = ControlsRight() - before; grown > 0)
        resize(width() + grown, height());
    KeepControlsReachable(m_client, kGap);
}

int TForm1::ControlsRight() const
{
    int right = 0;
    for (const QWidget *control : m_client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        right = qMax(right, control->geometry().right() + 1);
    return right;
}

void TForm1::SetTabOrder()
{
    QList<QWidget *> order{m_xg, m_comcbb, m_wbtn, m_rbtn};
    for (QComboBox *box : m_boxes)
        order << box;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// --- texts

void TForm1::xgSetEditText(int col, int row, const QString &value)
{
    if (m_showing)
        return;
    const QString text = WithoutSpaces(value);
    if (text != value)
        m_xg->SetCells(col, row, text);
    // The rules act on the cell that was committed: the current cell may already have moved.
    // A text that does not convert stays in its cell, and that is a change too.
    try {
        m_config.SetEditText(row, col, text);
    } catch (...) {
        m_editing->CellCommitted();
        throw;
    }
    m_editing->CellCommitted();
}

void TForm1::ShowCell(int row, int col)
{
    const bool was = std::exchange(m_showing, true);
    m_xg->SetCells(col, row, m_config.Cell(row, col));
    if (m_fitted && row > 0)
        m_xg->GrowColumnToText(col);
    m_showing = was;
}

void TForm1::ShowSetting(int box)
{
    QComboBox *combo = ComboBox(box);
    const QString shown = ShownText(m_config.Setting(box));
    if (combo->currentText() == shown)
        return;
    const bool was = std::exchange(m_showing, true);
    combo->setEditText(shown);
    m_showing = was;
}

void TForm1::ShowAllTexts()
{
    for (int row = 0; row < TMainConfig::kRows; ++row) {
        for (int col = 0; col < TMainConfig::kCols; ++col)
            ShowCell(row, col);
    }
    for (int box = 1; box <= kSettingBoxCount; ++box)
        ShowSetting(box);
}

void TForm1::FormActivate()
{
    m_config.RenumberChannels();
}

bool TForm1::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QMainWindow::event(event);
}

// Key preview: the window sees each key before the focused control does.
bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    // macOS hands a file opened from the Finder or dropped on the program's icon to the application.
    if (event->type() == QEvent::FileOpen && watched == qApp) {
        OpenOrImport(static_cast<QFileOpenEvent *>(event)->file());
        return true;
    }
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QMainWindow::eventFilter(watched, event);
    auto *widget = static_cast<QWidget *>(watched);
    QWidget *focus = QApplication::focusWidget();
    // A key that the focused control ignores travels on to its parents: act on it once.
    const bool first = focus ? widget == focus : widget == this;
    if (!first || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_F11 || key->key() == Qt::Key_F12) {
        if (key->key() == Qt::Key_F11)
            wbtnClick();
        else
            rbtnClick();
        // The key goes on to the focused control, unless starting moved the focus (a cell being
        // typed in was committed): the control next in line would take it as a second press.
        if (QApplication::focusWidget() != focus)
            return true;
    } else if (key->text() == QStringLiteral(" ")) {
        return true;  // the space bar reaches no control of this window
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- ports

QString TForm1::PortName() const
{
    const QString text = m_comcbb->currentText();
    const int index = m_comcbb->findText(text, Qt::MatchExactly);
    const QVariant name = index >= 0 ? m_comcbb->itemData(index) : QVariant();
    return name.isValid() ? name.toString() : text;
}

void TForm1::RefreshPorts()
{
    const std::optional<std::vector<TPortEntry>> entries = DescribeSerialDevices();
    if (!entries)
        return;
    const QString chosen = PortName();
    const bool listed = m_comcbb->findData(chosen) >= 0 || m_comcbb->findData(PortDevice(chosen), kPortDeviceRole) >= 0;
    const QSignalBlocker quiet(m_comcbb);
    m_comcbb->clear();
    for (const TPortEntry &entry : *entries) {
        const QString name = PortOpenName(entry);
        m_comcbb->addItem(PortLabel(entry, tr("虚拟电台")), name);
        m_comcbb->setItemData(m_comcbb->count() - 1, PortDevice(name), kPortDeviceRole);
    }
    // The drop-down may be wider than the box, so the descriptions are read whole.
    m_comcbb->view()->setMinimumWidth(m_comcbb->view()->sizeHintForColumn(0) + 2 * m_comcbb->view()->frameWidth());
    // A port that has gone stays chosen by its name, to be opened when it is back, perhaps on
    // another radio.
    if (!SelectPort(chosen)) {
        m_comcbb->setEditText(chosen);
        if (listed)
            ForgetLastReads();
    }
    if (m_fitted)
        FitToTexts();  // the box grows to its longest entry's text
    // An open 批量写频 dialog offers the ports there are now, its ticks kept by name.
    if (m_fleetDialog && !m_fleetDialog->Fleet().IsRunning())
        m_fleetDialog->SetPorts(FleetPorts());
}

QList<TFleetDialog::Port> TForm1::FleetPorts() const
{
    QList<TFleetDialog::Port> ports;
    for (int i = 0; i < m_comcbb->count(); ++i)
        ports << TFleetDialog::Port{m_comcbb->itemText(i), m_comcbb->itemData(i).toString()};
    return ports;
}

bool TForm1::SelectPort(const QString &name)
{
    if (name.isEmpty())
        return false;
    int index = m_comcbb->findData(name);
    if (index < 0)
        index = m_comcbb->findText(name, Qt::MatchExactly);
    if (index < 0 && QFileInfo::exists(name))
        index = m_comcbb->findData(PortDevice(name), kPortDeviceRole);
    if (index >= 0)
        m_comcbb->setCurrentIndex(index);
    return index >= 0;
}

void TForm1::RememberPort()
{
    if (m_link->IsPortOpen())
        QSettings().setValue(kLastPortKey, PortName());
}

void TForm1::ListSerialPorts(QStringList &list)
{
    ::ListSerialPorts(list);
}

// --- transfers

// Only this window's own transfer of that kind restarts: not a restore's, nor a read that is a
// safe write's backup or verify.
bool TForm1::RunsOwn(TransferKind kind) const
{
    if (m_link->Running() != kind || m_restoreActions->IsRunning())
        return false;
    return kind == TransferKind::MainRead ? m_plainRead && !m_safeWrite->IsRunning()
                                          : m_safeWrite->CurrentPhase() == TSafeWrite::Phase::Write;
}

bool TForm1::FleetRunning() const
{
    return m_fleetDialog && m_fleetDialog->Fleet().IsRunning();
}

bool TForm1::StartMainTransfer(TransferKind kind)
{
    if (FleetRunning())
        return false;
    const bool restart = RunsOwn(kind);
    if (m_link->IsBusy() && !restart)
        return false;
    if (!restart && !m_editing->CommitOpenCell())
        return false;
    MainImage image;
    if (kind == TransferKind::MainWrite) {
        // Every text is checked before the handshake goes out.
        try {
            image = BuildMainImage(m_config);
        } catch (const EConvertError &error) {
            ShowError(this, error.message());
            return false;
        }
    }
    try {
        const QString port = PortName();
        bool started = false;
        if (kind == TransferKind::MainRead) {
            m_readBlocks = TRadioImage::None();
            started = m_link->StartMainRead(port);
            m_plainRead = started;
            m_comparing = m_comparing && !started;  // F12 during a compare reads into the table
        } else if (restart) {
            started = m_link->StartMainWrite(port, image);
        } else {
            started = m_safeWrite->StartMain(port, image, m_lastRead, m_verifyAction->isChecked());
        }
        if (!started)
            return false;
    } catch (const ECommsError &error) {
        ShowError(this, QString::fromUtf8(error.what()));
        return false;
    }
    m_lastMainKind = kind;
    UpdateSignallingMenu();
    if (m_form3 && !m_safeWrite->IsRunning()) {  // a safe write shows its steps as they come
        m_form3->ShowBeside(*this);
        m_form3->ShowStep(kind == TransferKind::MainWrite ? TForm3::Step::Write : TForm3::Step::Read);
        m_form3->ShowProgress(kind == TransferKind::MainWrite ? kMainWriteSteps : kMainReadSteps, 0);
    }
    return true;
}

void TForm1::wbtnClick()
{
    StartMainTransfer(TransferKind::MainWrite);
}

void TForm1::rbtnClick()
{
    StartMainTransfer(TransferKind::MainRead);
}

// 取消: a write that had reached the radio says how far it got and where its backup is.
void TForm1::Button2Click()
{
    if (m_restoreActions->IsRunning()) {
        HideProgressWindow();
        m_restoreActions->Cancel();
        return;
    }
    m_tellCancelledWrite = true;
    CancelTransfer();
    m_tellCancelledWrite = false;
}

// The progress window goes first: the end of a write is told within Cancel, and a restore chosen
// there shows its own.
void TForm1::CancelTransfer()
{
    HideProgressWindow();
    m_link->Cancel();
}

void TForm1::HideProgressWindow()
{
    if (!m_form3 || m_form3->isHidden())
        return;
    m_form3->HideProgress();
    m_form3->HideSilence();
    m_form3->hide();
    // Give the keyboard back to the table, as closing the progress window does elsewhere.
    activateWindow();
}

void TForm1::Button1Click()
{
    if (m_restoreActions->IsRunning()) {
        m_restoreActions->Retry(kRetryPauseMs);
        HideProgressWindow();
        return;
    }
    // A write that reads its backup or its verify first is still the write the user started,
    // and a compare is still a compare.
    const TransferKind kind = !m_safeWrite->IsRunning() && IsMainTransfer(m_link->Running(), -1) ? m_link->Running()
                                                                                                   : m_lastMainKind;
    const bool comparing = m_comparing;
    CancelTransfer();
    QTimer::singleShot(kRetryPauseMs, this, [this, kind, comparing] {
        if (comparing)
            CompareWithRadio();
        else if (kind == TransferKind::MainWrite)
            wbtnClick();
        else
            rbtnClick();
    });
}

void TForm1::OnProgressed(TransferKind kind, int /*area*/, int answers)
{
    if (!m_form3)
        return;
    if (m_restoreActions->IsRunning())
        return;  // the restore moves the bar by blocks
    if (kind == TransferKind::MainWrite) {
        m_form3->SetProgressPosition(qMin(answers, kMainWriteSteps));
    } else if (kind == TransferKind::MainRead) {
        // The handshake's acknowledgement moves nothing; the reply to channel 16 hides the bar.
        if (answers > kMainReadSteps)
            m_form3->HideProgress();
        else
            m_form3->SetProgressPosition(qMax(0, answers - 1));
    }
}

void TForm1::OnSilenceChanged(bool silent, int resends)
{
    if (!m_form3)
        return;
    if (silent)
        m_form3->ShowSilence(resends);
    else
        m_form3->HideSilence();
}

bool TForm1::OthersTransfer() const
{
    return m_safeWrite->IsRunning() || m_restoreActions->IsRunning();
}

// Only the ends of this window's own reads and compares: a restore's or a safe write's end
// reaches its own handler, which may already have let go of it here.
void TForm1::OnFinished(TransferKind kind, int /*area*/, TransferEnd reason)
{
    if (kind != TransferKind::MainRead || OthersTransfer() || !std::exchange(m_plainRead, false))
        return;
    HideProgressWindow();
    if (m_comparing) {
        ShowComparison(reason);
        return;
    }
    RecordRead();
    // A read without all its blocks leaves the table unlike the radio: closing asks. So does a
    // read that found the table in the radio while the file named lacks it, as after a write.
    if (reason == TransferEnd::Completed) {
        SaveReadAsBackup();
        if (!TellIncompleteRead(this, kMainAreas, m_readBlocks) && m_fileName.isEmpty())
            MarkSaved();
        if (const std::optional<QString> noted = TellHalfWrittenRead(this, PortName(), m_readBlocks))
            m_restoreActions->Offer(*noted, PortName());  // what the message names
    }
    if (reason == TransferEnd::PortGone)
        ShowError(this, PortGoneText(PortName(), true, m_link->LastTally().done, m_link->LastTally().total));
}

// All blocks of one read are one step, also when it ended early. A read that changed the table
// leaves the radio's contents, not the file's: the file is forgotten, so that 保存 asks where
// instead of writing one radio over a channel plan. Undone, the file comes back.
void TForm1::RecordRead()
{
    const auto forgetFile = [this, file = m_fileName](bool redo) {
        m_fileName = redo ? QString() : file;
        UpdateCaption();
    };
    if (m_editing->Record(tr("读频"), forgetFile))
        forgetFile(true);
}

// Reads the radio's channels and settings without touching the table, and lists where the
// window differs. Nothing is written.
void TForm1::CompareWithRadio()
{
    if (m_link->IsBusy() || FleetRunning() || !m_editing->CommitOpenCell())
        return;
    m_readBlocks = TRadioImage::None();
    try {
        m_comparing = m_link->StartMainRead(PortName());
        m_plainRead = m_comparing;
    } catch (const ECommsError &error) {
        ShowError(this, QString::fromUtf8(error.what()));
        return;
    }
    if (m_comparing && m_form3) {
        m_form3->ShowBeside(*this);
        m_form3->ShowStep(TForm3::Step::Compare);
        m_form3->ShowProgress(kMainReadSteps, 0);
    }
}

void TForm1::ShowComparison(TransferEnd reason)
{
    m_comparing = false;
    if (reason == TransferEnd::PortGone)
        ShowError(this, PortGoneText(PortName(), true, m_link->LastTally().done, m_link->LastTally().total));
    if (reason != TransferEnd::Completed)
        return;
    SaveReadAsBackup();
    if (TellIncompleteRead(this, kMainAreas, m_readBlocks))
        return;  // blocks never read would count as differences
    TMainConfig radio;
    DecodeMainImage(radio, m_readBlocks);
    ShowMessage(this, CompareResultText(MainFieldDiff(radio, m_config)));
}

// Every read of the radio is kept in the backups folder. It is no backup of the next write:
// by then another radio may be on the cable (read one, write many), with nothing on the port
// to tell, and that radio's own memory would be lost. The write reads its own.
void TForm1::SaveReadAsBackup()
{
    QString error;
    m_lastRead = TSafeWrite::PriorRead();
    if (m_safeWrite->SaveRead(m_readBlocks, PortName(), &error).isEmpty())
        ShowError(this, tr("无法保存备份：%1").arg(error));
}

void TForm1::OnSafeWritePhase(TSafeWrite::Phase phase)
{
    if (!m_form3 || phase == TSafeWrite::Phase::Idle)
        return;
    m_form3->ShowBeside(*this);
    m_form3->ShowStep(TForm3::StepOf(phase));
    m_form3->ShowProgress(phase == TSafeWrite::Phase::Write ? kMainWriteSteps : kMainReadSteps, 0);
}

void TForm1::OnSafeWriteFinished(const TSafeWrite::Outcome &outcome)
{
    HideProgressWindow();
    // What the radio holds is known again only after a read; a write that did not end well
    // leaves its backup for the next one, a Retry among them.
    m_lastRead = TSafeWrite::BackupForNextWrite(outcome);
    if (WriteSucceeded(outcome)) {
        // The radio now holds the table; a channel plan opened or saved before does not, and
        // closing must still offer to save it.
        if (m_fileName.isEmpty())
            MarkSaved();
        m_restoreActions->WithdrawFor(PortName());
        m_restoreActions->OfferNotedFor(PortName());  // areas this write did not cover
    }
    ReportWrite(outcome);
}

// A write's end in words; one that reached the radio and did not end well offers its backup.
void TForm1::ReportWrite(const TSafeWrite::Outcome &outcome)
{
    const QString text = WriteOutcomeText(outcome, PortName(), m_tellCancelledWrite);
    if (text.isEmpty())
        return;
    if (WriteSucceeded(outcome)) {
        ShowMessage(this, text);
        return;
    }
    if (!OffersRestore(outcome)) {
        ShowError(this, text);
        return;
    }
    m_restoreActions->Offer(outcome.backupPath, PortName());
    if (AskRestoreBackup(this, text))
        m_restoreActions->RestoreOfferedNow();
}

void TForm1::OnBusyChanged()
{
    const bool busy = m_link->IsBusy();
    // Neither a read nor a write while 批量写频 holds the ports: the port would be refused as
    // taken, by this very program.
    const bool portFree = !busy && !FleetRunning();
    m_wbtn->setEnabled(portFree);
    m_rbtn->setEnabled(portFree);
    // Nor may a restore, a comparison or an editor opened now take a port.
    m_restoreActions->SetPortsHeldElsewhere(FleetRunning());
    m_compare->setEnabled(!FleetRunning());
    UpdateSignallingMenu();
    m_n3->setEnabled(!busy);
    m_plan->ImportAction()->setEnabled(!busy);
    m_comcbb->setEnabled(!busy && !m_link->IsPortOpen());
    const TransferKind kind = m_link->Running();
    const bool locked = kind == TransferKind::MainRead || kind == TransferKind::MainWrite;
    SetTableEditable(!locked);
    // A save or export now would take half of one radio's channels and half of the file's.
    m_n5->setEnabled(!locked);
    m_saveAs1->setEnabled(!locked);
    m_plan->SetOutputEnabled(!locked);
}

// This window's own read, which fills the table block by block.
bool TForm1::ReadFillsTable() const
{
    return m_link->Running() == TransferKind::MainRead && m_plainRead && !m_comparing && !OthersTransfer();
}

void TForm1::SetTableEditable(bool editable)
{
    if (!editable && m_xg->ActiveEditor())
        m_xg->setFocus();  // commits the open cell before the table locks
    TGridOptions options = m_xg->Options();
    options.setFlag(TGridOption::Editing, editable);
    m_xg->SetOptions(options);
    for (QComboBox *box : m_boxes)
        box->setEnabled(editable);
    if (m_editing)
        m_editing->SetEditable(editable);
}

// Open once the port has been used for the channels; never while 批量写频 holds the ports.
void TForm1::UpdateSignallingMenu()
{
    const bool on = m_lastMainKind != TransferKind::None && !FleetRunning();
    for (QAction *item : m_signallingItems)
        item->setEnabled(on);
}

// --- signalling editors

void TForm1::ShowEditor(QWidget *editor)
{
    if (!m_link->IsPortOpen()) {
        try {
            m_link->OpenPort(PortName());
        } catch (const ECommsError &error) {
            ShowError(this, QString::fromUtf8(error.what()));
            return;
        }
    }
    if (!editor)
        return;
    editor->show();
    editor->raise();
    editor->activateWindow();
}

void TForm1::DTMF1Click()
{
    ShowEditor(m_dtmf);
}

void TForm1::N2tone1Click()
{
    ShowEditor(m_twoTone);
}

void TForm1::N5TONE1Click()
{
    ShowEditor(m_fiveTone);
}

void TForm1::N4Click()
{
    ShowEditor(m_fsk);
}

// --- file

void TForm1::N3Click()
{
    // A refused cell is mended before a file is chosen, not after.
    if (m_link->IsBusy() || !m_editing->CommitOpenCell())
        return;
    if (const QString path = ExecFileDialog(*m_openDialog1, QStringLiteral("qz")); !path.isEmpty())
        LoadFile(path);
}

namespace {

// A file of the programmer's own, by its name: "qz" or "csv" (any case), else empty.
QString PlanFileKind(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("qz") || suffix == QLatin1String("csv") ? suffix : QString();
}

// The one local file a drag carries, if it is a .qz file or a CSV list.
QString DroppedFile(const QMimeData *data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return QString();
    const QString path = urls.first().toLocalFile();
    return PlanFileKind(path).isEmpty() ? QString() : path;
}

}  // namespace

void TForm1::OpenOrImport(const QString &path)
{
    if (PlanFileKind(path) == QLatin1String("csv"))
        m_plan->AskStartAndImport(path);
    else
        LoadFile(path);
}

void TForm1::dragEnterEvent(QDragEnterEvent *event)
{
    if (!m_link->IsBusy() && !DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event)
{
    const QString path = DroppedFile(event->mimeData());
    if (m_link->IsBusy() || path.isEmpty())
        return;
    event->acceptProposedAction();
    // The drag's source waits for the drop to end: the start channel is asked after it.
    QTimer::singleShot(0, this, [this, path] { OpenOrImport(path); });
}

void TForm1::N5Click()
{
    if (ReadFillsTable())
        return;
    if (m_fileName.isEmpty())
        SaveAs1Click();
    else
        SaveFile(m_fileName);
}

void TForm1::SaveAs1Click()
{
    if (ReadFillsTable() || !m_editing->CommitOpenCell())
        return;
    if (const QString path = ExecFileDialog(*m_saveDialog1, QStringLiteral("qz"), m_fileName); !path.isEmpty())
        SaveFile(path);
}

void TForm1::N1Click()
{
    close();
}

// Changes not saved are the user's to keep or let go before another table replaces them, as on
// closing; false when the user cancelled, or the save dialog was cancelled or the save failed.
bool TForm1::ChangesSavedOrDropped()
{
    if (!m_editing->IsModified())
        return true;
    const TSaveAnswer answer = AskSaveChanges(this, tr("信道表或设置已修改，是否保存？"));
    if (answer == TSaveAnswer::Save) {
        N5Click();
        return !m_editing->IsModified();
    }
    return answer == TSaveAnswer::DontSave;
}

void TForm1::LoadFile(const QString &path)
{
    if (m_link->IsBusy() || !OpenableFile(this, path) || !m_editing->CommitOpenCell() || !ChangesSavedOrDropped())
        return;
    try {
        LoadConfigFile(m_config, path);
    } catch (const EConfigFileError &error) {
        ShowError(this, error.message());
        return;
    }
    // Undone, the table is the one before, and so is the file a save goes to.
    const auto takeFile = [this, before = m_fileName, path](bool redo) {
        m_fileName = redo ? path : before;
        UpdateCaption();
    };
    m_editing->Record(tr("打开文件"), takeFile);
    takeFile(true);
    MarkSaved();
}

bool TForm1::SaveFile(const QString &path)
{
    if (!m_editing->CommitOpenCell())
        return false;
    try {
        SaveConfigFile(m_config, path);
    } catch (const EConfigFileError &error) {
        ShowError(this, error.message());
        return false;
    }
    m_fileName = path;
    MarkSaved();
    UpdateCaption();
    return true;
}

// Undo and redo back to the saved texts bring back the file they were saved in, whatever file
// the steps in between went with.
void TForm1::MarkSaved()
{
    m_cleanFile = m_fileName;
    m_editing->MarkSaved();
}

void TForm1::OnModifiedChanged()
{
    if (!m_editing->IsModified())
        m_fileName = m_cleanFile;
    UpdateCaption();
}

void TForm1::UpdateCaption()
{
    QString caption = Caption();
    if (!m_fileName.isEmpty())
        caption += QStringLiteral(" - ") + QFileInfo(m_fileName).fileName();
    if (m_editing->IsModified())
        caption += m_fileName.isEmpty() ? QStringLiteral(" *") : QStringLiteral("*");
    setWindowTitle(caption);
}

// A write's verify reads, yet the radio is written and not yet checked: it counts, as a
// restore does; a write's backup read has written nothing yet.
bool TForm1::IsWriting() const
{
    const TransferKind running = m_link->Running();
    return running == TransferKind::MainWrite || running == TransferKind::AreaWrite || FleetRunning()
           || m_safeWrite->CurrentPhase() == TSafeWrite::Phase::Verify || m_restoreActions->IsRunning();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // The program's end would cut the write off and leave the radio half written.
    if (IsWriting()) {
        if (!AskQuitAnyway(this, tr("正在写入电台，现在退出会使电台只写入一部分。仍要退出吗？"))) {
            event->ignore();
            return;
        }
        // Ended as 取消 ends it, without a word: the backups folder then notes the radio half
        // written, and the next start says so and offers its backup.
        m_link->Cancel();
        if (m_fleetDialog)
            m_fleetDialog->Fleet().Cancel();
    }
    // A read still filling the table ends here, as 取消 would end it: what came is one step,
    // and the file it no longer matches is let go, so 保存 asks where.
    if (ReadFillsTable())
        Button2Click();
    // The open cell counts as a change, even with another window in front; text its rule
    // refused keeps the window open, the error shown.
    if (!m_editing->CommitOpenCell()) {
        event->ignore();
        return;
    }
    if (!ChangesSavedOrDropped()) {
        event->ignore();
        return;
    }
    // The signalling tables live in no file of this window: their changes can only be warned of.
    const QStringList tables = m_unsavedTables ? m_unsavedTables() : QStringList();
    if (!tables.isEmpty()
        && !AskQuitAnyway(this, tr("%1 的修改还没有写入电台，也没有保存到文件，退出后将丢失。仍要退出吗？")
                                    .arg(tables.join(tr("、"))))) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

// --- small screens

void TForm1::AdaptToSmallScreen(const QSize &screen)
{
    if (screen.width() > 800 && screen.height() > 600)
        return;
    ScaleToScreen(screen);
    resize(800, 545);
    m_xg->move(0, m_xg->y());
    static constexpr std::pair<int, int> kWidths[] = {
        {0, 50}, {3, 69}, {4, 69}, {5, 50}, {6, 31}, {7, 50}, {8, 50},
        {9, 50}, {10, 50}, {11, 34}, {12, 26}, {13, 50}, {14, 50},
    };
    for (const auto &[col, width] : kWidths)
        m_xg->SetColWidths(col, width);
    m_xg->resize(830, 370);
    for (QWidget *bottom : {static_cast<QWidget *>(m_comcbb), static_cast<QWidget *>(m_wbtn),
                            static_cast<QWidget *>(m_rbtn)})
        bottom->move(bottom->x(), 455);
    for (int box = 1; box <= kSettingBoxCount; ++box)
        m_config.SetSetting(box, SettingDefinition(box).startText);
    m_comcbb->setEditText(QStringLiteral("COM1"));
}

void TForm1::ScaleToScreen(const QSize &screen)
{
    const double h = static_cast<double>(screen.height() * 90 / 100) / 630.0;
    const double w = static_cast<double>(screen.width() * 99 / 100) / 930.0;
    const double f = std::abs(h - 1) >= std::abs(w - 1) ? w : h;
    if (screen == QSize(1440, 900))
        return;
    // Fonts of every control, then the window, then every control's place and size. The
    // grid's column widths and row heights stay as they are.
    const QList<QWidget *> controls = m_client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (auto it = controls.crbegin(); it != controls.crend(); ++it)
        ScaleFont(**it, f);
    const QRect g = geometry();
    setGeometry(Scaled(g.left(), w), Scaled(g.top(), h), Scaled(g.width(), w), Scaled(g.height(), h));
    ScaleFont(*this, f);
    for (QWidget *control : controls)
        ScaleGeometry(*control, w, h);
}

// --- 批量写频

void TForm1::FleetWriteClick()
{
    if (!m_fleetDialog) {
        m_fleetDialog = new TFleetDialog([this](bool withSignalling) { return FleetImage(withSignalling); }, this);
        // Devices that came or went during a run.
        connect(&m_fleetDialog->Fleet(), &TFleet::Finished, this, &TForm1::RefreshPorts);
        connect(m_fleetDialog, &TFleetDialog::RunningChanged, this, [this](bool running) {
            OnBusyChanged();
            emit PortsHeldElsewhere(running);
        });
        m_fleetDialog->SetSignallingAvailable(static_cast<bool>(m_signallingSource));
        // 写入后校验 ticked or cleared while the dialog is open counts for its next run.
        m_fleetDialog->SetVerify(m_verifyAction->isChecked());
        connect(m_verifyAction, &QAction::toggled, m_fleetDialog, &TFleetDialog::SetVerify);
    }
    if (!m_fleetDialog->Fleet().IsRunning())
        RefreshPorts();
    m_fleetDialog->show();
    m_fleetDialog->raise();
    m_fleetDialog->activateWindow();
}

// Every text is checked before any port is opened. The port this window holds open (an editor
// leaves it open) is closed, so that its radio can be among them.
std::optional<TRadioImage> TForm1::FleetImage(bool withSignalling)
{
    if (m_link->IsBusy()) {
        ShowError(m_fleetDialog, tr("电台正在读写，请等它结束后再批量写频"));
        return std::nullopt;
    }
    if (!m_editing->CommitOpenCell())
        return std::nullopt;
    TRadioImage image = TRadioImage::None();
    try {
        const MainImage main = BuildMainImage(m_config);
        for (int n = 1; n <= frame::kChannelCount; ++n)
            image.setBlock(frame::kMainArea, n, main.channels[static_cast<std::size_t>(n - 1)]);
        image.setBlock(frame::kSettingsArea, 0, main.settings);
        if (withSignalling && m_signallingSource) {
            const std::optional<TRadioImage> tables = m_signallingSource();
            if (!tables)
                return std::nullopt;
            for (const TRadioImage::Place &place : tables->heldPlaces())
                image.setBlock(place.area, place.block, tables->block(place.area, place.block));
        }
    } catch (const EConvertError &error) {
        ShowError(m_fleetDialog, error.message());
        return std::nullopt;
    }
    m_link->ClosePort();
    ForgetLastReads();
    return image;
}

void TForm1::ForgetLastReads()
{
    m_lastRead = TSafeWrite::PriorRead();
    emit LastReadsOutdated();
}
