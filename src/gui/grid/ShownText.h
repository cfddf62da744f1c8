#pragma once

#include <QString>
#include <QStringList>

// List entries, captions and labels are kept in Chinese (files, the radio codec and the command
// line compare them whole) and translated only where a person sees them. Such texts are marked
// in their tables with QT_TRANSLATE_NOOP in this context.
inline constexpr char kShownTextContext[] = "Texts";

// The text as the user sees it in the current language; unchanged when it has no translation.
QString ShownText(const QString &stored);
QStringList ShownTexts(const QStringList &stored);
// The kept text of an entry shown as `shown`: the entry of `stored` that shows so, otherwise
// `shown` itself (typed text, or the kept text typed in directly).
QString StoredText(const QString &shown, const QStringList &stored);
