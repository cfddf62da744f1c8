#pragma once

#include <QString>

// Writes text to stdout at once. A write that fails (a full disk, a closed pipe) throws
// ECliError, so that a command whose output was lost does not exit 0.
void PrintOut(const QString &text);
