#include "app/WindowPlaces.h"

#include "app/AppWindows.h"
#include "dialogs/Language.h"
#include "editors/DtmfWindow.h"
#include "editors/FiveToneWindow.h"
#include "editors/FskWindow.h"
#include "editors/TwoToneWindow.h"
#include "mainwindow/MainWindow.h"

#include <QEvent>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QWidget>

namespace {

const QString kLanguageKey = QStringLiteral("geometry/language");

// Each window under the name of its class.
QList<std::pair<QString, QWidget *>> PlacedWindows(const TAppWindows &windows)
{
    return {{QStringLiteral("geometry/Form1"), &windows.Form1()}, {QStringLiteral("geometry/Form2"), &windows.Form2()},
            {QStringLiteral("geometry/Form4"), &windows.Form4()}, {QStringLiteral("geometry/Form5"), &windows.Form5()},
            {QStringLiteral("geometry/Form6"), &windows.Form6()}};
}

constexpr int kFrameKnownMs = 300;
constexpr int kReach = 100;  // of a title bar on the screen, enough to take it with the mouse

// Fits each window it watches onto its screen whenever it is shown.
class TScreenFit : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<QWidget *>(watched);
        if (event->type() != QEvent::Show || !window)
            return false;
        const auto fit = [window] {
            if (window->screen())
                FitOnScreen(*window, window->screen()->availableGeometry());
        };
        fit();
        // Again once the window manager has framed it: the title bar counts then.
        QTimer::singleShot(kFrameKnownMs, window, fit);
        return false;
    }
};

}  // namespace

// The windows place their controls by the width of their texts, so a size kept in the other
// language may cut off this one's: then each window is at least as large as its texts need. So
// may a size kept without its language (by an earlier version).
void RestoreWindowPlaces(TAppWindows &windows)
{
    const QSettings settings;
    const bool sameLanguage = settings.value(kLanguageKey).toString() == CurrentLanguage();
    for (const auto &[key, window] : PlacedWindows(windows)) {
        const QByteArray geometry = settings.value(key).toByteArray();
        if (geometry.isEmpty())
            continue;
        const QSize fitted = window->size();
        window->restoreGeometry(geometry);
        // A quarter of its size or less in either direction is no size anyone chose: the
        // setting is damaged, and the window keeps the size it is made with.
        const bool damaged = window->width() <= fitted.width() / 4 || window->height() <= fitted.height() / 4;
        if (damaged)
            window->resize(fitted);
        else if (!sameLanguage)
            window->resize(window->size().expandedTo(fitted));
    }
}

// A window not shown in this run has no place of its own (Qt would give 0,0, over the main
// window): it keeps the one of the run before.
void SaveWindowPlaces(const TAppWindows &windows)
{
    QSettings settings;
    settings.setValue(kLanguageKey, CurrentLanguage());
    for (const auto &[key, window] : PlacedWindows(windows))
        if (windows.WasShown(*window))
            settings.setValue(key, window->saveGeometry());
}

void FitOnScreen(QWidget &window, const QRect &available)
{
    // The frame (title bar, borders) as far as the window system has told it.
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    const QSize border = frame.size() - client.size();
    const QSize fitted = client.size().boundedTo(available.size() - border);
    // Moved only when it has to shrink or its title bar is out of reach: a window a little
    // past an edge is where it was put.
    const bool titleBarReached = frame.top() >= available.top() && frame.top() < available.bottom() - kReach
                                 && frame.right() >= available.left() + kReach && frame.left() <= available.right() - kReach;
    if (fitted == client.size() && titleBarReached)
        return;
    const QSize outer = fitted + border;
    const int left = qBound(available.left(), frame.left(), available.right() + 1 - outer.width());
    const int top = qBound(available.top(), frame.top(), available.bottom() + 1 - outer.height());
    window.setGeometry(QRect(QPoint(left, top) + (client.topLeft() - frame.topLeft()), fitted));
}

void KeepWindowsOnScreen(TAppWindows &windows)
{
    auto *fit = new TScreenFit(&windows.Form1());
    for (const auto &[key, window] : PlacedWindows(windows))
        window->installEventFilter(fit);
}
