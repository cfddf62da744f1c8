#pragma once

#include "app/AppWindows.h"
#include "mainwindow/MainWindow.h"
#include "protocol/FactoryImage.h"
#include "support/radio/RadioChannel.h"

#include <QSize>
#include <memory>

class QAction;
class TXStringGrid;

// The program's windows on an in-process virtual radio, the main window shown and active with
// the radio's port chosen. Window tests build their fixtures on it.
struct MainWindowRig {
    explicit MainWindowRig(const TRadioImage &image = FactoryImage(), QSize screen = QSize(1280, 1024));
    MainWindowRig(const MainWindowRig &) = delete;
    MainWindowRig &operator=(const MainWindowRig &) = delete;

    TForm1 &form() const { return windows->Form1(); }
    TXStringGrid &xg() const { return *form().xg(); }
    QAction *action(const char *name) const;
    template <typename T>
    T *child(const char *name) const
    {
        return form().findChild<T *>(QLatin1String(name));
    }

    // A main read of the radio (读频), waited for to its end.
    bool read();
    // Waits for the running transfer to end.
    bool finish(int ms = 10000) const;

    VirtualRadio radio;
    RadioChannel *channel = nullptr;
    std::unique_ptr<TAppWindows> windows;
};
