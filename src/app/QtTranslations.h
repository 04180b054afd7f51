#pragma once
// Qt's own translations (standard buttons such as Yes, No, OK and Cancel, and Qt's
// dialogs) for the program's language, from the system's Qt translation package.
#include <QString>

// Installs Qt's translation for the locale `localeName` ("ja", "zh_TW"), replacing
// the one installed before; English (or a language Qt has none for) removes it.
// True when a translation is installed afterwards.
bool InstallQtTranslation(const QString& localeName);
