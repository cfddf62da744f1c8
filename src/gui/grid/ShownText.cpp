#include "grid/ShownText.h"

#include <QCoreApplication>

QString ShownText(const QString &stored)
{
    if (stored.isEmpty())
        return stored;
    const QString shown = QCoreApplication::translate(kShownTextContext, stored.toUtf8().constData());
    if (shown != stored)
        return shown;
    // A numbered caption ("解码3"): the caption translated, the number kept.
    qsizetype digits = stored.size();
    while (digits > 0 && stored.at(digits - 1).isDigit())
        --digits;
    if (digits == 0 || digits == stored.size())
        return shown;
    const QString caption = stored.left(digits);
    const QString translated = QCoreApplication::translate(kShownTextContext, caption.toUtf8().constData());
    return translated == caption ? stored : translated + QLatin1Char(' ') + stored.mid(digits);
}

QStringList ShownTexts(const QStringList &stored)
{
    QStringList shown;
    shown.reserve(stored.size());
    for (const QString &text : stored)
        shown << ShownText(text);
    return shown;
}

QString StoredText(const QString &shown, const QStringList &stored)
{
    for (const QString &text : stored) {
        if (ShownText(text) == shown)
            return text;
    }
    return shown;
}
