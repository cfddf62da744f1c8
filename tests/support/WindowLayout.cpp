#include "support/WindowLayout.h"

#include "grid/XStringGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
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

QString Name(const QWidget *w)
{
    return w->objectName();
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

}  // namespace

QStringList LayoutProblems(const QWidget *window)
{
    QList<const QWidget *> controls;
    for (const QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")) && IsControl(w)
            && !IsPartOfAnother(w, window))
            controls.append(w);
    }

    QStringList problems;
    for (const QWidget *w : controls) {
        const QWidget *parent = w->parentWidget();
        if (!parent->rect().contains(w->geometry()))
            problems << QStringLiteral("%1 sticks out of %2").arg(Name(w), Name(parent));
        const QSize needed = NeededSize(w);
        if (needed.isValid() && (w->width() < needed.width() || w->height() < needed.height()))
            problems << QStringLiteral("%1 is %2x%3, its text needs %4x%5")
                            .arg(Name(w))
                            .arg(w->width())
                            .arg(w->height())
                            .arg(needed.width())
                            .arg(needed.height());
    }
    for (int i = 0; i < controls.size(); ++i) {
        for (int j = i + 1; j < controls.size(); ++j) {
            const QWidget *a = controls[i];
            const QWidget *b = controls[j];
            if (a->parentWidget() == b->parentWidget() && a->geometry().intersects(b->geometry()))
                problems << QStringLiteral("%1 overlaps %2").arg(Name(a), Name(b));
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
