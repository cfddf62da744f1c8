#include "editors/SignallingWindow.h"
#include "grid/XStringGrid.h"
#include "protocol/FactoryImage.h"
#include "support/gui/EditorInput.h"
#include "support/gui/EditorRig.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QUndoStack>
#include <QtTest>
#include <memory>

namespace {

const QString kPortName = QStringLiteral("/dev/ttyUSB1");

// What the window shows: every cell of its grids and every box and check box outside them,
// each named after its control.
QStringList Shown(const TSignallingWindow &window)
{
    QStringList shown;
    const QList<TXStringGrid *> grids = window.findChildren<TXStringGrid *>();
    const auto inGrid = [&grids](const QWidget *widget) {
        return std::any_of(grids.cbegin(), grids.cend(), [widget](const TXStringGrid *g) { return g->isAncestorOf(widget); });
    };
    for (const TXStringGrid *grid : grids) {
        for (int row = 0; row < grid->RowCount(); ++row)
            shown << QStringLiteral("%1/%2:").arg(grid->objectName()).arg(row, 2, 10, QLatin1Char('0'))
                         + RowTexts(grid, row, 0).join(QLatin1Char(','));
    }
    for (const QComboBox *box : window.findChildren<QComboBox *>())
        if (!inGrid(box))
            shown << box->objectName() + QLatin1Char('=') + box->currentText();
    for (const QLineEdit *edit : window.findChildren<QLineEdit *>())
        if (!inGrid(edit) && !qobject_cast<QComboBox *>(edit->parentWidget()))
            shown << edit->objectName() + QLatin1Char('=') + edit->text();
    for (const QCheckBox *check : window.findChildren<QCheckBox *>())
        shown << check->objectName() + (check->isChecked() ? QStringLiteral("=on") : QStringLiteral("=off"));
    shown.sort();  // the order of children changes as pages and editors come up
    return shown;
}

// RunSteps, and besides: "read" reads the radio, "clip:text" puts text on the clipboard,
// "ctrl:V" sends Ctrl and that key to the focused control, "select:xg1:1,2,3,4" selects the
// cells from column 1, row 2 to column 3, row 4.
void Run(EditorRig &rig, const QStringList &steps)
{
    for (const QString &step : steps) {
        if (step == QLatin1String("read")) {
            rig.Read();
        } else if (step.startsWith(QLatin1String("clip:"))) {
            QGuiApplication::clipboard()->setText(step.mid(5));
        } else if (step.startsWith(QLatin1String("ctrl:"))) {
            QTest::keyClick(QApplication::focusWidget(), step.at(5).toLatin1(), Qt::ControlModifier);
        } else if (step.startsWith(QLatin1String("select:"))) {
            const QStringList parts = step.split(QLatin1Char(':'));
            const QStringList at = parts[2].split(QLatin1Char(','));
            auto *grid = qobject_cast<TXStringGrid *>(rig.window().Control(parts[1]));
            QVERIFY(grid);
            grid->SetSelection(QRect(QPoint(at[0].toInt(), at[1].toInt()), QPoint(at[2].toInt(), at[3].toInt())));
        } else {
            QString failed;
            QVERIFY2(RunSteps(rig.window(), {step}, &failed), qPrintable(failed));
        }
    }
    // A box's keys become a step once their event is done.
    QCoreApplication::processEvents();
}

// Ctrl and the key with the focus on a button, where no text field takes the keys for itself.
void WindowKey(EditorRig &rig, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
{
    rig.window().rbtn()->setFocus();
    QTest::keyClick(rig.window().rbtn(), key, modifiers);
}

}  // namespace

class TestEditorUndo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void undoRedoInEveryEditor_data();
    void undoRedoInEveryEditor();
    void pasteFromSpreadsheet_data();
    void pasteFromSpreadsheet();
    void editBetweenBlocksOfRead();
    void undoKeysInBox_data();
    void undoKeysInBox();
};

void TestEditorUndo::undoRedoInEveryEditor_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QStringList>("action");
    QTest::addColumn<QString>("sameRows");  // "grid:a,b": rows a and b show the same texts afterwards

    QTest::addRow("DTMF cell typed") << "DTMF" << QStringList{}
                                     << QStringList{"cell:xg2:1,3", "type:123", "key:Enter"} << "";
    QTest::addRow("DTMF box typed") << "DTMF" << QStringList{} << QStringList{"box:cb2", "type:55"} << "";
    QTest::addRow("DTMF box typed again after leaving it") << "DTMF" << QStringList{"box:cb2", "type:5", "cell:xg2:1,3"}
                                                          << QStringList{"box:cb2", "type:7"} << "";
    QTest::addRow("DTMF read") << "DTMF" << QStringList{} << QStringList{"read"} << "";
    QTest::addRow("2TONE cut") << "two-tone" << QStringList{"read"}
                               << QStringList{"cell:xg1:1,1", "select:xg1:1,1,2,2", "ctrl:X"} << "";
    QTest::addRow("2TONE box typed") << "two-tone" << QStringList{} << QStringList{"box:ed5", "type:6500"} << "";
    // (The standard chosen to look at its frequencies is no edit of the table: no step.)
    QTest::addRow("5TONE delay box typed") << "five-tone" << QStringList{} << QStringList{"box:cb2", "type:600"} << "";
    // Undone, a step leaves what is only shown as the user set it since.
    QTest::addRow("5TONE delay box typed after the reset time") << "five-tone" << QStringList{"box:ed1", "type:7", "cell:xg3:1,2"}
                                                               << QStringList{"box:cb2", "type:600"} << "";
    QTest::addRow("5TONE decode entry from the list")
        << "five-tone" << QStringList{} << QStringList{"cell:xg3:1,2", "key:F2", "key:Down", "key:Enter"} << "";
    QTest::addRow("FSK paste") << "FSK" << QStringList{}
                               << QStringList{"clip:5\t6\n7\t8\n", "cell:xg1:1,2", "ctrl:V"} << "";
    QTest::addRow("FSK copy a row into another") << "FSK" << QStringList{"read"}
                                                 << QStringList{"cell:xg1:1,1", "select:xg1:1,1,2,1", "ctrl:C",
                                                                "cell:xg1:1,5", "ctrl:V"}
                                                 << "xg1:1,5";
    QTest::addRow("FSK cells cleared by Delete") << "FSK" << QStringList{"read"}
                                                 << QStringList{"cell:xg1:1,3", "select:xg1:1,3,2,4", "key:Delete"} << "";
    QTest::addRow("FSK read") << "FSK" << QStringList{"cell:xg1:1,3", "type:300", "key:Enter"}
                              << QStringList{"read"} << "";
}

void TestEditorUndo::undoRedoInEveryEditor()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, setup);
    QFETCH(QStringList, action);
    QFETCH(QString, sameRows);
    const std::unique_ptr<EditorRig> rig = OpenEditorRig(kind, FactoryImage(), kPortName);
    QUndoStack &undo = rig->window().UndoStack();
    Run(*rig, setup);
    const QStringList before = Shown(rig->window());
    const int steps = undo.index();

    Run(*rig, action);
    const QStringList after = Shown(rig->window());
    QVERIFY(after != before);
    QCOMPARE(undo.index(), steps + 1);
    QVERIFY(rig->messages.messages.isEmpty());
    if (!sameRows.isEmpty()) {
        const QStringList parts = sameRows.split(QRegularExpression(QStringLiteral("[:,]")));
        const TXStringGrid *grid = qobject_cast<TXStringGrid *>(rig->window().Control(parts[0]));
        QCOMPARE(RowTexts(grid, parts[2].toInt()), RowTexts(grid, parts[1].toInt()));
    }

    WindowKey(*rig, Qt::Key_Z);
    QCOMPARE(Shown(rig->window()), before);
    WindowKey(*rig, Qt::Key_Y);
    QCOMPARE(Shown(rig->window()), after);
    WindowKey(*rig, Qt::Key_Z);
    WindowKey(*rig, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Shown(rig->window()), after);
    QCOMPARE(undo.index(), steps + 1);
}

void TestEditorUndo::pasteFromSpreadsheet_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("steps");  // after a read
    QTest::addColumn<QStringList>("shown");  // "box=text", or "grid/row:" and the row's first cells, as Shown has them
    // One cell copied from a spreadsheet comes with a line end, which no box or cell keeps.
    QTest::addRow("DTMF box") << "DTMF" << QStringList{"box:Edit1", "clip:1234\r\n", "ctrl:V"} << QStringList{"Edit1=1234"};
    QTest::addRow("FSK box") << "FSK" << QStringList{"box:ed1", "clip:120\n", "ctrl:V"} << QStringList{"ed1=120"};
    QTest::addRow("DTMF cell being typed in")
        << "DTMF" << QStringList{"cell:xg2:1,3", "type:9", "clip:12345\n", "ctrl:V", "key:Enter"}
        << QStringList{"xg2/03:3,12345"};
    QTest::addRow("2TONE list cell being edited")
        << "two-tone" << QStringList{"cell:xg2:2,1", "key:F2", "ctrl:A", "clip:提醒\r\n", "ctrl:V", "key:Enter"}
        << QStringList{"xg2/01:1,AB,提醒,"};
    // Several cells go from the cell being edited on, not from the corner of what is selected.
    QTest::addRow("FSK block into the last cell of a selection")
        << "FSK" << QStringList{"cell:xg1:1,4", "select:xg1:1,2,1,4", "type:9", "clip:55\t66\n77\t88", "ctrl:V"}
        << QStringList{"xg1/02:2,100,1002", "xg1/03:3,100,1003", "xg1/04:4,55,66", "xg1/05:5,77,88"};
}

// What comes from a spreadsheet into a box or an open cell is what the window shows and what
// the write then sends.
void TestEditorUndo::pasteFromSpreadsheet()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, shown);
    const std::unique_ptr<EditorRig> rig = OpenEditorRig(kind, FactoryImage(), kPortName);
    rig->Read();
    Run(*rig, steps);
    const QStringList now = Shown(rig->window());
    for (const QString &expected : std::as_const(shown)) {
        const QString control = expected.section(QRegularExpression(QStringLiteral("[=:]")), 0, 0);
        const auto found = std::find_if(now.cbegin(), now.cend(), [&control](const QString &line) {
            return line.startsWith(control + QLatin1Char('=')) || line.startsWith(control + QLatin1Char(':'));
        });
        QVERIFY2(found != now.cend(), qPrintable(control));
        // A box whole, a row from its first cells on.
        const bool box = expected.contains(QLatin1Char('='));
        QVERIFY2(box ? *found == expected : found->startsWith(expected), qPrintable(*found + QStringLiteral(" | ") + expected));
    }
    rig->ClickWrite();
    QTRY_VERIFY_WITH_TIMEOUT(rig->Idle(), 5000);
    QCOMPARE(rig->messages.texts(), QStringList{QStringLiteral("写入成功")});
}

// A cell committed while a read is under way is a step of its own: undone, it gives back what
// the read had brought before it, not the texts from before the read.
void TestEditorUndo::editBetweenBlocksOfRead()
{
    const std::unique_ptr<EditorRig> rig = OpenEditorRig(QStringLiteral("DTMF"), FactoryImage(), kPortName);
    rig->Read();
    const QString radioCb1 = qobject_cast<QComboBox *>(rig->window().Control(QStringLiteral("cb1")))->currentText();
    Run(*rig, {"box:cb1", "type:15", "cell:xg2:1,3"});
    QCOMPARE(qobject_cast<QComboBox *>(rig->window().Control(QStringLiteral("cb1")))->currentText(), QStringLiteral("15"));
    // The radio stops answering after the read's first block, until the cell is typed.
    QObject::connect(rig->link.get(), &TProgramLink::AreaBlockRead, rig->link.get(),
                     [&rig](int, int block, const Block &) { rig->radio.faults().silent = block == 0; });
    rig->ClickRead();
    QTRY_VERIFY(rig->radio.faults().silent);
    Run(*rig, {"cell:xg2:1,5", "type:999", "key:Enter"});
    rig->radio.faults().silent = false;
    QTRY_VERIFY_WITH_TIMEOUT(rig->Idle(), 10000);
    const QStringList afterRead = Shown(rig->window());

    WindowKey(*rig, Qt::Key_Z);  // the rest of the read
    WindowKey(*rig, Qt::Key_Z);  // the typed cell
    const QComboBox *cb1 = qobject_cast<QComboBox *>(rig->window().Control(QStringLiteral("cb1")));
    QCOMPARE(cb1->currentText(), radioCb1);
    QCOMPARE(qobject_cast<TXStringGrid *>(rig->window().Control(QStringLiteral("xg2")))->Cells(1, 5), QString());
    WindowKey(*rig, Qt::Key_Y);
    WindowKey(*rig, Qt::Key_Y);
    QCOMPARE(Shown(rig->window()), afterRead);
    QVERIFY(rig->messages.messages.isEmpty());
}

void TestEditorUndo::undoKeysInBox_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("setup");   // the step Ctrl+Z is to take back
    QTest::addColumn<QStringList>("action");  // ends with Ctrl+Z in a box
    QTest::addColumn<bool>("windowUndoes");   // else the box undoes its own typing
    QTest::addRow("FSK edit box not typed in") << "FSK" << QStringList{"cell:xg1:1,3", "type:300", "key:Enter"}
                                               << QStringList{"box:ed2", "ctrl:Z"} << true;
    QTest::addRow("DTMF combo box not typed in") << "DTMF" << QStringList{"cell:xg2:1,3", "type:123", "key:Enter"}
                                                 << QStringList{"box:cb2", "ctrl:Z"} << true;
    QTest::addRow("FSK edit box typed in") << "FSK" << QStringList{"cell:xg1:1,3", "type:300", "key:Enter"}
                                           << QStringList{"box:ed2", "type:5", "ctrl:Z"} << false;
    // Redone with Ctrl+Y also where the box's own redo key is Ctrl+Shift+Z alone (X11).
    QTest::addRow("FSK edit box typed in, undone and redone") << "FSK" << QStringList{"cell:xg1:1,3", "type:300", "key:Enter"}
                                                              << QStringList{"box:ed2", "type:5", "ctrl:Z", "ctrl:Y"} << false;
}

// Ctrl+Z in a box undoes the box's own typing, and with none the window's last step.
void TestEditorUndo::undoKeysInBox()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, setup);
    QFETCH(QStringList, action);
    QFETCH(bool, windowUndoes);
    const std::unique_ptr<EditorRig> rig = OpenEditorRig(kind, FactoryImage(), kPortName);
    const QStringList before = Shown(rig->window());
    Run(*rig, setup);
    const QStringList after = Shown(rig->window());
    QVERIFY(after != before);
    if (action.constLast() == QLatin1String("ctrl:Y")) {
        Run(*rig, action.mid(0, action.size() - 2));
        const QStringList typed = Shown(rig->window());
        Run(*rig, action.mid(action.size() - 2));
        QCOMPARE(Shown(rig->window()), typed);
        return;
    }
    Run(*rig, action);
    QCOMPARE(Shown(rig->window()), windowUndoes ? before : after);
}

QTEST_MAIN(TestEditorUndo)
#include "tst_editorundo.moc"
