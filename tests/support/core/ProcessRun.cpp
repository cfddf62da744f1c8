#include "support/core/ProcessRun.h"

#include <QElapsedTimer>
#include <QThread>
#include <QProcess>
#include <csignal>
#include <sys/types.h>

QString ProcessResult::lastErrLine() const
{
    const QStringList lines = err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last();
}

namespace {

// Waits for the end of a started program; exitCode stays -1 when `ok` is false or the program
// did not end by itself within a minute. errBefore: what was read from its stderr already.
ProcessResult Finish(QProcess &process, const QElapsedTimer &clock, bool ok, const QByteArray &errBefore = {})
{
    ProcessResult result;
    if (!ok || !process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        result.err = QString::fromUtf8(errBefore + process.readAllStandardError());
        return result;
    }
    result.elapsedMs = clock.elapsed();
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(errBefore + process.readAllStandardError());
    return result;
}

}  // namespace

ProcessResult RunProcess(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    process.start(program, args);
    return Finish(process, clock, true);
}

ProcessResult RunProcessSignalled(const QString &program, const QStringList &args, const QString &cue, int signo,
                                  int againMs)
{
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(program, args);
    QByteArray err;
    while (!QString::fromUtf8(err).contains(cue) && process.state() != QProcess::NotRunning && clock.elapsed() < 60000) {
        process.waitForReadyRead(50);
        err += process.readAllStandardError();
    }
    const bool cued = QString::fromUtf8(err).contains(cue) && process.state() == QProcess::Running;
    if (cued)
        ::kill(static_cast<pid_t>(process.processId()), signo);
    if (cued && againMs >= 0) {
        QThread::msleep(static_cast<unsigned long>(againMs));
        ::kill(static_cast<pid_t>(process.processId()), signo);
    }
    return Finish(process, clock, cued, err);
}
