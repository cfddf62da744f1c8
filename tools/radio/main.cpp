// xiepin-radio: a virtual radio on a pseudo-terminal, the stand-in peer for tests, demos and
// users without a radio. Prints the device path as the first line on stdout.

#include "base/Version.h"
#include "protocol/FactoryImage.h"
#include "radio/PtyRadio.h"
#include "radio/SignalWatcher.h"
#include "radio/VirtualRadio.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <optional>

namespace {

struct Settings {
    TRadioImage image;
    RadioFaults faults;
    QString savePath;
    QString linkPath;
    bool byteTiming = false;
    int latencyMs = 0;
};

QString helpText()
{
    QString text = QStringLiteral(
        "A virtual two-way radio on a pseudo-terminal. It answers the programming protocol from its\n"
        "memory image: 06 for \"PROGRAM\" and for every written block with a right check value\n"
        "(area 2 blocks carry none), a 34-byte 'W' frame for every read request.\n"
        "\n"
        "The first line on stdout is the device path; a symbolic link to it is kept at --link\n"
        "(default %1) and removed on exit.\n"
        "SIGINT or SIGTERM: save to --save and exit. SIGUSR1: save to --save and go on; each save\n"
        "prints \"saved FILE\" on stdout.\n"
        "\n"
        "Faults (--fault, repeatable):\n")
                       .arg(PtyRadio::defaultLinkPath());
    for (const QString &line : RadioFaults::descriptions())
        text += QStringLiteral("  ") + line + QLatin1Char('\n');
    return text;
}

std::optional<Settings> parseArguments(const QCoreApplication &app, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(helpText());
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption imageOpt(QStringLiteral("image"), QStringLiteral("Start from this image file."), QStringLiteral("FILE"));
    const QCommandLineOption emptyOpt(QStringLiteral("empty"), QStringLiteral("Start with every block empty (a restore target)."));
    const QCommandLineOption saveOpt(QStringLiteral("save"), QStringLiteral("Save the memory to this image file on exit and on SIGUSR1."), QStringLiteral("FILE"));
    const QCommandLineOption linkOpt(QStringLiteral("link"), QStringLiteral("Path of the symbolic link to the device (empty: no link)."), QStringLiteral("PATH"));
    const QCommandLineOption timingOpt(QStringLiteral("timing"), QStringLiteral("Run the line at 9600 baud: 1.0417 ms per byte, both ways."));
    const QCommandLineOption latencyOpt(QStringLiteral("latency"), QStringLiteral("Keep the line silent this long before every answer."), QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption faultOpt(QStringLiteral("fault"), QStringLiteral("Misbehave on purpose (see Faults)."), QStringLiteral("NAME[=N]"));
    parser.addOptions({imageOpt, emptyOpt, saveOpt, linkOpt, timingOpt, latencyOpt, faultOpt});
    parser.process(app);  // --help and unknown options end the program here

    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first());
        return std::nullopt;
    }
    Settings settings;
    if (parser.isSet(imageOpt) && parser.isSet(emptyOpt)) {
        *error = QStringLiteral("--image and --empty exclude each other");
        return std::nullopt;
    }
    if (parser.isSet(imageOpt)) {
        auto image = TRadioImage::load(parser.value(imageOpt), error);
        if (!image)
            return std::nullopt;
        settings.image = *image;
    } else if (!parser.isSet(emptyOpt)) {
        settings.image = FactoryImage();
    }
    for (const QString &spec : parser.values(faultOpt))
        if (!settings.faults.add(spec, error))
            return std::nullopt;
    bool ok = false;
    settings.latencyMs = parser.value(latencyOpt).toInt(&ok);
    if (!ok || settings.latencyMs < 0 || settings.latencyMs > 60000) {
        *error = QStringLiteral("--latency: \"%1\" is not a number of milliseconds from 0 to 60000").arg(parser.value(latencyOpt));
        return std::nullopt;
    }
    settings.savePath = parser.value(saveOpt);
    settings.linkPath = parser.isSet(linkOpt) ? parser.value(linkOpt) : PtyRadio::defaultLinkPath();
    settings.byteTiming = parser.isSet(timingOpt);
    return settings;
}

void printLine(FILE *stream, const QString &text)
{
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stream);
}

bool saveImage(const VirtualRadio &radio, const QString &path)
{
    QString error;
    if (!radio.image().save(path, &error)) {
        printLine(stderr, QStringLiteral("xiepin-radio: %1").arg(error));
        return false;
    }
    printLine(stdout, QStringLiteral("saved %1").arg(path));
    return true;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("xiepin-radio"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kXiepinVersion));

    QString error;
    const std::optional<Settings> settings = parseArguments(app, &error);
    if (!settings) {
        printLine(stderr, QStringLiteral("xiepin-radio: %1").arg(error));
        return 2;
    }

    VirtualRadio radio(settings->image);
    radio.setFaults(settings->faults);
    radio.setLatency(settings->latencyMs);

    SignalWatcher watcher({SIGINT, SIGTERM, SIGHUP, SIGUSR1});
    QObject::connect(&watcher, &SignalWatcher::received, &app, [&](int signo) {
        if (signo != SIGUSR1)
            QCoreApplication::quit();
        else if (!settings->savePath.isEmpty())
            saveImage(radio, settings->savePath);
        else
            printLine(stderr, QStringLiteral("xiepin-radio: SIGUSR1 without --save: nothing saved"));
    });

    PtyRadio pty(radio);
    pty.setByteTiming(settings->byteTiming);
    if (!pty.open(settings->linkPath, &error)) {
        printLine(stderr, QStringLiteral("xiepin-radio: %1").arg(error));
        return 1;
    }
    QObject::connect(&pty, &PtyRadio::disappeared, &app, [&radio] {
        printLine(stderr, QStringLiteral("xiepin-radio: device closed after %1 frames (fault disappear)").arg(radio.framesHeard()));
    });

    printLine(stdout, pty.devicePath());
    printLine(stderr, QStringLiteral("xiepin-radio: listening on %1%2")
                          .arg(pty.devicePath(), pty.linkPath().isEmpty() ? QString() : QStringLiteral(", link ") + pty.linkPath()));

    app.exec();
    pty.close();
    if (!settings->savePath.isEmpty() && !saveImage(radio, settings->savePath))
        return 1;
    return 0;
}
