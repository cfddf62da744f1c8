#include "dialogs/TransferMessages.h"

#include <QCoreApplication>

namespace {

QString Translated(const char *text)
{
    return QCoreApplication::translate("TransferMessages", text);
}

}  // namespace

QString HowFarText(bool reading, int done, int total)
{
    return (reading ? Translated(QT_TRANSLATE_NOOP("TransferMessages", "已读取 %1/%2 块")) : Translated(QT_TRANSLATE_NOOP("TransferMessages", "已写入 %1/%2 块"))).arg(done).arg(total);
}

QString PortGoneText(const QString &port, bool reading, int done, int total)
{
    return Translated(QT_TRANSLATE_NOOP("TransferMessages", "端口 %1 已断开，%2")).arg(port, HowFarText(reading, done, total));
}

QString SilenceNoteText(int resends)
{
    return Translated(QT_TRANSLATE_NOOP("TransferMessages", "电台无应答：请检查电缆、电台电源和端口（已重发 %1 次）")).arg(resends);
}

QString BackupLineText(const QString &path)
{
    return Translated(QT_TRANSLATE_NOOP("TransferMessages", "写入前的备份：%1")).arg(path);
}

QString VerifyFailedText(const QStringList &blockLines, const QString &backupPath)
{
    QStringList lines{Translated(QT_TRANSLATE_NOOP("TransferMessages", "写入校验失败"))};
    lines << blockLines << BackupLineText(backupPath);
    return lines.join(QLatin1Char('\n'));
}

QString BackupFailedText(const QString &error)
{
    return Translated(QT_TRANSLATE_NOOP("TransferMessages", "无法保存备份，未写入：%1")).arg(error);
}
