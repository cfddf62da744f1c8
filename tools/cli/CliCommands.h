#pragma once

#include <QStringList>

// Runs one xiepin-cli command line (the program name first, as QCoreApplication::arguments()
// gives it) and returns its exit code (exitcode:: in CliError.h). Results go to stdout; progress
// and the one-line message of a failure go to stderr. Needs a QCoreApplication: the transfers
// run in local event loops.
int RunCli(const QStringList &arguments);
