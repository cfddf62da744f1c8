// xiepin-cli: the command line front end. See CliOptions.cpp for the commands and CliError.h
// for the exit codes.

#include "cli/CliCommands.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("xiepin-cli"));
    return RunCli(QCoreApplication::arguments());
}
