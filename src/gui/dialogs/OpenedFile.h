#pragma once

#include <QString>

class QWidget;

// Whether a file the windows are about to read may be opened: one that is there and is no
// regular file (a folder, a pipe, a device) is refused with a message, as opening a pipe no
// program writes to would hang the window for good. A file that is not there passes, for its
// loader to say so.
bool OpenableFile(QWidget *parent, const QString &path);
