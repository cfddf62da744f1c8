#pragma once

#include <QString>

class QFileDialog;

// The folder each kind of file was last opened from or saved to, kept between runs in the
// application's settings.
QString RememberedFolder(const QString &kind);
void RememberFolder(const QString &kind, const QString &file);

// Runs a file dialog, and gives the keyboard back to the window it was opened over.
int ExecFileDialogAlone(QFileDialog &dialog);
// Runs a file dialog from the folder last used for `kind` (or on `file` when given); the chosen
// file, or empty when the dialog was cancelled. A chosen file's folder is remembered.
QString ExecFileDialog(QFileDialog &dialog, const QString &kind, const QString &file = {});
