#include "cli/FleetCommands.h"

#include "backup/BackupStore.h"
#include "cli/CliError.h"
#include "cli/CliOptions.h"
#include "cli/CliProgress.h"
#include "cli/ConfigTable.h"
#include "cli/Interrupt.h"
#include "cli/LinkSession.h"
#include "cli/RadioBackup.h"
#include "cli/SafeWrite.h"
#include "cli/StandardOutput.h"
#include "compare/BlockCompare.h"
#include "fleet/Fleet.h"

#include <QDir>
#include <QRegularExpression>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kRedrawMs = 100;

QString PhaseWord(TFleetPhase phase)
{
    switch (phase) {
    case TFleetPhase::Waiting: return QStringLiteral("waiting");
    case TFleetPhase::Backup: return QStringLiteral("backup");
    case TFleetPhase::Write: return QStringLiteral("writing");
    case TFleetPhase::Verify: return QStringLiteral("verifying");
    case TFleetPhase::Read: return QStringLiteral("reading");
    case TFleetPhase::Done: break;
    }
    return QStringLiteral("done");
}

QString ResultWord(TFleetResult result)
{
    switch (result) {
    case TFleetResult::Verified: return QStringLiteral("verified");
    case TFleetResult::Written: return QStringLiteral("written");
    case TFleetResult::Read: return QStringLiteral("saved");
    case TFleetResult::VerifyFailed: return QStringLiteral("verify failed");
    case TFleetResult::NoAnswer: return QStringLiteral("no answer");
    case TFleetResult::Disconnected: return QStringLiteral("disconnected");
    case TFleetResult::CouldNotOpen: return QStringLiteral("could not open");
    case TFleetResult::BackupFailed: return QStringLiteral("backup failed");
    case TFleetResult::IncompleteRead: return QStringLiteral("incomplete read");
    case TFleetResult::Cancelled: break;
    }
    return QStringLiteral("cancelled");
}

QString StatusLine(const TFleetRadio &radio)
{
    if (radio.IsFinished())
        return QStringLiteral("%1: %2").arg(radio.Port(), ResultWord(radio.Report().result));
    const QString blocks = radio.Total() > 0 ? QStringLiteral(" %1/%2").arg(radio.Done()).arg(radio.Total()) : QString();
    return QStringLiteral("%1: %2%3").arg(radio.Port(), PhaseWord(radio.Phase()), blocks);
}

// One line per radio on stderr. On a terminal the lines are redrawn in place a few times a
// second; in a log each radio gets a line when its phase changes and when it ends.
class TFleetStatus {
public:
    explicit TFleetStatus(const TFleet &fleet) : m_fleet(fleet), m_terminal(::isatty(::fileno(stderr)) == 1)
    {
        m_shown.fill(QString(), fleet.Count());
        m_redraw.setInterval(kRedrawMs);
        QObject::connect(&m_redraw, &QTimer::timeout, [this] { Redraw(); });
        QObject::connect(&fleet, &TFleet::RadioChanged, &m_redraw, [this](int index) { Changed(index); });
        if (m_terminal) {
            for (int i = 0; i < fleet.Count(); ++i)
                Write(StatusLine(fleet.Radio(i)) + QLatin1Char('\n'));
            m_redraw.start();
        }
    }
    ~TFleetStatus()
    {
        if (m_terminal)
            Redraw();
    }
    TFleetStatus(const TFleetStatus &) = delete;
    TFleetStatus &operator=(const TFleetStatus &) = delete;

private:
    void Changed(int index)
    {
        if (m_terminal)
            return;
        const TFleetRadio &radio = m_fleet.Radio(index);
        const QString phase = radio.IsFinished() ? ResultWord(radio.Report().result) : PhaseWord(radio.Phase());
        if (phase == m_shown.at(index))
            return;
        m_shown[index] = phase;
        Write(QStringLiteral("%1: %2\n").arg(radio.Port(), phase));
    }
    void Redraw()
    {
        QString text = QStringLiteral("\x1b[%1A").arg(m_fleet.Count());
        for (int i = 0; i < m_fleet.Count(); ++i)
            text += QStringLiteral("\r\x1b[K") + StatusLine(m_fleet.Radio(i)) + QLatin1Char('\n');
        Write(text);
    }
    static void Write(const QString &text)
    {
        std::fputs(text.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
    }

    const TFleet &m_fleet;
    const bool m_terminal;
    QStringList m_shown;
    QTimer m_redraw;
};

// Runs the fleet's radios until every one has ended.
void RunFleet(TFleet &fleet)
{
    TFleetStatus status(fleet);
    if (!fleet.IsRunning())
        return;
    // Each radio stops where it is, and the table still comes, with what each radio got to and
    // the command that puts back a radio left part written.
    const TInterruptCancels interrupt([&fleet] { fleet.Cancel(); });
    QEventLoop loop;
    QObject::connect(&fleet, &TFleet::Finished, &loop, &QEventLoop::quit);
    loop.exec();
}

QString Seconds(qint64 ms)
{
    return QStringLiteral("%1 s").arg(ms / 1000.0, 0, 'f', 1);
}

// What a radio that did not succeed got to, for the table.
QString Detail(const TFleetReport &report)
{
    switch (report.result) {
    case TFleetResult::VerifyFailed: {
        const TBlockMismatch &first = report.mismatches.front();
        const std::size_t count = report.mismatches.size();
        return QStringLiteral("%1 %2 read back wrong, first %3 %4")
            .arg(count)
            .arg(count == 1 ? QStringLiteral("block") : QStringLiteral("blocks"))
            .arg(AreaName(first.area), BlockName(first.area, first.block, TLanguage::English));
    }
    case TFleetResult::NoAnswer:
    case TFleetResult::Disconnected:
    case TFleetResult::Cancelled:
        switch (report.phase) {
        case TFleetPhase::Backup: return QStringLiteral("during the backup read, nothing written");
        case TFleetPhase::Write:
            return QStringLiteral("%1 of %2 blocks written").arg(report.tally.done).arg(report.tally.total);
        case TFleetPhase::Verify: return QStringLiteral("written, not verified");
        case TFleetPhase::Read:
            return QStringLiteral("%1 of %2 blocks read%3")
                .arg(report.tally.done)
                .arg(report.tally.total)
                .arg(report.error.isEmpty() ? QString() : QStringLiteral(": ") + report.error);
        case TFleetPhase::Waiting:
        case TFleetPhase::Done: break;
        }
        return {};
    case TFleetResult::CouldNotOpen:
    case TFleetResult::BackupFailed:
    case TFleetResult::IncompleteRead: return report.error;
    case TFleetResult::Verified:
    case TFleetResult::Written:
    case TFleetResult::Read: break;
    }
    return {};
}

bool WriteReachedRadio(const TFleetReport &report)
{
    return report.result == TFleetResult::VerifyFailed ||
           (!report.Succeeded() && (report.phase == TFleetPhase::Write || report.phase == TFleetPhase::Verify));
}

void PrintTable(const QList<QStringList> &rows)
{
    PrintOut(AlignColumns(rows));
}

QString OrDash(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}

TRadioImage LoadCloneImage(const QString &path)
{
    QString error;
    const std::optional<TRadioImage> image = TRadioImage::load(path, &error);
    if (!image)
        throw ECliError(QStringLiteral("image refused, nothing sent: %1").arg(error));
    if (image->isEmpty())
        throw ECliError(QStringLiteral("%1 holds no block, nothing sent").arg(path));
    return *image;
}

// Names Windows keeps for its devices, with any extension: COM3.img opens the port COM3.
bool IsWindowsDeviceName(const QString &name)
{
    static const QRegularExpression devices(QStringLiteral("^(CON|PRN|AUX|NUL|COM[0-9]|LPT[0-9])$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return devices.match(name).hasMatch();
}

// FOLDER/ttyUSB0.img, FOLDER/pts5.img, FOLDER/port-COM3.img, ...; two ports of the same last
// name get -2, -3.
QStringList ImagePaths(const QString &folder, const QStringList &ports)
{
    QStringList paths;
    for (const QString &port : ports) {
        QString part = TBackupStore::PortPart(port);
        if (IsWindowsDeviceName(part))
            part.prepend(QStringLiteral("port-"));
        const QString base = QDir(folder).filePath(part);
        QString path = base + QStringLiteral(".img");
        for (int n = 2; paths.contains(path); ++n)
            path = QStringLiteral("%1-%2.img").arg(base, QString::number(n));  // a % in the folder stays
        paths << path;
    }
    return paths;
}

}  // namespace

int CloneRadios(const CliOptions &options, TCliProgress &progress)
{
    const TRadioImage image = ChosenAreas(LoadCloneImage(options.file), options);
    TFleet fleet(CliProgramName());
    fleet.SetSilenceMs(options.timeoutMs);
    if (!fleet.StartWrite(options.ports, image, options.verify, options.file))
        throw ECliError(QStringLiteral("the clone did not start"));
    RunFleet(fleet);

    QList<QStringList> rows{{QStringLiteral("port"), QStringLiteral("result"), QStringLiteral("time"),
                             QStringLiteral("backup"), QStringLiteral("detail")}};
    bool all = true;
    for (const TFleetReport &report : fleet.Reports()) {
        rows << QStringList{report.port, ResultWord(report.result), Seconds(report.elapsedMs), OrDash(report.backupPath),
                            OrDash(Detail(report))};
        all = all && report.Succeeded();
        if (WriteReachedRadio(report) && !report.backupPath.isEmpty())
            progress.Note(QStringLiteral("%1: %2; to put back what it held: xiepin-cli restore --port %1 %3%4")
                              .arg(report.port, ResultWord(report.result), report.backupPath,
                                   report.earlierBackupPath.isEmpty()
                                       ? QString()
                                       : QStringLiteral("; ") + EarlierBackupClause(QStringLiteral("it"), report.earlierBackupPath)));
        else if (report.Succeeded() && !report.earlierBackupPath.isEmpty())  // part of that write's areas written
            progress.Note(QStringLiteral("%1: %2").arg(report.port, StillHalfWrittenNote(report.port, report.earlierBackupPath)));
    }
    PrintTable(rows);
    return all ? exitcode::kSuccess : exitcode::kFailure;
}

int BackupRadios(const CliOptions &options, TCliProgress &progress)
{
    if (!QDir().mkpath(options.output))
        throw ECliError(QStringLiteral("cannot create the folder %1").arg(options.output));
    TFleet fleet(CliProgramName());
    fleet.SetSilenceMs(options.timeoutMs);
    if (!fleet.StartRead(options.ports, AreaMask(options.areas)))
        throw ECliError(QStringLiteral("the backup did not start"));
    RunFleet(fleet);

    const QStringList paths = ImagePaths(options.output, options.ports);
    QList<QStringList> rows{{QStringLiteral("port"), QStringLiteral("result"), QStringLiteral("time"),
                             QStringLiteral("file"), QStringLiteral("detail")}};
    bool all = true;
    const QList<TFleetReport> reports = fleet.Reports();
    for (int i = 0; i < reports.size(); ++i) {
        const TFleetReport &report = reports.at(i);
        QString result = ResultWord(report.result);
        QString file;
        QString detail = Detail(report);
        bool saved = false;
        if (report.result == TFleetResult::Read) {
            WarnIfHalfWritten(report.port, report.image, progress);
            if (!report.error.isEmpty())  // the copy in the backups folder, as one port's backup says
                progress.Note(QStringLiteral("%1: warning: no backup copy saved: %2").arg(report.port, report.error));
            saved = report.image.save(paths.at(i), &detail);
            file = saved ? paths.at(i) : QString();
            if (!saved)
                result = QStringLiteral("not saved");
        }
        // A file of this port's name left by an earlier run must not pass for this one's.
        if (!saved && QFileInfo::exists(paths.at(i))) {
            const QString earlier = QStringLiteral("%1 is from an earlier backup").arg(QDir::toNativeSeparators(paths.at(i)));
            detail = detail.isEmpty() ? earlier : detail + QStringLiteral("; ") + earlier;
        }
        rows << QStringList{report.port, result, Seconds(report.elapsedMs), OrDash(file), OrDash(detail)};
        all = all && saved;
    }
    PrintTable(rows);
    return all ? exitcode::kSuccess : exitcode::kFailure;
}
