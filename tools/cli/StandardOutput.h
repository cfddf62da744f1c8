#pragma once

#include <QString>

// The text with every control character but line feed and tab shown as "\xNN": a cell or a
// name from a file must not move the terminal's cursor, clear it or retitle its window.
QString TerminalText(const QString &text);

// Writes text, as TerminalText shows it, to stdout at once. A write that fails (a full disk, a closed pipe) throws
// ECliError, so that a command whose output was lost does not exit 0.
void PrintOut(const QString &text);
