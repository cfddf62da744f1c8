#include "app/AppWindows.h"
#include "editors/DtmfWindow.h"
#include "editors/FskWindow.h"
#include "editors/SignallingWindow.h"
#include "editors/TwoToneWindow.h"
#include "grid/XStringGrid.h"
#include "mainconfig/ConfigFile.h"
#include "mainconfig/MainCodec.h"
#include "mainconfig/MainSnapshot.h"
#include "mainwindow/MainEditing.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/RestoreActions.h"
#include "backup/BackupStore.h"
#include "backup/ImageRestore.h"
#include "protocol/RadioImage.h"
#include "mainwindow/ChannelPlanActions.h"
#include "mainwindow/ProgressWindow.h"
#include "protocol/FactoryImage.h"
#include "serial/PortWatcher.h"
#include "support/core/ImageChanges.h"
#include "support/core/TestFiles.h"
#include "support/gui/EditorInput.h"
#include "support/gui/MainWindowRig.h"
#include "support/gui/TestSupport.h"
#include "support/gui/WindowLayout.h"
#include "support/radio/RadioChannel.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QUndoStack>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QDir>
#include <QLabel>
#include <QtTest>

namespace {

void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
}

void Type(const QString &text)
{
    for (const QChar ch : text)
        QTest::keyClicks(QApplication::focusWidget(), QString(ch));
}

// The main window with the table's editing helpers, its messages recorded.
struct Fixture : MainWindowRig {
    using MainWindowRig::MainWindowRig;
    QUndoStack &undo() const { return form().Editing().UndoStack(); }
    TMainSnapshot texts() const { return TakeSnapshot(form().Config()); }
    // Selects channels first..last, all columns, with the current cell in column col of first.
    void selectRows(int first, int last, int col = 1)
    {
        selectCell(col, first);
        xg().SetSelection(QRect(QPoint(1, first), QPoint(15, last)));
    }
    // The grid shows exactly the model's texts.
    bool gridShowsModel() const
    {
        for (int row = 0; row < 17; ++row)
            for (int col = 0; col < 16; ++col)
                if (xg().Cells(col, row) != form().Config().Cell(row, col))
                    return false;
        return true;
    }
    // Keys go to the table, where the window's undo keys act too.
    void tableKey(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QApplication::setActiveWindow(&form());
        xg().setFocus();
        Key(key, modifiers);
    }

    void selectCell(int col, int row)
    {
        // A closed dialog leaves no active window on the offscreen platform.
        QApplication::setActiveWindow(&form());
        xg().setFocus();
        xg().SetCol(col);
        xg().SetRow(row);
    }
    void enter(int col, int row, const QString &text)
    {
        selectCell(col, row);
        if (text.isEmpty()) {
            Key(Qt::Key_F2);
            Key(Qt::Key_A, Qt::ControlModifier);
            Key(Qt::Key_Backspace);
        }
        Type(text);
        Key(Qt::Key_Return);
    }
    MessageRecorder messages;
};

// Answers the save-changes box with the button of that text once it shows.
// The radio falls silent as the window's safe write enters that phase, until the connection
// (to the window's safe write, held by the fixture's radio) goes.
QMetaObject::Connection FallSilentIn(Fixture &f, QWidget &window, TSafeWrite::Phase when)
{
    return QObject::connect(window.findChild<TSafeWrite *>(), &TSafeWrite::PhaseChanged, &window,
                            [&f, when](TSafeWrite::Phase phase) {
                                if (phase == when)
                                    f.radio.faults().silent = true;
                            });
}

void AnswerSaveBox(const QString &button)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, button] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton *candidate : box->buttons()) {
            if (candidate->text() == button) {
                timer->deleteLater();
                candidate->click();
                return;
            }
        }
    });
    timer->start(10);
}

// Answers the next file dialog of the window with that path, or with what it offers when empty.
void AnswerFileDialog(TForm1 &form, const char *name, const QString &path = {})
{
    QTimer::singleShot(0, &form, [&form, name, path] {
        auto *dialog = form.findChild<QFileDialog *>(name);
        QVERIFY(dialog && dialog->isVisible());
        if (!path.isEmpty())
            dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

// Cancels the window's file dialog of that name once it shows, after a message box.
void CancelFileDialogWhenShown(TForm1 &form, const char *name)
{
    auto *timer = new QTimer(&form);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, &form, name] {
        auto *dialog = form.findChild<QFileDialog *>(name);
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        dialog->reject();
    });
    timer->start(10);
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The backups folder serves the whole run: no test finds a write of another unfinished.
    void init() { TBackupStore().ClearUnfinishedWrite(QStringLiteral("/dev/virtual-radio")); }
    void startState();
    void closingWhileEditing_data();
    void closingWhileEditing();
    void layoutForScreen_data();
    void layoutForScreen();
    void newChannelFillsDefaults();
    void immediateEditReplacesText();
    void upDownEndEditAndMove_data();
    void upDownEndEditAndMove();
    void numberColumnIsReadOnly();
    void spaceDoesNothing_data();
    void spaceDoesNothing();
    void settingsKeepTypedText_data();
    void settingsKeepTypedText();
    void undoKeyInSettingsBox();
    void badFrequencyIsReported();
    void readFillsTableAndSettings();
    void progressNamesItsSteps_data();
    void progressNamesItsSteps();
    void incompleteReadIsTold_data();
    void incompleteReadIsTold();
    void readAndWriteOverPseudoTerminal();
    void writeChangesRadioImage();
    void badTextStopsWriteBeforeSending();
    void busyStateLocksControls();
    void cancelAndRetry_data();
    void cancelAndRetry();
    void f12RestartsRunningRead();
    void portGoneEndsTransfer_data();
    void portGoneEndsTransfer();
    void cancelSaysHowFar_data();
    void cancelSaysHowFar();
    void silentRadioNoted();
    void writeBacksUpFirst_data();
    void writeBacksUpFirst();
    void retryKeepsBackup();
    void verifyAfterWrite_data();
    void verifyAfterWrite();
    void restoreBackupAfterPortGone_data();
    void restoreBackupAfterPortGone();
    void restoreNotedInEarlierRun_data();
    void restoreNotedInEarlierRun();
    void noteOutlivesOtherAreas_data();
    void noteOutlivesOtherAreas();
    void restoreFromBackup_data();
    void restoreFromBackup();
    void restoreFromSilentRadio();
    void backupsListedNewestFirst();
    void restoreCancelledSaysHowFar();
    void restoreForgetsEditorsRead();
    void keysDuringRestore_data();
    void keysDuringRestore();
    void retryKeepsCompare();
    void compareWithRadio();
    void portGoneForgetsRead_data();
    void portGoneForgetsRead();
    void signallingMenu();
    void signallingMenuPortError();
    void fileSaveAndOpenRoundTrip();
    void openByTypedNameKeepsKeys();
    void exitEndsProgramWhileOthersShow();
    void activationRenumbers();
    void undoRedoEveryAction_data();
    void undoRedoEveryAction();
    void pastedBlockIsWrittenAndUndone();
    void editMenu();
    void captionAndClosePrompt_data();
    void captionAndClosePrompt();
    void readForgetsFileItReplaced_data();
    void savedTextsKeepTheirFile_data();
    void savedTextsKeepTheirFile();
    void emptyCellEnteredIsNoChange_data();
    void emptyCellEnteredIsNoChange();
    void openAsksAboutChanges_data();
    void openAsksAboutChanges();
    void fileWaitsForRead_data();
    void fileWaitsForRead();
    void openCellCommittedFirst_data();
    void openCellCommittedFirst();
    void readForgetsFileItReplaced();
    void closingAsks_data();
    void closingAsks();
    void dialogsAboveEditors_data();
    void dialogsAboveEditors();
    void screenshots();
};

// The windows go while a cell is being edited: grids, their cell editors and in-place
// controls are freed by Qt in its own order, and nothing reaches a model that is gone.
void TestMainWindow::closingWhileEditing_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addRow("channel table") << "xg";
    QTest::addRow("FSK editor table") << "xg1";
}

void TestMainWindow::closingWhileEditing()
{
    QFETCH(QString, grid);
    Fixture f;
    TXStringGrid *target = &f.xg();
    if (grid != QLatin1String("xg")) {
        TForm6 &fsk = f.windows->Form6();
        fsk.show();
        QApplication::setActiveWindow(&fsk);
        target = fsk.Grid(grid);
    }
    target->setFocus();
    target->SetCol(1);
    target->SetRow(1);
    Type(QStringLiteral("43"));
    QVERIFY(target->ActiveEditor() != nullptr);
    QVERIFY(QApplication::focusWidget() != target);  // the in-place control has the focus
    f.windows.reset();
}

void TestMainWindow::startState()
{
    Fixture f;
    QCOMPARE(f.form().windowTitle(), QStringLiteral("对讲机写频软件 V1.1.4"));
    for (const QWidget *window : std::initializer_list<const QWidget *>{&f.form(), static_cast<const QWidget *>(&f.windows->Form2())}) {
        const QIcon icon = window->windowIcon();
        QCOMPARE(icon.availableSizes().size(), 7);
        QCOMPARE(icon.pixmap(QSize(16, 16)).size(), QSize(16, 16));
        QCOMPARE(icon.pixmap(QSize(256, 256)).size(), QSize(256, 256));
    }
    // Typing at start goes to the table; Tab visits the table, the port, the two buttons and the
    // ten settings boxes, each once, and comes back.
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(&f.xg()));
    QSet<QWidget *> stops;
    for (int tab = 0; tab < 14; ++tab) {
        stops << QApplication::focusWidget();
        Key(Qt::Key_Tab);
    }
    QCOMPARE(stops.size(), 14);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(&f.xg()));
    QCOMPARE(f.xg().ColCount(), 16);
    QCOMPARE(f.xg().RowCount(), 17);
    QCOMPARE(f.xg().Cells(1, 0), QStringLiteral("接收频率"));
    QCOMPARE(f.xg().Cells(0, 16), QStringLiteral("16"));
    QCOMPARE(f.xg().Cells(1, 1), QString());
    QCOMPARE(f.form().ComboBox(4)->currentText(), QStringLiteral("60"));
    QCOMPARE(f.form().ComboBox(5)->currentText(), QStringLiteral("中文"));
    QCOMPARE(f.form().wbtn()->text(), QStringLiteral("写频(&W)(F11)"));
    QCOMPARE(f.form().rbtn()->text(), QStringLiteral("读频(&R)(F12)"));
    for (const char *name : {"DTMF1", "N2tone1", "N5TONE1", "N4"})
        QVERIFY2(!f.action(name)->isEnabled(), name);
    QVERIFY(f.form().comcbb()->isEnabled());
    QVERIFY(f.windows->Form3().isHidden());
    QVERIFY(f.windows->Form2().isHidden());
}

void TestMainWindow::layoutForScreen_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QList<int>>("widths");
    QTest::addColumn<int>("buttonTop");
    QTest::addColumn<QSize>("resizedTo");  // by the user, when valid
    const QList<int> designed{56, 58, 61, 75, 75, 58, 35, 63, 58, 54, 55, 37, 36, 53, 55, 31};
    const QList<int> small{50, 58, 61, 69, 69, 50, 31, 50, 50, 50, 50, 34, 26, 50, 50, 31};
    QTest::addRow("1024x768 keeps the design") << QSize(1024, 768) << QSize(923, 625) << designed << 528 << QSize();
    QTest::addRow("800x600 is adapted") << QSize(800, 600) << QSize(800, 545) << small << 455 << QSize();
    QTest::addRow("640x480 is adapted") << QSize(640, 480) << QSize(800, 545) << small << 455 << QSize();
    QTest::addRow("made small by the user") << QSize(1024, 768) << QSize(923, 625) << designed << 528 << QSize(500, 300);
}

void TestMainWindow::layoutForScreen()
{
    QFETCH(QSize, screen);
    QFETCH(QSize, window);
    QFETCH(QList<int>, widths);
    QFETCH(int, buttonTop);
    QFETCH(QSize, resizedTo);
    Fixture f(FactoryImage(), screen);
    // The designed width is the least the window keeps: wider texts widen it.
    QVERIFY2(f.form().width() >= window.width(), qPrintable(QString::number(f.form().width())));
    QCOMPARE(f.form().height(), window.height());
    // Every control can be scrolled into view, corner by corner, however small the window.
    if (resizedTo.isValid())
        f.form().resize(resizedTo);
    f.form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form()));
    const QStringList unreachable = UnreachableControls(&f.form());
    QVERIFY2(unreachable.isEmpty(), qPrintable(unreachable.join(QLatin1String(", "))));
    // The listed widths are the least a column keeps; a wider caption or entry widens it.
    for (int col = 0; col < widths.size(); ++col)
        QCOMPARE(f.xg().ColWidths(col), qMax(widths[col], f.xg().TextWidth(col)));
    QCOMPARE(f.form().wbtn()->y(), buttonTop);
    QCOMPARE(f.form().rbtn()->y(), buttonTop);
    QCOMPARE(f.form().ComboBox(1)->currentText(), QStringLiteral("无"));
}

void TestMainWindow::newChannelFillsDefaults()
{
    Fixture f;
    f.enter(1, 3, QStringLiteral("438.5"));
    const QStringList expected{"3", "438.50000", "438.50000", "无", "无", "高", "宽带", "有", "25000",
                               "无", "无", "无", "无", "DTMF", "1", "无"};
    for (int col = 0; col < 16; ++col)
        QCOMPARE(f.xg().Cells(col, 3), expected[col]);
    QCOMPARE(f.form().Config().Cell(3, 2), QStringLiteral("438.50000"));

    f.enter(2, 3, QStringLiteral("440"));
    QCOMPARE(f.xg().Cells(2, 3), QStringLiteral("440.00000"));
    QCOMPARE(f.xg().Cells(1, 3), QStringLiteral("438.50000"));
}

void TestMainWindow::immediateEditReplacesText()
{
    Fixture f;
    f.enter(1, 2, QStringLiteral("430"));
    f.enter(14, 2, QStringLiteral("12"));
    QCOMPARE(f.xg().Cells(14, 2), QStringLiteral("12"));
    f.selectCell(14, 2);
    Type(QStringLiteral("5"));
    auto *combo = qobject_cast<QComboBox *>(QApplication::focusWidget());
    QVERIFY(combo);
    QCOMPARE(combo->currentText(), QStringLiteral("5"));
    Key(Qt::Key_Escape);
    QCOMPARE(f.xg().Cells(14, 2), QStringLiteral("12"));
}

void TestMainWindow::upDownEndEditAndMove_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("row");
    QTest::addRow("down") << int(Qt::Key_Down) << 6;
    QTest::addRow("up") << int(Qt::Key_Up) << 4;
}

void TestMainWindow::upDownEndEditAndMove()
{
    QFETCH(int, key);
    QFETCH(int, row);
    Fixture f;
    f.selectCell(1, 5);
    Type(QStringLiteral("145.2"));
    Key(key);
    QCOMPARE(f.xg().Cells(1, 5), QStringLiteral("145.20000"));
    QCOMPARE(f.xg().Cells(2, 5), QStringLiteral("145.20000"));
    QCOMPARE(f.xg().Row(), row);
    QCOMPARE(f.xg().Col(), 1);
    QVERIFY(!f.xg().ActiveEditor());
}

void TestMainWindow::numberColumnIsReadOnly()
{
    Fixture f;
    f.xg().setFocus();
    f.xg().SetRow(4);
    f.xg().SetCol(1);
    Key(Qt::Key_Left);  // column 0 is fixed: the cursor stays in column 1
    f.xg().SetCol(0);
    Type(QStringLiteral("9"));
    Key(Qt::Key_Return);
    QCOMPARE(f.xg().Cells(0, 4), QStringLiteral("4"));
    QVERIFY(!f.xg().ActiveEditor());
}

void TestMainWindow::spaceDoesNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("how");        // typed, or pasted into the open cell editor by Ctrl+V or its menu
    QTest::addColumn<QStringList>("cells");  // channel 2's frequencies, then channel 3's receive
    const QStringList squeezed{"430.00000", "430.00000", ""};
    QTest::addRow("space typed") << "43 0" << "typed" << squeezed;
    QTest::addRow("space pasted") << "43 0" << "Ctrl+V" << squeezed;
    QTest::addRow("ideographic space pasted") << "43\u30000" << "Ctrl+V" << squeezed;
    QTest::addRow("no-break space pasted") << "43\u00A00" << "Ctrl+V" << squeezed;
    QTest::addRow("spreadsheet cell pasted") << "430\r\n" << "Ctrl+V" << squeezed;
    QTest::addRow("spreadsheet cell pasted from the menu") << "430\r\n" << "menu" << squeezed;
    // Several cells go to their own cells, as a paste outside the editor puts them.
    QTest::addRow("two cells pasted") << "431\t432" << "Ctrl+V" << QStringList{"431.00000", "432.00000", ""};
    QTest::addRow("two lines pasted") << "431\r\n432\r\n" << "Ctrl+V" << QStringList{"431.00000", "431.00000", "432.00000"};
    QTest::addRow("two lines pasted from the menu") << "431\r\n432\r\n" << "menu"
                                                    << QStringList{"431.00000", "431.00000", "432.00000"};
}

// No blank reaches a cell of the table, nor the port box.
void TestMainWindow::spaceDoesNothing()
{
    QFETCH(QString, text);
    QFETCH(QString, how);
    QFETCH(QStringList, cells);
    Fixture f;
    f.selectCell(1, 2);
    if (how == QLatin1String("typed")) {
        Type(text);
        Key(Qt::Key_Return);
    } else {
        Type(QStringLiteral("9"));
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        QGuiApplication::clipboard()->setText(text);
        if (how == QLatin1String("menu"))
            QVERIFY(ChooseFromContextMenu(editor, QLineEdit::tr("&Paste")));
        else
            Key(Qt::Key_V, Qt::ControlModifier);
        if (f.xg().ActiveEditor()) {
            // One spreadsheet cell comes without its line end.
            QCOMPARE(editor->text(), QString(text).remove(QRegularExpression(QStringLiteral("\r?\n$"))));
            Key(Qt::Key_Return);
        }
    }
    QCOMPARE((QStringList{f.xg().Cells(1, 2), f.xg().Cells(2, 2), f.xg().Cells(1, 3)}), cells);
    QVERIFY(f.messages.messages.isEmpty());
    f.form().comcbb()->setFocus();
    f.form().comcbb()->setEditText(QStringLiteral("/dev/tty"));
    Type(QStringLiteral(" "));
    QCOMPARE(f.form().comcbb()->currentText(), QStringLiteral("/dev/tty"));
}

void TestMainWindow::settingsKeepTypedText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::addRow("typed, not in the list") << "12" << false << "12";
    QTest::addRow("spreadsheet cell pasted") << "120\r\n" << true << "120";
    QTest::addRow("space pasted") << "1 20" << true << "120";
    QTest::addRow("ideographic space pasted") << "\u3000" << true << "";
}

void TestMainWindow::settingsKeepTypedText()
{
    QFETCH(QString, text);
    QFETCH(bool, pasted);
    QFETCH(QString, kept);
    Fixture f;
    QComboBox *box = f.form().ComboBox(4);  // list "60", "120", "180", "关"
    QApplication::setActiveWindow(&f.form());
    box->setFocus();
    box->lineEdit()->selectAll();
    if (pasted) {
        QGuiApplication::clipboard()->setText(text);
        Key(Qt::Key_V, Qt::ControlModifier);
    } else {
        Type(text);
    }
    Key(Qt::Key_Tab);
    QCOMPARE(box->currentText(), kept);
    QCOMPARE(f.form().Config().Setting(4), kept);
    f.undo().undo();  // the paste is one step
    QCOMPARE(f.form().Config().Setting(4), QStringLiteral("60"));
}

// Ctrl+Z in a settings box with no typing of its own to undo is the window's undo.
void TestMainWindow::undoKeyInSettingsBox()
{
    Fixture f;
    f.enter(1, 1, QStringLiteral("430"));
    QComboBox *box = f.form().ComboBox(4);
    box->setFocus();
    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.xg().Cells(1, 1), QString());
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.xg().Cells(1, 1), QStringLiteral("430.00000"));
    QCOMPARE(box->currentText(), QStringLiteral("60"));
}

void TestMainWindow::badFrequencyIsReported()
{
    Fixture f;
    f.enter(1, 6, QStringLiteral("4x"));
    QCOMPARE(f.messages.texts(), QStringList{"'4x' is not a valid floating point value"});
    QCOMPARE(f.xg().Cells(1, 6), QStringLiteral("4x"));
    QCOMPARE(f.xg().Cells(2, 6), QString());
}

void TestMainWindow::readFillsTableAndSettings()
{
    Fixture f;
    TMainConfig expected;
    for (int block = 1; block <= 16; ++block)
        DecodeMainBlock(expected, 0, block, f.radio.image().block(0, block));
    DecodeMainBlock(expected, 5, 0, f.radio.image().block(5, 0));
    QVERIFY(expected.IsChannelInUse(1));

    Key(Qt::Key_F12);
    QVERIFY(f.form().Link().IsBusy());
    QVERIFY(f.windows->Form3().isVisible());
    QCOMPARE(f.windows->Form3().pos(), f.form().frameGeometry().topLeft() + QPoint(150, 250));
    QVERIFY(f.finish());
    for (int row = 1; row <= 16; ++row) {
        for (int col = 1; col < 16; ++col)
            QCOMPARE(f.xg().Cells(col, row), expected.Cell(row, col));
    }
    for (int box = 1; box <= 10; ++box)
        QCOMPARE(f.form().ComboBox(box)->currentText(), expected.Setting(box));
    QVERIFY(f.windows->Form3().isHidden());
    QVERIFY(!f.channel->IsOpen());
    QVERIFY(f.form().comcbb()->isEnabled());
    QVERIFY(f.messages.messages.isEmpty());
    QVERIFY(f.action("DTMF1")->isEnabled());
}

void TestMainWindow::incompleteReadIsTold_data()
{
    QTest::addColumn<QString>("how");    // "read" (读频) or "compare" (与电台比较)
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("told");   // the error; empty: none
    QTest::addRow("every block") << "read" << "" << "";
    // The next request follows the block a reply carried: channel 4 is passed over.
    const QString missing4 = QStringLiteral("读取不完整：电台没有发来信道 4。窗口中这些位置显示的不是电台的内容，写入前请重新读取。");
    QTest::addRow("channel 4 answered with channel 5") << "read" << "wrong-block=4" << missing4;
    QTest::addRow("channel 15 answered with channel 16") << "read" << "wrong-block=15"
        << QStringLiteral("读取不完整：电台没有发来信道 15。窗口中这些位置显示的不是电台的内容，写入前请重新读取。");
    // A block outside the channels is ignored and asked again.
    QTest::addRow("channel 16 answered with block 17") << "read" << "wrong-block=16" << "";
    QTest::addRow("compare, channel 4 passed over") << "compare" << "wrong-block=4" << missing4;
}

// A read that never got a block says which: the window shows there what it held before, not the
// radio's, and closing asks. A compare says so instead of counting such blocks as differences.
void TestMainWindow::incompleteReadIsTold()
{
    QFETCH(QString, how);
    QFETCH(QString, fault);
    QFETCH(QString, told);
    Fixture f;
    f.enter(1, 4, QStringLiteral("430"));  // the window's own channel 4, before the read
    if (!fault.isEmpty())
        QVERIFY(f.radio.faults().add(fault, nullptr));
    if (how == QLatin1String("compare"))
        f.action("CompareWithRadio")->trigger();
    else
        f.form().rbtn()->click();
    QVERIFY(f.finish());
    if (told.isEmpty()) {
        QVERIFY(f.messages.messages.isEmpty());
        QVERIFY(f.undo().isClean());
        return;
    }
    QCOMPARE(f.messages.texts(), QStringList{told});
    QCOMPARE(f.messages.messages.first().first, MessageKind::Error);
    if (how == QLatin1String("read"))
        QVERIFY(!f.undo().isClean());
}

// The whole chain a user has: the real serial port component on the virtual radio's
// pseudo-terminal, chunks crossing from the port's threads to the window.
void TestMainWindow::readAndWriteOverPseudoTerminal()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("radio"));
    QProcess radio;
    radio.start(QStringLiteral(XIEPIN_RADIO_EXE), {QStringLiteral("--link"), link});
    QVERIFY(radio.waitForStarted());
    QTRY_VERIFY(QFileInfo::exists(link));

    MessageRecorder messages;
    TAppWindows windows(TAppWindows::Options{nullptr, QSize(1280, 1024)});
    TForm1 &form = windows.Form1();
    form.comcbb()->setEditText(link);
    form.show();
    form.rbtn()->click();
    QVERIFY(form.Link().IsBusy());
    QTRY_VERIFY_WITH_TIMEOUT(!form.Link().IsBusy(), 10000);
    QVERIFY(messages.messages.isEmpty());
    TMainConfig expected;
    const TRadioImage factory = FactoryImage();
    for (int block = 1; block <= 16; ++block)
        DecodeMainBlock(expected, 0, block, factory.block(0, block));
    DecodeMainBlock(expected, 5, 0, factory.block(5, 0));
    for (int row = 1; row <= 16; ++row)
        QCOMPARE(form.Config().Row(row), expected.Row(row));
    QVERIFY(form.comcbb()->isEnabled());

    form.wbtn()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!form.Link().IsBusy(), 10000);
    QCOMPARE(messages.texts(), QStringList{"写入成功"});
    radio.terminate();
    QVERIFY(radio.waitForFinished());
}

void TestMainWindow::writeChangesRadioImage()
{
    Fixture f;
    Key(Qt::Key_F12);
    QVERIFY(f.finish());
    const TRadioImage before = f.radio.image();
    f.enter(1, 16, QStringLiteral("446.00625"));
    f.form().ComboBox(3)->setEditText(QStringLiteral("7"));

    Key(Qt::Key_F11);
    QVERIFY(f.finish());
    QCOMPARE(f.messages.texts(), QStringList{"写入成功"});
    const TRadioImage after = f.radio.image();
    QCOMPARE(after.block(0, 16), EncodeChannelBlock(f.form().Config(), 16));
    QVERIFY(after.block(0, 16) != before.block(0, 16));
    QCOMPARE(after.block(5, 0)[10], quint8(7));
    for (int block = 1; block <= 15; ++block)
        QCOMPARE(after.block(0, block), before.block(0, block));
    QVERIFY(!f.channel->IsOpen());
}

void TestMainWindow::badTextStopsWriteBeforeSending()
{
    Fixture f;
    f.enter(1, 2, QStringLiteral("430"));
    f.enter(8, 2, QStringLiteral("70000"));
    f.form().wbtn()->click();
    QCOMPARE(f.messages.texts(), QStringList{"信道 2 步进频率: '70000' is not in the range 0 to 65535"});
    QVERIFY(!f.form().Link().IsBusy());
    QCOMPARE(f.channel->opens(), 0);
    QVERIFY(f.channel->written().isEmpty());
}

void TestMainWindow::busyStateLocksControls()
{
    Fixture f;
    f.radio.faults().silent = true;
    f.form().rbtn()->click();
    QVERIFY(f.form().Link().IsBusy());
    QVERIFY(!f.form().rbtn()->isEnabled());
    QVERIFY(!f.form().wbtn()->isEnabled());
    QVERIFY(!f.form().comcbb()->isEnabled());
    QVERIFY(!f.action("N3")->isEnabled());
    QVERIFY(!f.form().ComboBox(1)->isEnabled());
    f.selectCell(1, 1);
    Type(QStringLiteral("4"));
    QVERIFY(!f.xg().ActiveEditor());
    Key(Qt::Key_F11);  // another transfer cannot start
    QCOMPARE(f.form().Link().Running(), TransferKind::MainRead);

    f.windows->Form3().Button2()->click();
    QVERIFY(!f.form().Link().IsBusy());
    QVERIFY(f.form().rbtn()->isEnabled());
    QVERIFY(f.form().comcbb()->isEnabled());
    QVERIFY(f.action("N3")->isEnabled());
    QVERIFY(f.form().ComboBox(1)->isEnabled());
}

void TestMainWindow::cancelAndRetry_data()
{
    QTest::addColumn<bool>("write");
    QTest::addRow("read") << false;
    QTest::addRow("write") << true;
}

void TestMainWindow::cancelAndRetry()
{
    QFETCH(bool, write);
    Fixture f;
    f.radio.faults().silent = true;
    (write ? f.form().wbtn() : f.form().rbtn())->click();
    QTest::qWait(200);
    const QByteArray handshake("PROGRAM");
    QVERIFY(f.channel->written().count(handshake) >= 2);  // resent while the radio is silent

    // Retry closes the port and begins again from the handshake with the same transfer.
    f.channel->clearWrites();
    f.windows->Form3().Button1()->click();
    QVERIFY(f.windows->Form3().isHidden());
    QTRY_VERIFY(f.form().Link().IsBusy());
    // A write not preceded by a read of this port begins again with the read of its backup.
    QCOMPARE(f.form().Link().Running(), TransferKind::MainRead);
    QCOMPARE(f.form().findChild<TSafeWrite *>()->CurrentPhase(), write ? TSafeWrite::Phase::Backup : TSafeWrite::Phase::Idle);
    QVERIFY(f.channel->written().startsWith(handshake));
    QCOMPARE(f.channel->opens(), 2);

    // Cancel ends it: nothing more is sent and the port is closed.
    f.windows->Form3().Button2()->click();
    QVERIFY(!f.channel->IsOpen());
    const QByteArray sent = f.channel->written();
    QTest::qWait(200);
    QCOMPARE(f.channel->written(), sent);

    // With the radio back, Retry completes the transfer.
    f.radio.faults().silent = false;
    f.windows->Form3().Button1()->click();
    // The read, or the write's backup read, write and verify, each opening the port.
    QTRY_COMPARE(f.channel->opens(), write ? 5 : 3);
    QVERIFY(f.finish());
    QCOMPARE(f.messages.texts(), write ? QStringList{"写入成功"} : QStringList{});
    if (!write)
        QVERIFY(f.form().Config().IsChannelInUse(1));
}

void TestMainWindow::f12RestartsRunningRead()
{
    Fixture f;
    f.radio.faults().silent = true;
    Key(Qt::Key_F12);
    f.channel->clearWrites();
    Key(Qt::Key_F12);
    QVERIFY(f.channel->written().startsWith("PROGRAM"));
    QCOMPARE(f.form().Link().Running(), TransferKind::MainRead);
    f.radio.faults().silent = false;
    Key(Qt::Key_F12);
    QVERIFY(f.finish());
    QVERIFY(f.form().Config().IsChannelInUse(1));
}

void TestMainWindow::portGoneEndsTransfer_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("frames");  // heard before the device closes, the handshake first
    QTest::addColumn<QString>("message");
    const QString gone = QStringLiteral("端口 /dev/virtual-radio 已断开，");
    QTest::addRow("read, at the handshake") << false << 1 << gone + QStringLiteral("已读取 0/17 块");
    QTest::addRow("read, after five channels") << false << 6 << gone + QStringLiteral("已读取 5/17 块");
    QTest::addRow("write, in its backup read") << true << 6 << gone + QStringLiteral("已读取 5/17 块，未写入");
    QTest::addRow("write, five blocks in") << true << 18 + 6 << gone + QStringLiteral("已写入 5/17 块");
    QTest::addRow("write, three blocks into its verify") << true << 18 + 18 + 4 << gone + QStringLiteral("已写入，未校验（已读回 3/17 块）");
}

// The transfer ends at once with a word that names the port and how far it got; the port list
// is free again, and the port stays gone.
void TestMainWindow::portGoneEndsTransfer()
{
    QFETCH(bool, write);
    QFETCH(int, frames);
    QFETCH(QString, message);
    Fixture f;
    f.radio.faults().disappearAfter = frames;
    (write ? f.form().wbtn() : f.form().rbtn())->click();
    QTRY_VERIFY(!f.form().Link().IsBusy());
    QVERIFY(!f.messages.texts().isEmpty());
    QCOMPARE(f.messages.texts().first().section(QLatin1Char('\n'), 0, 0), message);
    QVERIFY(f.windows->Form3().isHidden());
    QVERIFY(f.form().comcbb()->isEnabled());
    QVERIFY(f.form().rbtn()->isEnabled());

    f.messages.messages.clear();
    f.form().rbtn()->click();
    QCOMPARE(f.messages.texts(), QStringList{"Error opening serial port"});
    QVERIFY(!f.form().Link().IsBusy());
}

void TestMainWindow::progressNamesItsSteps_data()
{
    QTest::addColumn<QString>("action");      // what is done after an optional read
    QTest::addColumn<bool>("readFirst");      // a read of this run before
    QTest::addColumn<QStringList>("steps");   // the texts above the bar, in turn
    const QString backup = QStringLiteral("写入前先备份：正在读取电台…");
    const QString write = QStringLiteral("正在写入电台…");
    const QString verify = QStringLiteral("写入后校验：正在读回电台…");
    QTest::addRow("read") << "F12" << false << QStringList{"正在读取电台…"};
    QTest::addRow("compare") << "CompareWithRadio" << false << QStringList{"正在读取电台，以便比较…"};
    QTest::addRow("write") << "F11" << false << QStringList{backup, write, verify};
    QTest::addRow("write after a read") << "F11" << true << QStringList{backup, write, verify};
}

// The bar of a write starts again at its backup read, its write and its verify: the text above
// it says which one it counts.
void TestMainWindow::progressNamesItsSteps()
{
    QFETCH(QString, action);
    QFETCH(bool, readFirst);
    QFETCH(QStringList, steps);
    Fixture f;
    if (readFirst)
        QVERIFY(f.read());
    TForm3 &progress = f.windows->Form3();
    QStringList seen;
    const auto note = [&seen, &progress] {
        if (progress.isVisible() && (seen.isEmpty() || seen.constLast() != progress.StepLabel()->text()))
            seen << progress.StepLabel()->text();
    };
    connect(progress.ProgressBar1(), &QProgressBar::valueChanged, this, note);
    // A step so quick on a loaded machine that its bar never moved is still seen as it begins.
    connect(f.form().findChild<TSafeWrite *>(), &TSafeWrite::PhaseChanged, this, note);
    if (action == QLatin1String("F11"))
        Key(Qt::Key_F11);
    else if (action == QLatin1String("F12"))
        Key(Qt::Key_F12);
    else
        f.action(qPrintable(action))->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!f.form().Link().IsBusy() && progress.isHidden(), 15000);
    progress.ProgressBar1()->disconnect(this);
    f.form().findChild<TSafeWrite *>()->disconnect(this);
    QCOMPARE(seen, steps);
}

// After a quiet spell the progress window says the radio is silent and counts the resends; an
// answer takes the note away.
void TestMainWindow::cancelSaysHowFar_data()
{
    QTest::addColumn<int>("frames");  // heard before the radio falls silent, its backup read first
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("restore");  // 恢复备份 chosen in the message, the radio answering again
    QTest::addRow("in the backup read") << 5 << "" << false;
    QTest::addRow("five blocks written") << 18 + 6 << "已取消，已写入 5/17 块" << false;
    QTest::addRow("five blocks written, backup restored") << 18 + 6 << "已取消，已写入 5/17 块" << true;
    QTest::addRow("three blocks into the verify") << 18 + 18 + 4 << "已取消，已写入，未校验（已读回 3/17 块）" << false;
}

// 取消 on a silent radio is the only end of a write that hangs: once the write has reached the
// radio it says how far it got and where the backup is, and offers it.
void TestMainWindow::cancelSaysHowFar()
{
    QFETCH(int, frames);
    QFETCH(QString, message);
    QFETCH(bool, restore);
    Fixture f;
    const TRadioImage before = f.radio.image();
    f.enter(1, 3, QStringLiteral("438"));
    connect(f.form().findChild<TSafeWrite *>(), &TSafeWrite::BlocksMoved, this, [&f, frames] {
        if (f.radio.framesHeard() >= frames)
            f.radio.faults().silent = true;
    });
    Key(Qt::Key_F11);
    QTRY_VERIFY(f.radio.faults().silent);
    f.form().findChild<TSafeWrite *>()->disconnect(this);
    SetRestoreAnswer(restore);
    f.radio.faults().silent = !restore;
    f.windows->Form3().Button2()->click();
    SetRestoreAnswer(false);
    if (restore) {
        // The restore shows its progress, with 取消 and 重试 to end it.
        QVERIFY(f.form().findChild<TSafeWrite *>()->IsRunning() || f.form().Link().IsBusy());
        QVERIFY(f.windows->Form3().isVisible());
        QVERIFY(f.finish());
        QCOMPARE(f.messages.texts().last(), QStringLiteral("写入成功"));
        QVERIFY(f.radio.image() == before);
        return;
    }
    QVERIFY(f.finish());
    if (message.isEmpty()) {
        QCOMPARE(f.messages.texts(), QStringList());
        QVERIFY(!f.action("RestoreBackup")->isEnabled());
        return;
    }
    QCOMPARE(f.messages.texts().size(), 1);
    const QStringList lines = f.messages.texts().first().split(QLatin1Char('\n'));
    QCOMPARE(lines.first(), message);
    QVERIFY(lines.at(1).startsWith(QStringLiteral("写入前的备份：")));
    QVERIFY(f.action("RestoreBackup")->isEnabled());
}

void TestMainWindow::silentRadioNoted()
{
    Fixture f;
    TForm3 &progress = f.windows->Form3();
    f.radio.faults().silent = true;
    f.form().rbtn()->click();
    QTest::qWait(1000);
    QVERIFY(progress.SilenceLabel()->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(progress.SilenceLabel()->isVisible(), 5000);
    const QRegularExpression note(QStringLiteral("^电台无应答：请检查电缆、电台电源和端口（已重发 (\\d+) 次）$"));
    const int first = note.match(progress.SilenceLabel()->text()).captured(1).toInt();
    QVERIFY2(first >= 1, qPrintable(progress.SilenceLabel()->text()));
    QTRY_VERIFY(note.match(progress.SilenceLabel()->text()).captured(1).toInt() > first);
    QVERIFY(progress.geometry().contains(progress.mapToGlobal(progress.SilenceLabel()->geometry().bottomRight())));

    f.radio.faults().silent = false;
    QTRY_VERIFY(progress.SilenceLabel()->isHidden() || progress.isHidden());
    QVERIFY(f.finish());
    QVERIFY(f.form().Config().IsChannelInUse(1));
}

namespace {

QStringList BackupFiles()
{
    return QDir(TBackupStore::DefaultFolder()).entryList({QStringLiteral("*.img")}, QDir::Files, QDir::Name);
}

// The image saved under that name in the backups folder; its path, or empty when it failed.
QString SaveInBackups(const TRadioImage &image, const QString &name)
{
    QDir().mkpath(TBackupStore::DefaultFolder());
    const QString path = TBackupStore::DefaultFolder() + QLatin1Char('/') + name;
    QString error;
    if (!image.save(path, &error)) {
        qWarning("%s", qPrintable(error));
        return QString();
    }
    return path;
}

// What an earlier run leaves after a write to the port that did not end well: a backup of those
// areas of the factory radio, noted. Returns its path ("…-main.img" for the channels and settings).
TRadioImage FactoryAreas(const QList<int> &areas)
{
    TRadioImage image = TRadioImage::None();
    for (const TRadioImage::Place &place : TRadioImage::Places())
        if (areas.contains(place.area))
            image.setBlock(place.area, place.block, FactoryImage().block(place.area, place.block));
    return image;
}

QString NoteEarlierUnfinishedWrite(const QString &port, const QList<int> &areas)
{
    const TRadioImage backup = FactoryAreas(areas);
    const QString path = SaveInBackups(backup, QStringLiteral("20261209-080000-%1.img").arg(backup.contentsId()));
    if (!path.isEmpty())
        TBackupStore().NoteUnfinishedWrite(port, path);
    return path;
}

}  // namespace

void TestMainWindow::writeBacksUpFirst_data()
{
    QTest::addColumn<bool>("readFirst");
    QTest::addRow("after a read of another radio on the port") << true;
    QTest::addRow("on a radio not yet read") << false;
}

// The radio's contents are in the backups folder before the first block is written, read by
// the write itself: a read before (F12) may have been of another radio, swapped on the cable
// since with nothing on the port to tell (read one, write many).
void TestMainWindow::writeBacksUpFirst()
{
    QFETCH(bool, readFirst);
    QDir(TBackupStore::DefaultFolder()).removeRecursively();
    Fixture f;
    TRadioImage second = FactoryImage();
    second.setBlock(frame::kMainArea, 1, FactoryImage().block(frame::kMainArea, 2));
    if (readFirst) {
        Key(Qt::Key_F12);
        QVERIFY(f.finish());
        QCOMPARE(BackupFiles().size(), 1);
        f.radio.setImage(second);
    }
    const TRadioImage held = f.radio.image();
    const QStringList before = BackupFiles();
    f.channel->clearWrites();
    Key(Qt::Key_F11);
    QVERIFY(f.finish());
    QCOMPARE(f.messages.texts(), QStringList{"写入成功"});

    const QByteArray wire = f.channel->written();
    const QByteArray handshake("PROGRAM");
    // The backup's read, the write and its verify.
    QCOMPARE(wire.count(handshake), 3);
    QVERIFY(wire.indexOf('W') > wire.indexOf(handshake, 1));
    QCOMPARE(BackupFiles().size(), before.size() + 1);
    QString error;
    const std::optional<TRadioImage> backup = TRadioImage::load(TBackupStore::DefaultFolder() + QLatin1Char('/') + BackupFiles().last(), &error);
    QVERIFY2(backup, qPrintable(error));
    QCOMPARE(backup->contentsId(), QStringLiteral("main"));
    QCOMPARE(backup->block(frame::kMainArea, 1), held.block(frame::kMainArea, 1));
}

// Retry of a write cut short after blocks reached the radio writes at once: its backup stays
// what the radio held before, where a new backup read would find a half-written radio.
void TestMainWindow::retryKeepsBackup()
{
    QDir(TBackupStore::DefaultFolder()).removeRecursively();
    Fixture f;
    const TRadioImage before = f.radio.image();
    f.enter(1, 1, QStringLiteral("145"));
    // The backup read's 18 answers, the handshake's, then block 5's goes missing: the write
    // waits to resend it.
    f.radio.faults().drop = FaultTrigger::nth(18 + 1 + 5);
    Key(Qt::Key_F11);
    QTRY_VERIFY(f.radio.image().block(frame::kMainArea, 5) != before.block(frame::kMainArea, 5));
    QVERIFY(f.form().Link().IsBusy());
    f.channel->clearWrites();
    f.windows->Form3().Button1()->click();
    QTRY_COMPARE(f.messages.texts(), QStringList{"写入成功"});
    // The write and its verify; no backup read.
    QCOMPARE(f.channel->written().count("PROGRAM"), 2);
    QCOMPARE(BackupFiles().size(), 1);
    QString error;
    const std::optional<TRadioImage> backup =
        TRadioImage::load(TBackupStore::DefaultFolder() + QLatin1Char('/') + BackupFiles().first(), &error);
    QVERIFY2(backup, qPrintable(error));
    QCOMPARE(backup->block(frame::kMainArea, 5), before.block(frame::kMainArea, 5));
}

void TestMainWindow::verifyAfterWrite_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("verify");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("named");  // the block the message names
    QTest::addColumn<bool>("restore");   // 恢复备份 chosen in the message
    QTest::addRow("stored as sent") << "" << true << "写入成功" << "" << false;
    QTest::addRow("channel 3 stored wrong") << "corrupt=3" << true << "写入校验失败" << "信道 3" << false;
    QTest::addRow("settings stored wrong") << "corrupt=17" << true << "写入校验失败" << "设置" << false;
    QTest::addRow("channel 3 stored wrong, backup restored") << "corrupt=3" << true << "写入校验失败" << "信道 3" << true;
    QTest::addRow("verify off") << "corrupt=3" << false << "写入成功" << "" << false;
}

void TestMainWindow::verifyAfterWrite()
{
    QFETCH(QString, fault);
    QFETCH(bool, verify);
    QFETCH(QString, firstLine);
    QFETCH(QString, named);
    QFETCH(bool, restore);
    Fixture f;
    Key(Qt::Key_F12);
    QVERIFY(f.finish());
    const TRadioImage before = f.radio.image();
    f.enter(1, 3, QStringLiteral("439"));
    if (!fault.isEmpty())
        QVERIFY(f.radio.faults().add(fault, nullptr));
    QAction *verifyItem = f.action("VerifyAfterWrite");
    QVERIFY(verifyItem->isCheckable());
    verifyItem->setChecked(verify);
    f.channel->clearWrites();
    SetRestoreAnswer(restore);
    Key(Qt::Key_F11);
    QVERIFY(f.finish());
    SetRestoreAnswer(false);
    QCOMPARE(f.messages.texts().size(), restore ? 2 : 1);  // then the restore's end
    const QStringList lines = f.messages.texts().first().split(QLatin1Char('\n'));
    QCOMPARE(lines.first(), firstLine);
    if (!named.isEmpty()) {
        QCOMPARE(lines.size(), 3);  // the block, then where the backup is
        QVERIFY2(lines.at(1).startsWith(named), qPrintable(lines.at(1)));
        QVERIFY(lines.at(2).startsWith(QStringLiteral("写入前的备份：")));
    }
    // The radio found wrong offers its backup at once, in the message and in the File menu.
    QCOMPARE(f.action("RestoreBackup")->isEnabled(), !named.isEmpty() && !restore);
    if (restore) {
        QCOMPARE(f.messages.texts().last(), QStringLiteral("写入成功"));
        QVERIFY(f.radio.image() == before);
        QVERIFY(!TBackupStore().UnfinishedWrite(QStringLiteral("/dev/virtual-radio")));
        return;
    }
    QCOMPARE(f.channel->written().count("PROGRAM"), verify ? 3 : 2);  // the backup read first
    // A read afterwards: a radio the verify found wrong stays in doubt, and 恢复备份 offers the
    // backup the message names.
    f.messages.messages.clear();
    QVERIFY(f.read());
    QCOMPARE(f.messages.texts().size(), named.isEmpty() ? 0 : 1);
    QCOMPARE(f.action("RestoreBackup")->isEnabled(), !named.isEmpty());
    if (!named.isEmpty()) {
        const QString backup = lines.at(2).mid(QStringLiteral("写入前的备份：").size());
        QVERIFY2(f.messages.texts().first().startsWith(QStringLiteral("此端口上的一次写入未完成")), qPrintable(f.messages.texts().first()));
        QVERIFY(f.messages.texts().first().contains(backup));
    }
    // The choice is remembered for the next start.
    Fixture again;
    QCOMPARE(again.action("VerifyAfterWrite")->isChecked(), verify);
    again.action("VerifyAfterWrite")->setChecked(true);
}

void TestMainWindow::restoreBackupAfterPortGone_data()
{
    QTest::addColumn<QString>("then");
    QTest::addRow("restored once the port is back") << "restore";
    QTest::addRow("declined") << "decline";
    QTest::addRow("the radio written anew") << "write";
}

// A write cut short by a port that went away offers its backup; once the radio is there
// again, 恢复备份 puts back exactly what it held before. It asks first, naming the port and
// the backup; a write that later ends well on that port withdraws it.
void TestMainWindow::restoreBackupAfterPortGone()
{
    QFETCH(QString, then);
    Fixture f;
    const QString port = QStringLiteral("/dev/virtual-radio");
    const TRadioImage before = f.radio.image();
    Key(Qt::Key_F12);
    QVERIFY(f.finish());
    for (int n = 1; n <= 8; ++n)
        f.enter(1, n, QStringLiteral("%1").arg(400 + n));
    f.radio.faults().disappearAfter = f.radio.framesHeard() + 18 + 6;  // its backup read, then five blocks
    Key(Qt::Key_F11);
    QVERIFY(f.finish());
    QVERIFY(f.radio.image() != before);
    QVERIFY(f.messages.texts().first().contains(QStringLiteral("写入前的备份：")));
    QAction *restore = f.action("RestoreBackup");
    QVERIFY(restore->isEnabled());
    // Noted for a later run, which would back up the half-written radio.
    const std::optional<QString> noted = TBackupStore().UnfinishedWrite(port);
    QVERIFY(noted && f.messages.texts().first().contains(*noted));

    const QString question = QStringLiteral("写回备份到 /dev/virtual-radio？");
    SetRestoreAnswer(true);
    f.messages.messages.clear();
    restore->trigger();  // the port is not there yet
    QCOMPARE(f.messages.texts().size(), 2);
    QVERIFY(f.messages.texts().first().startsWith(question));
    QCOMPARE(f.messages.texts().last(), QStringLiteral("Error opening serial port"));
    QVERIFY(restore->isEnabled());
    SetRestoreAnswer(false);

    f.radio.reconnect();
    const TRadioImage cutShort = f.radio.image();
    f.messages.messages.clear();
    if (then == QLatin1String("write")) {
        f.channel->clearWrites();
        Key(Qt::Key_F11);
        QVERIFY(f.finish());
        QCOMPARE(f.messages.texts(), QStringList{"写入成功"});
        QVERIFY(!restore->isEnabled());
        // The port came back, perhaps with another radio: a backup of its own first.
        QCOMPARE(f.channel->written().count("PROGRAM"), 3);
        QVERIFY(!TBackupStore().UnfinishedWrite(port));
        return;
    }
    SetRestoreAnswer(then == QLatin1String("restore"));
    restore->trigger();
    QVERIFY(f.finish());
    SetRestoreAnswer(false);
    QVERIFY(f.messages.texts().first().startsWith(question));
    if (then == QLatin1String("decline")) {
        QCOMPARE(f.messages.texts().size(), 1);
        QVERIFY(f.radio.image() == cutShort);
        QVERIFY(restore->isEnabled());
        QCOMPARE(TBackupStore().UnfinishedWrite(port), noted);
        return;
    }
    QCOMPARE(f.messages.texts().last(), QStringLiteral("写入成功"));
    QVERIFY(f.radio.image() == before);
    QVERIFY(!restore->isEnabled());
    QVERIFY(!TBackupStore().UnfinishedWrite(port));
}

void TestMainWindow::restoreNotedInEarlierRun_data()
{
    QTest::addColumn<QString>("notedPort");
    QTest::addColumn<bool>("fileKept");
    QTest::addColumn<QString>("how");  // "offered": 恢复备份; "chosen": 从备份恢复… as it opens;
                                       // "read": 从备份恢复… of the backup of the read since
    QTest::addRow("this port, 恢复备份") << "/dev/virtual-radio" << true << "offered";
    QTest::addRow("this port, 从备份恢复… opens on it") << "/dev/virtual-radio" << true << "chosen";
    QTest::addRow("this port, the half-written read put back") << "/dev/virtual-radio" << true << "read";
    QTest::addRow("another port, offered once chosen") << "/dev/ttyUSB7" << true << "offered";
    QTest::addRow("backup file gone") << "/dev/virtual-radio" << false << "offered";
}

// A write that did not end well in an earlier run left its note in the backups folder: the
// window offers that backup for the port from the start, and 从备份恢复… opens on it.
void TestMainWindow::restoreNotedInEarlierRun()
{
    QFETCH(QString, notedPort);
    QFETCH(bool, fileKept);
    QFETCH(QString, how);
    const QString port = QStringLiteral("/dev/virtual-radio");
    const TRadioImage before = FactoryImage();
    const QString path = NoteEarlierUnfinishedWrite(notedPort, {frame::kMainArea, frame::kSettingsArea});
    QVERIFY(!path.isEmpty());
    if (!fileKept)
        QVERIFY(QFile::remove(path));
    TRadioImage halfWritten = before;
    Block changed = before.block(frame::kMainArea, 2);
    changed[0] ^= 0x22;
    halfWritten.setBlock(frame::kMainArea, 2, changed);

    Fixture f(halfWritten);
    QAction *restore = f.action("RestoreBackup");
    QCOMPARE(restore->isEnabled(), fileKept && notedPort == port);
    if (notedPort != port) {
        f.form().comcbb()->setEditText(notedPort);
        QVERIFY(restore->isEnabled());
        f.form().comcbb()->setEditText(port);
        QVERIFY(restore->isEnabled());  // the user may have moved the radio to another port
        TBackupStore().ClearUnfinishedWrite(notedPort);
        return;
    }
    if (!fileKept)
        return;
    // A read there may show a half-written radio, and says so.
    QVERIFY(f.read());
    QCOMPARE(f.messages.texts(), QStringList{QStringLiteral("此端口上的一次写入未完成，读到的可能只写了一半；若是同一部电台，"
                                                            "那次写入前的备份：%1，可用“文件 → 恢复备份”写回").arg(path)});
    f.messages.messages.clear();
    const bool putBackHalf = how == QLatin1String("read");
    const QString chosen = putBackHalf ? TBackupStore().List().first().path : path;
    SetRestoreAnswer(true);
    if (how == QLatin1String("offered")) {
        restore->trigger();
    } else {
        AnswerFileDialog(f.form(), "BackupDialog", putBackHalf ? chosen : QString());
        f.action("RestoreFromBackup")->trigger();
    }
    QVERIFY(f.finish());
    SetRestoreAnswer(false);
    QCOMPARE(f.messages.texts().size(), 2);
    QVERIFY(f.messages.texts().first().contains(QStringLiteral("文件：") + QFileInfo(chosen).fileName()));
    // Put back as that write left it, the radio is as much in doubt as before.
    QCOMPARE(f.messages.texts().last(),
             putBackHalf ? QStringLiteral("写入成功\n此端口上早先的一次写入未完成，这次写入后电台仍可能只写了一半；"
                                          "若是同一部电台，那次写入前的备份：%1").arg(path)
                         : QStringLiteral("写入成功"));
    QVERIFY(f.radio.image() == (putBackHalf ? halfWritten : before));
    QCOMPARE(restore->isEnabled(), putBackHalf);
    QCOMPARE(TBackupStore().UnfinishedWrite(port), putBackHalf ? std::optional<QString>(path) : std::nullopt);
    f.messages.messages.clear();
    QVERIFY(f.read());
    QCOMPARE(f.messages.texts().size(), putBackHalf ? 1 : 0);
}

void TestMainWindow::noteOutlivesOtherAreas_data()
{
    QTest::addColumn<QList<int>>("notedAreas");  // what the backup of the unfinished write holds
    QTest::addColumn<QString>("then");           // "read main", "read dtmf", "write main", "write dtmf", "other program"
                                                 // (ends the note), "other program, main" (writes the channels)
    QTest::addColumn<bool>("warned");            // the read says it may be half written
    QTest::addColumn<bool>("notedAfter");        // 恢复备份 still offered, the note still there
    const QList<int> main{frame::kMainArea, frame::kSettingsArea};
    const QList<int> dtmf{frame::kDtmfArea};
    QTest::addRow("main noted, main read") << main << "read main" << true << true;
    QTest::addRow("main noted, DTMF read") << main << "read dtmf" << false << true;
    QTest::addRow("DTMF noted, DTMF read") << dtmf << "read dtmf" << true << true;
    QTest::addRow("main noted, DTMF written") << main << "write dtmf" << false << true;
    QTest::addRow("main noted, main written") << main << "write main" << false << false;
    QTest::addRow("DTMF noted, DTMF written") << dtmf << "write dtmf" << false << false;
    QTest::addRow("ended by another program") << main << "other program" << false << false;
    // The channels written well: the note and the offer stand for the DTMF table alone.
    QTest::addRow("main and DTMF noted, main written") << (main + dtmf) << "write main" << false << true;
    QTest::addRow("main and DTMF noted, main written by another program") << (main + dtmf) << "other program, main" << false << true;
}

// A note of an unfinished write concerns the areas its backup holds: a read of another area says
// nothing, and a write that ends well ends it only when it covers them all. 恢复备份 follows
// the note when the File menu opens.
void TestMainWindow::noteOutlivesOtherAreas()
{
    QFETCH(QList<int>, notedAreas);
    QFETCH(QString, then);
    QFETCH(bool, warned);
    QFETCH(bool, notedAfter);
    const QString port = QStringLiteral("/dev/virtual-radio");
    const QString path = NoteEarlierUnfinishedWrite(port, notedAreas);
    QVERIFY(!path.isEmpty());
    Fixture f;
    QAction *restore = f.action("RestoreBackup");
    QVERIFY(restore->isEnabled());

    TForm2 &dtmf = f.windows->Form2();
    if (then.endsWith(QLatin1String("dtmf")))
        f.action("DTMF1")->trigger();
    if (then == QLatin1String("read main"))
        f.form().rbtn()->click();
    else if (then == QLatin1String("read dtmf"))
        dtmf.rbtn()->click();
    else if (then == QLatin1String("write main"))
        f.form().wbtn()->click();
    else if (then == QLatin1String("write dtmf"))
        dtmf.wbtn()->click();
    else if (then == QLatin1String("other program"))
        TBackupStore().ClearUnfinishedWrite(port);
    else
        TBackupStore().EndUnfinishedWrite(port, FactoryAreas({frame::kMainArea, frame::kSettingsArea}));
    QVERIFY(f.finish());
    const QStringList texts = f.messages.texts();
    if (then.startsWith(QLatin1String("write")))
        QVERIFY2(texts.size() == 1 && texts.first().startsWith(QStringLiteral("写入成功")), qPrintable(texts.join(QLatin1Char('\n'))));
    else
        QCOMPARE(texts.size(), warned ? 1 : 0);
    if (warned)
        QVERIFY2(texts.first().startsWith(QStringLiteral("此端口上的一次写入未完成")) && texts.first().contains(path),
                 qPrintable(texts.first()));
    emit f.child<QMenu>("N2")->aboutToShow();
    QCOMPARE(restore->isEnabled(), notedAfter);
    const std::optional<QString> noted = TBackupStore().UnfinishedWrite(port);
    QCOMPARE(noted.has_value(), notedAfter);
    if (noted)
        QCOMPARE(f.form().findChild<TRestoreActions *>()->OfferedBackup(), *noted);
    // A write that ended well names what is still in doubt: the rest of a note it covered in part.
    if (then.startsWith(QLatin1String("write"))) {
        QCOMPARE(texts.first() == QStringLiteral("写入成功"), !noted || *noted == path);
        if (noted && *noted != path)
            QVERIFY2(texts.first().contains(*noted), qPrintable(texts.first()));
    }
}

void TestMainWindow::restoreFromBackup_data()
{
    QTest::addColumn<QString>("holds");    // "main", "main-dtmf", or "dtmf-part": DTMF blocks 0 and 1 only
    QTest::addColumn<bool>("answer");      // the user's answer to the question before writing
    QTest::addColumn<QString>("contents"); // what the question says the backup holds
    QTest::addRow("channels and settings") << "main" << true << "内容：信道和设置（17 块）";
    QTest::addRow("with DTMF, its editor open") << "main-dtmf" << true << "内容：信道和设置、DTMF（21 块）";
    QTest::addRow("not written when the user declines") << "main-dtmf" << false << "";
    QTest::addRow("part of an area: only its blocks") << "dtmf-part" << true << "内容：DTMF（2 块）";
}

// 从备份恢复…: the chosen backup's contents are shown, then exactly its blocks are written back
// (each part with its own backup and verify); the radio's other areas and the table stay.
void TestMainWindow::restoreFromBackup()
{
    QFETCH(QString, holds);
    QFETCH(bool, answer);
    QFETCH(QString, contents);
    Fixture f;
    const TRadioImage before = f.radio.image();
    TRadioImage backup = TRadioImage::None();
    Block changed = before.block(frame::kMainArea, 3);
    changed[0] ^= 0x11;
    if (holds.startsWith(QStringLiteral("main"))) {
        for (int n = 1; n <= frame::kChannelCount; ++n)
            backup.setBlock(frame::kMainArea, n, before.block(frame::kMainArea, n));
        backup.setBlock(frame::kMainArea, 3, changed);
        backup.setBlock(frame::kSettingsArea, 0, before.block(frame::kSettingsArea, 0));
    }
    Block dtmf = before.block(frame::kDtmfArea, 1);
    dtmf[5] ^= 0x0F;
    if (holds.contains(QStringLiteral("dtmf"))) {
        const int blocks = holds == QStringLiteral("dtmf-part") ? 2 : AreaFacts(frame::kDtmfArea).blockCount;
        for (int block = 0; block < blocks; ++block)
            backup.setBlock(frame::kDtmfArea, block, before.block(frame::kDtmfArea, block));
        backup.setBlock(frame::kDtmfArea, 1, dtmf);
        f.action("DTMF1")->trigger();
    }
    backup.setNotes({QStringLiteral("date: 2026-12-08T10:10:10"), QStringLiteral("port: /dev/ttyUSB0"),
                     QStringLiteral("program: xiepin-cli 1.1.4"), QStringLiteral("holds: main (17 blocks)"),
                     QStringLiteral("kept by hand"), QStringLiteral("date: Tuesday, by hand")});
    const QString path = SaveInBackups(backup, QStringLiteral("20261208-101010-chosen.img"));
    QVERIFY(!path.isEmpty());
    const TMainSnapshot table = f.texts();
    f.channel->clearWrites();

    SetRestoreAnswer(answer);
    AnswerFileDialog(f.form(), "BackupDialog", path);
    f.action("RestoreFromBackup")->trigger();
    QVERIFY(f.finish());
    SetRestoreAnswer(false);

    TRadioImage expected = before;
    QCOMPARE(f.messages.texts().size(), answer ? 2 : 1);  // the question, then the result
    const QString question = f.messages.texts().first();
    // The notes every backup has in the window's words; what it holds said once.
    QVERIFY2(question.contains(QStringLiteral("20261208-101010-chosen.img"))
                 && question.endsWith(QStringLiteral("\n读取时间：2026-12-08 10:10:10\n端口：/dev/ttyUSB0\n"
                                                     "程序：xiepin-cli 1.1.4\n# kept by hand\n读取时间：Tuesday, by hand"))
                 && !question.contains(QStringLiteral("holds")),
             qPrintable(question));
    if (answer) {
        QVERIFY2(question.contains(contents), qPrintable(question));
        QCOMPARE(f.messages.texts().last(), QStringLiteral("写入成功"));
        for (const TRadioImage::Place &place : backup.heldPlaces())
            expected.setBlock(place.area, place.block, backup.block(place.area, place.block));
    }
    QCOMPARE(Differences(f.radio.image(), expected), QString());
    QCOMPARE(f.channel->written().contains('W'), answer);
    QVERIFY(f.texts() == table);
    QDir(TBackupStore::DefaultFolder()).removeRecursively();
}

void TestMainWindow::keysDuringRestore_data()
{
    QTest::addColumn<int>("key");
    QTest::addRow("F11") << int(Qt::Key_F11);
    QTest::addRow("F12") << int(Qt::Key_F12);
}

// F11 and F12 restart only the window's own transfers: a restore that runs goes on and puts
// exactly its backup back, and its end is not taken for the window's: an edited table stays
// edited.
void TestMainWindow::keysDuringRestore()
{
    QFETCH(int, key);
    Fixture f;
    TRadioImage backup = TRadioImage::None();
    for (int n = 1; n <= frame::kChannelCount; ++n)
        backup.setBlock(frame::kMainArea, n, f.radio.image().block(frame::kMainArea, n));
    backup.setBlock(frame::kSettingsArea, 0, f.radio.image().block(frame::kSettingsArea, 0));
    Block changed = backup.block(frame::kMainArea, 3);
    changed[0] ^= 0x11;
    backup.setBlock(frame::kMainArea, 3, changed);
    const QString path = SaveInBackups(backup, QStringLiteral("20261208-101010-main.img"));
    f.enter(1, 1, QStringLiteral("145"));
    QVERIFY(f.form().windowTitle().endsWith(QLatin1Char('*')));
    // The backup read's 18 answers, the handshake's, then block 3's goes missing.
    f.radio.faults().drop = FaultTrigger::nth(18 + 1 + 3);

    SetRestoreAnswer(true);
    AnswerFileDialog(f.form(), "BackupDialog", path);
    f.action("RestoreFromBackup")->trigger();
    SetRestoreAnswer(false);
    QTRY_VERIFY(f.radio.image().block(frame::kMainArea, 3) == changed);
    f.tableKey(key, Qt::NoModifier);
    QVERIFY(f.finish());
    QCOMPARE(f.messages.texts().last(), QStringLiteral("写入成功"));
    TRadioImage expected = FactoryImage();
    for (const TRadioImage::Place &place : backup.heldPlaces())
        expected.setBlock(place.area, place.block, backup.block(place.area, place.block));
    QCOMPARE(Differences(f.radio.image(), expected), QString());
    QVERIFY(f.form().windowTitle().endsWith(QLatin1Char('*')));
    QDir(TBackupStore::DefaultFolder()).removeRecursively();
}

// Retry during 与电台比较 compares again: the table stays as the user left it.
void TestMainWindow::retryKeepsCompare()
{
    Fixture f;
    Key(Qt::Key_F12);
    QVERIFY(f.finish());
    f.enter(1, 2, QStringLiteral("439"));
    const TMainSnapshot window = f.texts();
    f.messages.messages.clear();
    f.radio.faults().silent = true;
    f.action("CompareWithRadio")->trigger();
    QTest::qWait(100);
    f.radio.faults().silent = false;
    f.windows->Form3().Button1()->click();
    QTRY_COMPARE(f.messages.texts().size(), 1);
    QVERIFY(f.finish());
    QVERIFY2(f.messages.texts().first().startsWith(QStringLiteral("窗口与电台有 1 处不同")), qPrintable(f.messages.texts().first()));
    QVERIFY(f.texts() == window);
}

// An editor's read made before a restore no longer says what the radio holds: the editor's
// next write reads its backup first.
void TestMainWindow::restoreForgetsEditorsRead()
{
    Fixture f;
    TRadioImage backup = TRadioImage::None();
    for (int block = 0; block < AreaFacts(frame::kDtmfArea).blockCount; ++block)
        backup.setBlock(frame::kDtmfArea, block, f.radio.image().block(frame::kDtmfArea, block));
    Block changed = backup.block(frame::kDtmfArea, 1);
    changed[5] ^= 0x0F;
    backup.setBlock(frame::kDtmfArea, 1, changed);
    const QString path = SaveInBackups(backup, QStringLiteral("20261208-101010-dtmf.img"));
    f.action("DTMF1")->trigger();
    TForm2 &dtmf = f.windows->Form2();
    dtmf.rbtn()->click();
    QVERIFY(f.finish());

    SetRestoreAnswer(true);
    AnswerFileDialog(f.form(), "BackupDialog", path);
    f.action("RestoreFromBackup")->trigger();
    QVERIFY(f.finish());
    SetRestoreAnswer(false);
    QCOMPARE(f.messages.texts().last(), QStringLiteral("写入成功"));

    f.channel->clearWrites();
    dtmf.wbtn()->click();
    QVERIFY(f.finish());
    const QByteArray wire = f.channel->written();
    QVERIFY(wire.indexOf(readRequest(frame::kDtmfArea, 0)) >= 0);
    QVERIFY(wire.indexOf(readRequest(frame::kDtmfArea, 0)) < wire.indexOf('W'));
    QDir(TBackupStore::DefaultFolder()).removeRecursively();
}

// A radio that stays silent while a signalling table is put back: the restore ends as the
// editors' transfers end, says how far it got, writes nothing and closes the port it opened.
void TestMainWindow::restoreFromSilentRadio()
{
    Fixture f;
    TRadioImage backup = TRadioImage::None();
    for (int block = 0; block < AreaFacts(frame::kDtmfArea).blockCount; ++block)
        backup.setBlock(frame::kDtmfArea, block, f.radio.image().block(frame::kDtmfArea, block));
    const QString path = SaveInBackups(backup, QStringLiteral("20261208-101010-dtmf.img"));
    QVERIFY(!path.isEmpty());
    f.form().findChild<TImageRestore *>()->SetSilenceMs(200);
    f.radio.faults().silent = true;

    SetRestoreAnswer(true);
    AnswerFileDialog(f.form(), "BackupDialog", path);
    f.action("RestoreFromBackup")->trigger();
    QVERIFY(f.finish());
    SetRestoreAnswer(false);
    QCOMPARE(f.messages.texts().size(), 2);
    QCOMPARE(f.messages.texts().last(), QStringLiteral("写入失败：电台无应答\n已读取 0/4 块，未写入"));
    QVERIFY(!f.channel->written().contains('W'));
    QVERIFY(!f.channel->IsOpen());
    QDir(TBackupStore::DefaultFolder()).removeRecursively();
}

// 从备份恢复… lists the backups newest first: of 200, the likeliest choice is at the top.
void TestMainWindow::backupsListedNewestFirst()
{
    Fixture f;
    for (const char *name : {"20261208-090000-main.img", "20261210-090000-main.img", "20261209-090000-main.img"})
        QVERIFY(!SaveInBackups(f.radio.image(), QString::fromLatin1(name)).isEmpty());
    QStringList listed;
    QTimer::singleShot(0, &f.form(), [&f, &listed] {
        auto *dialog = f.form().findChild<QFileDialog *>("BackupDialog");
        QVERIFY(dialog && dialog->isVisible());
        auto *list = dialog->findChild<QListView *>(QStringLiteral("listView"));
        QVERIFY(list);
        const auto names = [list] {
            QStringList shown;
            for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
                shown << list->model()->index(row, 0, list->rootIndex()).data().toString();
            return shown;
        };
        // The folder is listed, and sorted, a moment after the dialog shows.
        (void)QTest::qWaitFor([&names] { return names().size() == 3 && names().first() == QLatin1String("20261210-090000-main.img"); }, 3000);
        listed = names();
        dialog->reject();
    });
    f.action("RestoreFromBackup")->trigger();
    QCOMPARE(listed, (QStringList{"20261210-090000-main.img", "20261209-090000-main.img", "20261208-090000-main.img"}));
    QDir(TBackupStore::DefaultFolder()).removeRecursively();
}

// 取消 during a restore's write says how far it got and where the backup of the radio before it
// is, as a write's does.
void TestMainWindow::restoreCancelledSaysHowFar()
{
    Fixture f;
    const QString path = SaveInBackups(f.radio.image(), QStringLiteral("20261208-101010-all.img"));
    QVERIFY(!path.isEmpty());
    connect(f.form().findChild<TImageRestore *>(), &TImageRestore::PhaseChanged, this, [&f](TSafeWrite::Phase phase) {
        if (phase == TSafeWrite::Phase::Write)
            f.radio.faults().silent = true;
    });
    SetRestoreAnswer(true);
    AnswerFileDialog(f.form(), "BackupDialog", path);
    f.action("RestoreFromBackup")->trigger();
    SetRestoreAnswer(false);
    QTRY_VERIFY(f.radio.faults().silent);
    f.form().findChild<TImageRestore *>()->disconnect(this);
    f.messages.messages.clear();
    f.windows->Form3().Button2()->click();
    QVERIFY(f.finish());
    QCOMPARE(f.messages.texts().size(), 1);
    const QStringList lines = f.messages.texts().first().split(QLatin1Char('\n'));
    QVERIFY2(lines.first().startsWith(QStringLiteral("已取消，已写入 0/")), qPrintable(lines.first()));
    QVERIFY(lines.at(1).startsWith(QStringLiteral("写入前的备份：")));
    QDir(TBackupStore::DefaultFolder()).removeRecursively();
}

// 与电台比较 lists each field where the window and the radio differ, radio first, and writes
// nothing; the table keeps the window's texts.
void TestMainWindow::compareWithRadio()
{
    Fixture f;
    Key(Qt::Key_F12);
    QVERIFY(f.finish());
    f.action("CompareWithRadio")->trigger();
    QVERIFY(f.finish());
    QCOMPARE(f.messages.texts(), QStringList{"窗口与电台相同"});

    const QString before = f.xg().Cells(1, 2);
    f.enter(1, 2, QStringLiteral("439"));
    f.enter(2, 4, QStringLiteral("440"));
    f.form().ComboBox(4)->setEditText(QStringLiteral("120"));
    const TMainSnapshot window = f.texts();
    f.messages.messages.clear();
    f.channel->clearWrites();
    f.action("CompareWithRadio")->trigger();
    QVERIFY(f.finish());
    QCOMPARE(f.messages.texts().size(), 1);
    const QStringList lines = f.messages.texts().first().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 1 + 3);
    QCOMPARE(lines.first(), QStringLiteral("窗口与电台有 3 处不同（电台 → 窗口）："));
    QVERIFY2(lines.at(1).startsWith(QStringLiteral("信道 2 接收频率: %1 → 439.00000").arg(before)), qPrintable(lines.at(1)));
    QVERIFY(f.texts() == window);
    QVERIFY(!f.channel->written().contains('W'));

    // F12 while a compare runs reads the radio into the table, as F12 does.
    f.messages.messages.clear();
    f.action("CompareWithRadio")->trigger();
    QVERIFY(f.form().Link().IsBusy());
    Key(Qt::Key_F12);
    QVERIFY(f.finish());
    QCOMPARE(f.messages.texts(), QStringList());
    QCOMPARE(f.xg().Cells(1, 2), before);
}

void TestMainWindow::portGoneForgetsRead_data()
{
    QTest::addColumn<bool>("hungUp");
    QTest::addRow("gone from the port list") << false;
    QTest::addRow("hung up") << true;
}

// A write cancelled once it began leaves its backup for the next write (a read now would find
// the radio half written), but not once the port went from the list or its device hung up:
// its cable may come back on another radio.
void TestMainWindow::portGoneForgetsRead()
{
    QFETCH(bool, hungUp);
    Fixture f;
    f.form().comcbb()->addItem(QStringLiteral("virtual radio"), QStringLiteral("/dev/virtual-radio"));
    f.form().comcbb()->setCurrentIndex(f.form().comcbb()->count() - 1);
    f.enter(1, 3, QStringLiteral("438"));
    const QMetaObject::Connection silence = FallSilentIn(f, f.form(), TSafeWrite::Phase::Write);
    Key(Qt::Key_F11);
    QTRY_VERIFY(f.radio.faults().silent);
    QObject::disconnect(silence);
    f.windows->Form3().Button2()->click();
    QVERIFY(f.finish());
    f.radio.faults().silent = false;
    f.messages.messages.clear();
    if (hungUp) {
        emit f.channel->OnRequestHangup();
    } else {
        auto *watcher = f.form().findChild<TPortWatcher *>();
        QVERIFY(watcher);
        emit watcher->PortsChanged();  // the system's ports now, without the virtual one
        QCOMPARE(f.form().comcbb()->findData(QStringLiteral("/dev/virtual-radio")), -1);
    }
    f.enter(1, 3, QStringLiteral("439"));
    f.channel->clearWrites();
    Key(Qt::Key_F11);
    QVERIFY(f.finish());
    QCOMPARE(f.messages.texts(), QStringList{"写入成功"});
    QCOMPARE(f.channel->written().count("PROGRAM"), 3);  // a backup read first, the write, its verify
}

void TestMainWindow::signallingMenu()
{
    Fixture f;
    Key(Qt::Key_F12);
    QVERIFY(f.finish());
    QVERIFY(!f.channel->IsOpen());
    f.action("DTMF1")->trigger();
    QVERIFY(f.windows->Form2().isVisible());
    QVERIFY(f.channel->IsOpen());
    QVERIFY(!f.form().comcbb()->isEnabled());
    f.action("N4")->trigger();
    QVERIFY(f.windows->Form6().isVisible());
    QCOMPARE(f.channel->opens(), 2);
}

void TestMainWindow::signallingMenuPortError()
{
    Fixture f;
    RadioFaults faults;
    faults.disappearAfter = 18;  // gone right after a main read: handshake, 16 channels, settings
    f.radio.setFaults(faults);
    Key(Qt::Key_F12);
    QVERIFY(f.finish());
    QVERIFY(f.action("N2tone1")->isEnabled());
    f.action("N2tone1")->trigger();
    QCOMPARE(f.messages.texts(), QStringList{"Error opening serial port"});
    QVERIFY(f.windows->Form4().isHidden());
    QVERIFY(f.form().comcbb()->isEnabled());
}

void TestMainWindow::fileSaveAndOpenRoundTrip()
{
    Fixture f;
    QTemporaryDir dir;
    f.enter(1, 1, QStringLiteral("438.5"));
    f.enter(3, 1, QStringLiteral("88.5"));
    f.form().ComboBox(6)->setEditText(QStringLiteral("监听"));
    const QString path = dir.filePath(QStringLiteral("radio"));
    AnswerFileDialog(f.form(), "SaveDialog1", path);
    f.form().N5Click();
    QVERIFY(QFile::exists(path + QStringLiteral(".qz")));

    f.enter(1, 1, QString());
    f.form().ComboBox(6)->setEditText(QStringLiteral("无"));
    QCOMPARE(f.xg().Cells(3, 1), QString());

    AnswerFileDialog(f.form(), "OpenDialog1", path + QStringLiteral(".qz"));
    AnswerSaveBox(QStringLiteral("不保存"));  // the edits since the save
    f.form().N3Click();
    QCOMPARE(f.xg().Cells(1, 1), QStringLiteral("438.50000"));
    QCOMPARE(f.xg().Cells(3, 1), QStringLiteral("88.5"));
    QCOMPARE(f.xg().Cells(1, 2), QStringLiteral(" "));
    QCOMPARE(f.form().ComboBox(6)->currentText(), QStringLiteral("监听"));
    QVERIFY(f.messages.messages.isEmpty());
}

// A name typed into the open dialog and Enter: its box's completion list goes with the dialog,
// and the window takes keys again (F12 reads).
void TestMainWindow::openByTypedNameKeepsKeys()
{
    Fixture f;
    QTemporaryDir dir;
    f.enter(1, 1, QStringLiteral("438.5"));
    AnswerFileDialog(f.form(), "SaveDialog1", dir.filePath(QStringLiteral("plan1.qz")));
    f.form().N5Click();
    QTimer::singleShot(0, &f.form(), [&f, &dir] {
        auto *dialog = f.form().findChild<QFileDialog *>("OpenDialog1");
        QVERIFY(dialog && dialog->isVisible());
        dialog->setDirectory(dir.path());
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        QApplication::setActiveWindow(dialog);
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("plan"));
        // The completion list offers plan1.qz, once the dialog has listed the folder.
        for (int tries = 0; tries < 50 && !QApplication::activePopupWidget(); ++tries) {
            QTest::qWait(100);
            QTest::keyClick(name, Qt::Key_Backspace);
            QTest::keyClick(name, Qt::Key_N);
        }
        if (!QApplication::activePopupWidget())
            dialog->reject();
        QVERIFY(QApplication::activePopupWidget());
        QTest::keyClicks(QApplication::activePopupWidget(), QStringLiteral("1.qz"));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
        if (dialog->isVisible())
            QTest::keyClick(name, Qt::Key_Return);
    });
    f.form().N3Click();
    QCOMPARE(f.form().windowTitle(), QStringLiteral("对讲机写频软件 V1.1.4 - plan1.qz"));
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
    QTRY_COMPARE(QApplication::activeWindow(), &f.form());
    f.channel->clearWrites();
    Key(Qt::Key_F12);
    QVERIFY(f.finish());
    QVERIFY(f.channel->written().startsWith("PROGRAM"));
}

void TestMainWindow::exitEndsProgramWhileOthersShow()
{
    Fixture f;
    Key(Qt::Key_F12);
    QVERIFY(f.finish());
    f.action("DTMF1")->trigger();
    f.radio.faults().silent = true;
    f.form().rbtn()->click();
    QVERIFY(f.windows->Form3().isVisible());
    QVERIFY(f.windows->Form2().isVisible());
    f.action("N1")->trigger();
    QVERIFY(!f.form().isVisible());
    // Qt ends the event loop when the last window that quits on close has closed.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            QVERIFY2(!window->testAttribute(Qt::WA_QuitOnClose), qPrintable(window->objectName()));
    }
}

void TestMainWindow::activationRenumbers()
{
    Fixture f;
    f.form().Config().SetCell(5, 0, QStringLiteral("99"));
    QCOMPARE(f.xg().Cells(0, 5), QStringLiteral("99"));
    f.form().FormActivate();
    QCOMPARE(f.xg().Cells(0, 5), QStringLiteral("5"));
}

namespace {

// One kind of user action on the table or the settings, after a read of the factory radio and
// a channel 8 typed in. `setup` runs before the texts are taken; `act` is the action.
struct EditAction {
    std::function<void(Fixture &, const QString &file)> setup;
    std::function<void(Fixture &, const QString &file)> act;
};

const QHash<QString, EditAction> &EditActions()
{
    const auto none = [](Fixture &, const QString &) {};
    static const QHash<QString, EditAction> actions{
        {"typed new channel", {none, [](Fixture &f, const QString &) { f.enter(1, 9, QStringLiteral("145.5")); }}},
        {"typed empty receive frequency", {none, [](Fixture &f, const QString &) { f.enter(1, 2, QString()); }}},
        {"typed bad frequency", {none, [](Fixture &f, const QString &) { f.enter(1, 10, QStringLiteral("4x")); }}},
        {"paste", {none, [](Fixture &f, const QString &) {
             QGuiApplication::clipboard()->setText(QStringLiteral("430\t431\n\t\t\t\t\t宽带\n 1 4 5"));
             f.selectCell(1, 5);
             Key(Qt::Key_V, Qt::ControlModifier);
         }}},
        {"paste one cell down a column", {none, [](Fixture &f, const QString &) {
             QGuiApplication::clipboard()->setText(QStringLiteral("低"));
             f.selectCell(5, 1);
             f.xg().SetSelection(QRect(QPoint(5, 1), QPoint(5, 8)));
             Key(Qt::Key_V, Qt::ControlModifier);
             QCOMPARE(f.xg().Cells(5, 1), QStringLiteral("低"));
             QCOMPARE(f.xg().Cells(5, 8), QStringLiteral("低"));
         }}},
        {"cut", {none, [](Fixture &f, const QString &) {
             f.selectCell(2, 3);
             f.xg().SetSelection(QRect(QPoint(1, 3), QPoint(4, 4)));
             Key(Qt::Key_X, Qt::ControlModifier);
         }}},
        {"cells cleared by Delete", {none, [](Fixture &f, const QString &) {
             QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
             f.selectCell(3, 2);
             f.xg().SetSelection(QRect(QPoint(3, 2), QPoint(5, 3)));
             Key(Qt::Key_Delete);
             QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
             QCOMPARE(f.messages.texts(), QStringList());
             QCOMPARE(f.xg().Cells(4, 3), QString());
         }}},
        {"insert channel", {none, [](Fixture &f, const QString &) {
             f.selectRows(2, 2);
             Key(Qt::Key_Insert);
         }}},
        {"delete channels", {none, [](Fixture &f, const QString &) {
             f.selectRows(3, 4);
             Key(Qt::Key_Delete, Qt::ControlModifier);
         }}},
        {"move up", {none, [](Fixture &f, const QString &) {
             f.selectRows(4, 5);
             Key(Qt::Key_Up, Qt::ControlModifier);
             QCOMPARE(f.xg().Selection(), QRect(QPoint(1, 3), QPoint(15, 4)));  // the selection follows
             QCOMPARE(f.xg().Row(), 3);
         }}},
        {"move down", {none, [](Fixture &f, const QString &) {
             f.selectRows(1, 1);
             Key(Qt::Key_Down, Qt::ControlModifier);
         }}},
        {"clear from the row menu", {none, [](Fixture &f, const QString &) {
             f.selectRows(6, 6);
             f.action("ClearChannel1")->trigger();
         }}},
        {"settings box typed", {none, [](Fixture &f, const QString &) {
             QComboBox *box = f.form().ComboBox(4);
             box->setFocus();
             box->lineEdit()->selectAll();
             Type(QStringLiteral("120"));
         }}},
        {"settings box typed again after leaving it", {[](Fixture &f, const QString &) {
                                                           f.form().ComboBox(4)->setFocus();
                                                           Type(QStringLiteral("0"));
                                                           f.selectCell(1, 1);
                                                       },
                                                       [](Fixture &f, const QString &) {
                                                           f.form().ComboBox(4)->setFocus();
                                                           Type(QStringLiteral("5"));
                                                       }}},
        {"file loaded", {[](Fixture &f, const QString &file) {
                             f.form().SaveFile(file);
                             f.form().SaveFile(file + QStringLiteral(".before.qz"));  // the file before
                             f.enter(1, 1, QString());
                             f.form().ComboBox(9)->setEditText(QStringLiteral("关"));
                         },
                         [](Fixture &f, const QString &file) {
                             AnswerFileDialog(f.form(), "OpenDialog1", file);
                             AnswerSaveBox(QStringLiteral("不保存"));
                             f.action("N3")->trigger();
                         }}},
        {"CSV imported", {[](Fixture &, const QString &file) {
                              QVERIFY(WriteWholeFile(file, "Frequency,Tone,rToneFreq\r\n145.5,Tone,100.0\r\n146\r\n"));
                          },
                          [](Fixture &f, const QString &file) { f.form().findChild<TChannelPlanActions *>()->ImportCsv(file, 7); }}},
        {"read from the radio", {[](Fixture &f, const QString &file) {
                                     f.form().SaveFile(file);
                                     f.enter(1, 9, QStringLiteral("145.5"));
                                 },
                                 [](Fixture &f, const QString &) {
                                     f.tableKey(Qt::Key_F12, Qt::NoModifier);
                                     QVERIFY(f.finish());
                                     QCOMPARE(f.form().windowTitle(), QStringLiteral("对讲机写频软件 V1.1.4"));
                                 }}},
    };
    return actions;
}

}  // namespace

void TestMainWindow::undoRedoEveryAction_data()
{
    QTest::addColumn<QString>("action");
    QStringList names = EditActions().keys();
    names.sort();
    for (const QString &name : std::as_const(names))
        QTest::newRow(qPrintable(name)) << name;
}

// The texts, and the radio channel each row came from, which moves with it.
static bool SameState(const TMainSnapshot &a, const TMainSnapshot &b)
{
    return a == b && a.origins == b.origins;
}

// Every kind of action is one step that undo takes back cell for cell, and redo brings again.
void TestMainWindow::undoRedoEveryAction()
{
    QFETCH(QString, action);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("saved.qz"));
    Fixture f;
    f.tableKey(Qt::Key_F12, Qt::NoModifier);
    QVERIFY(f.finish());
    f.enter(1, 8, QStringLiteral("440"));
    EditActions()[action].setup(f, file);
    const TMainSnapshot before = f.texts();
    const int steps = f.undo().index();
    const QString caption = f.form().windowTitle();

    EditActions()[action].act(f, file);
    const QString captionAfter = f.form().windowTitle();
    const TMainSnapshot after = f.texts();
    QVERIFY(after != before);
    QCOMPARE(f.undo().index(), steps + 1);
    QVERIFY(f.gridShowsModel());
    for (int n = 1; n <= 16; ++n)
        QCOMPARE(f.xg().Cells(0, n), QString::number(n));

    f.tableKey(Qt::Key_Z);
    QVERIFY(SameState(f.texts(), before));
    QVERIFY(f.gridShowsModel());
    QCOMPARE(f.undo().index(), steps);
    QCOMPARE(f.form().windowTitle(), caption);  // the file a save goes to, and whether it differs
    f.tableKey(Qt::Key_Y);
    QVERIFY(SameState(f.texts(), after));
    QCOMPARE(f.form().windowTitle(), captionAfter);
    f.tableKey(Qt::Key_Z);
    QVERIFY(SameState(f.texts(), before));
    f.tableKey(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(SameState(f.texts(), after));
    QVERIFY(f.gridShowsModel());
    for (int box = 1; box <= 10; ++box)
        QCOMPARE(f.form().ComboBox(box)->currentText(), f.form().Config().Setting(box));
}

// Three rows from a spreadsheet into channels 1 to 3 of an empty table, then undone; F11
// writes what the table holds each time.
void TestMainWindow::pastedBlockIsWrittenAndUndone()
{
    Fixture f;
    const TRadioImage factory = f.radio.image();
    QGuiApplication::clipboard()->setText(QStringLiteral(
        "438.5\t438.5\t88.5\t无\t低\t窄带\t有\t12500\t1\t2\tBOT\t3\tFSK\t7\t有\r\n"
        "145.2\r\n"
        " 440 \t441\t无\t023N\t \t窄带\r\n"));
    f.selectCell(1, 1);
    Key(Qt::Key_V, Qt::ControlModifier);
    QVERIFY(f.messages.messages.isEmpty());

    TMainConfig expected;
    const QStringList defaults = NewChannelDefaults();
    expected.SetRow(1, QStringList{"1", "438.50000", "438.50000", "88.5", "无", "低", "窄带", "有", "12500", "1", "2",
                                   "BOT", "3", "FSK", "7", "有"});
    expected.SetRow(2, QStringList{"2", "145.20000", "145.20000"} + defaults);
    expected.SetRow(3, QStringList{"3", "440.00000", "441.00000", "无", "023N", "", "窄带"} + defaults.mid(4));
    // The table holds `table`, and F11 writes exactly its channels.
    const auto tableIsWritten = [&f](const TMainConfig &table) {
        for (int n = 1; n <= 16; ++n)
            QCOMPARE(f.form().Config().Row(n), table.Row(n));
        f.tableKey(Qt::Key_F11, Qt::NoModifier);
        QVERIFY(f.finish());
        for (int n = 1; n <= 16; ++n)
            QCOMPARE(f.radio.image().block(0, n), EncodeChannelBlock(table, n));
    };
    tableIsWritten(expected);
    if (QTest::currentTestFailed())
        return;
    // Copied back, the block reads as a text editor or a spreadsheet takes it.
    f.selectCell(1, 2);
    f.xg().SetSelection(QRect(QPoint(1, 2), QPoint(4, 3)));
    Key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("145.20000\t145.20000\t无\t无\n440.00000\t441.00000\t无\t023N"));
    f.tableKey(Qt::Key_Z);
    tableIsWritten(TMainConfig());
    QVERIFY(f.radio.image().block(0, 1) != factory.block(0, 1));
}

void TestMainWindow::editMenu()
{
    Fixture f;
    QStringList menus;
    for (QAction *menu : f.form().menuBar()->actions())
        menus << menu->text();
    QCOMPARE(menus, QStringList({"文件", "编辑", "信令编辑", "语言 / Language", "帮助"}));
    QStringList items;
    for (QAction *item : f.form().Editing().EditMenu()->actions()) {
        if (!item->isSeparator())
            items << item->text() + QLatin1Char(' ') + item->shortcut().toString(QKeySequence::PortableText);
    }
    QCOMPARE(items, QStringList({"撤销 Ctrl+Z", "重做 Ctrl+Y", "剪切 Ctrl+X", "复制 Ctrl+C", "粘贴 Ctrl+V",
                                 "插入信道 Ins", "删除信道 Ctrl+Del", "上移 Ctrl+Up", "下移 Ctrl+Down"}));
    QCOMPARE(f.action("Redo1")->shortcuts().value(1), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    QStringList fileKeys;
    for (const char *name : {"N3", "N5", "SaveAs1", "Print1", "N1"})
        fileKeys << f.action(name)->text() + QLatin1Char(' ') + f.action(name)->shortcut().toString(QKeySequence::PortableText);
    QCOMPARE(fileKeys, QStringList({"打开 Ctrl+O", "保存 Ctrl+S", "另存为… Ctrl+Shift+S", "打印… Ctrl+P", "退出 Ctrl+Q"}));
    QStringList rowMenu;
    for (QAction *item : f.form().Editing().RowMenu()->actions())
        rowMenu << item->text();
    QCOMPARE(rowMenu, QStringList({"插入信道", "删除信道", "上移", "下移", "清空信道"}));

    // A right click on a channel number selects that channel and opens the row menu there.
    QHeaderView *numbers = f.xg().verticalHeader();
    const QPoint third(numbers->width() / 2, numbers->sectionViewportPosition(2) + 5);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, third, numbers->viewport()->mapToGlobal(third));
    QApplication::sendEvent(numbers->viewport(), &rightClick);
    QTRY_VERIFY(f.form().Editing().RowMenu()->isVisible());
    QCOMPARE(f.xg().Selection(), QRect(QPoint(1, 3), QPoint(15, 3)));
    f.form().Editing().RowMenu()->hide();

    QVERIFY(!f.action("Undo1")->isEnabled());
    QVERIFY(!f.action("Redo1")->isEnabled());
    f.enter(1, 1, QStringLiteral("430"));
    QVERIFY(f.action("Undo1")->isEnabled());
    f.action("Undo1")->trigger();
    QCOMPARE(f.xg().Cells(1, 1), QString());
    QVERIFY(!f.action("Undo1")->isEnabled());
    QVERIFY(f.action("Redo1")->isEnabled());
    f.action("Redo1")->trigger();
    QCOMPARE(f.xg().Cells(1, 1), QStringLiteral("430.00000"));

    // Inserting would push channel 16 off the table: refused, with a message and no step.
    f.enter(1, 16, QStringLiteral("462"));
    const int steps = f.undo().index();
    f.selectRows(2, 2);
    Key(Qt::Key_Insert);
    QCOMPARE(f.messages.texts(), QStringList{"信道 16 已在使用，不能插入信道"});
    QCOMPARE(f.xg().Cells(1, 16), QStringLiteral("462.00000"));
    QCOMPARE(f.undo().index(), steps);

    // While a main transfer runs nothing may change the table.
    f.radio.faults().silent = true;
    f.form().rbtn()->click();
    for (const char *name : {"Undo1", "Cut1", "Paste1", "InsertChannel1", "MoveUp1", "ClearChannel1"})
        QVERIFY2(!f.action(name)->isEnabled(), name);
    QVERIFY(f.action("Copy1")->isEnabled());
    f.windows->Form3().Button2()->click();
    QVERIFY(f.action("Undo1")->isEnabled());
}

void TestMainWindow::captionAndClosePrompt_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("fileHolds");  // channel 2's receive frequency in the file (" " is empty)
    QTest::addRow("cancel keeps the window") << "取消" << false << " ";
    QTest::addRow("don't save closes") << "不保存" << true << " ";
    QTest::addRow("save writes the current file") << "保存" << true << "145.00000";
}

void TestMainWindow::captionAndClosePrompt()
{
    QFETCH(QString, answer);
    QFETCH(bool, closes);
    QFETCH(QString, fileHolds);
    const QString title = QStringLiteral("对讲机写频软件 V1.1.4");
    QTemporaryDir dir;
    Fixture f;
    QCOMPARE(f.form().windowTitle(), title);
    f.enter(1, 1, QStringLiteral("430"));
    QCOMPARE(f.form().windowTitle(), title + QStringLiteral(" *"));
    Key(Qt::Key_F11);  // with no file named, the radio is where the table was kept
    QVERIFY(f.finish());
    QCOMPARE(f.messages.texts(), QStringList{"写入成功"});
    f.messages.messages.clear();
    QCOMPARE(f.form().windowTitle(), title);

    AnswerFileDialog(f.form(), "SaveDialog1", dir.filePath(QStringLiteral("radio")));
    f.tableKey(Qt::Key_S);  // 保存
    QCOMPARE(f.form().windowTitle(), title + QStringLiteral(" - radio.qz"));
    f.enter(1, 2, QStringLiteral("145"));
    QCOMPARE(f.form().windowTitle(), title + QStringLiteral(" - radio.qz*"));
    f.tableKey(Qt::Key_Z);  // back to what was saved
    QCOMPARE(f.form().windowTitle(), title + QStringLiteral(" - radio.qz"));
    f.tableKey(Qt::Key_Y);
    QCOMPARE(f.form().windowTitle(), title + QStringLiteral(" - radio.qz*"));
    // Written, then read back unchanged: the radio holds the table, the file still lacks it.
    Key(Qt::Key_F11);
    QVERIFY(f.finish());
    Key(Qt::Key_F12);
    QVERIFY(f.finish());
    QCOMPARE(f.messages.texts(), QStringList{"写入成功"});
    f.messages.messages.clear();
    QCOMPARE(f.form().windowTitle(), title + QStringLiteral(" - radio.qz*"));

    AnswerSaveBox(answer);
    f.tableKey(Qt::Key_Q);  // 退出
    QCOMPARE(f.form().isVisible(), !closes);
    TMainConfig saved;
    LoadConfigFile(saved, dir.filePath(QStringLiteral("radio.qz")));
    QCOMPARE(saved.Cell(1, 1), QStringLiteral("430.00000"));
    QCOMPARE(saved.Cell(2, 1), fileHolds);
    QCOMPARE(f.form().windowTitle().endsWith(QLatin1Char('*')), answer != QStringLiteral("保存"));
    QVERIFY(f.messages.messages.isEmpty());
}

void TestMainWindow::readForgetsFileItReplaced_data()
{
    QTest::addColumn<bool>("fileDiffers");  // the file saved before the read holds another channel 9
    QTest::addColumn<QString>("caption");    // after the read
    QTest::addRow("the radio holds another table") << true << "对讲机写频软件 V1.1.4";
    QTest::addRow("the radio holds the file's table") << false << "对讲机写频软件 V1.1.4 - plan.qz";
}

// After a read that replaced the table, 保存 asks where: the radio's contents never go silently
// into the channel plan opened before.
void TestMainWindow::readForgetsFileItReplaced()
{
    QFETCH(bool, fileDiffers);
    QFETCH(QString, caption);
    QTemporaryDir dir;
    const QString plan = dir.filePath(QStringLiteral("plan.qz"));
    Fixture f;
    QVERIFY(f.read());
    if (fileDiffers)
        f.enter(1, 9, QStringLiteral("145.5"));
    QVERIFY(f.form().SaveFile(plan));
    const QByteArray saved = ReadWholeFile(plan);

    QVERIFY(f.read());
    QCOMPARE(f.form().windowTitle(), caption);
    if (fileDiffers)
        AnswerFileDialog(f.form(), "SaveDialog1", dir.filePath(QStringLiteral("radio")));
    f.action("N5")->trigger();
    QCOMPARE(ReadWholeFile(plan), saved);
    QCOMPARE(QFile::exists(dir.filePath(QStringLiteral("radio.qz"))), fileDiffers);
    QVERIFY(f.messages.messages.isEmpty());
}

void TestMainWindow::savedTextsKeepTheirFile_data()
{
    QTest::addColumn<bool>("edit");  // a cell changed after the open, before the save
    QTest::addRow("open, save as") << false;
    QTest::addRow("open, edit, save as") << true;
}

// Saved under another name, then undone past the open and redone: 保存 goes to the file the
// texts were saved in, and the opened file stays as it was.
void TestMainWindow::savedTextsKeepTheirFile()
{
    QFETCH(bool, edit);
    QTemporaryDir dir;
    const QString opened = dir.filePath(QStringLiteral("a.qz"));
    const QString saved = dir.filePath(QStringLiteral("b.qz"));
    TMainConfig plan;
    plan.SetRow(1, QString::fromUtf8("1,145.00000,145.00000,无,无,高,宽带,有,25000,无,无,无,无,DTMF,1,无").split(QLatin1Char(',')));
    SaveConfigFile(plan, opened);
    const QByteArray openedBytes = ReadWholeFile(opened);

    Fixture f;
    f.form().LoadFile(opened);
    if (edit)
        f.enter(1, 2, QStringLiteral("146"));
    QVERIFY(f.form().SaveFile(saved));
    const int steps = edit ? 2 : 1;
    for (int i = 0; i < steps; ++i)
        f.tableKey(Qt::Key_Z);
    QCOMPARE(f.form().FileName(), QString());
    for (int i = 0; i < steps; ++i)
        f.tableKey(Qt::Key_Y);
    QCOMPARE(f.form().FileName(), saved);
    QCOMPARE(f.form().windowTitle(), QStringLiteral("对讲机写频软件 V1.1.4 - b.qz"));

    f.enter(1, 3, QStringLiteral("147"));
    f.action("N5")->trigger();
    QCOMPARE(ReadWholeFile(opened), openedBytes);
    TMainConfig back;
    LoadConfigFile(back, saved);
    QCOMPARE(back.Cell(3, 1), QStringLiteral("147.00000"));
    QVERIFY(f.messages.messages.isEmpty());
}

void TestMainWindow::emptyCellEnteredIsNoChange_data()
{
    QTest::addColumn<int>("col");
    QTest::addRow("receive frequency") << int(col::RxFreq);
    QTest::addRow("tone") << int(col::ToneDecode);
    QTest::addRow("power") << int(col::Power);
}

// An empty cell of a loaded file holds a space; opened with F2 and left with Enter it becomes
// empty, which shows and writes the same: no step, no "*".
void TestMainWindow::emptyCellEnteredIsNoChange()
{
    QFETCH(int, col);
    QTemporaryDir dir;
    const QString plan = dir.filePath(QStringLiteral("plan.qz"));
    Fixture f;
    QVERIFY(f.form().SaveFile(plan));
    f.form().LoadFile(plan);
    QCOMPARE(f.form().Config().Cell(2, col), QStringLiteral(" "));
    const int steps = f.undo().index();
    f.selectCell(col, 2);
    Key(Qt::Key_F2);
    QVERIFY(f.xg().ActiveEditor());
    Key(Qt::Key_Return);
    QCOMPARE(f.undo().index(), steps);
    QCOMPARE(f.form().windowTitle(), QStringLiteral("对讲机写频软件 V1.1.4 - plan.qz"));
}

void TestMainWindow::openAsksAboutChanges_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("saved");  // the edit went into the file open before
    QTest::addRow("保存") << "保存" << true << true;
    QTest::addRow("不保存") << "不保存" << true << false;
    QTest::addRow("取消") << "取消" << false << false;
}

// Another file does not replace changes not saved without a word: as on closing, they are
// saved, let go or kept.
void TestMainWindow::openAsksAboutChanges()
{
    QFETCH(QString, answer);
    QFETCH(bool, opened);
    QFETCH(bool, saved);
    QTemporaryDir dir;
    const QString plan = dir.filePath(QStringLiteral("plan.qz"));
    const QString other = dir.filePath(QStringLiteral("other.qz"));
    Fixture f;
    f.enter(1, 1, QStringLiteral("145.5"));
    QVERIFY(f.form().SaveFile(other));
    f.enter(1, 1, QStringLiteral("146.5"));
    QVERIFY(f.form().SaveFile(plan));
    f.enter(1, 3, QStringLiteral("147.5"));
    const QByteArray planBefore = ReadWholeFile(plan);

    AnswerSaveBox(answer);
    f.form().LoadFile(other);
    QCOMPARE(f.form().Config().Cell(1, col::RxFreq), opened ? QStringLiteral("145.50000") : QStringLiteral("146.50000"));
    QCOMPARE(f.form().Config().Cell(3, col::RxFreq), opened ? QStringLiteral(" ") : QStringLiteral("147.50000"));
    QCOMPARE(f.form().windowTitle(), opened ? QStringLiteral("对讲机写频软件 V1.1.4 - other.qz")
                                            : QStringLiteral("对讲机写频软件 V1.1.4 - plan.qz*"));
    QCOMPARE(ReadWholeFile(plan) != planBefore, saved);
    if (saved) {
        TMainConfig written;
        LoadConfigFile(written, plan);
        QCOMPARE(written.Cell(3, col::RxFreq), QStringLiteral("147.50000"));
    }
}

void TestMainWindow::fileWaitsForRead_data()
{
    QTest::addColumn<QString>("item");  // what is asked for while the read fills the table
    QTest::addRow("保存") << "N5";
    QTest::addRow("另存为") << "SaveAs1";
    QTest::addRow("导出 CSV") << "ExportCsv1";
    QTest::addRow("关闭, 保存") << "close";
}

// A read half done holds one radio's first channels and the file's last ones: none of it goes
// into the file. Closing ends the read first, and 保存 then asks where.
void TestMainWindow::fileWaitsForRead()
{
    QFETCH(QString, item);
    QTemporaryDir dir;
    const QString plan = dir.filePath(QStringLiteral("plan.qz"));
    Fixture f;
    QVERIFY(f.read());
    f.enter(1, 1, QStringLiteral("145.5"));
    f.enter(1, 16, QStringLiteral("146.5"));
    QVERIFY(f.form().SaveFile(plan));
    const QByteArray saved = ReadWholeFile(plan);

    f.radio.setLatency(40);
    f.form().rbtn()->click();
    QTRY_COMPARE(f.form().Config().Cell(1, col::RxFreq), QStringLiteral("438.50000"));
    QVERIFY(f.form().Link().IsBusy());
    const auto fileItems = {"N5", "SaveAs1", "ExportCsv1", "Print1", "ExportPdf1"};
    for (const char *name : fileItems)
        QVERIFY2(!f.action(name)->isEnabled(), name);
    if (item == QLatin1String("close")) {
        // 保存 asks where; cancelled there, the window stays.
        AnswerSaveBox(QStringLiteral("保存"));
        CancelFileDialogWhenShown(f.form(), "SaveDialog1");
        f.action("N1")->trigger();
        QVERIFY(f.form().isVisible());
        QVERIFY(!f.form().Link().IsBusy());
        QCOMPARE(f.form().windowTitle(), QStringLiteral("对讲机写频软件 V1.1.4 *"));
    } else {
        // Past the disabled item, as a shortcut or a queued call would come: the slot waits too.
        emit f.action(item.toLatin1().constData())->triggered();
        QVERIFY(f.finish());
        for (const char *name : fileItems)
            QVERIFY2(f.action(name)->isEnabled(), name);
    }
    QCOMPARE(ReadWholeFile(plan), saved);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void TestMainWindow::openCellCommittedFirst_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("typed");  // into channel 3's receive frequency, Enter not pressed
    for (const char *action : {"write", "read", "save", "open", "compare", "import CSV", "export CSV"})
        QTest::addRow("%s", action) << action << "145";
    QTest::addRow("write, text refused") << "write" << "x";
    QTest::addRow("save, text refused") << "save" << "x";
    QTest::addRow("move down, text refused") << "move down" << "x";
    QTest::addRow("undo, text refused") << "undo" << "x";
}

// A cell still being typed in when a key or a menu item reads or replaces the table is
// committed first through its entry rule, as a step of its own; refused, only the error shows.
void TestMainWindow::openCellCommittedFirst()
{
    QFETCH(QString, action);
    QFETCH(QString, typed);
    QTemporaryDir dir;
    const QString plan = dir.filePath(QStringLiteral("plan.qz"));
    const QString csv = dir.filePath(QStringLiteral("plan.csv"));
    Fixture f;
    QVERIFY(f.read());
    QVERIFY(f.form().SaveFile(plan));
    QVERIFY(WriteWholeFile(csv, "Frequency\r\n160\r\n"));
    const QByteArray planBefore = ReadWholeFile(plan);
    const TRadioImage radioBefore = f.radio.image();
    f.channel->clearWrites();
    const QStringList channel4 = f.form().Config().Row(4);
    const int steps = f.undo().index();
    f.selectCell(1, 3);
    Type(typed);
    QVERIFY(f.xg().ActiveEditor());

    auto *planActions = f.form().findChild<TChannelPlanActions *>();
    if (action == QLatin1String("write"))
        Key(Qt::Key_F11);
    else if (action == QLatin1String("read"))
        Key(Qt::Key_F12);
    else if (action == QLatin1String("save"))
        f.action("N5")->trigger();
    else if (action == QLatin1String("open")) {
        if (typed != QLatin1String("x"))
            AnswerSaveBox(QStringLiteral("不保存"));  // the typed text is a change
        f.form().LoadFile(plan);
    }
    else if (action == QLatin1String("compare"))
        f.action("CompareWithRadio")->trigger();
    else if (action == QLatin1String("import CSV"))
        planActions->ImportCsv(csv, 3);
    else if (action == QLatin1String("move down"))
        f.action("MoveDown1")->trigger();
    else if (action == QLatin1String("undo"))
        f.action("Undo1")->trigger();
    else
        planActions->ExportCsv(dir.filePath(QStringLiteral("out.csv")));
    QVERIFY(f.finish());
    // One press, one transfer: a write with its backup read and verify, or a read.
    const int handshakes = action == QLatin1String("write") ? 3
                           : action == QLatin1String("read") || action == QLatin1String("compare") ? 1 : 0;
    QCOMPARE(f.channel->written().count("PROGRAM"), typed == QLatin1String("x") ? 0 : handshakes);

    if (typed == QLatin1String("x")) {
        QCOMPARE(f.messages.texts(), QStringList{"'x' is not a valid floating point value"});
        QCOMPARE(f.xg().Cells(1, 3), QStringLiteral("x"));  // kept for the user to mend
        QVERIFY(!f.channel->written().contains('W'));
        QVERIFY(f.radio.image() == radioBefore);
        QCOMPARE(ReadWholeFile(plan), planBefore);
        QCOMPARE(f.form().Config().Row(4), channel4);
        QCOMPARE(f.undo().index(), steps + 1);  // the refused text, and nothing after it
        return;
    }
    const QString typedCell = QStringLiteral("145.00000");
    if (action == QLatin1String("write")) {
        QCOMPARE(f.messages.texts(), QStringList{"写入成功"});
        QCOMPARE(f.form().Config().Cell(3, col::RxFreq), typedCell);
        QCOMPARE(f.radio.image().block(frame::kMainArea, 3), EncodeChannelBlock(f.form().Config(), 3));
        QCOMPARE(f.form().windowTitle(), QStringLiteral("对讲机写频软件 V1.1.4 - plan.qz*"));  // the file lacks it
    } else if (action == QLatin1String("save")) {
        TMainConfig saved;
        LoadConfigFile(saved, plan);
        QCOMPARE(saved.Cell(3, col::RxFreq), typedCell);
    } else if (action == QLatin1String("export CSV")) {
        QVERIFY(ReadWholeFile(dir.filePath(QStringLiteral("out.csv"))).contains("\r\n3,CH3,145.000000,"));
    } else if (action == QLatin1String("compare")) {
        QCOMPARE(f.messages.texts().size(), 1);
        QVERIFY2(f.messages.texts().first().contains(QStringLiteral("信道 3 接收频率: 446.00625 → 145.00000")),
                 qPrintable(f.messages.texts().first()));
    } else {
        // The table was replaced after the typed text became a step of its own.
        QVERIFY(f.xg().Cells(1, 3) != typedCell);
        f.tableKey(Qt::Key_Z);
        QCOMPARE(f.xg().Cells(1, 3), typedCell);
    }
}

void TestMainWindow::closingAsks_data()
{
    QTest::addColumn<QStringList>("actions");  // before closing, after a main read
    QTest::addColumn<bool>("quit");            // the answer to the question
    QTest::addColumn<QString>("asked");        // the question; empty: none
    const QString tables = QStringLiteral("%1 的修改还没有写入电台，也没有保存到文件，退出后将丢失。仍要退出吗？");
    const QString writing = QStringLiteral("正在写入电台，现在退出会使电台只写入一部分。仍要退出吗？");
    const QStringList edited{"read DTMF", "edit DTMF"};
    QTest::addRow("table edited, cancelled") << edited << false << tables.arg("DTMF");
    QTest::addRow("table edited, exit anyway") << edited << true << tables.arg("DTMF");
    QTest::addRow("two tables") << edited + QStringList{"edit FSK"} << false << tables.arg("DTMF、FSK 队列同步");
    QTest::addRow("table written") << edited + QStringList{"write DTMF"} << false << "";
    QTest::addRow("table edit undone") << edited + QStringList{"undo DTMF"} << false << "";
    // The radio falls silent once the main write's backup is read, so the write has begun.
    QTest::addRow("main write, cancelled") << QStringList{"silent in write", "write main"} << false << writing;
    QTest::addRow("main write, exit anyway") << QStringList{"silent in write", "write main"} << true << writing;
    QTest::addRow("main write, in its backup read") << QStringList{"silent", "write main"} << false << "";
    // Written whole and not yet checked: cut off there, it is noted as well.
    QTest::addRow("main write, in its verify, exit anyway") << QStringList{"silent in verify", "write main"} << true << writing;
    QTest::addRow("DTMF write") << QStringList{"silent in write", "read DTMF", "write DTMF"} << false << writing;
    QTest::addRow("main read") << QStringList{"silent", "read main"} << false << "";
    // A cell still being typed in counts, also when another window is in front.
    QTest::addRow("FSK cell open") << QStringList{"read FSK", "type FSK"} << false << tables.arg("FSK 队列同步");
    QTest::addRow("main cell open, DTMF in front") << QStringList{"type main", "read DTMF"} << false << "save";
    QTest::addRow("main cell refused") << QStringList{"type main x"} << false
                                       << "'x' is not a valid floating point value";
}

// Closing asks first when it would lose signalling tables' changes (they are in no file of
// this window) or cut a write off; "取消" keeps the program, and a write goes on.
void TestMainWindow::closingAsks()
{
    QFETCH(QStringList, actions);
    QFETCH(bool, quit);
    QFETCH(QString, asked);
    Fixture f;
    QVERIFY(f.read());
    for (const QString &action : actions) {
        if (action == QLatin1String("silent")) {
            f.radio.faults().silent = true;
            continue;
        }
        if (action.startsWith(QLatin1String("silent in "))) {
            const TSafeWrite::Phase when = action.endsWith(QLatin1String("verify")) ? TSafeWrite::Phase::Verify
                                                                                    : TSafeWrite::Phase::Write;
            FallSilentIn(f, f.form(), when);
            FallSilentIn(f, f.windows->Form2(), when);
            continue;
        }
        const QString verb = action.section(QLatin1Char(' '), 0, 0);
        const QString where = action.section(QLatin1Char(' '), 1, 1);
        TSignallingWindow &editor = where == QLatin1String("FSK") ? static_cast<TSignallingWindow &>(f.windows->Form6())
                                                                   : f.windows->Form2();
        const bool main = where == QLatin1String("main");
        if (!main) {
            editor.show();
            QApplication::setActiveWindow(&editor);
        }
        if (verb == QLatin1String("type")) {
            TXStringGrid &grid = main ? f.xg() : *editor.Grid(QStringLiteral("xg1"));
            if (main)
                f.selectCell(1, 1);
            else
                grid.setFocus();
            Type(action.section(QLatin1Char(' '), 2).isEmpty() ? QStringLiteral("43") : action.section(QLatin1Char(' '), 2));
            QVERIFY(grid.ActiveEditor());
        } else if (verb == QLatin1String("edit"))
            EnterText(editor.Control(where == QLatin1String("FSK") ? "ed1" : "Edit1"), QStringLiteral("777"));
        else if (verb == QLatin1String("undo"))
            editor.findChild<QAction *>(QStringLiteral("Undo1"))->trigger();
        else if (verb == QLatin1String("read"))
            (main ? f.form().rbtn() : editor.rbtn())->click();
        else
            (main ? f.form().wbtn() : editor.wbtn())->click();
        // A write whose radio falls silent on the way does not finish.
        const bool fallsSilent = verb == QLatin1String("write") && actions.first().startsWith(QLatin1String("silent in "));
        if (!f.radio.faults().silent && !fallsSilent)
            QVERIFY(f.finish());
    }
    if (actions.first().startsWith(QLatin1String("silent in ")))
        QTRY_VERIFY(f.radio.faults().silent);
    const int said = f.messages.texts().size();
    const bool saveBox = asked == QLatin1String("save");  // the main table's own box, answered 取消
    if (saveBox)
        AnswerSaveBox(QStringLiteral("取消"));
    SetRestoreAnswer(quit);
    f.action("N1")->trigger();
    SetRestoreAnswer(false);
    QCOMPARE(f.messages.texts().mid(said), asked.isEmpty() || saveBox ? QStringList() : QStringList{asked});
    QCOMPARE(f.form().isVisible(), !asked.isEmpty() && !quit);
    if (f.form().isVisible() && f.radio.faults().silent)
        QVERIFY(f.form().Link().IsBusy());  // the write goes on
    // Cut off, the write is noted for the next start, as one cancelled is.
    if (quit && f.radio.faults().silent) {
        QVERIFY(!f.form().Link().IsBusy());
        QVERIFY(TBackupStore().UnfinishedWrite(f.form().PortName()));
    }
}

void TestMainWindow::dialogsAboveEditors_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<bool>("editorShown");
    for (const char *dialog : {"save question", "open file"}) {
        QTest::addRow("%s, an editor open", dialog) << dialog << true;
        QTest::addRow("%s, no editor", dialog) << dialog << false;
    }
}

// The editors stay on top of every window: the main window's questions and dialogs shown while
// one is open go above it, else they would open under it with their buttons hidden.
void TestMainWindow::dialogsAboveEditors()
{
    QFETCH(QString, dialog);
    QFETCH(bool, editorShown);
    Fixture f;
    if (editorShown)
        f.windows->Form2().show();
    std::optional<bool> onTop;
    auto *timer = new QTimer(&f.form());
    connect(timer, &QTimer::timeout, timer, [timer, &onTop] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        onTop = modal->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
    });
    timer->start(10);
    if (dialog == QLatin1String("save question")) {
        f.enter(1, 1, QStringLiteral("438.5"));
        f.form().close();
        QVERIFY(f.form().isVisible());  // 取消 (Escape) kept it
    } else {
        f.form().N3Click();
    }
    QCOMPARE(onTop, std::optional<bool>(editorShown));
}

void TestMainWindow::screenshots()
{
    UseScreenshotLanguage();
    const QString dir = qEnvironmentVariable("XIEPIN_SCREENSHOTS");
    if (dir.isEmpty())
        QSKIP("set XIEPIN_SCREENSHOTS to a folder to write the main window's pictures");
    QDir().mkpath(dir);
    Fixture f;
    QVERIFY(QTest::qWaitForWindowExposed(&f.form()));
    QVERIFY(f.form().grab().save(dir + QStringLiteral("/main-empty.png")));
    f.radio.setLatency(0);
    f.form().rbtn()->click();
    f.windows->Form3().SetProgressPosition(7);
    QVERIFY(f.windows->Form3().grab().save(dir + QStringLiteral("/progress.png")));
    f.windows->Form3().ShowSilence(12);
    QVERIFY(f.windows->Form3().grab().save(dir + QStringLiteral("/progress-silent.png")));
    f.windows->Form3().HideSilence();
    QVERIFY(f.finish());
    QVERIFY(f.form().grab().save(dir + QStringLiteral("/main-after-read.png")));

    Fixture small(FactoryImage(), QSize(800, 600));
    small.form().rbtn()->click();
    QVERIFY(small.finish());
    QVERIFY(small.form().grab().save(dir + QStringLiteral("/main-small-screen.png")));

    // The Edit menu open under its title, and the row header's menu on channel 3: each menu is
    // a window of its own, drawn here into the main window's picture where it stands.
    const auto grabWithMenu = [&f](QMenu *menu, const QPoint &at, const QString &path) {
        menu->popup(at);
        QApplication::processEvents();
        if (!menu->isVisible())
            return false;
        QPixmap picture = f.form().grab();
        QPainter painter(&picture);
        painter.drawPixmap(f.form().mapFromGlobal(menu->geometry().topLeft()), menu->grab());
        painter.end();
        menu->hide();
        return picture.save(path);
    };
    f.selectRows(2, 3);
    QMenuBar *bar = f.form().menuBar();
    QMenu *edit = f.form().Editing().EditMenu();
    const QPoint under = bar->mapToGlobal(bar->actionGeometry(edit->menuAction()).bottomLeft());
    QVERIFY(grabWithMenu(edit, under, dir + QStringLiteral("/main-edit-menu.png")));
    auto *fileMenu = bar->findChild<QMenu *>(QStringLiteral("N2"));
    const QPoint underFile = bar->mapToGlobal(bar->actionGeometry(fileMenu->menuAction()).bottomLeft());
    QVERIFY(grabWithMenu(fileMenu, underFile, dir + QStringLiteral("/main-file-menu.png")));
    QHeaderView *numbers = f.xg().verticalHeader();
    const QPoint third = numbers->viewport()->mapToGlobal(QPoint(numbers->width() / 2, numbers->sectionViewportPosition(2) + 12));
    QVERIFY(grabWithMenu(f.form().Editing().RowMenu(), third, dir + QStringLiteral("/main-row-menu.png")));
    // The text field's own menu in a cell being typed in.
    f.selectCell(2, 4);
    Type(QStringLiteral("4"));
    QWidget *editor = QApplication::focusWidget();
    QMenu *cellMenu = OpenContextMenu(editor);
    QVERIFY(cellMenu && grabWithMenu(cellMenu, editor->mapToGlobal(editor->rect().center()),
                                     dir + QStringLiteral("/main-cell-menu.png")));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
