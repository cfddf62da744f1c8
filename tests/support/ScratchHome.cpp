#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtGlobal>

namespace {

// CTest gives every test folders of its own. A test binary started by hand gets scratch ones,
// so that its settings and backups never land among the user's own, and its clean-ups never
// delete them.
void UseScratchFolders()
{
    static QTemporaryDir scratch;
    for (const char *name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
        if (qEnvironmentVariableIsEmpty(name))
            qputenv(name, scratch.filePath(QString::fromLatin1(name)).toLocal8Bit());
    }
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(UseScratchFolders)
