// Placeholder lookup (defaults only) until the language file reader lands.
#include "platform/TextLookup.h"

namespace {
QString g_languageFile;
}

void SetLanguageFilePath(const QString& path) { g_languageFile = path; }
QString LanguageFilePath() { return g_languageFile; }

QString LoadText(const TextKey& text, int capacity)
{
    return QString::fromUtf8(text.def).left(capacity > 0 ? capacity - 1 : 0);
}
