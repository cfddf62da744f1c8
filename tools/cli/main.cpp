// xiepin-cli: the command line front end. See CliOptions.cpp for the commands and CliError.h
// for the exit codes.

#include "base/Version.h"
#include "cli/CliCommands.h"
#include "cli/CliError.h"
#include "cli/StandardOutput.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

QtMessageHandler g_defaultHandler = nullptr;

// The GUI module asks for a runtime folder that sessions without a desktop (cron, ssh as
// root, CI) lack; Qt then uses one of its own, so the warning tells a user nothing.
void DropRuntimeDirWarning(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    g_defaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char *argv[])
{
#ifdef SIGPIPE
    // A reader that goes away (`xiepin-cli show f.qz | head -1`) is a failed write with a
    // message and exit code 1, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        try {
            PrintOut(QStringLiteral("xiepin-cli %1\n").arg(QLatin1String(kXiepinVersion)));
        } catch (const ECliError &e) {
            std::fprintf(stderr, "xiepin-cli: %s\n", e.what());
            return e.exitCode();
        }
        return 0;
    }
    // Only 'print' lays out text, which needs fonts and so the GUI module; it never needs a
    // display, so it runs on the offscreen platform whatever the session offers.
    const bool print = argc > 1 && std::strcmp(argv[1], "print") == 0;
    if (print) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        g_defaultHandler = qInstallMessageHandler(DropRuntimeDirWarning);
    }
    const std::unique_ptr<QCoreApplication> app =
        print ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("xiepin-cli"));
    return RunCli(QCoreApplication::arguments());
}
