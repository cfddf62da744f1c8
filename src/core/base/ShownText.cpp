#include "base/ShownText.h"

#include <QCoreApplication>
#include <QTranslator>

#include <algorithm>

QString ProgramName()
{
    return ShownText(QStringLiteral(QT_TRANSLATE_NOOP("Texts", "对讲机写频软件")));
}

QString ShownText(const QString &stored)
{
    if (stored.isEmpty())
        return stored;
    const QString shown = QCoreApplication::translate(kShownTextContext, stored.toUtf8().constData());
    if (shown != stored)
        return shown;
    qsizetype digits = stored.size();
    while (digits > 0 && stored.at(digits - 1).isDigit())
        --digits;
    if (digits == 0 || digits == stored.size())
        return shown;
    // A numbered caption ("解码3"): translated as "解码%1" where that has a translation of its
    // own (a narrow column), else as its caption with the number after it.
    const QString caption = stored.left(digits);
    const QString number = stored.mid(digits);
    const QString pattern = caption + QStringLiteral("%1");
    const QString numbered = QCoreApplication::translate(kShownTextContext, pattern.toUtf8().constData());
    if (numbered != pattern)
        return numbered.arg(number);
    const QString translated = QCoreApplication::translate(kShownTextContext, caption.toUtf8().constData());
    return translated == caption ? stored : translated + QLatin1Char(' ') + number;
}

QStringList ShownTexts(const QStringList &stored)
{
    QStringList shown;
    shown.reserve(stored.size());
    for (const QString &text : stored)
        shown << ShownText(text);
    return shown;
}

QString ShownPlace(const QString &label)
{
    QString place = ShownText(label);
    while (place.endsWith(QStringLiteral("：")) || place.endsWith(QLatin1Char(':')))
        place.chop(1);
    return place;
}

namespace {

const QString kYes = QStringLiteral("有");
const QString kNo = QStringLiteral("无");

bool IsYesNoList(const QStringList &list)
{
    return list.contains(kYes) && list.contains(kNo)
           && std::all_of(list.cbegin(), list.cend(), [](const QString &t) { return t == kYes || t == kNo; });
}

}  // namespace

QString ShownEntry(const QString &stored, const QStringList &list)
{
    if (stored == kNo && IsYesNoList(list))
        return QCoreApplication::translate("Texts", "无", "yes/no");
    return ShownText(stored);
}

QStringList ShownEntries(const QStringList &list)
{
    QStringList shown;
    shown.reserve(list.size());
    for (const QString &text : list)
        shown << ShownEntry(text, list);
    return shown;
}

namespace {

// The English translation, also while the windows show Chinese: cells copied from a window in
// English paste into one in Chinese. Only a program that carries it (the windows, not the
// command line) has it.
const QTranslator *English()
{
    static const QTranslator *english = [] {
        auto *translator = new QTranslator(QCoreApplication::instance());
        return translator->load(QStringLiteral(":/i18n/xiepin_en.qm")) ? translator : nullptr;
    }();
    return english;
}

bool ShownInEnglish(const QString &stored, const QStringList &list, const QString &shown)
{
    const QTranslator *english = English();
    if (!english || shown.isEmpty())
        return false;
    // An entry without a translation of its own gives an empty text here.
    const QByteArray source = stored.toUtf8();
    return english->translate(kShownTextContext, source.constData()) == shown
        || (stored == kNo && IsYesNoList(list) && english->translate(kShownTextContext, source.constData(), "yes/no") == shown);
}

}  // namespace

// An entry is also taken as ShownText shows it alone ("None" for 无 in a yes/no column).
QString StoredText(const QString &shown, const QStringList &stored)
{
    for (const QString &text : stored) {
        if (ShownEntry(text, stored) == shown || ShownText(text) == shown)
            return text;
    }
    for (const QString &text : stored) {
        if (ShownInEnglish(text, stored, shown))
            return text;
    }
    return shown;
}
