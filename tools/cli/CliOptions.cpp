#include "cli/CliOptions.h"

#include "cli/CliError.h"
#include "cli/ConfigTable.h"
#include "fleet/Fleet.h"
#include "protocol/Areas.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// What each command takes besides --help.
struct CommandDef {
    const char *name;
    CliCommand command;
    bool port;        // --port (required) and --timeout
    bool output;      // -o
    bool outputRequired;
    bool file;        // one positional file (required)
    bool alarm;       // --alarm
    bool import;      // --start and --base
    bool verify;      // --no-verify
    bool areas;       // --areas
};

constexpr CommandDef kCommands[] = {
    {"ports", CliCommand::Ports, false, false, false, false, false, false, false, false},
    {"backup", CliCommand::Backup, true, true, true, false, false, false, false, true},
    {"restore", CliCommand::Restore, true, false, false, true, false, false, true, true},
    {"read", CliCommand::Read, true, true, false, false, false, false, false, false},
    {"write", CliCommand::Write, true, false, false, true, true, false, true, false},
    {"diff", CliCommand::Diff, true, false, false, true, false, false, false, true},
    {"show", CliCommand::Show, false, false, false, true, false, false, false, false},
    {"import-csv", CliCommand::ImportCsv, false, true, true, true, false, true, false, false},
    {"export-csv", CliCommand::ExportCsv, false, true, true, true, false, false, false, false},
    {"print", CliCommand::Print, false, true, true, true, false, false, false, false},
    {"clone", CliCommand::Clone, true, false, false, true, false, false, true, true},
};

// What --areas names, and the area numbers each stands for.
struct AreaName {
    const char *name;
    QList<int> numbers;
};

const QList<AreaName> &AreaNames()
{
    static const QList<AreaName> names{
        {"main", {frame::kMainArea, frame::kSettingsArea}},
        {"dtmf", {frame::kDtmfArea}},
        {"fsk", {frame::kFskArea}},
        {"twotone", {frame::kTwoToneArea}},
        {"fivetone", {frame::kFiveToneArea}},
    };
    return names;
}

QList<int> AllAreas()
{
    return QList<int>(kTransferOrder.begin(), kTransferOrder.end());
}

constexpr int kChannelCount = 16;

constexpr double kMaxTimeoutSeconds = 3600;

const CommandDef *findCommand(const QString &name)
{
    for (const CommandDef &def : kCommands)
        if (name == QLatin1String(def.name))
            return &def;
    return nullptr;
}

QString tryHelp(const CommandDef *def)
{
    return def ? QStringLiteral("try 'xiepin-cli %1 --help'").arg(QLatin1String(def->name))
               : QStringLiteral("try 'xiepin-cli --help'");
}

[[noreturn]] void refuse(const CommandDef *def, const QString &problem)
{
    const QString prefix = def ? QLatin1String(def->name) + QStringLiteral(": ") : QString();
    throw ECliUsage(prefix + problem + QStringLiteral("; ") + tryHelp(def));
}

int parseTimeout(const CommandDef &def, const QString &text)
{
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > kMaxTimeoutSeconds)
        refuse(&def, QStringLiteral("--timeout '%1' is not a number of seconds above 0 and up to %2")
                         .arg(text, QString::number(kMaxTimeoutSeconds)));
    return std::max(1, static_cast<int>(std::lround(seconds * 1000)));
}

CliOptions parseCommand(const CommandDef &def, const QStringList &rest)
{
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("P"));
    const QCommandLineOption timeout(QStringLiteral("timeout"), QString(), QStringLiteral("S"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")}, QString(), QStringLiteral("FILE"));
    const QCommandLineOption alarm(QStringLiteral("alarm"), QString(), QStringLiteral("开|关"));
    const QCommandLineOption start(QStringLiteral("start"), QString(), QStringLiteral("N"));
    const QCommandLineOption base(QStringLiteral("base"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption noVerify(QStringLiteral("no-verify"), QString());
    const QCommandLineOption areas(QStringLiteral("areas"), QString(), QStringLiteral("LIST"));

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.addOption(help);
    if (def.port)
        parser.addOptions({port, timeout});
    if (def.output)
        parser.addOption(output);
    if (def.alarm)
        parser.addOption(alarm);
    if (def.import)
        parser.addOptions({start, base});
    if (def.verify)
        parser.addOption(noVerify);
    if (def.areas)
        parser.addOption(areas);
    if (!parser.parse(QStringList{QLatin1String(def.name)} + rest)) {
        QString problem = parser.errorText();
        if (problem.endsWith(QLatin1Char('.')))
            problem.chop(1);
        refuse(&def, problem);
    }

    CliOptions options;
    options.command = def.command;
    if (parser.isSet(help)) {
        options.help = true;
        return options;
    }
    // Only --port may name several things; another option given twice would keep its last value.
    const std::pair<bool, const QCommandLineOption *> singles[] = {
        {def.port, &timeout}, {def.output, &output}, {def.alarm, &alarm},
        {def.import, &start}, {def.import, &base},   {def.areas, &areas}};
    for (const auto &[added, single] : singles)
        if (added && parser.values(*single).size() > 1)
            refuse(&def, QStringLiteral("--%1 is given more than once").arg(single->names().constLast()));
    const QStringList positional = parser.positionalArguments();
    // diff takes a file and --port, or two files.
    const bool diff = def.command == CliCommand::Diff;
    const int wanted = diff && !parser.isSet(port) ? 2 : def.file ? 1 : 0;
    if (diff && parser.isSet(port) && positional.size() == 2)
        refuse(&def, QStringLiteral("give --port P FILE or FILE1 FILE2, not both"));
    if (positional.size() > wanted)
        refuse(&def, QStringLiteral("unexpected argument '%1'").arg(positional.at(wanted)));
    if (positional.size() < wanted)
        refuse(&def, wanted == 2 && !positional.isEmpty() ? QStringLiteral("a second file or --port P is needed")
                                                          : QStringLiteral("no file given"));
    if (def.file)
        options.file = positional.first();
    if (wanted == 2)
        options.secondFile = positional.at(1);
    options.verify = !(def.verify && parser.isSet(noVerify));
    options.areas = AllAreas();
    if (def.areas && parser.isSet(areas)) {
        options.areas = ParseAreaList(QLatin1String(def.name), parser.value(areas));
        options.areasGiven = true;
    }

    if (def.port && !(diff && wanted == 2)) {
        options.ports = parser.values(port);
        options.port = options.ports.value(0);
        if (options.port.isEmpty() || options.ports.contains(QString()))
            refuse(&def, QStringLiteral("--port is required"));
        // Several radios at once: a backup of each, or one image into all.
        const bool several = def.command == CliCommand::Backup || def.command == CliCommand::Clone;
        if (options.ports.size() > 1 && !several)
            refuse(&def, QStringLiteral("--port is given more than once"));
        if (PortsRepeat(options.ports))
            refuse(&def, QStringLiteral("a port is given twice"));
    }
    if (def.port && parser.isSet(timeout))
        options.timeoutMs = parseTimeout(def, parser.value(timeout));
    if (def.output) {
        options.output = parser.value(output);
        if (def.outputRequired && options.output.isEmpty())
            refuse(&def, QStringLiteral("-o FILE is required"));
        if (parser.isSet(output) && options.output.isEmpty())
            refuse(&def, QStringLiteral("-o needs a file name"));
    }
    if (def.alarm && parser.isSet(alarm)) {
        options.alarm = parser.value(alarm);
        if (options.alarm != QStringLiteral("开") && options.alarm != QStringLiteral("关"))
            refuse(&def, QStringLiteral("--alarm takes 开 (on) or 关 (off), not '%1'").arg(options.alarm));
    }
    if (def.import) {
        bool ok = false;
        options.base = parser.value(base);
        if (parser.isSet(base) && options.base.isEmpty())
            refuse(&def, QStringLiteral("--base needs a file name"));
        if (parser.isSet(start)) {
            options.startChannel = parser.value(start).toInt(&ok);
            if (!ok || options.startChannel < 1 || options.startChannel > kChannelCount)
                refuse(&def, QStringLiteral("--start '%1' is not a channel from 1 to %2").arg(parser.value(start), QString::number(kChannelCount)));
        }
    }
    return options;
}

// Help lines as two aligned columns: what to type, what it does.
QString Listing(const QList<QStringList> &rows)
{
    QString text;
    for (const QString &line : AlignColumns(rows).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        text += QStringLiteral("  ") + line + QLatin1Char('\n');
    return text;
}

QList<QStringList> RadioOptions()
{
    return {{QStringLiteral("--port P"), QStringLiteral("the serial port of the radio, as 'xiepin-cli ports' lists it")},
            {QStringLiteral("--timeout S"), QStringLiteral("give up when the radio stays silent for S seconds (default 10)")}};
}

const char *const kConventions =
    "Progress goes to stderr. Exit code 0 on success, 1 on any failure (port missing or busy,\n"
    "radio silent, file or text refused; one line on stderr says why), 2 for a wrong command line.\n"
    "Every read of the radio, and before every write the blocks about to be written, are saved as\n"
    "an image in $XDG_DATA_HOME/xiepin/backups (~/.local/share/xiepin/backups; on Windows and macOS\n"
    "in the desktop's data folder); the newest 200 stay.\n"
    "A write that does not end well is noted there, per area, until a write of the same areas on\n"
    "that port does (a restore or clone of what a backup read there since holds does not: it holds\n"
    "what that write left): meanwhile a read of them says the radio may be half written, and names\n"
    "the backup.\n";

QList<QStringList> AreasOption(const QString &what)
{
    return {{QStringLiteral("--areas LIST"),
             QStringLiteral("%1 only these areas, a comma list of main (channels and settings), dtmf, fsk, twotone, "
                            "fivetone")
                 .arg(what)}};
}

QList<QStringList> VerifyOption()
{
    return {{QStringLiteral("--no-verify"), QStringLiteral("do not read the written blocks back to compare them")}};
}

const char *const kSafeWrite =
    "Before the first block goes out, the blocks about to be written are read from the radio and\n"
    "saved as a backup (its path is printed). After the write they are read back and compared,\n"
    "all 28 bytes of each: \"verified\" on success; a block that differs is named with the bytes\n"
    "sent and read, and the command fails. A write cut short (port disconnected, radio silent)\n"
    "says how many blocks were written and prints the 'xiepin-cli restore' command that puts the\n"
    "backup back.\n\n";

}  // namespace

QStringList AreaOptionNames()
{
    QStringList names;
    for (const AreaName &area : AreaNames())
        names << QLatin1String(area.name);
    return names;
}

QList<int> ParseAreaList(const QString &command, const QString &text)
{
    const CommandDef *def = findCommand(command);
    const QString known = QStringLiteral(" (known: %1)").arg(AreaOptionNames().join(QStringLiteral(", ")));
    if (text.trimmed().isEmpty())
        refuse(def, QStringLiteral("--areas needs a comma list of areas") + known);
    QList<int> chosen;
    for (const QString &item : text.split(QLatin1Char(','))) {
        const QString name = item.trimmed();
        const auto found = std::find_if(AreaNames().begin(), AreaNames().end(),
                                        [&name](const AreaName &area) { return name == QLatin1String(area.name); });
        if (found == AreaNames().end())
            refuse(def, (name.isEmpty() ? QStringLiteral("--areas '%1' has an empty item").arg(text)
                                        : QStringLiteral("--areas: unknown area '%1'").arg(name))
                            + known);
        chosen += found->numbers;
    }
    QList<int> ordered;
    for (int area : kTransferOrder)
        if (chosen.contains(area))
            ordered << area;
    return ordered;
}

CliOptions ParseCliArguments(const QStringList &arguments)
{
    const QStringList args = arguments.mid(1);
    if (args.isEmpty())
        refuse(nullptr, QStringLiteral("no command given"));
    const QString &first = args.first();
    // "xiepin-cli --help", "xiepin-cli -h", "xiepin-cli help [COMMAND]"
    if (first == QLatin1String("--help") || first == QLatin1String("-h") || first == QLatin1String("help")) {
        const int topicCount = first == QLatin1String("help") ? 1 : 0;
        if (args.size() > 1 + topicCount)
            refuse(nullptr, QStringLiteral("unexpected argument '%1'").arg(args.at(1 + topicCount)));
        CliOptions options;
        options.help = true;
        if (args.size() > 1) {
            const CommandDef *def = findCommand(args.at(1));
            if (!def)
                refuse(nullptr, QStringLiteral("unknown command '%1'").arg(args.at(1)));
            options.command = def->command;
        }
        return options;
    }
    const CommandDef *def = findCommand(first);
    if (!def)
        refuse(nullptr, first.startsWith(QLatin1Char('-')) ? QStringLiteral("no command given before '%1'").arg(first)
                                                           : QStringLiteral("unknown command '%1'").arg(first));
    return parseCommand(*def, args.mid(1));
}

QString CliHelpText(CliCommand command)
{
    QString text;
    switch (command) {
    case CliCommand::None:
        text = QStringLiteral(
            "Usage: xiepin-cli COMMAND [OPTIONS]\n"
            "Programs the 16-channel two-way radio over its serial programming cable.\n"
            "\n"
            "Commands:\n");
        text += Listing({
            {QStringLiteral("ports"), QStringLiteral("list the serial ports")},
            {QStringLiteral("backup --port P -o FILE [--areas LIST]"), QStringLiteral("read the radio (or some areas) into an image file (several ports: -o FOLDER)")},
            {QStringLiteral("restore --port P FILE [--areas LIST]"), QStringLiteral("write an image file (or some of its areas) back into the radio")},
            {QStringLiteral("clone IMAGE --port P1 --port P2 ... [--areas LIST]"), QStringLiteral("write one image (or some of its areas) into several radios at once")},
            {QStringLiteral("read --port P [-o FILE.qz]"), QStringLiteral("read channels and settings; print or save them")},
            {QStringLiteral("write --port P FILE.qz [--alarm 开|关]"), QStringLiteral("write a configuration file into the radio")},
            {QStringLiteral("diff --port P FILE | FILE1 FILE2 [--areas LIST]"), QStringLiteral("list the fields where the radio and a file, or two files, differ")},
            {QStringLiteral("show FILE.qz"), QStringLiteral("print a configuration file as a table")},
            {QStringLiteral("import-csv IN.csv -o OUT.qz"), QStringLiteral("make a configuration file from a CSV channel list")},
            {QStringLiteral("export-csv IN.qz -o OUT.csv"), QStringLiteral("write a configuration file's channels as CSV")},
            {QStringLiteral("print IN.qz -o OUT.pdf"), QStringLiteral("write a configuration file's channel plan as PDF")},
        });
        text += QStringLiteral("\nOptions of the commands that talk to the radio:\n") + Listing(RadioOptions());
        text += QStringLiteral("\n'xiepin-cli COMMAND --help' tells more about a command.\n");
        break;
    case CliCommand::Ports:
        text = QStringLiteral(
            "Usage: xiepin-cli ports\n"
            "Lists the serial ports present, one per line: the device, then what the system\n"
            "knows of it (a USB cable's maker, product and vendor:product IDs), as in\n"
            "\"/dev/ttyUSB0 — Prolific Technology Inc. USB-Serial Controller (067b:2303)\".\n"
            "The link of a running virtual radio (xiepin-radio) is marked 虚拟电台.\n"
            "Give the device, the part before \" — \", to --port.\n"
            "A port where a write did not finish is named on stderr, with the backup of what its\n"
            "radio held before and the restore command that puts it back.\n");
        break;
    case CliCommand::Backup:
        text = QStringLiteral(
            "Usage: xiepin-cli backup --port P -o FILE [--areas LIST] [--timeout S]\n"
            "       xiepin-cli backup --port P1 --port P2 ... -o FOLDER [--areas LIST] [--timeout S]\n"
            "Reads the whole radio into an image file: the channels (area 0 blocks 1-16) and the\n"
            "settings (area 5 block 0) as a main read does, then the signalling areas 1 to 4 (DTMF,\n"
            "FSK queue sync, two-tone, five-tone). With --areas the file holds just those areas.\n"
            "The file is written only when every block came, each under its own number.\n"
            "With several ports the radios are read at the same time, each into FOLDER/PORT.img\n"
            "(\"ttyUSB0.img\"); a status line per radio goes to stderr, and a table of port, result\n"
            "and time to stdout. Exit code 0 only when every radio was read and saved.\n\n");
        text += Listing(QList<QStringList>{{QStringLiteral("-o FILE"), QStringLiteral("the image file to write (several ports: the folder)")}}
                        + AreasOption(QStringLiteral("read")) + RadioOptions());
        break;
    case CliCommand::Restore:
        text = QStringLiteral(
            "Usage: xiepin-cli restore --port P FILE [--areas LIST] [--no-verify] [--timeout S]\n"
            "Writes an image file made by 'backup' back into the radio: the handshake, channels and\n"
            "settings as a main write does, then the signalling areas 1 to 4. A malformed image is\n"
            "refused before the port is opened. An image may hold only some areas (a backup made\n"
            "before a write does); then only those areas are written, each whole. With --areas\n"
            "only the areas named are written; the image must hold each of them.\n");
        text += QLatin1String(kSafeWrite);
        text += Listing(AreasOption(QStringLiteral("write")) + VerifyOption() + RadioOptions());
        break;
    case CliCommand::Clone:
        text = QStringLiteral(
            "Usage: xiepin-cli clone IMAGE --port P1 [--port P2 ...] [--areas LIST] [--no-verify] [--timeout S]\n"
            "Writes one image file into several radios at the same time, one cable each: every area\n"
            "the image holds (with --areas those of them), each whole (blocks the image lacks are written back as the radio held\n"
            "them). Each radio gets its own safe write: its backup first (named with its port, as\n"
            "\"20261208-104316-ttyUSB0-all.img\"), then the write, then the read-back verify.\n"
            "While it runs, a status line per radio on stderr says its phase and blocks. At the end\n"
            "a table on stdout gives each port with its result (verified, written, verify failed,\n"
            "no answer, disconnected, could not open, backup failed), its time and its backup;\n"
            "stderr gives the restore command for each radio a failed write reached.\n"
            "Exit code 0 only when every radio verified (with --no-verify: was written).\n\n");
        text += Listing(AreasOption(QStringLiteral("write")) + VerifyOption()
                        + QList<QStringList>{{QStringLiteral("--port P"), QStringLiteral("a radio's serial port; give one --port per radio")}}
                        + RadioOptions().mid(1));
        break;
    case CliCommand::Read:
        text = QStringLiteral(
            "Usage: xiepin-cli read --port P [-o FILE.qz] [--timeout S]\n"
            "Reads the radio's channels and settings. Without -o prints them as 'show' does (with\n"
            "the alarm setting); with -o saves them as a configuration file, which holds every\n"
            "setting but the alarm.\n\n");
        text += Listing(QList<QStringList>{{QStringLiteral("-o FILE.qz"), QStringLiteral("the configuration file to write")}} + RadioOptions());
        break;
    case CliCommand::Write:
        text = QStringLiteral(
            "Usage: xiepin-cli write --port P FILE.qz [--alarm 开|关] [--no-verify] [--timeout S]\n"
            "Writes a configuration file's channels and settings into the radio. Every text is\n"
            "checked first; a text that does not fit its field stops the command before the port\n"
            "is opened, naming the channel and column or the setting.\n"
            "The file does not hold the alarm setting. 'write' first reads the radio, keeps its\n"
            "alarm unless --alarm is given, and sends back the bytes the configuration does not\n"
            "describe as the radio reported them; it reads first with --alarm as well. That read is\n"
            "the backup.\n");
        text += QLatin1String(kSafeWrite);
        text += Listing(QList<QStringList>{{QStringLiteral("--alarm 开|关"), QStringLiteral("set the alarm on or off instead of keeping the radio's")}} + VerifyOption() + RadioOptions());
        break;
    case CliCommand::Diff:
        text = QStringLiteral(
            "Usage: xiepin-cli diff --port P FILE [--areas LIST] [--timeout S]\n"
            "       xiepin-cli diff FILE1 FILE2 [--areas LIST]\n"
            "Lists every field where the radio and a file (or two files) differ, one line each, as\n"
            "\"信道 3 接收频率: 438.50000 → 439.00000\" (radio or FILE1 → FILE2). A .qz file compares\n"
            "the channels and settings but the alarm; an image the areas it holds. With --areas only\n"
            "the areas named are compared (and read from the radio). Two images (or the radio and an\n"
            "image) that differ only in bytes no field shows are listed block by block, in hex.\n"
            "Nothing is written. Exit code 0 when they are equal, 3 when they differ.\n\n");
        text += Listing(AreasOption(QStringLiteral("compare")) + RadioOptions());
        break;
    case CliCommand::Show:
        text = QStringLiteral(
            "Usage: xiepin-cli show FILE.qz\n"
            "Prints a configuration file's channels and settings as a table.\n");
        break;
    case CliCommand::ImportCsv:
        text = QStringLiteral(
            "Usage: xiepin-cli import-csv IN.csv -o OUT.qz [--start N] [--base BASE.qz]\n"
            "Reads a channel list in the generic CSV of the common multi-radio programmer (columns by\n"
            "name: Frequency, Duplex, Offset, Tone, rToneFreq, cToneFreq, DtcsCode, DtcsPolarity,\n"
            "RxDtcsCode, CrossMode, Mode, TStep, Skip, Power) into consecutive channels and saves\n"
            "the table as a configuration file. Every row that cannot be imported as it stands is\n"
            "reported on stderr with its line number; those reports do not fail the command. A row\n"
            "with a value the radio cannot store is not imported, so that the file written can\n"
            "always be written into the radio.\n\n");
        text += Listing({{QStringLiteral("-o OUT.qz"), QStringLiteral("the configuration file to write")},
                         {QStringLiteral("--start N"), QStringLiteral("the channel of the first row, 1 to 16 (default 1)")},
                         {QStringLiteral("--base BASE.qz"),
                          QStringLiteral("start from this file's channels and settings instead of an empty table")}});
        break;
    case CliCommand::ExportCsv:
        text = QStringLiteral(
            "Usage: xiepin-cli export-csv IN.qz -o OUT.csv\n"
            "Writes the channels in use of a configuration file as a CSV channel list that the common\n"
            "multi-radio programmer reads, with this tool's own columns (DTMF keys, PTT-ID, scrambler,\n"
            "signalling, compander) at the end.\n");
        break;
    case CliCommand::Print:
        text = QStringLiteral(
            "Usage: xiepin-cli print IN.qz -o OUT.pdf\n"
            "Writes the channel plan of a configuration file as an A4 landscape PDF: the channels in\n"
            "use with all their columns and the settings. The file does not hold the alarm setting,\n"
            "so the plan leaves it blank.\n");
        break;
    }
    text += QLatin1Char('\n');
    text += QLatin1String(kConventions);
    return text;
}
