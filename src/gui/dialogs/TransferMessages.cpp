#include "dialogs/TransferMessages.h"

#include "backup/BackupStore.h"
#include "compare/BlockCompare.h"
#include "dialogs/Language.h"
#include "dialogs/MessageBox.h"

#include <QCoreApplication>

namespace {

QString Translated(const char *text)
{
    return QCoreApplication::translate("TransferMessages", text);
}

QString PortGoneHowFar(const QString &port, const QString &howFar)
{
    return Translated(QT_TRANSLATE_NOOP("TransferMessages", "端口 %1 已断开，%2")).arg(port, howFar);
}

}  // namespace

QString HowFarText(bool reading, int done, int total)
{
    return (reading ? Translated(QT_TRANSLATE_NOOP("TransferMessages", "已读取 %1/%2 块")) : Translated(QT_TRANSLATE_NOOP("TransferMessages", "已写入 %1/%2 块"))).arg(done).arg(total);
}

QString PortGoneText(const QString &port, bool reading, int done, int total)
{
    return PortGoneHowFar(port, HowFarText(reading, done, total));
}

QString SilenceNoteText(int resends)
{
    return Translated(QT_TRANSLATE_NOOP("TransferMessages", "电台无应答：请检查电缆、电台电源和端口（已重发 %1 次）")).arg(resends);
}

QString BackupLineText(const QString &path)
{
    return Translated(QT_TRANSLATE_NOOP("TransferMessages", "写入前的备份：%1")).arg(path);
}

QString EarlierBackupLineText(const QString &path)
{
    return Translated(QT_TRANSLATE_NOOP("TransferMessages", "此端口上更早的一次写入也未完成；若是同一部电台，那次写入前的备份：%1"))
        .arg(path);
}

QString StillHalfWrittenText(const QString &path)
{
    return Translated(QT_TRANSLATE_NOOP("TransferMessages", "此端口上早先的一次写入未完成，这次写入后电台仍可能只写了一半；若是同一部电台，那次写入前的备份：%1"))
        .arg(path);
}

QString IncompleteReadText(const QList<int> &areas, const TRadioImage &read)
{
    QStringList missing;
    for (const TRadioImage::Place &place : TRadioImage::Places())
        if (areas.contains(place.area) && !read.holds(place.area, place.block))
            missing << BlockName(place.area, place.block, LanguageOf(CurrentLanguage()));
    if (missing.isEmpty())
        return QString();
    return Translated(QT_TRANSLATE_NOOP("TransferMessages", "读取不完整：电台没有发来%1。窗口中这些位置显示的不是电台的内容，"
                                                            "写入前请重新读取。"))
        .arg(missing.join(Translated(QT_TRANSLATE_NOOP("TransferMessages", "、"))));
}

QString HalfWrittenReadText(const QString &path)
{
    return Translated(QT_TRANSLATE_NOOP("TransferMessages", "此端口上的一次写入未完成，读到的可能只写了一半；若是同一部电台，"
                                                            "那次写入前的备份：%1，可用“文件 → 恢复备份”写回"))
        .arg(path);
}

bool TellIncompleteRead(QWidget *window, const QList<int> &areas, const TRadioImage &read)
{
    const QString text = IncompleteReadText(areas, read);
    if (!text.isEmpty())
        ShowError(window, text);
    return !text.isEmpty();
}

std::optional<QString> TellHalfWrittenRead(QWidget *window, const QString &port, const TRadioImage &read)
{
    const std::optional<QString> noted = TBackupStore().UnfinishedWrite(port, read);
    if (noted)
        ShowMessage(window, HalfWrittenReadText(*noted));
    return noted;
}

QString VerifyFailedText(const QStringList &blockLines, const QString &backupPath, const QString &earlierBackupPath)
{
    QStringList lines{Translated(QT_TRANSLATE_NOOP("TransferMessages", "写入校验失败"))};
    lines << blockLines << BackupLineText(backupPath);
    if (!earlierBackupPath.isEmpty())
        lines << EarlierBackupLineText(earlierBackupPath);
    return lines.join(QLatin1Char('\n'));
}

QString BackupFailedText(const QString &error)
{
    return Translated(QT_TRANSLATE_NOOP("TransferMessages", "无法保存备份，未写入：%1")).arg(error);
}

bool WriteSucceeded(const TSafeWrite::Outcome &outcome)
{
    return outcome.result == TSafeWrite::Result::Verified || outcome.result == TSafeWrite::Result::Written;
}

namespace {

// How far a write cut short got, by its phase: "已读取 n/m 块" in its backup read, "已写入 n/m 块",
// or "已写入，未校验（已读回 n/m 块）" in its verify.
QString WriteHowFarText(const TSafeWrite::Outcome &outcome)
{
    const TransferTally &tally = outcome.tally;
    switch (outcome.phase) {
    case TSafeWrite::Phase::Write:
        return HowFarText(false, tally.done, tally.total);
    case TSafeWrite::Phase::Verify:
        // Every block went out and was acknowledged; only the check is missing.
        return Translated(QT_TRANSLATE_NOOP("TransferMessages", "已写入，未校验（已读回 %1/%2 块）")).arg(tally.done).arg(tally.total);
    case TSafeWrite::Phase::Backup:
    case TSafeWrite::Phase::Idle:
        break;
    }
    return HowFarText(true, tally.done, tally.total);
}

// The text, then "，未写入" when the write ended before its first block; else where its backup
// is, and the earlier write's backup when there is one.
QString WithBackupLines(QString text, const TSafeWrite::Outcome &outcome)
{
    if (outcome.phase == TSafeWrite::Phase::Backup || outcome.phase == TSafeWrite::Phase::Idle)
        return text + Translated(QT_TRANSLATE_NOOP("TransferMessages", "，未写入"));
    text += QLatin1Char('\n') + BackupLineText(outcome.backupPath);
    if (!outcome.earlierBackupPath.isEmpty())
        text += QLatin1Char('\n') + EarlierBackupLineText(outcome.earlierBackupPath);
    return text;
}

}  // namespace

QString WriteOutcomeText(const TSafeWrite::Outcome &outcome, const QString &port, bool cancelTold)
{
    using Result = TSafeWrite::Result;
    switch (outcome.result) {
    case Result::Verified:
    case Result::Written:
        return Translated(QT_TRANSLATE_NOOP("TransferMessages", "写入成功"))
               + (outcome.earlierBackupPath.isEmpty() ? QString()
                                                      : QLatin1Char('\n') + StillHalfWrittenText(outcome.earlierBackupPath));
    case Result::VerifyFailed:
        return VerifyFailedText(MismatchLines(outcome.mismatches, LanguageOf(CurrentLanguage())), outcome.backupPath,
                                outcome.earlierBackupPath);
    case Result::BackupFailed:
        return BackupFailedText(outcome.error);
    case Result::Ended:
        break;
    }
    const bool verifying = outcome.phase == TSafeWrite::Phase::Verify;
    QString text;
    if (outcome.end == TransferEnd::Silent && verifying)
        text = Translated(QT_TRANSLATE_NOOP("TransferMessages", "电台无应答，%1")).arg(WriteHowFarText(outcome));
    else if (outcome.end == TransferEnd::Silent)
        text = Translated(QT_TRANSLATE_NOOP("TransferMessages", "写入失败：电台无应答")) + QLatin1Char('\n')
               + WriteHowFarText(outcome);
    else if (outcome.end == TransferEnd::PortGone)
        text = PortGoneHowFar(port, WriteHowFarText(outcome));
    else if (cancelTold && TSafeWrite::LeftUnfinished(outcome))
        text = Translated(QT_TRANSLATE_NOOP("TransferMessages", "已取消，%1")).arg(WriteHowFarText(outcome));
    else
        return {};  // cancelled before the radio was written, by Retry, or by quitting
    return WithBackupLines(text, outcome);
}

bool OffersRestore(const TSafeWrite::Outcome &outcome)
{
    return TSafeWrite::LeftUnfinished(outcome) && !outcome.backupPath.isEmpty();
}

QString CompareResultText(const QStringList &fieldLines)
{
    if (fieldLines.isEmpty())
        return Translated(QT_TRANSLATE_NOOP("TransferMessages", "窗口与电台相同"));
    const int count = static_cast<int>(fieldLines.size());
    return QCoreApplication::translate("TransferMessages", "窗口与电台有 %n 处不同（电台 → 窗口）：", nullptr, count)
           + QLatin1Char('\n') + fieldLines.join(QLatin1Char('\n'));
}
