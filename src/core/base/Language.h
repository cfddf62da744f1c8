#pragma once

#include <QString>

// The language of a text made for people. Most texts go through Qt's translation of the
// windows; this is for core texts that the command line prints in English whatever the windows
// show, so both wordings live side by side in the core.
enum class TLanguage { English, Chinese };

// The language of a windows' language code: "en" English, anything else Chinese.
inline TLanguage LanguageOf(const QString &code)
{
    return code == QLatin1String("en") ? TLanguage::English : TLanguage::Chinese;
}

// The text of the language: both wordings are UTF-8 literals.
inline QString InLanguage(TLanguage language, const char *english, const char *chinese)
{
    return QString::fromUtf8(language == TLanguage::Chinese ? chinese : english);
}
