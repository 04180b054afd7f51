#include "app/LanguageTable.h"

#include "app/AppTexts.h"
#include "app/QtTranslations.h"
#include "app/SettingsStore.h"
#include "platform/files/ProgramFolder.h"

#include <QByteArray>
#include <QGuiApplication>

namespace lang {
namespace {

struct LanguageFileEntry {
    int primary;
    const char* file;
    const char* help;
};

constexpr char kHelpEnglish[] = "Pelora-EN.html";
constexpr char kHelpChinese[] = "Pelora-CN.html";
constexpr char kHelpJapanese[] = "Pelora-JP.html";
constexpr char kEnglishFile[] = "English1252.ini";
constexpr char kChineseTraditionalFile[] = "Chinese950.ini";

// Chinese is the one language whose sub-language matters; it is handled apart.
constexpr LanguageFileEntry kLanguageFiles[] = {
    {1, "Arabic1256.ini", kHelpEnglish},      {2, "Bulgarian442.ini", kHelpEnglish},
    {4, "Chinese936.ini", kHelpChinese},      {6, "Danish1252.ini", kHelpEnglish},
    {7, "German1252.ini", kHelpEnglish},      {10, "Spanish1252.ini", kHelpEnglish},
    {11, "Finnish1252.ini", kHelpEnglish},    {12, "French1252.ini", kHelpEnglish},
    {13, "Hebrew1255.ini", kHelpEnglish},     {16, "Italian1252.ini", kHelpEnglish},
    {17, "Japanese932.ini", kHelpJapanese},   {18, "Korean949.ini", kHelpEnglish},
    {19, "Dutch1252.ini", kHelpEnglish},      {20, "Norwegian1252.ini", kHelpEnglish},
    {21, "Polish1250.ini", kHelpEnglish},     {22, "Portuguese1252.ini", kHelpEnglish},
    {25, "Russian1251.ini", kHelpEnglish},    {29, "Swedish1252.ini", kHelpEnglish},
    {30, "Thai874.ini", kHelpEnglish},        {31, "Turkish1254.ini", kHelpEnglish},
    {42, "Vietnamese1258.ini", kHelpEnglish},
};

const LanguageFileEntry* FindFiles(int primary)
{
    for (const LanguageFileEntry& e : kLanguageFiles) {
        if (e.primary == primary) {
            return &e;
        }
    }
    return nullptr;
}

// Own names are the languages' names for themselves: never translated.
const LanguageMenuItem kLanguageMenu[] = {
    {387, txt::English, {9, 0}, "English"},
    {32825, txt::Russian, {25, 0}, "Русский"},
    {388, txt::Simplified, {4, 2}, "简体中文"},
    {32826, txt::Japanese, {17, 0}, "日本語"},
    {32827, txt::Korean, {18, 0}, "한국어"},
    {32828, txt::German, {7, 0}, "Deutsch"},
    {32829, txt::Traditional, {4, 1}, "繁體中文"},
    {32830, txt::Portuguese, {22, 0}, "Português"},
    {32831, txt::Thai, {30, 0}, "ไทย"},
    {32832, txt::Turkey, {31, 0}, "Türkçe"},
    {32833, txt::Bulgerian, {2, 0}, "Български"},
    {32834, txt::Spanish, {10, 0}, "Español"},
    {32841, txt::Italian, {16, 0}, "Italiano"},
};

// Locale language codes and the platform's primary language ids.
struct LocaleLanguage {
    const char* code;
    int primary;
};

constexpr LocaleLanguage kLocaleLanguages[] = {
    {"ar", 1},  {"bg", 2},  {"ca", 3},  {"zh", 4},  {"cs", 5},  {"da", 6},  {"de", 7},  {"el", 8},
    {"en", 9},  {"es", 10}, {"fi", 11}, {"fr", 12}, {"he", 13}, {"iw", 13}, {"hu", 14}, {"is", 15},
    {"it", 16}, {"ja", 17}, {"ko", 18}, {"nl", 19}, {"nb", 20}, {"nn", 20}, {"no", 20}, {"pl", 21},
    {"pt", 22}, {"ro", 24}, {"ru", 25}, {"hr", 26}, {"sk", 27}, {"sq", 28}, {"sv", 29}, {"th", 30},
    {"tr", 31}, {"ur", 32}, {"id", 33}, {"uk", 34}, {"be", 35}, {"sl", 36}, {"et", 37}, {"lv", 38},
    {"lt", 39}, {"fa", 41}, {"vi", 42},
};

constexpr char kLocaleEnglish[] = "en";
constexpr char kLocaleSimplified[] = "zh_CN";
constexpr char kLocaleTraditional[] = "zh_TW";

QString g_helpFile;

} // namespace

QString LanguageFileName(LanguagePair language)
{
    if (language.primary == kLangChinese && language.sub == kSubLangChineseTraditional) {
        return QString::fromLatin1(kChineseTraditionalFile);
    }
    const LanguageFileEntry* e = FindFiles(language.primary);
    return QString::fromLatin1(e ? e->file : kEnglishFile);
}

QString HelpFileName(LanguagePair language)
{
    const LanguageFileEntry* e = FindFiles(language.primary);
    return QString::fromLatin1(e ? e->help : kHelpEnglish);
}

Qt::LayoutDirection LayoutDirectionOf(LanguagePair language)
{
    const bool rightToLeft = language.primary == kLangArabic || language.primary == kLangHebrew;
    return rightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
}

QString LocaleNameOf(LanguagePair language)
{
    if (language.primary == kLangChinese) {
        return QString::fromLatin1(language.sub == kSubLangChineseTraditional ? kLocaleTraditional
                                                                              : kLocaleSimplified);
    }
    for (const LocaleLanguage& l : kLocaleLanguages) {
        if (l.primary == language.primary) {
            return QString::fromLatin1(l.code);
        }
    }
    return QString::fromLatin1(kLocaleEnglish);
}

void ChooseFiles(LanguagePair language)
{
    // The direction is ours to set: Qt's translations would set it only for the
    // languages it has them for.
    QGuiApplication::setLayoutDirection(LayoutDirectionOf(language));
    InstallQtTranslation(LocaleNameOf(language));
    const QString folder = ProgramFolder();
    SetLanguageFilePath(folder + u'/' + LanguageFileName(language));
    g_helpFile = folder + u'/' + HelpFileName(language);
}

QString HelpFilePath()
{
    return g_helpFile;
}

int SystemPrimaryLanguageId()
{
    QByteArray locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = qgetenv(name);
        if (!locale.isEmpty()) {
            break;
        }
    }
    // "de_DE.UTF-8@euro" -> "de"
    qsizetype end = 0;
    while (end < locale.size() && locale.at(end) >= 'a' && locale.at(end) <= 'z') {
        ++end;
    }
    const QByteArray code = locale.left(end);
    if (code.isEmpty() || locale == "C" || locale.startsWith("C.") || locale == "POSIX") {
        return kLangEnglish;
    }
    for (const LocaleLanguage& l : kLocaleLanguages) {
        if (code == l.code) {
            return l.primary;
        }
    }
    return 0;
}

LanguagePair StartupLanguage(const AppSettings& settings)
{
    if (settings.LanID != 0) {
        return {settings.LanID & 0xFFFF, settings.SubLanIDD & 0xFFFF};
    }
    return {SystemPrimaryLanguageId() & kPrimaryLanguageMask, 0};
}

std::span<const LanguageMenuItem> LanguageMenu()
{
    return kLanguageMenu;
}

QString LanguageMenuText(const LanguageMenuItem& item, LanguagePair current)
{
    const QString shown = LoadText(item.text);
    const QString own = QString::fromUtf8(item.ownName);
    if (item.language == current || shown.contains(own, Qt::CaseInsensitive)) {
        return shown;
    }
    return shown + QStringLiteral(" (") + own + u')';
}

const LanguageMenuItem* FindLanguageMenuItem(int commandId)
{
    for (const LanguageMenuItem& item : kLanguageMenu) {
        if (item.commandId == commandId) {
            return &item;
        }
    }
    return nullptr;
}

int CheckedLanguageCommand(LanguagePair current)
{
    for (const LanguageMenuItem& item : kLanguageMenu) {
        if (item.language == current) {
            return item.commandId;
        }
    }
    return 0;
}

bool ApplyLanguageItem(int commandId, AppSettings& settings, LanguagePair& current)
{
    const LanguageMenuItem* item = FindLanguageMenuItem(commandId);
    if (!item) {
        return false;
    }
    current = item->language;
    ChooseFiles(current);
    settings.LanID = current.primary;
    settings.SubLanIDD = current.sub;
    settings.WriteLanID();
    settings.WriteSubLanIDD();
    return true;
}

} // namespace lang
