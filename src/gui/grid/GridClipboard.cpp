#include "grid/GridClipboard.h"

QString CellsToClipboardText(const QList<QStringList> &rows)
{
    QStringList lines;
    for (const QStringList &cells : rows)
        lines << cells.join(QLatin1Char('\t'));
    QString text = lines.join(QLatin1Char('\n'));
    // A last row of one empty cell would read back as no row at all.
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        text += QLatin1Char('\n');
    return text;
}

namespace {

// The end of the line that starts at `from`: the index of its line break, or the text's size.
qsizetype LineEnd(QStringView text, qsizetype from)
{
    while (from < text.size() && text[from] != QLatin1Char('\n') && text[from] != QLatin1Char('\r'))
        ++from;
    return from;
}

// Where the next line starts after the line break at `end`.
qsizetype NextLine(QStringView text, qsizetype end)
{
    const bool crlf = text[end] == QLatin1Char('\r') && end + 1 < text.size() && text[end + 1] == QLatin1Char('\n');
    return end + (crlf ? 2 : 1);
}

}  // namespace

TClipboardCells CellsFromClipboardText(const QString &text, int maxRows, int maxCols)
{
    TClipboardCells cells;
    if (text.isEmpty())
        return cells;
    QStringView body(text);
    if (body.endsWith(u"\r\n"))
        body.chop(2);
    else if (body.endsWith(QLatin1Char('\n')) || body.endsWith(QLatin1Char('\r')))
        body.chop(1);
    qsizetype start = 0;
    for (int row = 0;; ++row) {
        const qsizetype end = LineEnd(body, start);
        const QStringView line = body.mid(start, end - start);
        if (row < maxRows) {
            QStringList fields;
            for (const QStringView field : line.tokenize(QLatin1Char('\t'))) {
                // No spreadsheet copies a NUL: what follows one in a cell is none of its text.
                if (fields.size() < maxCols)
                    fields << field.left(field.indexOf(QChar(0)) < 0 ? field.size() : field.indexOf(QChar(0))).toString();
                else
                    ++cells.beyond;
            }
            cells.rows << fields;
        } else {
            cells.beyond += line.count(QLatin1Char('\t')) + 1;
        }
        if (end == body.size())
            break;
        start = NextLine(body, end);
    }
    return cells;
}

bool HoldsSeveralCells(const QString &text)
{
    const TClipboardCells cells = CellsFromClipboardText(text, 2, 2);
    return cells.rows.size() > 1 || (!cells.rows.isEmpty() && cells.rows.first().size() > 1);
}
