#include "app/AppWindows.h"
#include "app/WindowPlaces.h"
#include "base/Version.h"
#include "dialogs/Language.h"
#include "mainwindow/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QComboBox>
#include <cstdio>
#include <cstring>

namespace {

// The command line of the windows; its own options besides help and version.
struct TWindowOptions {
    QCommandLineParser parser;
    QCommandLineOption port{QStringLiteral("port"), QStringLiteral("Serial port chosen at start (a device path)."),
                            QStringLiteral("path")};
    QCommandLineOption lang{QStringLiteral("lang"),
                            QStringLiteral("Language of the windows: zh or en (default: the one chosen last in the "
                                           "menu, else zh)."),
                            QStringLiteral("code")};

    TWindowOptions()
    {
        parser.setApplicationDescription(QStringLiteral("对讲机写频软件 (two-way radio programming software)"));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOptions({port, lang});
        parser.addPositionalArgument(QStringLiteral("file"),
                                     QStringLiteral("A .qz file to open, or a CSV channel list to import."),
                                     QStringLiteral("[file]"));
    }
};

void NameApplication()
{
    // Settings live in ~/.config/xiepin/xiepin.conf.
    QCoreApplication::setOrganizationName(QStringLiteral("xiepin"));
    QCoreApplication::setApplicationName(QStringLiteral("xiepin"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kXiepinVersion));
}

bool AsksForTextOnly(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        for (const char *option : {"-h", "--help", "-v", "--version"})  // --help-all lists the display's options
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

}  // namespace

int main(int argc, char *argv[])
{
    // Help and version need no display (over ssh, on a console): answered, and the program
    // ended, before the windows' application would fail to find one.
    if (AsksForTextOnly(argc, argv)) {
        QCoreApplication app(argc, argv);
        NameApplication();
        TWindowOptions options;
        options.parser.process(app);
    }
    QApplication app(argc, argv);
    NameApplication();
    QApplication::setDesktopFileName(QStringLiteral("xiepin"));  // Wayland finds the menu entry's icon by it

    TWindowOptions options;
    QCommandLineParser &parser = options.parser;
    const QCommandLineOption &portOption = options.port;
    const QCommandLineOption &langOption = options.lang;
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
