#include "app/AppWindows.h"
#include "app/WindowPlaces.h"
#include "base/Version.h"
#include "dialogs/Language.h"
#include "mainwindow/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QComboBox>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Settings live in ~/.config/xiepin/xiepin.conf.
    QApplication::setOrganizationName(QStringLiteral("xiepin"));
    QApplication::setApplicationName(QStringLiteral("xiepin"));
    QApplication::setApplicationVersion(QString::fromLatin1(kXiepinVersion));
    QApplication::setDesktopFileName(QStringLiteral("xiepin"));  // Wayland finds the menu entry's icon by it

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("对讲机写频软件 (two-way radio programming software)"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Serial port chosen at start (a device path)."),
                                        QStringLiteral("path"));
    const QCommandLineOption langOption(QStringLiteral("lang"),
                                        QStringLiteral("Language of the windows: zh or en (default: the one "
                                                       "chosen last in the menu, else zh)."),
                                        QStringLiteral("code"));
    parser.addOptions({portOption, langOption});
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A .qz file to open, or a CSV channel list to import."),
                                 QStringLiteral("[file]"));
    parser.process(app);
    if (parser.positionalArguments().size() > 1) {
        std::fprintf(stderr, "xiepin: one file at a time\n");
        return 2;
    }

    const QString language = parser.isSet(langOption) ? parser.value(langOption) : SavedLanguage();
    if (!InstallLanguage(language)) {
        std::fprintf(stderr, "xiepin: unknown language '%s'; use zh or en\n", qPrintable(language));
        return 2;
    }

    TAppWindows windows(TAppWindows::Options{});
    if (parser.isSet(portOption))
        windows.Form1().comcbb()->setEditText(parser.value(portOption));
    RestoreWindowPlaces(windows);
    KeepWindowsOnScreen(windows);
    windows.Form1().show();
    for (const QString &file : parser.positionalArguments())
        windows.Form1().OpenOrImport(file);
    const int status = app.exec();
    SaveWindowPlaces(windows);
    return status;
}
