#include "dialogs/Language.h"

#include <QCoreApplication>
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
