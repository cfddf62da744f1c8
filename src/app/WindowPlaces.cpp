#include "app/WindowPlaces.h"

#include "app/AppWindows.h"
#include "dialogs/Language.h"
#include "editors/DtmfWindow.h"
#include "editors/FiveToneWindow.h"
#include "editors/FskWindow.h"
#include "editors/TwoToneWindow.h"
#include "mainwindow/MainWindow.h"

#include <QSettings>
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
        if (!sameLanguage)
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
        if (window->testAttribute(Qt::WA_WState_Created))
            settings.setValue(key, window->saveGeometry());
}
