// "pelora --stack": the exit status tells scripts whether OUT was written.
#include "app/StackCommandLine.h"

#include "platform/camera/DepthSlide.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(StackCommandLineTest, WritesOnlyAStackedPictureAndSaysSoInItsStatus)
{
    QTemporaryDir dir;
    const DepthSlide slide(320, 240);
    QStringList frames;
    for (const FocusSeriesFrame& f : FocusSeries(slide, 3)) {
        frames << dir.filePath(QString("f%1.png").arg(frames.size()));
        ASSERT_TRUE(f.picture.save(frames.back()));
    }
    const QString out = dir.filePath("stack.jpg");
    const QStringList head{"pelora", "--stack"};

    EXPECT_EQ(RunStackCommand(head), 2);
    EXPECT_EQ(RunStackCommand(head + QStringList{dir.filePath("stack")} + frames), 2); // no picture suffix
    EXPECT_EQ(RunStackCommand(head + QStringList{out, frames[0]}), 1);
    EXPECT_EQ(RunStackCommand(head + QStringList{out, frames[0], dir.filePath("gone.jpg")}), 1);
    EXPECT_FALSE(QFileInfo::exists(out));

    EXPECT_EQ(RunStackCommand(head + QStringList{out} + frames), 0);
    EXPECT_EQ(QImage(out).size(), QSize(320, 240));
}
