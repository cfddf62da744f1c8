#pragma once

#include <QString>
#include <QStringList>

// The language of the windows. The texts in the code are the Chinese ones ("zh"); English
// ("en") is a translation loaded over them. Files, the radio and the command line keep the
// Chinese texts whatever the windows show.
QStringList Languages();
// Loads the translation of `code` into the application, in place of the one before; false
// (and no change) for a code that is not one of Languages().
bool InstallLanguage(const QString &code);
QString CurrentLanguage();

// The language chosen in the menu, which the next start uses; "zh" when none was chosen.
QString SavedLanguage();
void SaveLanguage(const QString &code);
