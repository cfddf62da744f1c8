#pragma once

#include <QList>
#include <QString>
#include <QStringList>

enum class CliCommand { None, Ports, Backup, Restore, Read, Write, Diff, Show, ImportCsv, ExportCsv, Print, Clone };

// What the command line asks for. Parsing checks only the command line itself; whether the port
// exists or a file is sound is found out when the command runs.
struct CliOptions {
    CliCommand command = CliCommand::None;
    bool help = false;       // print the help of the command (of the program when None)
    QString port;            // --port: the first one
    QStringList ports;       // every --port (backup and clone take several)
    QString output;          // -o: image file (backup) or .qz file (read)
    QString file;            // the positional file (restore, write, show; diff's first)
    QString secondFile;      // diff FILE1 FILE2: the second file; empty with --port
    bool verify = true;      // write, restore: read back and compare (--no-verify turns it off)
    int timeoutMs = 10000;   // --timeout: how long the radio may stay silent
    QString alarm;           // --alarm "开" or "关"; empty: keep the radio's own
    int startChannel = 1;    // --start: the channel the first imported row goes to
    QString base;            // --base: the .qz file an import starts from; empty: an empty table
    QList<int> areas;        // --areas as area numbers (main gives 0 and 5); all six by default
    bool areasGiven = false; // --areas was given: restore and diff then keep to those areas
};

// The names --areas takes, in the order a whole transfer moves them.
QStringList AreaOptionNames();
// --areas TEXT of a command: a comma list of main (channels and settings), dtmf, fsk, twotone,
// fivetone, as area numbers in transfer order (main gives 0 and 5). Throws ECliUsage for an
// empty list, an empty item or an unknown name, naming the command.
QList<int> ParseAreaList(const QString &command, const QString &text);

// arguments as QCoreApplication::arguments() gives them, the program name first.
// Throws ECliUsage for anything the command does not take.
CliOptions ParseCliArguments(const QStringList &arguments);

// The text of --help: the program's overview for CliCommand::None, else the command's own.
QString CliHelpText(CliCommand command);
