#include "support/gui/EditorInput.h"

#include "editors/SignallingWindow.h"
#include "grid/MetaCellEditor.h"
#include "grid/XStringGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHash>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

namespace {

// Keys for ASCII characters; anything else arrives as an input method commits it. Without a
// widget each character goes to whichever control has the focus then.
void Type(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QWidget *target = widget ? widget : QApplication::focusWidget();
        if (c.unicode() < 0x80) {
            QTest::keyClick(target, c.toLatin1());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(target, &commit);
        }
    }
}

QLineEdit *TextField(QWidget *control)
{
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->lineEdit();
    return qobject_cast<QLineEdit *>(control);
}

void ClickCell(TXStringGrid *grid, int col, int row)
{
    ShowPageOf(grid);
    grid->scrollTo(grid->model()->index(row - grid->FixedRows(), col - grid->FixedCols()));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(col, row).center());
}

void ClickBox(QLineEdit *field)
{
    ShowPageOf(field);
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
}

// One step of RunSteps; false when it names no control.
bool RunStep(const TSignallingWindow &window, const QString &step)
{
    static const QHash<QString, Qt::Key> keys{
        {"F2", Qt::Key_F2},     {"Enter", Qt::Key_Return}, {"Escape", Qt::Key_Escape},
        {"Down", Qt::Key_Down}, {"Up", Qt::Key_Up},        {"Left", Qt::Key_Left},
        {"Right", Qt::Key_Right}, {"Tab", Qt::Key_Tab},     {"Delete", Qt::Key_Delete},
    };
    const qsizetype colon = step.indexOf(QLatin1Char(':'));
    const QString what = step.left(colon);
    const QString arg = step.mid(colon + 1);
    if (what == QLatin1String("cell")) {
        const QStringList parts = arg.split(QRegularExpression(QStringLiteral("[:,]")));
        TXStringGrid *grid = parts.size() == 3 ? window.Grid(parts[0]) : nullptr;
        if (grid)
            ClickCell(grid, parts[1].toInt(), parts[2].toInt());
        return grid;
    }
    if (what == QLatin1String("box")) {
        QLineEdit *field = TextField(window.Control(arg));
        if (field)
            ClickBox(field);
        return field;
    }
    if (what == QLatin1String("key") && keys.contains(arg)) {
        QTest::keyClick(QApplication::focusWidget(), keys.value(arg));
        return true;
    }
    if (what == QLatin1String("type")) {
        Type(nullptr, arg);
        return true;
    }
    return false;
}

}  // namespace

void ShowPageOf(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        auto *pages = qobject_cast<QTabWidget *>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr);
        const int index = pages ? pages->indexOf(w) : -1;
        if (index >= 0) {
            if (pages->currentIndex() != index)
                QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(index).center());
            return;
        }
    }
}

void EnterText(QWidget *control, const QString &text)
{
    ShowPageOf(control);
    if (auto *check = qobject_cast<QCheckBox *>(control)) {
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
        return;
    }
    auto *combo = qobject_cast<QComboBox *>(control);
    if (combo && !combo->isEditable()) {
        combo->setFocus();
        const int target = combo->findText(text);
        for (int guard = combo->count(); combo->currentIndex() != target && guard >= 0; --guard)
            QTest::keyClick(combo, combo->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
        return;
    }
    QLineEdit *edit = TextField(control);
    QVERIFY2(edit, qPrintable(control->objectName()));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        Type(edit, text);
}

void EditCell(TXStringGrid *grid, int col, int row, const std::optional<QString> &text, int leaveKey)
{
    ShowPageOf(grid);
    grid->setFocus();
    grid->SetCol(col);
    grid->SetRow(row);
    QTest::keyClick(grid, Qt::Key_F2);
    auto *editor = qobject_cast<TMetaCellEditor *>(grid->ActiveEditor());
    QVERIFY2(editor && editor->EditControl(), "the cell's editor did not open");
    QWidget *control = editor->EditControl();
    if (text) {
        QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
        if (text->isEmpty())
            QTest::keyClick(control, Qt::Key_Delete);
        else
            Type(control, *text);
    }
    QTest::keyClick(control, static_cast<Qt::Key>(leaveKey));
}

QString ShownText(const QWidget *control)
{
    if (auto *check = qobject_cast<const QCheckBox *>(control))
        return check->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked");
    if (auto *combo = qobject_cast<const QComboBox *>(control))
        return combo->currentText();
    if (auto *edit = qobject_cast<const QLineEdit *>(control))
        return edit->text();
    return {};
}

QStringList RowTexts(const TXStringGrid *grid, int row, int firstCol)
{
    QStringList texts;
    for (int col = firstCol; col < grid->ColCount(); ++col)
        texts << grid->Cells(col, row);
    return texts;
}

bool RunSteps(const TSignallingWindow &window, const QStringList &steps, QString *failed)
{
    for (const QString &step : steps) {
        if (!RunStep(window, step)) {
            *failed = step;
            return false;
        }
    }
    return true;
}

QMenu *OpenContextMenu(QWidget *widget)
{
    const QPoint at = widget->rect().center();
    QContextMenuEvent open(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &open);
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

bool ChooseFromContextMenu(QWidget *widget, const QString &text)
{
    QMenu *menu = OpenContextMenu(widget);
    QAction *action = nullptr;
    for (QAction *candidate : menu ? menu->actions() : QList<QAction *>())
        if (candidate->text().section(QLatin1Char('\t'), 0, 0) == text)
            action = candidate;
    if (!action)
        return false;
    menu->close();
    action->trigger();
    return true;
}
