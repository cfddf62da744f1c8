#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Cells on the clipboard as spreadsheets exchange them: one line per row, the cells of a row
// separated by tabs. No quoting: the tables' texts hold neither tabs nor line breaks.

// Rows joined by "\n", without a line break after the last unless it is one empty cell: what
// CellsFromClipboardText reads back as the same rows.
QString CellsToClipboardText(const QList<QStringList> &rows);

// What a paste can reach of a clipboard text: the cells of its first maxRows rows and maxCols
// columns, and a count of the cells beyond them.
struct TClipboardCells {
    QList<QStringList> rows;
    qsizetype beyond = 0;
};
// Lines end in "\r\n", "\n" or "\r"; one line break at the end of the text (as spreadsheets
// leave it) does not start another row. An empty text has no rows. Cells beyond are counted
// without being split out: whole spreadsheet columns copied are a million lines.
TClipboardCells CellsFromClipboardText(const QString &text, int maxRows, int maxCols);

// True when the text is more than one cell: a tab, or a line break before its last line end.
bool HoldsSeveralCells(const QString &text);
