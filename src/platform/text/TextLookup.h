#pragma once
// Localized text lookup: every user-visible text is fetched by key from section
// "DoDedazez" of the current language file, with an English default built in.
#include <QString>

struct TextKey {
    const char* key;
    const char* def; // English default at this place
};

// Capacity of the usual text buffer, in characters (terminator included).
inline constexpr int kTextCapacity = 256;

// Value of the key in the current language file, or the default when the file, the
// section or the key is missing; cut to capacity - 1 characters. A key present with
// an empty value gives an empty text.
QString LoadText(const TextKey& text, int capacity = kTextCapacity);

// Current language file (absolute path); empty means "no file": every lookup
// returns its default.
void SetLanguageFilePath(const QString& path);
QString LanguageFilePath();
