#include "dialogs/FileFolders.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace {

QString Key(const QString &kind)
{
    return QStringLiteral("folders/") + kind;
}

}  // namespace

QString RememberedFolder(const QString &kind)
{
    return QSettings().value(Key(kind)).toString();
}

void RememberFolder(const QString &kind, const QString &file)
{
    QSettings().setValue(Key(kind), QFileInfo(file).absolutePath());
}

QString ExecFileDialog(QFileDialog &dialog, const QString &kind, const QString &file)
{
    const QString folder = RememberedFolder(kind);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        dialog.setDirectory(folder);
    if (!file.isEmpty())
        dialog.selectFile(file);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    RememberFolder(kind, chosen);
    return chosen;
}
