#include "dialogs/FileFolders.h"

#include "dialogs/MessageBox.h"

#include <QAbstractItemView>
#include <QCompleter>
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

int ExecFileDialogAlone(QFileDialog &dialog)
{
    KeepAboveWindowsOnTop(dialog);
    const int result = dialog.exec();
    // Closed by Enter in its name box, the dialog can leave that box's completion list open,
    // holding the keyboard: the window it was opened over took no key, F11 and F12 among them.
    for (const QCompleter *completer : dialog.findChildren<QCompleter *>())
        if (completer->popup() && completer->popup()->isVisible())
            completer->popup()->hide();
    if (QWidget *parent = dialog.parentWidget()) {
        parent->window()->activateWindow();
        parent->window()->raise();
    }
    return result;
}

QString ExecFileDialog(QFileDialog &dialog, const QString &kind, const QString &file)
{
    const QString folder = RememberedFolder(kind);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        dialog.setDirectory(folder);
    if (!file.isEmpty())
        dialog.selectFile(file);
    if (ExecFileDialogAlone(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    RememberFolder(kind, chosen);
    return chosen;
}
