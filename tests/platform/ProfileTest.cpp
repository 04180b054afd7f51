// Profile reading with the platform's rules, the structure encoding and the two
// font files built on it.
#include "common/TestSupport.h"
#include "platform/files/LogFont.h"
#include "platform/files/PrivateProfile.h"

#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

TEST(ProfileData, FindsSectionsAndKeysLikeThePlatform)
{
    const ProfileData p(QStringLiteral("top=ignored\n"
                                       "  [ DoDedazez ]  \n"
                                       "  Open  =  Open...  \n"
                                       "Empty=\n"
                                       "Quoted=\"  padded  \"\n"
                                       "NoEquals\n"
                                       "Open=second wins not\n"
                                       "Eq=a=b\n"
                                       "[other]\nOpen=other\n"));
    EXPECT_EQ(ProfileString(p, "dodedazez", "OPEN", "def", 256), "Open...");
    EXPECT_EQ(ProfileString(p, "DoDedazez", "Empty", "def", 256), ""); // present but empty: no default
    EXPECT_EQ(ProfileString(p, "DoDedazez", "Quoted", "def", 256), "  padded  ");
    EXPECT_EQ(ProfileString(p, "DoDedazez", "NoEquals", "def", 256), "def");
    EXPECT_EQ(ProfileString(p, "DoDedazez", "Eq", "def", 256), "a=b");
    EXPECT_EQ(ProfileString(p, "DoDedazez", "top", "def", 256), "def");
    EXPECT_EQ(ProfileString(p, "missing", "Open", "def", 256), "def");
    EXPECT_EQ(ProfileString(p, "other", "Open", "def", 256), "other");
}

TEST(ProfileData, CutsToTheCallersCapacity)
{
    const ProfileData p(QStringLiteral("[s]\nk=abcdef\nnul=ab") + QChar(0) + QStringLiteral("cd\n") +
                        QStringLiteral("pair=a") + QString::fromUtf8("\xF0\x9F\x98\x80") + "\n");
    EXPECT_EQ(ProfileString(p, "s", "k", "", 4), "abc");
    EXPECT_EQ(ProfileString(p, "s", "k", "", 1), "");
    EXPECT_EQ(ProfileString(p, "s", "k", "", 0), "");
    EXPECT_EQ(ProfileString(p, "s", "missing", "defaulttext", 5), "defa"); // defaults are cut too
    EXPECT_EQ(ProfileString(p, "s", "nul", "", 256), "ab");
    EXPECT_EQ(ProfileString(p, "s", "pair", "", 3), "a"); // never half a surrogate pair
}

TEST(ProfileStruct, EncodesHexWithChecksumAndRejectsDamage)
{
    const unsigned char bytes[] = {0x00, 0xAB, 0xFF, 0x10};
    const QString text = EncodeProfileStruct(bytes, 4);
    EXPECT_EQ(text, "00ABFF10BA"); // checksum 0xAB + 0xFF + 0x10 = 0x1BA -> BA
    unsigned char out[4] = {};
    ASSERT_TRUE(DecodeProfileStruct(text.toLower(), out, 4));
    EXPECT_EQ(memcmp(out, bytes, 4), 0);

    unsigned char untouched[4] = {1, 2, 3, 4};
    for (const char* bad : {"00ABFF10BB", "00ABFF10B", "00ABFF10BA00", "00ABFG10BA", "", "00 BFF10BA"}) {
        EXPECT_FALSE(DecodeProfileStruct(QString::fromLatin1(bad), untouched, 4)) << bad;
        EXPECT_EQ(untouched[0], 1);
    }
}

class FontFileTest : public ::testing::Test {
protected:
    QString Path() const { return m_dir.filePath("Measurefont.ini"); }
    static LogFontRecord Sample()
    {
        LogFontRecord f;
        f.height = -20;
        f.weight = 700;
        f.italic = 1;
        f.charSet = 134;
        f.pitchAndFamily = 50;
        const char16_t face[] = u"Arial";
        std::memcpy(f.faceName, face, sizeof face);
        return f;
    }
    QTemporaryDir m_dir;
};

TEST_F(FontFileTest, RoundTripsAndKeepsOtherEntries)
{
    ASSERT_TRUE(WriteFile(Path(), "; note\n[font]\nLOGFONT=stale\nother=1\n[Keep]\nk=v\n"));
    ASSERT_EQ(WriteFontFile(Path(), Sample()), 1);
    ASSERT_EQ(WriteFontFile(Path(), Sample()), 1); // rewriting replaces, never duplicates
    const QByteArray text = ReadFile(Path());
    EXPECT_EQ(text.count("LOGFONT="), 1);
    EXPECT_TRUE(text.contains("; note\n[font]\nLOGFONT=ECFFFFFF")) << text.constData();
    EXPECT_TRUE(text.contains("other=1\n[Keep]\nk=v\n"));

    LogFontRecord read;
    ASSERT_EQ(ReadFontFile(Path(), read), 1);
    const LogFontRecord expected = Sample();
    EXPECT_EQ(memcmp(&read, &expected, sizeof read), 0);
}

TEST_F(FontFileTest, MissingOrDamagedFileFailsWithAZeroedRecord)
{
    const LogFontRecord zero{};
    LogFontRecord read = Sample();
    EXPECT_EQ(ReadFontFile(Path(), read), 0);
    EXPECT_EQ(memcmp(&read, &zero, sizeof read), 0);

    ASSERT_EQ(WriteFontFile(Path(), Sample()), 1);
    QByteArray text = ReadFile(Path());
    const qsizetype at = text.indexOf("LOGFONT=") + 8;
    static const char kBinary[] = "\0[FONT]\0\nLOGFONT\0=\xFF\xFE";
    for (const QByteArray& damaged :
         {QByteArray(text).replace(at, 2, "ED"), QByteArray(text).remove(at, 2),
          QByteArray(text).replace(at, 1, "x"), QByteArray("[FONT]\n"),
          "[FONT]\rLOGFONT=" + QByteArray(1 << 20, 'A') + "\r", QByteArray(kBinary, sizeof kBinary - 1)}) {
        ASSERT_TRUE(WriteFile(Path(), damaged));
        read = Sample();
        EXPECT_EQ(ReadFontFile(Path(), read), 0);
        EXPECT_EQ(memcmp(&read, &zero, sizeof read), 0);
    }
}

} // namespace
