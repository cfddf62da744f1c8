#include "grid/GridClipboard.h"

#include <QRegularExpression>

QString CellsToClipboardText(const QList<QStringList> &rows)
{
    QStringList lines;
    for (const QStringList &cells : rows)
        lines << cells.join(QLatin1Char('\t'));
    return lines.join(QLatin1Char('\n'));
}

QList<QStringList> CellsFromClipboardText(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(lineBreak);
    if (lines.size() > 1 && lines.constLast().isEmpty())
        lines.removeLast();
    QList<QStringList> rows;
    if (text.isEmpty())
        return rows;
    for (const QString &line : std::as_const(lines))
        rows << line.split(QLatin1Char('\t'));
    return rows;
}
