#include "support/EditorInput.h"

#include "grid/MetaCellEditor.h"
#include "grid/XStringGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

namespace {

// Keys for ASCII characters; anything else arrives as an input method commits it.
void Type(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(widget, &commit);
        }
    }
}

}  // namespace

void ShowPageOf(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        auto *pages = qobject_cast<QTabWidget *>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr);
        const int index = pages ? pages->indexOf(w) : -1;
        if (index >= 0) {
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
    QLineEdit *edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit *>(control);
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
