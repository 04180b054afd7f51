// Language files: decoding by the code page in the name, and the text lookup on
// top of it.
#include "common/TestSupport.h"
#include "platform/text/CodePage.h"
#include "platform/text/TextLookup.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testsupport::WriteFile;

namespace {

const QString kReplacement(QChar(0xFFFD));

TEST(CodePage, ComesFromTheFileName)
{
    EXPECT_EQ(CodePageFromFileName("/opt/x/Russian1251.ini"), 1251);
    EXPECT_EQ(CodePageFromFileName("Chinese936.ini"), 936);
    EXPECT_EQ(CodePageFromFileName("Bulgarian442.ini"), 442);
    EXPECT_EQ(CodePageFromFileName("/dir1252/plain.ini"), 0);
    EXPECT_FALSE(IsKnownCodePage(442));
    EXPECT_TRUE(IsKnownCodePage(949));
}

TEST(CodePage, DecodesTheLanguageFileEncodings)
{
    EXPECT_EQ(DecodeText("\xCF\xF0\xE8\xE2\xE5\xF2", 1251), QString::fromUtf8("Привет"));
    EXPECT_EQ(DecodeText("\xD6\xD0\xCE\xC4", 936), QString::fromUtf8("中文"));
    EXPECT_EQ(DecodeText("\xA4\xA4\xA4\xE5", 950), QString::fromUtf8("中文"));
    EXPECT_EQ(DecodeText("\x93\xFA\x96\x7B", 932), QString::fromUtf8("日本"));
    EXPECT_EQ(DecodeText("\xC7\xD1\xB1\xB9", 949), QString::fromUtf8("한국"));
    EXPECT_EQ(DecodeText("\xA1", 874), QString::fromUtf8("ก"));
    EXPECT_EQ(DecodeText("\xB9\xEA", 1250), QString::fromUtf8("ąę"));
    EXPECT_EQ(DecodeText("caf\xE9 \x80", 1252), QString::fromUtf8("café €"));
}

TEST(CodePage, ByteOrderMarkWinsAndUnknownCodePagesReadAsUtf8)
{
    EXPECT_EQ(DecodeText("\xEF\xBB\xBF\xD0\x9F", 936), QString::fromUtf8("П"));
    EXPECT_EQ(DecodeText(QByteArray("\xFF\xFE\x1F\x04", 4), 1252), QString::fromUtf8("П"));
    EXPECT_EQ(DecodeText(QByteArray("\xFE\xFF\x04\x1F", 4), 1252), QString::fromUtf8("П"));
    EXPECT_EQ(DecodeText("\xD0\x9F", 442), QString::fromUtf8("П"));
}

TEST(CodePage, InvalidSequencesAreReplacedNotFatal)
{
    EXPECT_EQ(DecodeText("a\x81\x20"
                         "b",
                         932)
                  .left(1),
              "a");                                          // invalid lead/trail
    EXPECT_TRUE(DecodeText("ok\xD6", 936).startsWith("ok")); // cut in the middle of a character
    EXPECT_TRUE(DecodeText("ok\xD6", 936).endsWith(kReplacement));
    EXPECT_EQ(DecodeText("\xFF", 0), kReplacement);
    EXPECT_EQ(DecodeText(QByteArray("\xFF\xFE\x41", 3), 0).right(1), kReplacement); // odd UTF-16 length
    QByteArray garbage;
    for (int i = 0; i < 200000; ++i) {
        garbage += char((i * 7919) % 256);
    }
    for (const int cp : {932, 936, 949, 950, 1258, 0}) {
        EXPECT_FALSE(DecodeText(garbage, cp).isEmpty());
    }
}

class TextLookupTest : public ::testing::Test {
protected:
    ~TextLookupTest() override { SetLanguageFilePath(QString()); }
    QString Use(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(WriteFile(path, bytes));
        SetLanguageFilePath(path);
        return path;
    }
    QTemporaryDir m_dir;
};

const TextKey kOpen{"Open", "Open..."};
const TextKey kMissing{"NoSuchKey", "Built-in default"};

TEST_F(TextLookupTest, ReadsTheLanguageFileInItsCodePage)
{
    Use("Russian1251.ini", "[DoDedazez]\r\nOpen=\xCE\xF2\xEA\xF0\xFB\xF2\xFC...\r\nEmpty=\r\n");
    EXPECT_EQ(LoadText(kOpen), QString::fromUtf8("Открыть..."));
    EXPECT_EQ(LoadText(kMissing), "Built-in default");
    EXPECT_EQ(LoadText(TextKey{"Empty", "x"}), "");
    EXPECT_EQ(LoadText(kOpen, 4), QString::fromUtf8("Отк"));

    Use("Chinese936.ini", "[dodedazez]\nopen=\xB4\xF2\xBF\xAA\n");
    EXPECT_EQ(LoadText(kOpen), QString::fromUtf8("打开"));
}

TEST_F(TextLookupTest, MissingFileOrSectionGivesTheDefaults)
{
    SetLanguageFilePath(m_dir.filePath("German1252.ini"));
    EXPECT_EQ(LoadText(kOpen), "Open...");
    EXPECT_EQ(LoadText(kMissing, 9), "Built-in");
    Use("English1252.ini", "[Other]\nOpen=x\n");
    EXPECT_EQ(LoadText(kOpen), "Open...");
    SetLanguageFilePath(QString());
    EXPECT_EQ(LoadText(kOpen), "Open...");
}

TEST_F(TextLookupTest, RereadsAFileThatChanged)
{
    const QString path = Use("English1252.ini", "[DoDedazez]\nOpen=First\n");
    EXPECT_EQ(LoadText(kOpen), "First");
    ASSERT_TRUE(WriteFile(path, "[DoDedazez]\nOpen=Second one\n"));
    EXPECT_EQ(LoadText(kOpen), "Second one");
    QFile::remove(path);
    EXPECT_EQ(LoadText(kOpen), "Open...");
}

TEST_F(TextLookupTest, HostileLanguageFilesGiveSaneTexts)
{
    QByteArray bytes = "[DoDedazez]\rOpen=" + QByteArray(1 << 20, 'y') + "\r";
    static const char kBinary[] = "\0\0\x81\x81=\x80\n[\0";
    bytes += QByteArray(kBinary, sizeof kBinary - 1);
    Use("Japanese932.ini", bytes);
    EXPECT_EQ(LoadText(kOpen).size(), 255);
    EXPECT_EQ(LoadText(kMissing), "Built-in default");
}

} // namespace
