// Language choice: files per language, the system language from the locale, the
// language menu's tick and what a language change stores.
#include "app/LanguageTable.h"

#include "app/SettingsStore.h"
#include "common/TestSupport.h"
#include "platform/files/ProgramFolder.h"
#include "platform/files/RegistryStore.h"
#include "platform/text/TextCatalogue.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace lang;

namespace {

class LanguageTableTest : public ::testing::Test {
protected:
    LanguageTableTest()
    {
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            m_saved.append(qgetenv(name));
            qunsetenv(name);
        }
        OverrideProgramFolders(m_home.sub("program"), m_home.sub("program"));
    }
    ~LanguageTableTest() override
    {
        const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
        for (int i = 0; i < 3; ++i) {
            qputenv(names[i], m_saved.at(i));
        }
        OverrideProgramFolders(QString(), QString());
        SetLanguageFilePath(QString());
        QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    }
    // A first start with the given locale: the pair and files the program starts with.
    LanguagePair FirstStart(const char* lang)
    {
        qputenv("LANG", lang);
        AppSettings::WriteFirstStartDefaults();
        AppSettings settings;
        settings.ReadLanID();
        settings.ReadSubLanIDD();
        const LanguagePair pair = StartupLanguage(settings);
        ChooseFiles(pair);
        return pair;
    }
    static QString FileName(const QString& path) { return path.section(u'/', -1); }

    testsupport::TempHome m_home;
    QList<QByteArray> m_saved;
};

TEST_F(LanguageTableTest, FilesFollowThePrimaryLanguage)
{
    EXPECT_EQ(LanguageFileName({4, 1}), "Chinese950.ini");
    EXPECT_EQ(LanguageFileName({4, 2}), "Chinese936.ini");
    EXPECT_EQ(LanguageFileName({4, 0}), "Chinese936.ini");
    EXPECT_EQ(LanguageFileName({25, 3}), "Russian1251.ini"); // only the primary id decides
    EXPECT_EQ(LanguageFileName({2, 0}), "Bulgarian442.ini");
    EXPECT_EQ(LanguageFileName({42, 0}), "Vietnamese1258.ini");
    EXPECT_EQ(LanguageFileName({9, 0}), "English1252.ini");
    EXPECT_EQ(LanguageFileName({0, 0}), "English1252.ini");
    EXPECT_EQ(LanguageFileName({14, 0}), "English1252.ini");
    EXPECT_EQ(HelpFileName({4, 1}), "Pelora-CN.html");
    EXPECT_EQ(HelpFileName({17, 0}), "Pelora-JP.html");
    EXPECT_EQ(HelpFileName({7, 0}), "Pelora-EN.html");
    EXPECT_EQ(HelpFileName({77, 0}), "Pelora-EN.html");
}

TEST_F(LanguageTableTest, SystemLanguageComesFromTheLocale)
{
    const struct {
        const char* locale;
        int primary;
    } cases[] = {{"de_DE.UTF-8", 7}, {"zh_TW.UTF-8", 4},
                 {"zh_CN", 4},       {"pt_BR.UTF-8@x", 22},
                 {"nb_NO", 20},      {"he_IL", 13},
                 {"vi_VN", 42},      {"ar_EG", 1},
                 {"bg_BG", 2},       {"th_TH", 30},
                 {"C", 9},           {"C.UTF-8", 9},
                 {"POSIX", 9},       {"", 9},
                 {"xx_YY", 0}};
    for (const auto& c : cases) {
        qputenv("LANG", c.locale);
        EXPECT_EQ(SystemPrimaryLanguageId(), c.primary) << c.locale;
    }
    qputenv("LANG", "de_DE");
    qputenv("LC_MESSAGES", "ja_JP");
    EXPECT_EQ(SystemPrimaryLanguageId(), 17);
    qputenv("LC_ALL", "it_IT");
    EXPECT_EQ(SystemPrimaryLanguageId(), 16);
}

TEST_F(LanguageTableTest, GermanSystemStartsInGermanWithGermanTicked)
{
    const LanguagePair pair = FirstStart("de_DE.UTF-8");
    EXPECT_EQ(pair, (LanguagePair{7, 0}));
    EXPECT_EQ(FileName(LanguageFilePath()), "German1252.ini");
    EXPECT_EQ(FileName(HelpFilePath()), "Pelora-EN.html");
    EXPECT_EQ(CheckedLanguageCommand(pair), 32828);
    EXPECT_EQ(LoadText(FindLanguageMenuItem(32828)->text), "German(German)"); // no language files: defaults
}

TEST_F(LanguageTableTest, TaiwanSystemStartsInSimplifiedChineseWithNothingTicked)
{
    const LanguagePair pair = FirstStart("zh_TW.UTF-8");
    EXPECT_EQ(pair, (LanguagePair{4, 0}));
    EXPECT_EQ(FileName(LanguageFilePath()), "Chinese936.ini");
    EXPECT_EQ(FileName(HelpFilePath()), "Pelora-CN.html");
    EXPECT_EQ(CheckedLanguageCommand(pair), 0);
}

TEST_F(LanguageTableTest, ChoosingItalianStoresItForTheNextStart)
{
    FirstStart("de_DE.UTF-8");
    AppSettings settings;
    LanguagePair current{7, 0};
    EXPECT_FALSE(ApplyLanguageItem(1005, settings, current));
    ASSERT_TRUE(ApplyLanguageItem(32841, settings, current));
    EXPECT_EQ(current, (LanguagePair{16, 0}));
    EXPECT_EQ(CheckedLanguageCommand(current), 32841);
    EXPECT_EQ(FileName(LanguageFilePath()), "Italian1252.ini");
    uint32_t lanId = 0, subLanId = 99;
    ASSERT_TRUE(registry::ReadDword(kSettingsKey, kLanguageSubkey, "LanID", lanId));
    ASSERT_TRUE(registry::ReadDword(kSettingsKey, kLanguageSubkey, "SubLanIDD", subLanId));
    EXPECT_EQ(lanId, 16u);
    EXPECT_EQ(subLanId, 0u);

    SetLanguageFilePath(QString());
    EXPECT_EQ(FirstStart("de_DE.UTF-8"), (LanguagePair{16, 0}));
    EXPECT_EQ(FileName(LanguageFilePath()), "Italian1252.ini");
}

// Arabic and Hebrew menus and dialogs read from the right; leaving the language
// turns the whole program back.
TEST_F(LanguageTableTest, RightToLeftLanguagesTurnTheLayout)
{
    FirstStart("he_IL.UTF-8");
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::RightToLeft);
    QMenu menu;
    EXPECT_TRUE(menu.isRightToLeft());

    AppSettings settings;
    LanguagePair current{13, 0};
    ASSERT_TRUE(ApplyLanguageItem(32828, settings, current)); // German
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    EXPECT_FALSE(menu.isRightToLeft());

    ChooseFiles({1, 0}); // Arabic
    EXPECT_TRUE(menu.isRightToLeft());
    ChooseFiles({4, 1});
    EXPECT_FALSE(menu.isRightToLeft());
}

TEST_F(LanguageTableTest, EveryMenuItemTicksOnlyItself)
{
    QList<int> ids;
    for (const LanguageMenuItem& item : LanguageMenu()) {
        EXPECT_EQ(CheckedLanguageCommand(item.language), item.commandId) << item.text.key;
        EXPECT_FALSE(ids.contains(item.commandId));
        ids.append(item.commandId);
    }
    EXPECT_EQ(ids.size(), 13);
    EXPECT_EQ(FindLanguageMenuItem(388)->language, (LanguagePair{4, 2}));
    EXPECT_EQ(FindLanguageMenuItem(32829)->language, (LanguagePair{4, 1}));
    EXPECT_STREQ(FindLanguageMenuItem(32833)->text.def, "Bulgerian(Bulgeria)");
}

TEST_F(LanguageTableTest, LanguageItemsAlsoShowTheirOwnNames)
{
    // A user stuck in Japanese still finds English.
    QDir().mkpath(m_home.sub("program"));
    ASSERT_TRUE(
        QFile::copy(PELORA_SOURCE_DIR "/lang/Japanese932.ini", m_home.sub("program") + "/Japanese932.ini"));
    const LanguagePair japanese{17, 0};
    ChooseFiles(japanese);
    EXPECT_EQ(LanguageMenuText(*FindLanguageMenuItem(387), japanese), "英語 (English)");
    EXPECT_EQ(LanguageMenuText(*FindLanguageMenuItem(32825), japanese), "ロシア語(ロシア) (Русский)");
    EXPECT_EQ(LanguageMenuText(*FindLanguageMenuItem(32826), japanese), "日本語(日本)"); // already its own

    const LanguagePair english{9, 0};
    ChooseFiles(english);
    EXPECT_EQ(LanguageMenuText(*FindLanguageMenuItem(32826), english), "Japanese(Japanese) (日本語)");
    EXPECT_EQ(LanguageMenuText(*FindLanguageMenuItem(387), english), "English(English)");
}

TEST_F(LanguageTableTest, StandardButtonsSpeakTheChosenLanguage)
{
    auto yesNo = [] {
        QMessageBox box(QMessageBox::Warning, "Pelora", "?", QMessageBox::Yes | QMessageBox::No);
        return box.button(QMessageBox::Yes)->text() + u'|' + box.button(QMessageBox::No)->text();
    };
    ChooseFiles({17, 0});
    EXPECT_EQ(yesNo(), "はい(&Y)|いいえ(&N)");
    ChooseFiles({7, 0});
    EXPECT_EQ(yesNo(), "&Ja|&Nein");
    ChooseFiles({4, 1});
    EXPECT_EQ(LocaleNameOf({4, 1}), "zh_TW");
    EXPECT_NE(yesNo(), "&Yes|&No");
    ChooseFiles({9, 0});
    EXPECT_EQ(yesNo(), "&Yes|&No");
}

} // namespace
