// Finished files take their final name without ever replacing a file: by each
// way of moving, and with numbered names that look for the next free number.
#include "platform/files/NewFile.h"

#include "common/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>
#include <climits>
#include <gtest/gtest.h>

using testsupport::ReadFile;
using testsupport::WriteFile;

TEST(NewFile, EveryWayOfMovingRefusesATakenName)
{
    for (NoReplaceMethod method :
         {NoReplaceMethod::Rename, NoReplaceMethod::Link, NoReplaceMethod::Placeholder}) {
        QTemporaryDir dir;
        const QString from = dir.filePath("from");
        const QString taken = dir.filePath("taken");
        ASSERT_TRUE(WriteFile(from, "new"));
        ASSERT_TRUE(WriteFile(taken, "old"));
        EXPECT_EQ(RenameNoReplaceWith(method, from, taken), EEXIST);
        EXPECT_EQ(ReadFile(taken), "old");
        EXPECT_EQ(ReadFile(from), "new");

        EXPECT_EQ(RenameNoReplaceWith(method, from, dir.filePath("free")), 0);
        EXPECT_EQ(ReadFile(dir.filePath("free")), "new");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"free", "taken"}));
    }
}

TEST(NewFile, NumberedNamesTakeTheNextFreeNumber)
{
    QTemporaryDir dir;
    const auto nameOf = [&](int n) { return dir.filePath(QString::asprintf("Still_N%04d.jpg", n)); };
    ASSERT_TRUE(WriteFile(nameOf(7), "seven"));
    ASSERT_TRUE(WriteFile(nameOf(8), "eight"));
    QString path;
    ASSERT_TRUE(WriteNumberedFile(dir.path(), "new", 7, nameOf, &path));
    EXPECT_EQ(path, nameOf(9));
    EXPECT_EQ(ReadFile(nameOf(7)), "seven");
    EXPECT_EQ(ReadFile(nameOf(9)), "new");

    // The largest number taken: the count starts again at 1.
    ASSERT_TRUE(WriteFile(nameOf(INT_MAX), "last"));
    ASSERT_TRUE(WriteFile(nameOf(1), "first"));
    ASSERT_TRUE(WriteNumberedFile(dir.path(), "wrapped", INT_MAX, nameOf, &path));
    EXPECT_EQ(path, nameOf(2));
    EXPECT_EQ(ReadFile(nameOf(INT_MAX)), "last");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 6); // no temporary left

    // A folder that is not there: nothing written, nothing left.
    EXPECT_FALSE(WriteNumberedFile(dir.filePath("gone"), "x", 1, nameOf, &path));
    EXPECT_FALSE(QDir(dir.filePath("gone")).exists());
}
