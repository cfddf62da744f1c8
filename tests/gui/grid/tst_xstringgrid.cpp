#include "base/TextConvert.h"
#include "grid/CellEditorError.h"
#include "grid/ComboCellEditor.h"
#include "grid/EditCellEditor.h"
#include "grid/GridClipboard.h"
#include "grid/XStringGrid.h"
#include "support/gui/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

namespace {

struct Commit {
    int col;
    int row;
    QString text;
    int currentCol;  // the grid's current cell while the handler ran
    int currentRow;
    bool operator==(const Commit &o) const
    {
        return col == o.col && row == o.row && text == o.text && currentCol == o.currentCol
               && currentRow == o.currentRow;
    }
};

char *toString(const Commit &c)
{
    return QTest::toString(QStringLiteral("(%1,%2,\"%3\" at %4,%5)")
                               .arg(c.col)
                               .arg(c.row)
                               .arg(c.text)
                               .arg(c.currentCol)
                               .arg(c.currentRow));
}

// A window shaped like the system's tables: column 0 fixed numbers, columns 1 and 2 share a
// free-text editor, columns 3 and 4 share a drop-down editor, column 5 has no editor.
class GridWindow : public QWidget {
public:
    GridWindow()
    {
        auto *layout = new QVBoxLayout(this);
        grid = new TXStringGrid(this);
        grid->setObjectName(QStringLiteral("xg"));
        other = new QLineEdit(this);
        layout->addWidget(grid);
        layout->addWidget(other);
        edit = new TEditCellEditor(this);
        edit->setObjectName(QStringLiteral("EditCellEditor1"));
        edit->SetDefaultText(QStringLiteral("DEF"));
        combo = new TComboCellEditor(this);
        combo->setObjectName(QStringLiteral("ComboCellEditor1"));
        combo->SetItems({QStringLiteral("高"), QStringLiteral("低"), QStringLiteral("中")});
        combo->SetDefaultText(QStringLiteral("高"));

        grid->SetColCount(6);
        grid->SetRowCount(6);
        grid->SetOptions(TGridOption::Editing | TGridOption::RangeSelect);
        const QStringList captions{"No", "A", "B", "C", "D", "RO"};
        for (int c = 0; c < 6; ++c)
            grid->Columns()[c].SetCaption(captions[c]);
        for (int r = 1; r < 6; ++r)
            grid->SetCells(0, r, QString::number(r));
        grid->Columns()[1].SetEditor(edit);
        grid->Columns()[2].SetEditor(edit);
        grid->Columns()[3].SetEditor(combo);
        grid->Columns()[4].SetEditor(combo);
        grid->OnSetEditText = [this](int col, int row, const QString &text) {
            commits.append({col, row, text, grid->Col(), grid->Row()});
            if (handler)
                handler(col, row, text);
        };
        resize(500, 300);
    }

    QLineEdit *LineEditor() const { return qobject_cast<QLineEdit *>(edit->EditControl()); }
    QComboBox *ComboEditor() const { return qobject_cast<QComboBox *>(combo->EditControl()); }
    QLineEdit *ActiveText() const
    {
        if (grid->ActiveEditor() == edit)
            return LineEditor();
        return grid->ActiveEditor() == combo ? ComboEditor()->lineEdit() : nullptr;
    }

    // Makes (col, row) current in the focused grid.
    void Focus(int col, int row)
    {
        grid->SetCol(col);
        grid->SetRow(row);
        grid->setFocus();
        QVERIFY(grid->hasFocus());
    }
    void Click(int col, int row)
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(col, row).center());
    }
    // Keys go where the application sends them: the focused control.
    static void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
    static void Type(const QString &text) { QTest::keyClicks(QApplication::focusWidget(), text); }

    TXStringGrid *grid;
    QLineEdit *other;
    TEditCellEditor *edit;
    TComboCellEditor *combo;
    QList<Commit> commits;
    std::function<void(int, int, const QString &)> handler;
};

// An editor whose control cannot be built.
class BrokenEditor : public TMetaCellEditor {
public:
    explicit BrokenEditor(bool throws)
        : m_throws(throws)
    {
    }
    void StartEdit() override {}
    void CommitEdit() override {}

protected:
    QWidget *NewEditControl(QWidget *) override
    {
        if (m_throws)
            throw std::runtime_error("no window");
        return nullptr;
    }

private:
    bool m_throws;
};

}  // namespace

class TestXStringGrid : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typingOnCellStartsEdit_data();
    void typingOnCellStartsEdit();
    void leavingEmptyCellWritesDefaultText_data();
    void leavingEmptyCellWritesDefaultText();
    void keysInEditor_data();
    void keysInEditor();
    void enterCommitsEscapeCancels_data();
    void enterCommitsEscapeCancels();
    void handlerMayRewriteCells();
    void handlerMovingFocusCommitsOnce();
    void handlerErrorIsShownAndStopsMove();
    void mouseStartsEdit_data();
    void mouseStartsEdit();
    void comboPopupKeepsEdit();
    void columnWithoutEditorIsReadOnly_data();
    void columnWithoutEditorIsReadOnly();
    void comboOffersItemsAndAcceptsFreeText();
    void sharedEditorServesBothColumns();
    void editorErrors_data();
    void editorErrors();
    void columnCountKeepsDescriptionsInStep();
    void destroyingEditorOrGrid();
    void fixedCellsAreNeverCurrent();
    void elipsisButton();
    void lesserUsedOptions_data();
    void lesserUsedOptions();
    void paintsColumnsAndLines();
    void clipboardKeys_data();
    void clipboardKeys();
    void clipboardTextRoundTrip_data();
    void clipboardTextRoundTrip();
    void clipboardTextSplits_data();
    void clipboardTextSplits();

private:
    std::unique_ptr<GridWindow> w;
};

void TestXStringGrid::init()
{
    w = std::make_unique<GridWindow>();
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
}

void TestXStringGrid::cleanup()
{
    w.reset();
}

void TestXStringGrid::typingOnCellStartsEdit_data()
{
    QTest::addColumn<bool>("immediate");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("editorText");
    QTest::addColumn<bool>("selected");  // whole text selected, else caret after it

    QTest::addRow("immediate text") << true << 1 << "12" << "5" << false;
    QTest::addRow("immediate text on empty cell") << true << 1 << "" << "5" << false;
    QTest::addRow("immediate drop-down") << true << 3 << "低" << "5" << false;
    QTest::addRow("text") << false << 1 << "12" << "12" << true;
    QTest::addRow("text on empty cell") << false << 2 << "" << "DEF" << true;
    QTest::addRow("drop-down") << false << 4 << "低" << "低" << true;
    QTest::addRow("drop-down on empty cell") << false << 3 << "" << "高" << true;
}

void TestXStringGrid::typingOnCellStartsEdit()
{
    QFETCH(bool, immediate);
    QFETCH(int, col);
    QFETCH(QString, cell);
    QFETCH(QString, editorText);
    QFETCH(bool, selected);

    w->grid->SetImmediateEditMode(immediate);
    w->grid->SetCells(col, 2, cell);
    w->Focus(col, 2);
    QTest::keyClicks(w->grid, "5");

    QLineEdit *text = w->ActiveText();
    QVERIFY(text);
    QCOMPARE(w->grid->EditCol(), col);
    QCOMPARE(w->grid->EditRow(), 2);
    QCOMPARE(text->text(), editorText);
    QCOMPARE(text->selectedText(), selected ? editorText : QString());
    if (!selected)
        QCOMPARE(text->cursorPosition(), editorText.length());
    QWidget *control = col <= 2 ? static_cast<QWidget *>(w->LineEditor()) : w->ComboEditor();
    QVERIFY(control->isVisible());
    QVERIFY(control->hasFocus());
    QCOMPARE(control->geometry(), w->grid->CellRect(col, 2));
    QCOMPARE(w->grid->Cells(col, 2), cell);  // nothing written until the commit
    QVERIFY(w->commits.isEmpty());
}

void TestXStringGrid::leavingEmptyCellWritesDefaultText_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("expected");

    for (const char *how : {"enter", "down", "click", "focus"}) {
        QTest::addRow("text, %s", how) << 1 << QString(how) << "DEF";
        QTest::addRow("drop-down, %s", how) << 3 << QString(how) << "高";
    }
}

void TestXStringGrid::leavingEmptyCellWritesDefaultText()
{
    QFETCH(int, col);
    QFETCH(QString, how);
    QFETCH(QString, expected);

    w->Focus(col, 2);
    QTest::keyClick(w->grid, Qt::Key_F2);
    QVERIFY(w->grid->ActiveEditor());
    if (how == "enter")
        GridWindow::Key(Qt::Key_Return);
    else if (how == "down")
        GridWindow::Key(Qt::Key_Down);
    else if (how == "click")
        w->Click(col, 4);
    else
        w->other->setFocus();

    // The drop-down keeps Down for its list; Enter ends it afterwards.
    if (col == 3 && how == "down") {
        QVERIFY(w->grid->ActiveEditor());
        QCOMPARE(w->ComboEditor()->currentText(), "低");
        GridWindow::Key(Qt::Key_Return);
        expected = "低";
    }
    QVERIFY(!w->grid->ActiveEditor());
    QCOMPARE(w->grid->Cells(col, 2), expected);
    QCOMPARE(w->commits, QList<Commit>({{col, 2, expected, col, 2}}));
    QVERIFY(!w->LineEditor()->isVisible());
}

void TestXStringGrid::keysInEditor_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<int>("caret");  // -1: whole text selected
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<int>("nextCol");
    QTest::addColumn<int>("nextRow");
    QTest::addColumn<QString>("editorText");  // when the edit goes on

    // Free text: Up and Down always end; Left and Right only at the text's ends.
    QTest::addRow("text up") << 2 << "abc" << 1 << int(Qt::Key_Up) << true << 2 << 1 << "";
    QTest::addRow("text down") << 2 << "abc" << 1 << int(Qt::Key_Down) << true << 2 << 3 << "";
    QTest::addRow("text down, selected") << 2 << "abc" << -1 << int(Qt::Key_Down) << true << 2 << 3 << "";
    QTest::addRow("text left at start") << 2 << "abc" << 0 << int(Qt::Key_Left) << true << 1 << 2 << "";
    QTest::addRow("text left inside") << 2 << "abc" << 2 << int(Qt::Key_Left) << false << 2 << 2 << "abc";
    QTest::addRow("text left, selected") << 2 << "abc" << -1 << int(Qt::Key_Left) << false << 2 << 2 << "abc";
    QTest::addRow("text right at end") << 2 << "abc" << 3 << int(Qt::Key_Right) << true << 3 << 2 << "";
    QTest::addRow("text right inside") << 2 << "abc" << 1 << int(Qt::Key_Right) << false << 2 << 2 << "abc";
    QTest::addRow("text right, selected") << 2 << "abc" << -1 << int(Qt::Key_Right) << false << 2 << 2 << "abc";
    QTest::addRow("text tab without tab option") << 2 << "abc" << 1 << int(Qt::Key_Tab) << true << 2 << 2 << "";
    // Drop-down: Up and Down change the item; Left and Right as in free text.
    QTest::addRow("drop-down down") << 3 << "高" << 1 << int(Qt::Key_Down) << false << 3 << 2 << "低";
    QTest::addRow("drop-down up") << 3 << "中" << 1 << int(Qt::Key_Up) << false << 3 << 2 << "低";
    QTest::addRow("drop-down left at start") << 3 << "高" << 0 << int(Qt::Key_Left) << true << 2 << 2 << "";
    QTest::addRow("drop-down right at end") << 4 << "高" << 1 << int(Qt::Key_Right) << true << 5 << 2 << "";
    QTest::addRow("drop-down right, selected") << 4 << "高" << -1 << int(Qt::Key_Right) << false << 4 << 2 << "高";
}

void TestXStringGrid::keysInEditor()
{
    QFETCH(int, col);
    QFETCH(QString, cell);
    QFETCH(int, caret);
    QFETCH(int, key);
    QFETCH(bool, ends);
    QFETCH(int, nextCol);
    QFETCH(int, nextRow);
    QFETCH(QString, editorText);

    w->grid->SetCells(col, 2, cell);
    w->Focus(col, 2);
    QTest::keyClick(w->grid, Qt::Key_F2);
    QLineEdit *text = w->ActiveText();
    QVERIFY(text);
    if (caret >= 0)
        text->setCursorPosition(caret);
    GridWindow::Key(Qt::Key(key));

    QCOMPARE(w->grid->Col(), nextCol);
    QCOMPARE(w->grid->Row(), nextRow);
    if (ends) {
        QVERIFY(!w->grid->ActiveEditor());
        // Committed on the edited cell before the current cell moved.
        QCOMPARE(w->commits, QList<Commit>({{col, 2, cell, col, 2}}));
        if (key != Qt::Key_Tab)
            QVERIFY(w->grid->hasFocus());
    } else {
        QVERIFY(w->grid->ActiveEditor());
        QCOMPARE(text->text(), editorText);
        QVERIFY(w->commits.isEmpty());
    }
}

void TestXStringGrid::enterCommitsEscapeCancels_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("cell");

    QTest::addRow("text enter") << 1 << int(Qt::Key_Return) << "438.5";
    QTest::addRow("text keypad enter") << 1 << int(Qt::Key_Enter) << "438.5";
    QTest::addRow("text escape") << 1 << int(Qt::Key_Escape) << "12";
    QTest::addRow("drop-down enter") << 4 << int(Qt::Key_Return) << "438.5";
    QTest::addRow("drop-down escape") << 4 << int(Qt::Key_Escape) << "12";
}

void TestXStringGrid::enterCommitsEscapeCancels()
{
    QFETCH(int, col);
    QFETCH(int, key);
    QFETCH(QString, cell);

    w->grid->SetImmediateEditMode(true);
    w->grid->SetCells(col, 3, "12");
    w->Focus(col, 3);
    QTest::keyClicks(w->grid, "4");
    GridWindow::Type("38.5");
    QCOMPARE(w->ActiveText()->text(), "438.5");
    GridWindow::Key(Qt::Key(key));

    QVERIFY(!w->grid->ActiveEditor());
    QVERIFY(w->grid->hasFocus());
    QCOMPARE(w->grid->Cells(col, 3), cell);
    const bool commits = key != Qt::Key_Escape;
    QCOMPARE(w->commits, commits ? QList<Commit>({{col, 3, "438.5", col, 3}}) : QList<Commit>());
    QCOMPARE(w->grid->Col(), col);
    QCOMPARE(w->grid->Row(), 3);
}

// The main table's rule: a new receive frequency fills the row; the handler rewrites cells.
void TestXStringGrid::handlerMayRewriteCells()
{
    w->handler = [this](int, int, const QString &) {
        TXStringGrid *g = w->grid;
        const int y = g->Row();
        if (g->Col() != 1 || IsEmptyText(g->Cells(1, y)))
            return;
        const QString mhz = QString::number(StrToFloat(g->Cells(1, y)), 'f', 5);
        g->SetCells(1, y, mhz);
        if (IsEmptyText(g->Cells(2, y))) {
            g->SetCells(2, y, mhz);
            g->SetCells(3, y, "高");
            g->SetCells(5, y, "x");
        }
    };
    w->grid->SetImmediateEditMode(true);
    w->Focus(1, 4);
    QTest::keyClicks(w->grid, "4");
    GridWindow::Type("38.5");
    GridWindow::Key(Qt::Key_Down);

    QCOMPARE(w->commits.size(), 1);
    QCOMPARE(w->grid->Cells(1, 4), "438.50000");
    QCOMPARE(w->grid->Cells(2, 4), "438.50000");
    QCOMPARE(w->grid->Cells(3, 4), "高");
    QCOMPARE(w->grid->Cells(5, 4), "x");
    QCOMPARE(w->grid->Row(), 5);

    // Editing the rewritten cell starts from the handler's text.
    w->Focus(1, 4);
    QTest::keyClick(w->grid, Qt::Key_F2);
    QCOMPARE(w->ActiveText()->text(), "438.50000");
}

// A handler that takes the focus away (as a message box does) must not commit a second time.
void TestXStringGrid::handlerMovingFocusCommitsOnce()
{
    w->handler = [this](int col, int row, const QString &) {
        w->other->setFocus();
        w->grid->SetCells(col, row, "rewritten");
    };
    w->Focus(2, 1);
    QTest::keyClick(w->grid, Qt::Key_F2);
    GridWindow::Type("7");
    GridWindow::Key(Qt::Key_Return);

    QCOMPARE(w->commits.size(), 1);
    QCOMPARE(w->grid->Cells(2, 1), "rewritten");
    QVERIFY(!w->grid->ActiveEditor());
    QVERIFY(w->other->hasFocus());
}

void TestXStringGrid::handlerErrorIsShownAndStopsMove()
{
    MessageRecorder messages;
    w->handler = [](int, int, const QString &text) { StrToFloat(text); };
    w->grid->SetImmediateEditMode(true);
    w->Focus(1, 2);
    QTest::keyClicks(w->grid, "x");
    GridWindow::Key(Qt::Key_Down);

    QCOMPARE(messages.texts(), QStringList{"'x' is not a valid floating point value"});
    QCOMPARE(messages.messages.first().first, MessageKind::Error);
    QCOMPARE(w->grid->Cells(1, 2), "x");
    QCOMPARE(w->grid->Row(), 2);
    QVERIFY(!w->grid->ActiveEditor());
}

void TestXStringGrid::mouseStartsEdit_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("edits");

    QTest::addRow("click on the current cell") << "click current" << true;
    QTest::addRow("click on another cell") << "click other" << false;
    QTest::addRow("double click on another cell") << "double click other" << true;
    QTest::addRow("click into the grid on its current cell") << "click current from outside" << false;
}

void TestXStringGrid::mouseStartsEdit()
{
    QFETCH(QString, how);
    QFETCH(bool, edits);

    w->grid->SetCells(1, 2, "12");
    w->grid->SetCells(1, 3, "13");
    w->Focus(1, 2);
    const int row = how.contains("other") ? 3 : 2;
    const QPoint at = w->grid->CellRect(1, row).center();
    if (how.startsWith("double"))
        QTest::mouseDClick(w->grid->viewport(), Qt::LeftButton, {}, at);
    else {
        if (how.endsWith("outside"))
            w->other->setFocus();
        QTest::mouseClick(w->grid->viewport(), Qt::LeftButton, {}, at);
    }

    QCOMPARE(w->grid->Row(), row);
    QCOMPARE(w->grid->ActiveEditor() == w->edit, edits);
    if (edits) {
        QCOMPARE(w->grid->EditRow(), row);
        QCOMPARE(w->LineEditor()->selectedText(), w->grid->Cells(1, row));
    }
}

// Opening the list moves the focus into it; that is not leaving the cell.
void TestXStringGrid::comboPopupKeepsEdit()
{
    w->grid->SetCells(3, 1, "高");
    w->Focus(3, 1);
    QTest::keyClick(w->grid, Qt::Key_F2);
    QComboBox *box = w->ComboEditor();
    box->showPopup();
    QTRY_VERIFY(box->view()->isVisible());
    QVERIFY(w->grid->ActiveEditor());
    QTest::keyClick(box->view(), Qt::Key_Down);
    QTest::keyClick(box->view(), Qt::Key_Return);
    QTRY_VERIFY(!box->view()->isVisible());
    QVERIFY(w->grid->ActiveEditor());
    QVERIFY(w->commits.isEmpty());
    QCOMPARE(box->currentText(), "低");
    GridWindow::Key(Qt::Key_Return);
    QCOMPARE(w->commits, QList<Commit>({{3, 1, "低", 3, 1}}));
}

void TestXStringGrid::columnWithoutEditorIsReadOnly_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<bool>("editing");  // the grid's editing option
    QTest::addColumn<QString>("how");

    for (const char *how : {"type", "f2", "enter", "click current", "double click"}) {
        QTest::addRow("no editor, %s", how) << 5 << true << QString(how);
        QTest::addRow("editing off, %s", how) << 1 << false << QString(how);
    }
}

void TestXStringGrid::columnWithoutEditorIsReadOnly()
{
    QFETCH(int, col);
    QFETCH(bool, editing);
    QFETCH(QString, how);

    if (!editing)
        w->grid->SetOptions(TGridOption::RangeSelect);
    w->grid->SetImmediateEditMode(true);
    w->grid->SetCells(col, 2, "12");
    w->Focus(col, 2);
    if (how == "type")
        QTest::keyClicks(w->grid, "5");
    else if (how == "f2")
        QTest::keyClick(w->grid, Qt::Key_F2);
    else if (how == "enter")
        QTest::keyClick(w->grid, Qt::Key_Return);
    else if (how == "click current")
        w->Click(col, 2);
    else
        QTest::mouseDClick(w->grid->viewport(), Qt::LeftButton, {}, w->grid->CellRect(col, 2).center());

    QVERIFY(!w->grid->ActiveEditor());
    QVERIFY(!w->LineEditor()->isVisible());
    QVERIFY(!w->ComboEditor()->isVisible());
    QCOMPARE(w->grid->Cells(col, 2), "12");
    QVERIFY(w->commits.isEmpty());
    QCOMPARE(w->grid->Col(), col);
    QCOMPARE(w->grid->Row(), 2);
}

void TestXStringGrid::comboOffersItemsAndAcceptsFreeText()
{
    w->Focus(3, 1);
    QTest::keyClick(w->grid, Qt::Key_F2);
    QComboBox *box = w->ComboEditor();
    QVERIFY(box->isVisible());
    QVERIFY(box->isEditable());
    QStringList offered;
    for (int i = 0; i < box->count(); ++i)
        offered << box->itemText(i);
    QCOMPARE(offered, w->combo->Items());

    GridWindow::Type("xyz");  // replaces the selected default text
    GridWindow::Key(Qt::Key_Return);
    QCOMPARE(w->grid->Cells(3, 1), "xyz");
    QCOMPARE(box->count(), 3);  // typed text is not added to the list

    // The list is loaded again at each edit, so a changed list shows at once.
    w->combo->SetItems({"a", "b"});
    w->Focus(3, 2);
    QTest::keyClick(w->grid, Qt::Key_F2);
    QCOMPARE(box->count(), 2);
    GridWindow::Key(Qt::Key_Down);
    GridWindow::Key(Qt::Key_Return);
    QCOMPARE(w->grid->Cells(3, 2), "a");
}

void TestXStringGrid::sharedEditorServesBothColumns()
{
    QCOMPARE(w->edit->AttachCount(), 2);
    QCOMPARE(w->combo->AttachCount(), 2);
    QCOMPARE(w->combo->Grid(), w->grid);

    w->grid->SetImmediateEditMode(true);
    w->Focus(3, 1);
    QTest::keyClicks(w->grid, "p");
    GridWindow::Key(Qt::Key_Right);  // caret at the end: on to column 4, same editor
    QTest::keyClicks(w->grid, "q");
    GridWindow::Key(Qt::Key_Return);
    QCOMPARE(w->commits, QList<Commit>({{3, 1, "p", 3, 1}, {4, 1, "q", 4, 1}}));
    QCOMPARE(w->grid->Cells(3, 1), "p");
    QCOMPARE(w->grid->Cells(4, 1), "q");

    w->grid->Columns()[3].SetEditor(nullptr);
    QCOMPARE(w->combo->AttachCount(), 1);
    QCOMPARE(w->combo->Grid(), w->grid);
    w->grid->Columns()[4].SetEditor(nullptr);
    QCOMPARE(w->combo->AttachCount(), 0);
    QCOMPARE(w->combo->Grid(), nullptr);

    // Free again, it may serve another grid.
    TXStringGrid second(w.get());
    second.Columns()[1].SetEditor(w->combo);
    QCOMPARE(w->combo->Grid(), &second);
}

void TestXStringGrid::editorErrors_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");

    QTest::addRow("assigned to another grid") << "other grid" << "EditCellEditor1 is allready assigned to xg";
    QTest::addRow("no control") << "no control" << "Cell Editor not of type TCellEditor";
    QTest::addRow("control fails") << "control throws" << "Cell Editor not of type TCellEditor";
}

void TestXStringGrid::editorErrors()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);

    TXStringGrid second(w.get());
    second.setObjectName("xg2");
    TEditCellEditor before(w.get());
    second.Columns()[1].SetEditor(&before);
    std::unique_ptr<TCellEditor> broken;
    TCellEditor *editor = w->edit;
    if (kind != "other grid") {
        broken = std::make_unique<BrokenEditor>(kind == "control throws");
        editor = broken.get();
    }
    const int attached = editor->AttachCount();
    try {
        second.Columns()[1].SetEditor(editor);
        QFAIL("no ECellEditorError");
    } catch (const ECellEditorError &error) {
        QCOMPARE(error.message(), message);
    }
    // Nothing changed.
    QCOMPARE(second.Columns()[1].Editor(), &before);
    QCOMPARE(before.AttachCount(), 1);
    QCOMPARE(editor->AttachCount(), attached);
    QCOMPARE(editor->Grid(), kind == "other grid" ? w->grid : nullptr);
}

void TestXStringGrid::columnCountKeepsDescriptionsInStep()
{
    TXStringColumnItem &fourth = w->grid->Columns()[4];
    fourth.SetColor(Qt::red);
    fourth.SetAlignment(Qt::AlignHCenter);
    fourth.SetWidth(90);
    QCOMPARE(fourth.Caption(), "D");
    QCOMPARE(w->grid->Cells(4, 0), "D");
    w->grid->SetCells(4, 0, "renamed");
    QCOMPARE(fourth.Caption(), "renamed");
    QCOMPARE(w->grid->ColWidths(4), 90);

    w->grid->SetColCount(4);
    QCOMPARE(w->grid->Columns().Count(), 4);
    QCOMPARE(w->combo->AttachCount(), 1);  // column 4 let go of it
    w->grid->SetColCount(6);
    QCOMPARE(w->grid->Columns().Count(), 6);
    const TXStringColumnItem &fresh = w->grid->Columns()[4];
    QCOMPARE(fresh.Color(), w->grid->Color());
    QCOMPARE(fresh.HeaderColor(), w->grid->FixedColor());
    QCOMPARE(fresh.Alignment(), Qt::Alignment(Qt::AlignLeft));
    QCOMPARE(fresh.Width(), 64);
    QCOMPARE(fresh.Editor(), nullptr);
    QCOMPARE(fresh.Caption(), "");
    QCOMPARE(w->grid->Columns()[3].Editor(), w->combo);

    // Assigning copies the look and caption, not the editor.
    TXStringGrid copy;
    copy.SetColumns(w->grid->Columns());
    QCOMPARE(copy.ColCount(), 6);
    QCOMPARE(copy.Columns()[3].Caption(), "C");
    QCOMPARE(copy.Columns()[3].Editor(), nullptr);
}

void TestXStringGrid::destroyingEditorOrGrid()
{
    // An editor destroyed in the middle of an edit: the columns forget it, nothing commits.
    w->Focus(1, 1);
    QTest::keyClick(w->grid, Qt::Key_F2);
    QVERIFY(w->grid->ActiveEditor() == w->edit);
    delete w->edit;
    w->edit = nullptr;
    QCOMPARE(w->grid->ActiveEditor(), nullptr);
    QCOMPARE(w->grid->Columns()[1].Editor(), nullptr);
    QCOMPARE(w->grid->Columns()[2].Editor(), nullptr);
    QVERIFY(w->commits.isEmpty());

    // A grid destroyed first frees its editors and their controls.
    w->Focus(3, 1);
    QTest::keyClick(w->grid, Qt::Key_F2);
    QVERIFY(w->combo->EditControl());
    delete w->grid;
    w->grid = nullptr;
    QCOMPARE(w->combo->Grid(), nullptr);
    QCOMPARE(w->combo->AttachCount(), 0);
    QCOMPARE(w->combo->EditControl(), nullptr);
    QVERIFY(w->commits.isEmpty());
}

void TestXStringGrid::fixedCellsAreNeverCurrent()
{
    w->Focus(2, 2);
    w->grid->SetCol(0);
    w->grid->SetRow(0);
    QCOMPARE(w->grid->Col(), 2);
    QCOMPARE(w->grid->Row(), 2);
    QTest::mouseClick(w->grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(100, 5));
    QTest::mouseClick(w->grid->verticalHeader()->viewport(), Qt::LeftButton, {}, QPoint(5, 40));
    QCOMPARE(w->grid->Col(), 2);
    QCOMPARE(w->grid->Row(), 2);
    QVERIFY(w->grid->CellRect(0, 2).isEmpty());
    QVERIFY(w->grid->CellRect(2, 0).isEmpty());
    QCOMPARE(w->grid->Cells(0, 0), "No");
    QCOMPARE(w->grid->Cells(0, 3), "3");
}

void TestXStringGrid::elipsisButton()
{
    int clicks = 0;
    w->edit->SethasElipsis(true);
    w->edit->SetElipsisCaption("…");
    w->edit->OnElipsisClick = [&clicks] { ++clicks; };
    w->Focus(1, 1);
    QTest::keyClick(w->grid, Qt::Key_F2);

    const QRect cell = w->grid->CellRect(1, 1);
    auto *button = w->grid->viewport()->findChild<QToolButton *>();
    QVERIFY(button && button->isVisible());
    QCOMPARE(button->text(), "…");
    QCOMPARE(button->geometry(), QRect(cell.right() - cell.height() + 1, cell.top(), cell.height(), cell.height()));
    QCOMPARE(w->LineEditor()->geometry().right(), cell.right() - cell.height());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks, 1);
    QVERIFY(w->grid->ActiveEditor());  // the button does not end the edit
    GridWindow::Key(Qt::Key_Return);
    QVERIFY(!button->isVisible());
}

// Options and hooks that no window sets, each in its simplest use.
void TestXStringGrid::lesserUsedOptions_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<int>("nextCol");
    QTest::addColumn<QString>("cell");  // after the key

    QTest::addRow("tab option: tab moves on") << "tabs" << int(Qt::Key_Tab) << true << 2 << "ab";
    QTest::addRow("hook keeps the edit on down") << "hook" << int(Qt::Key_Down) << false << 1 << "12";
    QTest::addRow("hook turns up into right") << "hook" << int(Qt::Key_Up) << true << 2 << "12";
    QTest::addRow("edit text passed through the event") << "get edit text" << int(Qt::Key_Return) << true << 1
                                                         << "<12>";
    QTest::addRow("list style: left ends at once") << "list" << int(Qt::Key_Left) << true << 2 << "低";
}

void TestXStringGrid::lesserUsedOptions()
{
    QFETCH(QString, option);
    QFETCH(int, key);
    QFETCH(bool, ends);
    QFETCH(int, nextCol);
    QFETCH(QString, cell);

    int col = 1;
    QString start = "ab";
    if (option == "tabs") {
        w->grid->SetOptions(w->grid->Options() | TGridOption::Tabs);
    } else if (option == "hook") {
        w->edit->AllowEndEditEvent = [](QWidget *, int &k, Qt::KeyboardModifiers, bool &endEdit) {
            if (k == Qt::Key_Down)
                k = 0;
            if (k == Qt::Key_Up)
                k = Qt::Key_Right;
            endEdit = k != 0;
        };
        start = "12";
    } else if (option == "get edit text") {
        w->grid->OnGetEditText = [](int, int, QString &text) { text = "<" + text + ">"; };
        start = "12";
    } else {
        w->combo->SetStyle(TComboStyle::DropDownList);
        col = 3;
        start = "低";
    }
    w->grid->SetCells(col, 1, start);
    w->Focus(col, 1);
    QTest::keyClick(w->grid, Qt::Key_F2);
    QVERIFY(w->grid->ActiveEditor());
    if (option == "list") {
        QVERIFY(!w->ComboEditor()->isEditable());
        QCOMPARE(w->ComboEditor()->currentIndex(), 1);
    }
    GridWindow::Key(Qt::Key(key));

    QCOMPARE(!w->grid->ActiveEditor(), ends);
    QCOMPARE(w->grid->Col(), option == "list" ? col - 1 : nextCol);
    QCOMPARE(w->grid->Row(), 1);
    QCOMPARE(w->grid->Cells(col, 1), cell);
}

// The main channel table's shape: 17 rows, 16 columns, centred captions, shared editors.
void TestXStringGrid::paintsColumnsAndLines()
{
    TXStringGrid grid;
    grid.setObjectName("xg");
    grid.SetColCount(16);
    grid.SetRowCount(17);
    grid.SetDefaultRowHeight(24);
    grid.SetOptions(TGridOption::Editing | TGridOption::RangeSelect);
    grid.SetImmediateEditMode(true);
    const QStringList captions{"信道编号", "接收频率", "发射频率", "QT/DQT解码", "QT/DQT编码", "发射功率",
                               "宽/窄", "扫描添加", "步进频率", "DTMF键1", "DTMF键2", "PTTID", "扰频",
                               "可选信令", "信令信息", "压扩"};
    const QList<int> widths{56, 58, 61, 75, 75, 58, 35, 63, 58, 54, 55, 37, 36, 53, 55, 31};
    for (int c = 0; c < 16; ++c) {
        grid.Columns()[c].SetCaption(captions[c]);
        grid.Columns()[c].SetWidth(widths[c]);
        grid.Columns()[c].SetAlignment(Qt::AlignHCenter);
        grid.Columns()[c].SetHeaderAlignment(Qt::AlignHCenter);
    }
    for (int r = 1; r < 17; ++r)
        grid.SetCells(0, r, QString::number(r));
    const QStringList row1{"438.50000", "438.50000", "无", "67.0", "高", "宽带", "有", "25000",
                           "无", "无", "无", "无", "DTMF", "1", "无"};
    for (int c = 1; c < 16; ++c)
        grid.SetCells(c, 1, row1[c - 1]);
    grid.Columns()[5].SetColor(QColor(255, 255, 200));
    grid.resize(881, 433);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    const QImage image = grid.grab().toImage();
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath("xstringgrid.png");
    QVERIFY(image.save(path));
    qInfo("grid picture: %s", qPrintable(path));

    // Every row is 24 pixels plus its line; the fixed row's line is black, the others silver.
    const QPoint origin = grid.viewport()->mapTo(&grid, QPoint(0, 0));
    const int headerLine = origin.y() - 1;
    QCOMPARE(origin.y() - grid.horizontalHeader()->mapTo(&grid, QPoint(0, 0)).y(), 25);
    QCOMPARE(origin.x() - grid.verticalHeader()->mapTo(&grid, QPoint(0, 0)).x(), 57);
    QCOMPARE(image.pixelColor(origin.x() + 30, headerLine), QColor(Qt::black));
    QCOMPARE(image.pixelColor(origin.x() + 30, origin.y() + 24), QColor(192, 192, 192));
    const QRect yellow = grid.CellRect(5, 3).translated(origin);
    QCOMPARE(image.pixelColor(yellow.bottomLeft() + QPoint(1, -1)), QColor(255, 255, 200));
    QCOMPARE(image.pixelColor(yellow.right() + 1, yellow.center().y()), QColor(192, 192, 192));
    const QRect caption = grid.CellRect(5, 1).translated(origin).translated(0, -25);
    QCOMPARE(image.pixelColor(caption.bottomLeft() + QPoint(1, -1)), grid.FixedColor());
    // Centred text: ink in the middle of the cell, none near its left edge.
    const QRect freq = grid.CellRect(8, 1).translated(origin);
    auto inkIn = [&image](const QRect &r) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (image.pixelColor(x, y).lightness() < 128)
                    return true;
        return false;
    };
    QVERIFY(inkIn(QRect(freq.center().x() - 5, freq.top(), 10, freq.height())));
    QVERIFY(!inkIn(QRect(freq.left(), freq.top(), 2, freq.height())));

    // With a drop-down open over a cell, for a look at the in-place control.
    TComboCellEditor power;
    power.SetItems({"高", "低"});
    power.SetDefaultText("高");
    grid.Columns()[5].SetEditor(&power);
    grid.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&grid));
    grid.SetCol(5);
    grid.SetRow(2);
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_F2);
    QVERIFY(power.EditControl()->isVisible());
    QVERIFY(grid.grab().save(QDir(QCoreApplication::applicationDirPath()).filePath("xstringgrid-editing.png")));
}

// Ctrl+C, Ctrl+X and Ctrl+V on the real clipboard. The cells hold "<col><row>" ("12" is
// column 1, row 2); the handler refuses "bad". `selection` is "col,row" of the current cell,
// optionally followed by the far corner of the selected block, or by both corners of a block
// that leaves the current cell out.
void TestXStringGrid::clipboardKeys_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<bool>("editing");
    QTest::addColumn<QList<int>>("selection");
    QTest::addColumn<QString>("clipboardBefore");
    QTest::addColumn<QString>("clipboardAfter");
    QTest::addColumn<QStringList>("commits");   // "col,row,text" in order
    QTest::addColumn<QStringList>("messages");

    const QKeySequence c(Qt::CTRL | Qt::Key_C), x(Qt::CTRL | Qt::Key_X), v(Qt::CTRL | Qt::Key_V), del(Qt::Key_Delete);
    QTest::addRow("copy a block") << c << true << QList<int>{1, 2, 2, 3} << "" << "12\t22\n13\t23"
                                  << QStringList{} << QStringList{};
    QTest::addRow("copy without editing") << c << false << QList<int>{3, 1} << "" << "31" << QStringList{}
                                          << QStringList{};
    QTest::addRow("cut clears editable cells") << x << true << QList<int>{4, 1, 5, 1} << "" << "41\t51"
                                               << QStringList{"4,1,"} << QStringList{};
    QTest::addRow("cut without editing") << x << false << QList<int>{1, 1} << "old" << "old" << QStringList{}
                                         << QStringList{};
    QTest::addRow("delete clears editable cells, not the clipboard") << del << true << QList<int>{4, 1, 5, 2} << "old" << ""
                                                                     << QStringList{"4,1,", "4,2,"} << QStringList{};
    QTest::addRow("delete without editing") << del << false << QList<int>{1, 1} << "old" << "" << QStringList{}
                                            << QStringList{};
    QTest::addRow("ctrl+delete is the window's") << QKeySequence(Qt::CTRL | Qt::Key_Delete) << true << QList<int>{1, 1}
                                                 << "old" << "" << QStringList{} << QStringList{};
    QTest::addRow("delete stops at an error") << del << true << QList<int>{1, 1, 3, 2} << "" << ""
                                              << QStringList{"1,1,", "2,1,", "3,1,"}
                                              << QStringList{"'' is not a valid floating point value"};
    QTest::addRow("paste a block") << v << true << QList<int>{1, 2} << "a\tb\nc\td" << "a\tb\nc\td"
                                   << QStringList{"1,2,a", "2,2,b", "1,3,c", "2,3,d"} << QStringList{};
    QTest::addRow("paste spreadsheet lines") << v << true << QList<int>{2, 4} << "a\r\n\r\nb\r\n" << ""
                                             << QStringList{"2,4,a", "2,5,", "2,6,b"} << QStringList{};
    QTest::addRow("paste past the edges") << v << true << QList<int>{4, 5} << "a\tb\tc\nd\te\tf\ng\th\ti" << ""
                                          << QStringList{"4,5,a", "4,6,d"}
                                          << QStringList{"5 个单元格超出表格，没有粘贴"};
    // Whole spreadsheet columns: what lies beyond is counted, in lines never split (column 5
    // has no editor).
    QTest::addRow("paste far past the edges") << v << true << QList<int>{4, 5}
                                              << "a\tb\tc\r\nd" + QString("\t\t\r\n").repeated(100000) << ""
                                              << QStringList{"4,5,a", "4,6,d"}
                                              << QStringList{"299999 个单元格超出表格，没有粘贴"};
    // A block that fits a larger selection whole times fills it, the selection's corner first.
    QTest::addRow("paste one cell over a selection") << v << true << QList<int>{2, 3, 1, 1} << "x" << ""
                                                     << QStringList{"1,1,x", "2,1,x", "1,2,x", "2,2,x", "1,3,x", "2,3,x"}
                                                     << QStringList{};
    QTest::addRow("paste a block tiled over a selection")
        << v << true << QList<int>{1, 1, 4, 2} << "a\tb" << "" << QStringList{"1,1,a", "2,1,b", "3,1,a", "4,1,b", "1,2,a", "2,2,b", "3,2,a", "4,2,b"}
        << QStringList{};
    // A drag or Shift+arrow leaves the current cell at the selection's far end.
    QTest::addRow("paste onto cells selected upwards") << v << true << QList<int>{1, 2, 1, 1} << "a\nb" << ""
                                                       << QStringList{"1,1,a", "1,2,b"} << QStringList{};
    QTest::addRow("paste a line tiled over a selection made leftwards")
        << v << true << QList<int>{4, 2, 1, 1} << "a\tb\tc\td" << ""
        << QStringList{"1,1,a", "2,1,b", "3,1,c", "4,1,d", "1,2,a", "2,2,b", "3,2,c", "4,2,d"} << QStringList{};
    // As the last paste leaves them when its block did not fit the selection whole times.
    QTest::addRow("paste from a current cell outside the selection") << v << true << QList<int>{4, 5, 1, 1, 2, 2} << "x" << ""
                                                                    << QStringList{"4,5,x"} << QStringList{};
    QTest::addRow("paste at the last cell, outside the selection") << v << true << QList<int>{4, 6, 1, 1, 3, 3} << "x" << ""
                                                                   << QStringList{"4,6,x"} << QStringList{};
    QTest::addRow("paste a block that does not fit whole times") << v << true << QList<int>{1, 1, 3, 1} << "a\tb" << ""
                                                                 << QStringList{"1,1,a", "2,1,b"} << QStringList{};
    QTest::addRow("paste ragged lines over a selection") << v << true << QList<int>{1, 1, 2, 4} << "a\tb\nc" << ""
                                                         << QStringList{"1,1,a", "2,1,b", "1,2,c"} << QStringList{};
    // What a program put after a NUL is none of the cell's text, nor of a message about it.
    QTest::addRow("paste cells holding a NUL") << v << true << QList<int>{1, 1}
                                               << QStringLiteral("a") + QChar(0) + QStringLiteral("hidden\tbad") + QChar(0) + QStringLiteral("x")
                                               << "" << QStringList{"1,1,a", "2,1,bad"}
                                               << QStringList{"'bad' is not a valid floating point value"};
    QTest::addRow("paste stops at an error") << v << true << QList<int>{1, 1} << "a\tbad\tc\nd" << ""
                                             << QStringList{"1,1,a", "2,1,bad"}
                                             << QStringList{"'bad' is not a valid floating point value"};
    QTest::addRow("paste without editing") << v << false << QList<int>{1, 1} << "a" << "" << QStringList{}
                                           << QStringList{};
}

void TestXStringGrid::clipboardKeys()
{
    QFETCH(QKeySequence, key);
    QFETCH(bool, editing);
    QFETCH(QList<int>, selection);
    QFETCH(QString, clipboardBefore);
    QFETCH(QString, clipboardAfter);
    QFETCH(QStringList, commits);
    QFETCH(QStringList, messages);
    if (clipboardAfter.isEmpty())
        clipboardAfter = clipboardBefore;

    MessageRecorder recorder;
    w->grid->SetRowCount(7);
    for (int col = 1; col < 6; ++col) {
        for (int row = 1; row < 7; ++row)
            w->grid->SetCells(col, row, QStringLiteral("%1%2").arg(col).arg(row));
    }
    const auto before = [this] {
        QStringList cells;
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 6; ++col)
                cells << w->grid->Cells(col, row);
        return cells;
    }();
    w->handler = [](int col, int, const QString &text) {
        if (text == QLatin1String("bad") || (col == 3 && text.isEmpty()))  // column 3 must not be emptied
            StrToFloat(text);
    };
    if (!editing)
        w->grid->SetOptions(TGridOption::RangeSelect);
    QGuiApplication::clipboard()->setText(clipboardBefore);
    w->Focus(selection[0], selection[1]);
    if (selection.size() == 4)
        w->grid->SetSelection(QRect(QPoint(selection[0], selection[1]), QPoint(selection[2], selection[3])));
    if (selection.size() == 6)
        w->grid->SetSelection(QRect(QPoint(selection[2], selection[3]), QPoint(selection[4], selection[5])));
    QSignalSpy started(w->grid, &TXStringGrid::ActionStarted);
    QSignalSpy finished(w->grid, &TXStringGrid::ActionFinished);

    QTest::keySequence(w->grid, key);

    QCOMPARE(QGuiApplication::clipboard()->text(), clipboardAfter);
    QStringList made;
    for (const Commit &commit : std::as_const(w->commits))
        made << QStringLiteral("%1,%2,%3").arg(commit.col).arg(commit.row).arg(commit.text);
    QCOMPARE(made, commits);
    if (key == QKeySequence(Qt::CTRL | Qt::Key_V) && !commits.isEmpty()) {  // the pasted block's corner is the next paste's start
        const QStringList first = commits.first().split(QLatin1Char(','));
        QCOMPARE(QPoint(w->grid->Col(), w->grid->Row()), QPoint(first[0].toInt(), first[1].toInt()));
    }
    QCOMPARE(recorder.texts(), messages);
    // Every cell not committed keeps its text; a committed one holds what was committed.
    QStringList expected = before;
    for (const Commit &commit : std::as_const(w->commits))
        expected[commit.row * 6 + commit.col] = commit.text;
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 6; ++col)
            QCOMPARE(w->grid->Cells(col, row), expected[row * 6 + col]);
    // A cut, a paste or a clear that reaches the cells tells the window once, before and after.
    const bool action = editing && !commits.isEmpty();
    QCOMPARE(started.count(), action ? 1 : 0);
    QCOMPARE(finished.count(), action ? 1 : 0);
    QVERIFY(!w->grid->ActiveEditor());
}

// What a copy puts on the clipboard reads back as the same cells, empty ones too.
void TestXStringGrid::clipboardTextRoundTrip_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addRow("block") << QList<QStringList>{{"a", "b"}, {"c", "d"}};
    QTest::addRow("last cell of a column empty") << QList<QStringList>{{"a"}, {""}};
    QTest::addRow("column of empty cells") << QList<QStringList>{{""}, {""}};
    QTest::addRow("one empty cell") << QList<QStringList>{{""}};
    QTest::addRow("last row of empty cells") << QList<QStringList>{{"a", "b"}, {"", ""}};
    QTest::addRow("first row empty") << QList<QStringList>{{""}, {"a"}};
}

void TestXStringGrid::clipboardTextRoundTrip()
{
    QFETCH(QList<QStringList>, rows);
    const QString text = CellsToClipboardText(rows);
    QCOMPARE(CellsFromClipboardText(text, 10, 10).rows, rows);
}

// The paste's reader against the plainest reading of the same text: split every line and
// cell, then keep what the limits allow. Random texts of cells, tabs and every kind of line end.
void TestXStringGrid::clipboardTextSplits_data()
{
    QTest::addColumn<int>("seed");
    for (int seed = 1; seed <= 8; ++seed)
        QTest::addRow("seed %d", seed) << seed;
}

void TestXStringGrid::clipboardTextSplits()
{
    QFETCH(int, seed);
    QRandomGenerator random(static_cast<quint32>(seed));
    const QStringList pieces{"a", "bc", "\t", "\t", "\n", "\r", "\r\n", QString(QChar(0))};
    for (int round = 0; round < 200; ++round) {
        QString text;
        for (int n = random.bounded(12); n > 0; --n)
            text += pieces.at(random.bounded(pieces.size()));
        const int maxRows = random.bounded(1, 5);
        const int maxCols = random.bounded(1, 4);

        QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
        if (lines.size() > 1 && lines.constLast().isEmpty())
            lines.removeLast();
        QList<QStringList> rows;
        qsizetype beyond = 0;
        for (int r = 0; !text.isEmpty() && r < lines.size(); ++r) {
            QStringList cells = lines.at(r).split(QLatin1Char('\t'));
            for (QString &cell : cells)
                cell = cell.section(QChar(0), 0, 0);  // what follows a NUL is no text of the cell
            if (r < maxRows)
                rows << cells.mid(0, maxCols);
            beyond += r < maxRows ? qMax<qsizetype>(0, cells.size() - maxCols) : cells.size();
        }

        const TClipboardCells read = CellsFromClipboardText(text, maxRows, maxCols);
        const QByteArray what = QByteArray("text ") + text.toUtf8().toPercentEncoding() + " limits "
                                + QByteArray::number(maxRows) + "x" + QByteArray::number(maxCols);
        QVERIFY2(read.rows == rows, what.constData());
        QVERIFY2(read.beyond == beyond, what.constData());
    }
}

QTEST_MAIN(TestXStringGrid)
#include "tst_xstringgrid.moc"
