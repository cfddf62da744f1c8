#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Cells on the clipboard as spreadsheets exchange them: one line per row, the cells of a row
// separated by tabs. No quoting: the tables' texts hold neither tabs nor line breaks.

// Rows joined by "\n", without a line break after the last.
QString CellsToClipboardText(const QList<QStringList> &rows);
// Lines end in "\r\n", "\n" or "\r"; one line break at the end of the text (as spreadsheets
// leave it) does not start another row. An empty text has no rows.
QList<QStringList> CellsFromClipboardText(const QString &text);
