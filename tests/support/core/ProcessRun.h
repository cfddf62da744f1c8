#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// What a program run to its end gave. exitCode stays -1 when it did not end by itself within a
// minute or crashed.
struct ProcessResult {
    int exitCode = -1;
    QString out;
    QString err;
    qint64 elapsedMs = 0;
    QString lastErrLine() const;
};

ProcessResult RunProcess(const QString &program, const QStringList &args,
                         const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());

// Runs the program, sends it the signal once its standard error holds `cue` (and again
// `againMs` later, as a key held down repeats it, unless negative), and waits for its end.
// exitCode stays -1 when the cue never came or the program did not end by itself.
ProcessResult RunProcessSignalled(const QString &program, const QStringList &args, const QString &cue, int signo,
                                  int againMs = -1);
