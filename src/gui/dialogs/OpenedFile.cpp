#include "dialogs/OpenedFile.h"

#include "dialogs/MessageBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

bool OpenableFile(QWidget *parent, const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return true;
    ShowError(parent, QCoreApplication::translate("OpenedFile", "%1 不是普通文件（而是文件夹、管道或设备），无法打开")
                          .arg(QDir::toNativeSeparators(path)));
    return false;
}
