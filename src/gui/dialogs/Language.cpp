#include "dialogs/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

namespace {

const QString kChinese = QStringLiteral("zh");
const QString kKey = QStringLiteral("language");

QTranslator *&Installed()
{
    static QTranslator *translator = nullptr;
    return translator;
}

QTranslator *&InstalledQt()
{
    static QTranslator *translator = nullptr;
    return translator;
}

// Qt's own words (the buttons of message boxes, the file dialogs) come from Qt's translations
// where they are installed (Debian: qt6-translations-l10n); without them they stay English.
// Qt's own source language is English, so only Chinese needs one.
void InstallQtTexts(const QString &code)
{
    if (QTranslator *old = InstalledQt()) {
        QCoreApplication::removeTranslator(old);
        delete old;
        InstalledQt() = nullptr;
    }
    if (code != kChinese)
        return;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        InstalledQt() = translator;
    } else {
        delete translator;
    }
}

QString &Current()
{
    static QString code = kChinese;
    return code;
}

}  // namespace

QStringList Languages()
{
    return {kChinese, QStringLiteral("en")};
}

bool InstallLanguage(const QString &code)
{
    if (!Languages().contains(code))
        return false;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (code != kChinese && !translator->load(QStringLiteral(":/i18n/xiepin_%1.qm").arg(code))) {
        delete translator;
        return false;
    }
    if (QTranslator *old = Installed()) {
        QCoreApplication::removeTranslator(old);
        delete old;
    }
    Installed() = nullptr;
    if (code != kChinese) {
        QCoreApplication::installTranslator(translator);
        Installed() = translator;
    } else {
        delete translator;
    }
    InstallQtTexts(code);
    Current() = code;
    return true;
}

QString CurrentLanguage()
{
    return Current();
}

QString SavedLanguage()
{
    const QString code = QSettings().value(kKey, kChinese).toString();
    return Languages().contains(code) ? code : kChinese;
}

void SaveLanguage(const QString &code)
{
    QSettings().setValue(kKey, code);
}
