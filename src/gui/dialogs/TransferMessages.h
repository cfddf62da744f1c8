#pragma once

#include "backup/SafeWrite.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// The words a window uses when a transfer with the radio ends early. One home for them, so the
// main window and the four editors say the same thing.

// "已写入 5/17 块" or "已读取 5/17 块".
QString HowFarText(bool reading, int done, int total);
// "端口 /dev/ttyUSB0 已断开，已写入 5/17 块".
QString PortGoneText(const QString &port, bool reading, int done, int total);
// "电台无应答：请检查电缆、电台电源和端口（已重发 12 次）", the progress window's note.
QString SilenceNoteText(int resends);
// "写入前的备份：PATH", the line that says where a write's backup is.
QString BackupLineText(const QString &path);
// The line that names the backup from before an earlier write on the port that did not finish.
QString EarlierBackupLineText(const QString &path);
// The same after a write that ended well but left that earlier write's areas in doubt.
QString StillHalfWrittenText(const QString &path);
// After a read that ended as complete: "读取不完整：电台没有发来信道 4。…" naming every block of
// `areas` that `read` lacks (a reply that carried another block number moved the read past
// it); empty when it lacks none.
QString IncompleteReadText(const QList<int> &areas, const TRadioImage &read);
// After a read from a port where a write did not finish: what was read may be half written, and
// the backup from before that write, which 恢复备份 puts back.
QString HalfWrittenReadText(const QString &path);

// The two checks after a read that ended as complete, alike in the main window and the editors.
// An error naming the blocks of `areas` that `read` lacks; false when it lacks none.
bool TellIncompleteRead(QWidget *window, const QList<int> &areas, const TRadioImage &read);
// The message when the backups folder notes an unfinished write on the port for an area `read`
// holds; returns that write's backup, or nullopt.
std::optional<QString> TellHalfWrittenRead(QWidget *window, const QString &port, const TRadioImage &read);
// "写入校验失败", one line per block that came back different, then where the backup is, and
// the earlier write's backup when there is one.
QString VerifyFailedText(const QStringList &blockLines, const QString &backupPath, const QString &earlierBackupPath = {});
// "无法保存备份，未写入：<why>".
QString BackupFailedText(const QString &error);

// Whether a safe write's end is a success ("写入成功").
bool WriteSucceeded(const TSafeWrite::Outcome &outcome);
// What a safe write's end says: "写入成功"; the verify failure with its blocks; the backup that
// could not be saved; or for a write cut short (port gone, silent radio) how far it got and,
// once something was written, where its backup is. A write the user cancelled says nothing,
// unless cancelTold (the 取消 button, not Retry or quitting) and it had reached the radio:
// then "已取消，" how far it got, and where its backup is.
QString WriteOutcomeText(const TSafeWrite::Outcome &outcome, const QString &port, bool cancelTold = false);
// A write that reached the radio and did not end well (cut short, or read back wrong): the
// user may want its backup back.
bool OffersRestore(const TSafeWrite::Outcome &outcome);

// What a compare with the radio found: "窗口与电台相同", or how many fields differ and then one
// line per field, radio first.
QString CompareResultText(const QStringList &fieldLines);
