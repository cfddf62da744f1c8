#include "cli/CliCommands.h"

#include "backup/ImageAreas.h"
#include "base/TextConvert.h"
#include "cli/CliError.h"
#include "cli/CliOptions.h"
#include "cli/CliProgress.h"
#include "cli/ConfigTable.h"
#include "cli/FleetCommands.h"
#include "cli/Interrupt.h"
#include "cli/LinkSession.h"
#include "cli/RadioBackup.h"
#include "cli/SafeWrite.h"
#include "cli/StandardOutput.h"
#include "compare/BlockCompare.h"
#include "compare/FieldDiff.h"
#include "mainconfig/ChannelCsv.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/ConfigFile.h"
#include "mainconfig/MainCodec.h"
#include "mainconfig/MainConfig.h"
#include "print/ChannelPlan.h"
#include "serial/SerialPorts.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>

namespace {

// Ctrl-C (or SIGTERM, a closed terminal) during a read stops it where it is, and the command
// says so, as for a write, instead of ending without a word.
template <typename Read>
auto Interruptible(TLinkSession &session, Read read)
{
    const TInterruptCancels interrupt([&session] { session.Cancel(); });
    return read();
}

// As the main window lists them: the device, then what the system knows of it. A port whose
// radio may be half written is told on stderr.
void Ports(TCliProgress &progress)
{
    const std::optional<std::vector<TPortEntry>> ports = DescribeSerialDevices();
    if (!ports)
        throw ECliError(QStringLiteral("cannot list the serial ports: /sys/class/tty cannot be read"));
    if (ports->empty())
        progress.Note(QStringLiteral("no serial ports found"));
    for (const TPortEntry &port : *ports) {
        PrintOut(PortLabel(port) + QLatin1Char('\n'));
        if (const QString note = UnfinishedWriteNote(QFile::decodeName(QByteArray::fromStdString(port.path)));
            !note.isEmpty())
            progress.Note(note);
    }
}

// The read before a write: a failure there (the radio silent or gone, a block it never sent)
// has written nothing yet, nor has a signal that came as the read ended.
template <typename Read>
auto ReadBeforeWrite(TLinkSession &session, const QString &port, Read read)
{
    try {
        auto before = Interruptible(session, read);
        if (TInterruptCancels::Interrupted())  // caught for the run, also after the read's watch
            throw ETransferFailed(QStringLiteral("interrupted after reading on %1").arg(port), false, 0);
        return before;
    } catch (const ETransferFailed &e) {
        throw ECliError(NothingWritten(e.message()));
    }
}

void Backup(const CliOptions &options, TCliProgress &progress)
{
    TLinkSession session(options.port, options.timeoutMs, progress);
    const TRadioImage image = Interruptible(session, [&] { return ReadRadio(session, AreaMask(options.areas)); });
    SaveBackup(image, options.port, progress, false);
    WarnIfHalfWritten(options.port, image, progress);
    QString error;
    if (!image.save(options.output, &error))
        throw ECliError(error);
    progress.Note(QStringLiteral("saved %1 blocks to %2").arg(image.heldCount()).arg(options.output));
}

void Restore(const CliOptions &options, TCliProgress &progress)
{
    // The whole image is checked before the port is opened.
    QString error;
    const std::optional<TRadioImage> loaded = TRadioImage::load(options.file, &error);
    if (!loaded)
        throw ECliError(QStringLiteral("image refused, nothing sent: %1").arg(error));
    if (loaded->isEmpty())
        throw ECliError(QStringLiteral("%1 holds no block, nothing sent").arg(options.file));
    const TRadioImage image = ChosenAreas(*loaded, options);
    TLinkSession session(options.port, options.timeoutMs, progress);
    const TRadioImage before = ReadBeforeWrite(session, options.port, [&] { return ReadRadio(session, image); });
    const TRadioImage sent = WholeAreas(image, before);
    const QString backup = SaveBackup(before.restrictedTo(sent), options.port, progress, true);
    WriteWithBackup(session, sent, options.port, backup);
    progress.Note(QStringLiteral("wrote %1 blocks to %2").arg(sent.heldCount()).arg(options.port));
    EndWrite(session, sent, options.port, backup, progress, options.verify, options.file);
}

void LoadFile(TMainConfig &config, const QString &path)
{
    try {
        LoadConfigFile(config, path);
    } catch (const EConfigFileError &e) {
        throw ECliError(e.message());
    }
}

TRadioImage MainOnly(const MainImage &main)
{
    TRadioImage image = TRadioImage::None();
    SetMainImage(image, main);
    return image;
}

// Channels and settings as the radio holds them; the model also remembers the raw blocks.
// Returns the blocks read.
TRadioImage ReadMain(TLinkSession &session, TMainConfig &config)
{
    const TRadioImage image = MainOnly(session.MainRead());
    DecodeMainImage(config, image);
    return image;
}

void Read(const CliOptions &options, TCliProgress &progress)
{
    TMainConfig config;
    TLinkSession session(options.port, options.timeoutMs, progress);
    const TRadioImage image = Interruptible(session, [&] { return ReadMain(session, config); });
    SaveBackup(image, options.port, progress, false);
    WarnIfHalfWritten(options.port, image, progress);
    if (options.output.isEmpty()) {
        PrintOut(FormatConfigTable(config, true));
        return;
    }
    try {
        SaveConfigFile(config, options.output);
    } catch (const EConfigFileError &e) {
        throw ECliError(e.message());
    }
    progress.Note(QStringLiteral("saved channels and settings to %1 (the file does not hold the alarm: %2 %3)")
                      .arg(options.output, SettingPlaceName(AlarmBox), config.Setting(AlarmBox)));
}

// The radio is read first even when --alarm is given: the bytes that no text describes (channel
// bytes 24..26, settings bytes 16..27) then go back as the radio reported them instead of as 0.
void Write(const CliOptions &options, TCliProgress &progress)
{
    TMainConfig file;
    LoadFile(file, options.file);
    if (!options.alarm.isEmpty())
        file.SetSetting(AlarmBox, options.alarm);
    try {
        BuildFileImage(file);  // every text of the file, before the port is opened
    } catch (const EConvertError &e) {
        throw ECliError(QStringLiteral("%1: %2").arg(options.file, e.message()));
    }

    TMainConfig config;
    TLinkSession session(options.port, options.timeoutMs, progress);
    const TRadioImage before = ReadBeforeWrite(session, options.port, [&] { return ReadMain(session, config); });
    for (int row = 1; row < TMainConfig::kRows; ++row)
        config.SetRow(row, file.Row(row));
    for (int box = VoxLevelBox; box < AlarmBox; ++box)
        config.SetSetting(box, file.Setting(box));
    if (!options.alarm.isEmpty())
        config.SetSetting(AlarmBox, options.alarm);

    // Every text but the alarm was checked above; the alarm came from the radio.
    try {
        EncodeSettingsBlock(config);
    } catch (const EConvertError &e) {
        throw ECliError(QStringLiteral("the radio's own setting cannot be written back (%1); give --alarm 开 or "
                                       "--alarm 关")
                            .arg(e.message()));
    }
    MainImage image;
    try {
        image = BuildMainImage(config);
    } catch (const EConvertError &e) {
        // An empty cell stands only for a code that the radio holds and the table cannot show.
        throw ECliError(QStringLiteral("%1: %2 (the radio holds a value there that the empty cell does not show); "
                                       "nothing written")
                            .arg(options.file, e.message()));
    }
    const TRadioImage sent = MainOnly(image);
    const QString backup = SaveBackup(before, options.port, progress, true);
    WriteWithBackup(session, sent, options.port, backup);
    progress.Note(QStringLiteral("wrote %1 to %2 (%3 %4%5)")
                      .arg(options.file, options.port, SettingPlaceName(AlarmBox), config.Setting(AlarmBox),
                           options.alarm.isEmpty() ? QStringLiteral(", kept from the radio") : QString()));
    EndWrite(session, sent, options.port, backup, progress, options.verify);
}

// A file to compare: a configuration file (.qz) or an image.
bool IsConfigFile(const QString &path)
{
    return path.endsWith(QStringLiteral(".qz"), Qt::CaseInsensitive);
}

TRadioImage LoadImage(const QString &path)
{
    QString error;
    const std::optional<TRadioImage> image = TRadioImage::load(path, &error);
    if (!image)
        throw ECliError(error);
    return *image;
}

// The channel and settings blocks of a configuration file, as the codec encodes its texts.
TRadioImage ConfigImage(const QString &path)
{
    TMainConfig config;
    LoadFile(config, path);
    try {
        return MainOnly(BuildFileImage(config));
    } catch (const EConvertError &e) {
        throw ECliError(QStringLiteral("%1: %2").arg(path, e.message()));
    }
}

// Refuses two sides with nothing to compare.
void CheckSharesArea(const TRadioImage &from, const TRadioImage &to)
{
    if (!HoldsMain(from) || !HoldsMain(to)) {
        bool shared = false;
        for (int area : kSignallingAreas)
            shared = shared || (from.holdsAnyOf(area) && to.holdsAnyOf(area));
        if (!shared)
            throw ECliError(QStringLiteral("the two sides hold no area in common (%1 and %2)")
                                .arg(from.contentsId(), to.contentsId()));
    }
}

// The channels and settings a side shows. A configuration file's cell left empty stays empty:
// a read shows a code it does not know so, and such a file written keeps the radio's code.
void ShowMainTexts(TMainConfig &shown, const QString &path, const TRadioImage &image)
{
    DecodeMainImage(shown, image);
    if (!IsConfigFile(path))
        return;
    TMainConfig file;
    LoadFile(file, path);
    for (int row = 1; row <= TMainConfig::kChannels; ++row)
        for (int c = col::RxFreq; c < TMainConfig::kCols; ++c)
            if (IsEmptyText(file.Cell(row, c)))
                shown.SetCell(row, c, QString());
}

// Field lines between two sides (the radio: no path). With a configuration file on a side, its
// channels and settings compared as texts, without the alarm, which such a file does not hold.
// Bytes of two images that no field shows (a frequency apart by less than the 10 Hz a cell
// shows, bytes no text describes): one line per block. A side's name is "the radio" when empty.
QStringList ByteDiffLines(const QString &fromPath, const TRadioImage &from, const QString &toPath, const TRadioImage &to)
{
    const auto side = [](const QString &path) { return path.isEmpty() ? QStringLiteral("the radio") : path; };
    QStringList lines;
    for (const TBlockMismatch &m : CompareBlocks(from.restrictedTo(to), to.restrictedTo(from)))
        lines << QStringLiteral("%1 (area %2 block %3): bytes no field shows differ: %4 %5, %6 %7")
                     .arg(BlockName(m.area, m.block, TLanguage::English))
                     .arg(m.area)
                     .arg(m.block)
                     .arg(side(fromPath), BlockHex(m.sent), side(toPath), BlockHex(m.read));
    return lines;
}

// The lines, and the last line on stderr that counts them.
struct TDiffLines {
    QStringList lines;
    QString summary;
};

// "1 field differs", "3 fields differ".
QString Counted(qsizetype count, const QString &one, const QString &many)
{
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? one : many);
}

TDiffLines FieldLines(const QStringList &lines)
{
    if (lines.isEmpty())
        return {lines, QStringLiteral("no field differs")};
    return {lines, Counted(lines.size(), QStringLiteral("field differs"), QStringLiteral("fields differ"))};
}

TDiffLines DiffLines(const QString &fromPath, const TRadioImage &from, const QString &toPath, const TRadioImage &to)
{
    CheckSharesArea(from, to);
    if (!IsConfigFile(fromPath) && !IsConfigFile(toPath)) {
        const QStringList fields = ImageFieldDiff(from, to, true);
        if (!fields.isEmpty())
            return FieldLines(fields);
        const QStringList blocks = ByteDiffLines(fromPath, from, toPath, to);
        if (blocks.isEmpty())
            return FieldLines(blocks);
        return {blocks, Counted(blocks.size(), QStringLiteral("block differs"), QStringLiteral("blocks differ"))
                            + QStringLiteral(" in bytes no field shows")};
    }
    TMainConfig a;
    TMainConfig b;
    ShowMainTexts(a, fromPath, from);
    ShowMainTexts(b, toPath, to);
    return FieldLines(MainFieldDiff(a, b, false));
}

// A side of a comparison, kept to the areas of --areas when it was given.
TRadioImage DiffSide(const QString &path, const CliOptions &options)
{
    const TRadioImage image = IsConfigFile(path) ? ConfigImage(path) : LoadImage(path);
    if (image.isEmpty())  // before any port is opened
        throw ECliError(QStringLiteral("%1 holds no block, nothing to compare").arg(path));
    if (!options.areasGiven)
        return image;
    const TRadioImage kept = image.restrictedTo(AreaMask(options.areas));
    if (kept.isEmpty())
        throw ECliError(QStringLiteral("%1 holds none of the areas given with --areas (it holds %2)").arg(path, image.contentsId()));
    return kept;
}

int Diff(const CliOptions &options, TCliProgress &progress)
{
    const TRadioImage file = DiffSide(options.file, options);
    TDiffLines diff;
    if (options.secondFile.isEmpty()) {
        TLinkSession session(options.port, options.timeoutMs, progress);
        const TRadioImage radio = Interruptible(session, [&] { return ReadRadio(session, file); });
        SaveBackup(radio, options.port, progress, false);
        WarnIfHalfWritten(options.port, radio, progress);
        diff = DiffLines(QString(), radio, options.file, file);
    } else {
        const TRadioImage second = DiffSide(options.secondFile, options);
        diff = DiffLines(options.file, file, options.secondFile, second);
    }
    for (const QString &line : diff.lines)
        PrintOut(line + QLatin1Char('\n'));
    progress.Note(diff.summary);
    return diff.lines.isEmpty() ? exitcode::kSuccess : exitcode::kDiffer;
}

void Show(const CliOptions &options)
{
    TMainConfig config;
    LoadFile(config, options.file);
    PrintOut(FormatConfigTable(config, false));
}

// Converters write their output whole: naming the input as output would lose the input.
void RefuseOverwritingInput(const QString &input, const QString &output)
{
    const QString in = QFileInfo(input).canonicalFilePath();
    if (!in.isEmpty() && in == QFileInfo(output).canonicalFilePath())
        throw ECliError(QStringLiteral("%1 is the input file; name another file with -o").arg(output));
}

// Reports go to stderr as "IN.csv: line 7: ..."; they do not fail the command.
void ImportCsv(const CliOptions &options, TCliProgress &progress)
{
    RefuseOverwritingInput(options.file, options.output);
    TMainConfig config;
    if (!options.base.isEmpty())
        LoadFile(config, options.base);
    ChannelCsvImport result;
    try {
        result = ReadChannelCsvFile(options.file, options.startChannel);
    } catch (const EChannelCsvError &e) {
        throw ECliError(e.message());
    }
    for (const QString &report : result.reports)
        progress.Note(options.file + QStringLiteral(": ") + report);
    // A file none of whose rows came in is no channel plan: the base is not copied as if it were.
    if (result.rows.isEmpty())
        throw ECliError(QStringLiteral("%1: no channel could be imported; %2 is not written").arg(options.file, options.output));
    config.ReplaceRows(result.rows);
    try {
        SaveConfigFile(config, options.output);
    } catch (const EConfigFileError &e) {
        throw ECliError(e.message());
    }
    const QString channels = result.rows.size() == 1
                                 ? QStringLiteral("channel %1").arg(result.rows.firstKey())
                                 : QStringLiteral("channels %1 to %2").arg(result.rows.firstKey()).arg(result.rows.lastKey());
    progress.Note(QStringLiteral("imported %1 into %2 (%3 %4)")
                      .arg(channels, options.output, QString::number(result.reports.size()),
                           result.reports.size() == 1 ? QStringLiteral("report") : QStringLiteral("reports")));
}

void ExportCsv(const CliOptions &options)
{
    RefuseOverwritingInput(options.file, options.output);
    TMainConfig config;
    LoadFile(config, options.file);
    try {
        WriteChannelCsvFile(config, options.output);
    } catch (const EConvertError &e) {
        throw ECliError(QStringLiteral("%1: %2").arg(options.file, e.message()));
    } catch (const EChannelCsvError &e) {
        throw ECliError(e.message());
    }
}

// The file does not hold the alarm setting, so the plan leaves it out.
void Print(const CliOptions &options)
{
    RefuseOverwritingInput(options.file, options.output);
    TMainConfig config;
    LoadFile(config, options.file);
    QString error;
    const ChannelPlanInfo info{QFileInfo(options.file).fileName(), QDate::currentDate(), false};
    if (!WriteChannelPlanPdf(options.output, config, info, &error))
        throw ECliError(error);
}

int Execute(const CliOptions &options, TCliProgress &progress)
{
    if (options.help) {
        PrintOut(CliHelpText(options.command));
        return exitcode::kSuccess;
    }
    switch (options.command) {
    case CliCommand::None: PrintOut(CliHelpText(CliCommand::None)); break;
    case CliCommand::Ports: Ports(progress); break;
    case CliCommand::Backup:
        if (options.ports.size() > 1)
            return BackupRadios(options, progress);
        Backup(options, progress);
        break;
    case CliCommand::Restore: Restore(options, progress); break;
    case CliCommand::Read: Read(options, progress); break;
    case CliCommand::Write: Write(options, progress); break;
    case CliCommand::Show: Show(options); break;
    case CliCommand::ImportCsv: ImportCsv(options, progress); break;
    case CliCommand::ExportCsv: ExportCsv(options); break;
    case CliCommand::Diff: return Diff(options, progress);
    case CliCommand::Print: Print(options); break;
    case CliCommand::Clone: return CloneRadios(options, progress);
    }
    return exitcode::kSuccess;
}

}  // namespace

int RunCli(const QStringList &arguments)
{
    TCliProgress progress(stderr);
    try {
        return Execute(ParseCliArguments(arguments), progress);
    } catch (const ECliError &e) {
        progress.Note(QStringLiteral("xiepin-cli: ") + e.message());
        return e.exitCode();
    }
}
