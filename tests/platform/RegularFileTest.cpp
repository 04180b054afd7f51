// Files opened because of their name: only regular files (or links to them) are
// read; pipes, links to pipes, folders and devices are refused at once, never
// waited on.
#include "platform/files/RegularFile.h"

#include "common/FifoWatchdog.h"
#include "common/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

using testsupport::MakeFifo;
using testsupport::MakeSymlink;

TEST(RegularFile, ReadsRegularFilesAndLinksToThem)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("a.bin");
    ASSERT_TRUE(testsupport::WriteFile(file, "0123456789"));
    ASSERT_TRUE(MakeSymlink(file, dir.filePath("link.bin")));

    QByteArray bytes;
    ASSERT_TRUE(ReadRegularFile(file, &bytes));
    EXPECT_EQ(bytes, "0123456789");
    ASSERT_TRUE(ReadRegularFile(dir.filePath("link.bin"), &bytes, 3, 4));
    EXPECT_EQ(bytes, "3456");
    ASSERT_TRUE(ReadRegularFile(file, &bytes, 20));
    EXPECT_TRUE(bytes.isEmpty());

    QFile opened;
    ASSERT_TRUE(OpenRegularFile(file, &opened));
    EXPECT_EQ(opened.readAll(), "0123456789");
    EXPECT_TRUE(IsRegularFile(dir.filePath("link.bin")));

    errno = 0;
    EXPECT_FALSE(OpenRegularFile(dir.filePath("missing")).valid());
    EXPECT_EQ(errno, ENOENT);
}

TEST(RegularFile, PipesFoldersAndDevicesAreRefusedWithoutWaiting)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("Video_N0001.avi");
    ASSERT_TRUE(MakeFifo(fifo));
    ASSERT_TRUE(MakeSymlink(fifo, dir.filePath("link.avi")));
    testsupport::FifoWatchdog watchdog({fifo});
    for (const QString& path : {fifo, dir.filePath("link.avi"), dir.path(), QStringLiteral("/dev/null")}) {
        errno = 0;
        EXPECT_FALSE(OpenRegularFile(path).valid()) << path.toStdString();
        EXPECT_EQ(errno, EINVAL) << path.toStdString();
        QByteArray bytes("stale");
        EXPECT_FALSE(ReadRegularFile(path, &bytes));
        EXPECT_TRUE(bytes.isEmpty());
        QFile file;
        EXPECT_FALSE(OpenRegularFile(path, &file));
        EXPECT_FALSE(IsRegularFile(path));
    }
    EXPECT_FALSE(watchdog.Fired());
}
