#include "support/gui/WindowLayout.h"

#include "base/ShownText.h"
#include "dialogs/Language.h"
#include "grid/ComboCellEditor.h"
#include "grid/XStringGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

namespace {

bool IsControl(const QWidget *w)
{
    return qobject_cast<const QLabel *>(w) || qobject_cast<const QComboBox *>(w)
           || qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractButton *>(w)
           || qobject_cast<const QProgressBar *>(w) || qobject_cast<const QGroupBox *>(w)
           || qobject_cast<const TXStringGrid *>(w) || qobject_cast<const QTabWidget *>(w);
}

// Inside a combo box, grid or tab bar: not laid out by the window.
bool IsPartOfAnother(const QWidget *w, const QWidget *window)
{
    for (const QWidget *p = w->parentWidget(); p && p != window; p = p->parentWidget()) {
        if (qobject_cast<const QComboBox *>(p) || qobject_cast<const TXStringGrid *>(p)
            || qobject_cast<const QTabBar *>(p))
            return true;
    }
    return false;
}

// "xg2 at 10,22 628x342"
QString Describe(const QWidget *w)
{
    const QString name = w->objectName();
    const QRect g = w->geometry();
    return QStringLiteral("%1 at %2,%3 %4x%5")
        .arg(name.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : name)
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height());
}

// The smallest size that shows the control's text whole.
QSize NeededSize(const QWidget *w)
{
    if (qobject_cast<const QGroupBox *>(w))
        return w->minimumSizeHint();
    if (qobject_cast<const QLabel *>(w) || qobject_cast<const QAbstractButton *>(w)
        || qobject_cast<const QComboBox *>(w))
        return w->sizeHint();
    return {};
}

// The window, its pages and its group boxes: what controls are placed on.
QList<const QWidget *> Containers(const QWidget *window)
{
    QList<const QWidget *> containers{window};
    for (const QTabWidget *pages : window->findChildren<QTabWidget *>()) {
        for (int i = 0; i < pages->count(); ++i)
            containers << pages->widget(i);
    }
    for (const QGroupBox *group : window->findChildren<QGroupBox *>())
        containers << group;
    return containers;
}

QStringList PlacementProblems(const QWidget *container)
{
    QList<const QWidget *> kids;
    for (const QWidget *kid : container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!kid->isHidden() && !kid->isWindow())
            kids << kid;
    }
    // A page not shown yet has not been given its size: it gets the page stack's.
    const auto *pages = qobject_cast<const QTabWidget *>(
        container->parentWidget() ? container->parentWidget()->parentWidget() : nullptr);
    const bool page = pages && pages->indexOf(const_cast<QWidget *>(container)) >= 0;
    const QRect area = page ? container->parentWidget()->rect() : container->rect();
    QStringList problems;
    for (int i = 0; i < kids.size(); ++i) {
        if (!area.contains(kids[i]->geometry())) {
            problems << QStringLiteral("%1 sticks out of %2 (%3x%4)")
                            .arg(Describe(kids[i]), container->objectName())
                            .arg(area.width())
                            .arg(area.height());
        }
        for (int j = i + 1; j < kids.size(); ++j) {
            if (kids[i]->geometry().intersects(kids[j]->geometry()))
                problems << QStringLiteral("%1 overlaps %2").arg(Describe(kids[i]), Describe(kids[j]));
        }
    }
    return problems;
}

}  // namespace

QStringList LayoutProblems(const QWidget *window)
{
    const QList<const QWidget *> containers = Containers(window);
    QStringList problems;
    for (const QWidget *container : containers)
        problems << PlacementProblems(container);

    // Controls on anything else (a panel of their own) are checked against that, and every
    // named control against its text.
    QList<const QWidget *> elsewhere;
    for (const QWidget *w : window->findChildren<QWidget *>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")) || !IsControl(w)
            || IsPartOfAnother(w, window))
            continue;
        if (!containers.contains(w->parentWidget())) {
            elsewhere << w;
            if (!w->parentWidget()->rect().contains(w->geometry()))
                problems << QStringLiteral("%1 sticks out of %2").arg(Describe(w), w->parentWidget()->objectName());
        }
        const QSize needed = NeededSize(w);
        if (needed.isValid() && (w->width() < needed.width() || w->height() < needed.height()))
            problems << QStringLiteral("%1 is %2x%3, its text needs %4x%5")
                            .arg(w->objectName())
                            .arg(w->width())
                            .arg(w->height())
                            .arg(needed.width())
                            .arg(needed.height());
    }
    for (int i = 0; i < elsewhere.size(); ++i) {
        for (int j = i + 1; j < elsewhere.size(); ++j) {
            const QWidget *a = elsewhere[i];
            const QWidget *b = elsewhere[j];
            if (a->parentWidget() == b->parentWidget() && a->geometry().intersects(b->geometry()))
                problems << QStringLiteral("%1 overlaps %2").arg(Describe(a), Describe(b));
        }
    }
    return problems;
}

QStringList GridProblems(const TXStringGrid *grid)
{
    QStringList problems;
    for (int col = 0; col < grid->ColCount(); ++col) {
        const TXStringColumnItem &item = grid->Columns()[col];
        // Row 0 in the header font; the rest, and the entries of a drop-down, in the cell font.
        QList<QPair<QFont, QString>> texts{{item.HeaderFont(), grid->ShownCells(col, 0)}};
        for (int row = grid->FixedRows(); row < grid->RowCount(); ++row)
            texts.append({item.Font(), grid->ShownCells(col, row)});
        if (auto *combo = qobject_cast<TComboCellEditor *>(item.Editor())) {
            for (const QString &entry : combo->Items())
                texts.append({item.Font(), ShownText(entry)});
        }
        for (const auto &[font, text] : texts) {
            if (text.isEmpty())
                continue;
            // Drawn 2 pixels in from every side of the cell, on one line.
            const QSize need = QFontMetrics(font).boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignLeft | Qt::AlignTop, text).size()
                               + QSize(4, 4);
            const QSize has(grid->ColWidths(col), grid->RowHeights(0));
            if (need.width() > has.width() || need.height() > has.height()) {
                problems << QStringLiteral("%1 column %2 '%3' needs %4x%5, has %6x%7")
                                .arg(grid->objectName())
                                .arg(col)
                                .arg(text)
                                .arg(need.width())
                                .arg(need.height())
                                .arg(has.width())
                                .arg(has.height());
            }
        }
    }
    return problems;
}

bool SaveScreenshot(QWidget *widget, const QString &name)
{
    const QString dir = qEnvironmentVariable("XIEPIN_SCREENSHOTS");
    if (dir.isEmpty())
        return false;
    if (!QDir().mkpath(dir)) {
        QTest::qFail(qPrintable(QStringLiteral("cannot create %1").arg(dir)), __FILE__, __LINE__);
        return false;
    }
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    if (!widget->grab().save(path))
        QTest::qFail(qPrintable(QStringLiteral("cannot write %1").arg(path)), __FILE__, __LINE__);
    return true;
}

void UseScreenshotLanguage()
{
    const QString language = qEnvironmentVariable("XIEPIN_LANG", QStringLiteral("zh"));
    if (!InstallLanguage(language))
        QTest::qFail(qPrintable(QStringLiteral("unknown language %1").arg(language)), __FILE__, __LINE__);
}

QStringList UnreachableControls(QWidget *window)
{
    auto *scroll = window->findChild<QScrollArea *>(QStringLiteral("clientScroll"));
    if (!scroll)
        return {QStringLiteral("no scroll area")};
    QWidget *client = scroll->widget();
    QStringList unreachable;
    for (QWidget *control : client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (control->isWindow() || control->isHidden())
            continue;
        for (const QPoint corner : {QPoint(0, 0), QPoint(control->width() - 1, control->height() - 1)}) {
            const QPoint inClient = control->mapTo(client, corner);
            scroll->ensureVisible(inClient.x(), inClient.y(), 1, 1);  // with no margin Qt stops a pixel short
            if (!scroll->viewport()->rect().contains(control->mapTo(scroll->viewport(), corner))) {
                unreachable << control->objectName();
                break;
            }
        }
    }
    return unreachable;
}
