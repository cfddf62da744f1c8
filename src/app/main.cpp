#include "app/AppWindows.h"
#include "mainwindow/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QComboBox>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("对讲机写频软件"));
    QApplication::setApplicationName(QStringLiteral("xiepin"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("对讲机写频软件"));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Serial port chosen at start (a device path)."),
                                        QStringLiteral("path"));
    parser.addOption(portOption);
    parser.process(app);

    TAppWindows windows(TAppWindows::Options{});
    if (parser.isSet(portOption))
        windows.Form1().comcbb()->setEditText(parser.value(portOption));
    windows.Form1().show();
    return app.exec();
}
