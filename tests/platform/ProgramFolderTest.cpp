// Where the program writes "beside itself": an executable folder without the
// program's files (an installed /usr/bin, even writable by root) is never used;
// the user's data folder is.
#include "platform/files/ProgramFolder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ProgramFolder, InstalledProgramWritesIntoTheUsersDataFolder)
{
    const QString exe = QCoreApplication::applicationDirPath();
    ASSERT_FALSE(QFileInfo::exists(exe + "/English1252.ini"))
        << "the test binary's folder holds no language file";
    ASSERT_TRUE(QFileInfo(exe).isWritable()) << "the case only matters for a writable executable folder";

    QTemporaryDir data;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    OverrideProgramFolders(QString(), QString());
    const QString writable = WritableProgramFolder();
    qputenv("XDG_DATA_HOME", saved);

    EXPECT_EQ(writable, data.path() + "/Pelora");
    EXPECT_TRUE(QFileInfo(writable).isDir());
}
