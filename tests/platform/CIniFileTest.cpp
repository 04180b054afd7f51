// CIniFile: loose section/key matching, in-memory edits and the write-back on
// destruction.
#include "platform/files/CIniFile.h"

#include "common/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

class CIniFileTest : public ::testing::Test {
protected:
    QString Path() const { return m_dir.filePath("CalibrationIni.ini"); }
    QString Get(CIniFile& ini, const QString& section, const QString& key)
    {
        QString value = QStringLiteral("<none>");
        return ini.GetValue(section, key, value) ? value : QStringLiteral("<none>");
    }
    QTemporaryDir m_dir;
};

TEST_F(CIniFileTest, FindsKeysByLooseRules)
{
    ASSERT_TRUE(WriteFile(Path(), "[60]\n160=2.5\n[Other]\n  //x=1.0\nx=a=b=c\n[200]\n200=212.0\n"));
    CIniFile ini;
    ASSERT_EQ(ini.Load(Path()), 1);
    EXPECT_EQ(Get(ini, "60", "60"), "2.5");     // the key is a substring of "160"
    EXPECT_EQ(Get(ini, "other", "x"), "a=b=c"); // section ignores case; value whole from its first '='
    EXPECT_EQ(Get(ini, "  [200]  ", "200"), "<none>");
    EXPECT_EQ(Get(ini, "200", "200"), "212.0");
    EXPECT_EQ(Get(ini, "60", "200"), "<none>"); // the next header ends the section
    EXPECT_EQ(Get(ini, "missing", "60"), "<none>");
}

TEST_F(CIniFileTest, CommentLinesAreNeverTaken)
{
    ASSERT_TRUE(WriteFile(Path(), "[60]\n//60=1.0\n   // 60=9\n60=57.3\n"));
    CIniFile ini;
    ASSERT_EQ(ini.Load(Path()), 1);
    EXPECT_EQ(Get(ini, "60", "60"), "57.3");
    ASSERT_EQ(ini.SetValue("60", "60", "58.0"), 1);
    EXPECT_EQ(Get(ini, "60", "60"), "58.0");
}

TEST_F(CIniFileTest, SetValueReplacesInsertsOrAppends)
{
    ASSERT_TRUE(WriteFile(Path(), "[60]\n60=57.3\n[80]\n[100]\n"));
    {
        CIniFile ini;
        ASSERT_EQ(ini.Load(Path()), 1);
        EXPECT_EQ(ini.SetValue("60", "60", "57.9"), 1);    // replaced: calibrating twice adds nothing
        EXPECT_EQ(ini.SetValue("80", "80", "81.0"), 1);    // inserted before the next header
        EXPECT_EQ(ini.SetValue("100", "100", "99.5"), 1);  // appended at the end of the file
        EXPECT_EQ(ini.SetValue("200", "200", "212.0"), 1); // new section
    }
    EXPECT_EQ(ReadFile(Path()), "[60]\n60=57.9\n[80]\n80=81.0\n[100]\n100=99.5\n[200]\n200=212.0\n");
}

TEST_F(CIniFileTest, HeaderContainingTheKeyIsNeverOverwritten)
{
    ASSERT_TRUE(WriteFile(Path(), "[60]\n[160]\n160=2.5\n"));
    {
        CIniFile ini;
        ASSERT_EQ(ini.Load(Path()), 1);
        EXPECT_EQ(Get(ini, "60", "60"), "<none>");
        EXPECT_EQ(ini.SetValue("60", "60", "57.3"), 1);
    }
    EXPECT_EQ(ReadFile(Path()), "[60]\n60=57.3\n[160]\n160=2.5\n");
}

TEST_F(CIniFileTest, SetValueFindsSectionsByWholeName)
{
    ASSERT_TRUE(WriteFile(Path(), "[200]\n200=212.0\n[Other]\n[60]\n160=2.5\n"));
    {
        CIniFile ini;
        ASSERT_EQ(ini.Load(Path()), 1);
        // "[200]" contains "20" but is another section: both entries are kept.
        EXPECT_EQ(ini.SetValue("20", "20", "19.5"), 1);
        EXPECT_EQ(Get(ini, "200", "200"), "212.0");
        EXPECT_EQ(Get(ini, "20", "20"), "19.5");
        EXPECT_EQ(ini.SetValue("other", "x", "1"), 1); // a section name ignores case
        // Inside its own section a key is still found as a substring, as reads do:
        // what is written is what the next read returns.
        EXPECT_EQ(ini.SetValue("60", "60", "57.3"), 1);
        EXPECT_EQ(Get(ini, "60", "60"), "57.3");
    }
    EXPECT_EQ(ReadFile(Path()), "[200]\n200=212.0\n[Other]\nx=1\n[60]\n60=57.3\n[20]\n20=19.5\n");
}

TEST_F(CIniFileTest, NothingHappensWithoutALoadedFile)
{
    CIniFile ini;
    ASSERT_EQ(ini.Load(Path()), 0);
    QString value = "kept";
    EXPECT_EQ(ini.GetValue("60", "60", value), 0);
    EXPECT_EQ(value, "kept");
    EXPECT_EQ(ini.SetValue("60", "60", "1.0"), 0);
    {
        CIniFile never;
        never.SetValue("60", "60", "1.0");
    }
    EXPECT_FALSE(QFile::exists(Path()));
}

TEST_F(CIniFileTest, WriteBackNormalisesLineEndsAndKeepsLines)
{
    ASSERT_TRUE(WriteFile(Path(), "[60]\r\n60=57.3\r\n\r\n[Mac]\rk=v\rlast=1"));
    {
        CIniFile ini;
        ASSERT_EQ(ini.Load(Path()), 1);
        EXPECT_EQ(Get(ini, "Mac", "k"), "v");
        EXPECT_EQ(Get(ini, "Mac", "last"), "1");
    }
    EXPECT_EQ(ReadFile(Path()), "[60]\n60=57.3\n\n[Mac]\nk=v\nlast=1\n");
}

TEST_F(CIniFileTest, WriteBackReplacesTheFileAsAWholeAndKeepsForeignBytes)
{
    const QByteArray latin1 = "[x]\nname=caf\xE9\n";
    ASSERT_TRUE(WriteFile(Path(), latin1));
    struct stat before {};
    ASSERT_EQ(stat(Path().toLocal8Bit().constData(), &before), 0);
    {
        CIniFile ini;
        ASSERT_EQ(ini.Load(Path()), 1);
    }
    struct stat after {};
    ASSERT_EQ(stat(Path().toLocal8Bit().constData(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino); // renamed into place, never truncated in place
    EXPECT_EQ(ReadFile(Path()), latin1);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 1); // no temporary left behind
}

// A full disk, simulated with a file size limit: the write-back fails part way and
// the original file must survive untouched.
TEST_F(CIniFileTest, FailedWriteBackLeavesTheOriginal)
{
    const QByteArray original = "[60]\n60=57.3\n";
    ASSERT_TRUE(WriteFile(Path(), original));
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    {
        CIniFile ini;
        ASSERT_EQ(ini.Load(Path()), 1);
        ini.SetValue("60", "60", QString(4096, u'9'));
        rlimit small = old;
        small.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(ReadFile(Path()), original);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(CIniFileTest, HostileFilesLoadWithoutHarm)
{
    QByteArray bytes = "[60]\n60=" + QByteArray(1 << 20, 'x') + "\n";
    static const char kBinary[] = "\0\0[\0]\n\xFF\xFE\x80=\x01\n";
    bytes += QByteArray(kBinary, sizeof kBinary - 1);
    for (int i = 0; i < 4096; ++i) {
        bytes += char(i * 37 % 256);
    }
    ASSERT_TRUE(WriteFile(Path(), bytes));
    CIniFile ini;
    ASSERT_EQ(ini.Load(Path()), 1);
    EXPECT_EQ(Get(ini, "60", "60").size(), 1 << 20);
    QString value;
    ini.GetValue("", "", value);
    ini.GetValue("\xFF", "=", value);
    EXPECT_EQ(ini.SetValue("", "", ""), 1);
}

} // namespace
