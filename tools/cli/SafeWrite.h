#pragma once

#include "protocol/RadioImage.h"

#include <QString>

class TCliProgress;
class TLinkSession;

// The steps of every write of xiepin-cli, in this order: save what the radio holds in the
// blocks about to be written as a backup, write, read back and compare.

// "xiepin-cli 1.1.4": the program in the backups' notes.
QString CliProgramName();

// Saves the image in the backups folder and says where on stderr; returns the path. A write
// (required) stops when the backup cannot be saved; a read only warns and returns "".
QString SaveBackup(const TRadioImage &image, const QString &port, TCliProgress &progress, bool required);

// Writes the areas `sent` holds (whole areas). A transfer that fails on the way throws one line
// that says how far the write got, where the backup is and the restore command that puts it back,
// and notes the write as unfinished in the backups folder: the next write on the port that fails
// names this backup too.
void WriteWithBackup(TLinkSession &session, const TRadioImage &sent, const QString &port, const QString &backupPath);

// After the write: with verify, reads the written areas back and compares all 28 data bytes of
// every block sent, prints "verified ..." or, on a mismatch, one line per differing block, then
// throws as a write cut short does. A write that ends well ends the port's unfinished write, or
// says that the radio may still be half written (TBackupStore::EndUnfinishedWrite; restoredFrom:
// the backup file a restore wrote back).
void EndWrite(TLinkSession &session, const TRadioImage &sent, const QString &port, const QString &backupPath,
              TCliProgress &progress, bool verify, const QString &restoredFrom = {});

// "an earlier write on WHERE did not finish either: ... is in PATH", for a write that did not end
// well after one that did not either (TBackupStore::NoteUnfinishedWrite).
QString EarlierBackupClause(const QString &where, const QString &earlierBackupPath);

// "a write on PORT did not finish; ..." with the backup and the restore command, while the
// backups folder notes an unfinished write on the port (of an area `touching` holds); empty
// otherwise.
QString UnfinishedWriteNote(const QString &port, const TRadioImage &touching = TRadioImage());
// "the radio may still be half written: a write on PORT did not finish; ...", after a write
// that ended well with that earlier write's areas still in doubt (its backup).
QString StillHalfWrittenNote(const QString &port, const QString &backup);
// After a read: the note on stderr, as what was read may be a half-written radio.
void WarnIfHalfWritten(const QString &port, const TRadioImage &read, TCliProgress &progress);
