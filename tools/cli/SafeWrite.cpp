#include "cli/SafeWrite.h"

#include "backup/BackupStore.h"
#include "cli/CliError.h"
#include "cli/CliProgress.h"
#include "cli/Interrupt.h"
#include "cli/LinkSession.h"
#include "cli/RadioBackup.h"
#include "compare/BlockCompare.h"

namespace {

QString ProgramName()
{
    return QStringLiteral("xiepin-cli " XIEPIN_VERSION);
}

QString RestoreHint(const QString &port, const QString &backupPath)
{
    return QStringLiteral("the radio's contents before the write are in %1; to put them back: xiepin-cli restore --port %2 %1")
        .arg(backupPath, port);
}

// Notes a write that reached the radio and did not end well; the hint for it, with the backup
// from before an earlier unfinished write on the port, which this write's backup found half
// written if it is the same radio.
QString UnfinishedHint(const QString &port, const QString &backupPath)
{
    const QString earlier = TBackupStore().NoteUnfinishedWrite(port, backupPath);
    QString hint = RestoreHint(port, backupPath);
    if (!earlier.isEmpty())
        hint += QStringLiteral("; %1 (xiepin-cli restore --port %2 %3)").arg(EarlierBackupClause(port, earlier), port, earlier);
    return hint;
}

void VerifyWrite(TLinkSession &session, const TRadioImage &sent, const QString &port, const QString &backupPath,
                 TCliProgress &progress)
{
    TRadioImage back;
    const TInterruptCancels interrupt([&session] { session.Cancel(); });
    try {
        back = ReadRadio(session, sent);
    } catch (const ECliError &e) {
        // Nothing confirms what the radio holds: as in doubt as a write cut short.
        throw ECliError(QStringLiteral("the write is not verified: %1; %2").arg(e.message(), UnfinishedHint(port, backupPath)));
    }
    const std::vector<TBlockMismatch> mismatches = CompareBlocks(sent, back);
    if (mismatches.empty()) {
        progress.Note(QStringLiteral("verified: the %1 blocks read back as written").arg(sent.heldCount()));
        return;
    }
    for (const TBlockMismatch &m : mismatches)
        progress.Note(QStringLiteral("%1: %2").arg(AreaName(m.area), MismatchLine(m, TLanguage::English)));
    const TBlockMismatch &first = mismatches.front();
    throw ECliError(QStringLiteral("verify failed on %1: %2 of %3 blocks read back differ, first %4 %5; %6")
                        .arg(port, QString::number(mismatches.size()), QString::number(sent.heldCount()),
                             AreaName(first.area), BlockName(first.area, first.block, TLanguage::English),
                             UnfinishedHint(port, backupPath)));
}

QString UnfinishedWriteText(const QString &port, const QString &backup)
{
    return QStringLiteral("a write on %1 did not finish; if the radio there is the same one, what it held before that "
                          "write is in %2; to put it back: xiepin-cli restore --port %1 %2")
        .arg(port, backup);
}

}  // namespace

QString CliProgramName()
{
    return ProgramName();
}

QString SaveBackup(const TRadioImage &image, const QString &port, TCliProgress &progress, bool required)
{
    QString error;
    const std::optional<QString> path = TBackupStore().Save(image, {port, ProgramName()}, &error);
    if (!path) {
        if (required)
            throw ECliError(QStringLiteral("nothing written: cannot save the backup: %1").arg(error));
        progress.Note(QStringLiteral("warning: no backup copy saved: %1").arg(error));
        return {};
    }
    progress.Note(QStringLiteral("backup: %1").arg(*path));
    return *path;
}

void WriteWithBackup(TLinkSession &session, const TRadioImage &sent, const QString &port, const QString &backupPath)
{
    int written = 0;
    // A radio left part written by Ctrl-C is told like one whose cable was pulled.
    const TInterruptCancels interrupt([&session] { session.Cancel(); });
    try {
        WriteRadio(session, sent, &written);
    } catch (const ECliError &e) {
        // Before the first frame went out (the port taken since the read, a signal as the read
        // ended) the radio is as the backup has it.
        if (written == 0 && dynamic_cast<const ETransferNotStarted *>(&e))
            throw ECliError(NothingWritten(e.message()));
        // Cut short: the radio gone, the port taken by another program between two transfers,
        // or a signal.
        const auto *failed = dynamic_cast<const ETransferFailed *>(&e);
        const QString progress = QStringLiteral("%1 of %2 blocks written").arg(written).arg(sent.heldCount());
        const QString what = failed && failed->portGone() ? QStringLiteral("%1 was disconnected: %2").arg(port, progress)
                                                          : QStringLiteral("%1; %2").arg(e.message(), progress);
        throw ECliError(QStringLiteral("%1; %2").arg(what, UnfinishedHint(port, backupPath)));
    }
}

void EndWrite(TLinkSession &session, const TRadioImage &sent, const QString &port, const QString &backupPath,
              TCliProgress &progress, bool verify, const QString &restoredFrom)
{
    if (verify)
        VerifyWrite(session, sent, port, backupPath, progress);
    // Part of that write's areas written, or the radio put back as that write left it.
    if (const std::optional<QString> still = TBackupStore().EndUnfinishedWrite(port, sent, restoredFrom, backupPath))
        progress.Note(StillHalfWrittenNote(port, *still));
}

QString EarlierBackupClause(const QString &where, const QString &earlierBackupPath)
{
    return QStringLiteral("an earlier write on %1 did not finish either: if this is the same radio, what it held before "
                          "that write is in %2")
        .arg(where, earlierBackupPath);
}

QString UnfinishedWriteNote(const QString &port, const TRadioImage &touching)
{
    const std::optional<QString> backup = TBackupStore().UnfinishedWrite(port, touching);
    return backup ? UnfinishedWriteText(port, *backup) : QString();
}

QString StillHalfWrittenNote(const QString &port, const QString &backup)
{
    return QStringLiteral("the radio may still be half written: ") + UnfinishedWriteText(port, backup);
}

void WarnIfHalfWritten(const QString &port, const TRadioImage &read, TCliProgress &progress)
{
    const QString note = UnfinishedWriteNote(port, read);
    if (!note.isEmpty())
        progress.Note(QStringLiteral("what was read may be half written: ") + note);
}
