#include "support/EditorDriver.h"

#include "grid/ComboCellEditor.h"
#include "grid/XStringGrid.h"
#include "signalling/SignallingWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHash>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>
#include <memory>

namespace {

std::unique_ptr<TSerialChannel> MakeChannel(VirtualRadio &radio, RadioChannel **out)
{
    auto channel = std::make_unique<RadioChannel>(radio);
    *out = channel.get();
    return channel;
}

QLineEdit *TextField(QWidget *control)
{
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->lineEdit();
    return qobject_cast<QLineEdit *>(control);
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

}  // namespace

RadioLink::RadioLink(const TRadioImage &image, int resendMs)
    : radio(image), link(MakeChannel(radio, &channel))
{
    link.SetResendInterval(resendMs);
}

QList<QByteArray> RadioLink::frames() const
{
    const QByteArray wire = channel->written();
    QList<QByteArray> result;
    int at = 0;
    while (at < wire.size()) {
        const auto command = static_cast<std::uint8_t>(wire[at]);
        int size = 1;
        if (command == frame::kRead)
            size = frame::kHeadSize;
        else if (command == frame::kWrite)
            size = frame::kFrameSize;
        result << wire.mid(at, size);
        at += size;
    }
    return result;
}

QList<QByteArray> WithoutRepeats(const QList<QByteArray> &frames)
{
    QList<QByteArray> result;
    for (const QByteArray &f : frames) {
        if (result.isEmpty() || result.last() != f)
            result << f;
    }
    return result;
}

bool EditorDriver::run(const QStringList &steps, QString *failed)
{
    static const QHash<QString, int> keys{
        {"F2", Qt::Key_F2},     {"Enter", Qt::Key_Return}, {"Escape", Qt::Key_Escape},
        {"Down", Qt::Key_Down}, {"Up", Qt::Key_Up},        {"Left", Qt::Key_Left},
        {"Right", Qt::Key_Right}, {"Tab", Qt::Key_Tab},     {"Delete", Qt::Key_Delete},
    };
    for (const QString &step : steps) {
        const qsizetype colon = step.indexOf(QLatin1Char(':'));
        const QString what = step.left(colon);
        const QString arg = step.mid(colon + 1);
        if (what == QLatin1String("cell")) {
            const QStringList parts = arg.split(QRegularExpression(QStringLiteral("[:,]")));
            if (parts.size() != 3 || !m_window.Grid(parts[0])) {
                *failed = step;
                return false;
            }
            clickCell(parts[0], parts[1].toInt(), parts[2].toInt());
        } else if (what == QLatin1String("box")) {
            if (!TextField(m_window.Control(arg))) {
                *failed = step;
                return false;
            }
            clickBox(arg);
        } else if (what == QLatin1String("key") && keys.contains(arg)) {
            key(keys.value(arg));
        } else if (what == QLatin1String("type")) {
            type(arg);
        } else {
            *failed = step;
            return false;
        }
    }
    return true;
}

void EditorDriver::showPageOf(QWidget *widget)
{
    QTabWidget *pages = m_window.PageControl1();
    if (!pages)
        return;
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        const int index = pages->indexOf(w);
        if (index < 0)
            continue;
        if (pages->currentIndex() != index) {
            QTabBar *bar = pages->tabBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        }
        return;
    }
}

void EditorDriver::clickCell(const QString &grid, int col, int row)
{
    TXStringGrid *g = m_window.Grid(grid);
    showPageOf(g);
    g->scrollTo(g->model()->index(row - g->FixedRows(), col - g->FixedCols()));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->CellRect(col, row).center());
}

void EditorDriver::clickBox(const QString &name)
{
    QWidget *control = m_window.Control(name);
    showPageOf(control);
    QLineEdit *field = TextField(control);
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
}

void EditorDriver::key(int key)
{
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key));
}

void EditorDriver::type(const QString &text)
{
    for (const QChar c : text)
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
}

QStringList EditorDriver::rowTexts(const QString &grid, int row, int firstCol) const
{
    TXStringGrid *g = m_window.Grid(grid);
    QStringList texts;
    for (int col = firstCol; col < g->ColCount(); ++col)
        texts << g->Cells(col, row);
    return texts;
}

QStringList EditorDriver::layoutProblems() const
{
    QList<QWidget *> containers{&m_window};
    if (QTabWidget *pages = m_window.PageControl1()) {
        for (int i = 0; i < pages->count(); ++i)
            containers << pages->widget(i);
    }
    for (QGroupBox *group : m_window.findChildren<QGroupBox *>())
        containers << group;

    QStringList problems;
    for (QWidget *container : containers) {
        QList<QWidget *> kids;
        for (QWidget *kid : container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (!kid->isHidden() && !kid->isWindow())
                kids << kid;
        }
        // A page not shown yet has not been given its size: it gets the page stack's.
        const bool page = m_window.PageControl1() && m_window.PageControl1()->indexOf(container) >= 0;
        const QRect area = page ? container->parentWidget()->rect() : container->rect();
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
    }
    return problems;
}

QStringList EditorDriver::gridProblems(const QString &name) const
{
    TXStringGrid *grid = m_window.Grid(name);
    QStringList problems;
    for (int col = 0; col < grid->ColCount(); ++col) {
        const TXStringColumnItem &item = grid->Columns()[col];
        // Row 0 in the header font; the rest, and the entries of a drop-down, in the cell font.
        QList<QPair<QFont, QString>> texts{{item.HeaderFont(), grid->Cells(col, 0)}};
        for (int row = grid->FixedRows(); row < grid->RowCount(); ++row)
            texts.append({item.Font(), grid->Cells(col, row)});
        if (auto *combo = qobject_cast<TComboCellEditor *>(item.Editor())) {
            for (const QString &entry : combo->Items())
                texts.append({item.Font(), entry});
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
                                .arg(name)
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

QStringList ChangedBytes(const TRadioImage &before, const TRadioImage &after)
{
    QStringList changed;
    for (const TRadioImage::Place &place : TRadioImage::Places()) {
        const Block &a = before.block(place.area, place.block);
        const Block &b = after.block(place.area, place.block);
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i] != b[i])
                changed << QStringLiteral("%1/%2/%3").arg(place.area).arg(place.block).arg(i);
        }
    }
    return changed;
}
