#include "app/WindowPlaces.h"

#include "app/AppWindows.h"
#include "editors/DtmfWindow.h"
#include "editors/FiveToneWindow.h"
#include "editors/FskWindow.h"
#include "editors/TwoToneWindow.h"
#include "mainwindow/MainWindow.h"

#include <QSettings>
#include <QWidget>

namespace {

// Each window under the name of its class.
QList<std::pair<QString, QWidget *>> PlacedWindows(const TAppWindows &windows)
{
    return {{QStringLiteral("geometry/Form1"), &windows.Form1()}, {QStringLiteral("geometry/Form2"), &windows.Form2()},
            {QStringLiteral("geometry/Form4"), &windows.Form4()}, {QStringLiteral("geometry/Form5"), &windows.Form5()},
            {QStringLiteral("geometry/Form6"), &windows.Form6()}};
}

}  // namespace

void RestoreWindowPlaces(TAppWindows &windows)
{
    const QSettings settings;
    for (const auto &[key, window] : PlacedWindows(windows)) {
        const QByteArray geometry = settings.value(key).toByteArray();
        if (!geometry.isEmpty())
            window->restoreGeometry(geometry);
    }
}

void SaveWindowPlaces(const TAppWindows &windows)
{
    QSettings settings;
    for (const auto &[key, window] : PlacedWindows(windows))
        settings.setValue(key, window->saveGeometry());
}
