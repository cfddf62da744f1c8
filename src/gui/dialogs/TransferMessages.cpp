#include "dialogs/TransferMessages.h"

QString HowFarText(bool reading, int done, int total)
{
    return (reading ? QStringLiteral("已读取 %1/%2 块") : QStringLiteral("已写入 %1/%2 块")).arg(done).arg(total);
}

QString PortGoneText(const QString &port, bool reading, int done, int total)
{
    return QStringLiteral("端口 %1 已断开，%2").arg(port, HowFarText(reading, done, total));
}

QString SilenceNoteText(int resends)
{
    return QStringLiteral("电台无应答：请检查电缆、电台电源和端口（已重发 %1 次）").arg(resends);
}

QString BackupLineText(const QString &path)
{
    return QStringLiteral("写入前的备份：%1").arg(path);
}
