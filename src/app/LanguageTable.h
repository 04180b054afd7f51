#pragma once
// Which language and help files belong to a language, the system's default
// language, and the language menu (its items and which one is ticked).
#include "platform/text/TextLookup.h"

#include <QString>
#include <Qt>
#include <span>

struct AppSettings;

namespace lang {

// Primary and sub-language id, as stored in "LanID" and "SubLanIDD".
struct LanguagePair {
    int primary = 0;
    int sub = 0;
    friend bool operator==(const LanguagePair&, const LanguagePair&) = default;
};

inline constexpr int kLangArabic = 1;
inline constexpr int kLangEnglish = 9;
inline constexpr int kLangHebrew = 13;
inline constexpr int kLangChinese = 4;
inline constexpr int kSubLangChineseTraditional = 1;
// Only the low bits of a language id name the primary language.
inline constexpr int kPrimaryLanguageMask = 0x3FF;

// File names (no folder) of the language and help files for a language.
QString LanguageFileName(LanguagePair language);
QString HelpFileName(LanguagePair language);

// Arabic and Hebrew are written from right to left; every other language file
// reads left to right.
Qt::LayoutDirection LayoutDirectionOf(LanguagePair language);

// The locale name of a language ("ja", "zh_TW"); English for one we do not know.
QString LocaleNameOf(LanguagePair language);

// Makes the language current: the text lookup reads its language file from the
// program folder from now on, HelpFilePath() names its manual, Qt's own texts
// (standard buttons) are in that language where Qt has them, and the
// application's layout direction (menus, dialogs) follows the language.
void ChooseFiles(LanguagePair language);
QString HelpFilePath();

// Primary language id of the system's language, from LC_ALL, LC_MESSAGES or LANG
// (the first that is set); English for the C locale, 0 for a language we do not know.
int SystemPrimaryLanguageId();

// The language at start-up: the stored pair when "LanID" is non-zero, else the
// system's language with sub-language 0.
LanguagePair StartupLanguage(const AppSettings& settings);

struct LanguageMenuItem {
    int commandId;
    TextKey text;
    LanguagePair language;
    const char* ownName; // the language's name in itself, UTF-8
};

// An item's text: its name in the current language, followed by its own name
// when that differs ("英語 (English)"), so every language can be found whatever
// language is shown.
QString LanguageMenuText(const LanguageMenuItem& item, LanguagePair current);

// Items of the "Change language" submenu, in menu order.
std::span<const LanguageMenuItem> LanguageMenu();
const LanguageMenuItem* FindLanguageMenuItem(int commandId);
// Command id of the item to tick: the one whose pair equals `current` exactly;
// 0 when none does (a Chinese system language with sub-language 0, say).
int CheckedLanguageCommand(LanguagePair current);

// A language item was chosen: makes its pair current (files included) and stores
// "LanID" and "SubLanIDD". Returns false when `commandId` is no language item.
// The caller rebuilds its menus and tooltips afterwards.
bool ApplyLanguageItem(int commandId, AppSettings& settings, LanguagePair& current);

} // namespace lang
