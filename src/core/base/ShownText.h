#pragma once

#include <QString>
#include <QStringList>

// List entries, captions and labels are kept in Chinese (files, the radio codec and the command
// line compare them whole) and translated only where a person sees them: in the windows, and in
// the core's messages, which are built in the language of the translator installed (none in the
// command line, so Chinese there). Such texts are marked in their tables with QT_TRANSLATE_NOOP
// in this context.
inline constexpr char kShownTextContext[] = "Texts";

// The text as the user sees it in the current language; unchanged when it has no translation.
QString ShownText(const QString &stored);
// "对讲机写频软件" in the current language: the message boxes' title, the printed plan's.
QString ProgramName();
QStringList ShownTexts(const QStringList &stored);
// A label shown as the name of its field in a message: without its trailing colon.
QString ShownPlace(const QString &label);
// An entry of `list` as the user sees it: as ShownText, except that in a list of 有 and 无
// alone (a yes/no column) 无 is the answer "no", which English does not say as "none".
QString ShownEntry(const QString &stored, const QStringList &list);
QStringList ShownEntries(const QStringList &list);
// The kept text of an entry shown as `shown`: the entry of `stored` that shows so, otherwise
// `shown` itself (typed text, or the kept text typed in directly).
QString StoredText(const QString &shown, const QStringList &stored);
