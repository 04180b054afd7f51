// A full disk in the middle of a write must never leave a cut picture or copy
// under its final name; the file-size limit stands in for the full disk.
#include "common/FileSizeLimit.h"
#include "files/FileOps.h"
#include "image/CxImage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Small enough that a buffered writer would hold it all until the commit, which
// is where a short write used to go unnoticed.
QImage NoisyPicture()
{
    QImage image(64, 48, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb((x * 7 + y * 13) % 256, (x * y) % 256, (x ^ y) % 256));
        }
    }
    return image;
}

TEST(FullDisk, PictureSaveFailsAndLeavesNothing)
{
    QTemporaryDir dir;
    CxImage picture;
    ASSERT_TRUE(picture.CreateFromBitmap(NoisyPicture()));
    const QString jpg = dir.filePath("Still.jpg");
    const QString bmp = dir.filePath("Still.bmp");
    {
        FileSizeLimit limit(1024);
        EXPECT_FALSE(picture.Save(jpg, CXIMAGE_FORMAT_JPG));
        EXPECT_FALSE(picture.Save(bmp, CXIMAGE_FORMAT_BMP));
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(picture.Save(jpg, CXIMAGE_FORMAT_JPG));
}

TEST(FullDisk, CopyKeepsTheOldDestination)
{
    QTemporaryDir dir;
    const QString source = dir.filePath("source.bin");
    const QString destination = dir.filePath("destination.bin");
    {
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8 * 1024, 'p'));
    }
    {
        QFile f(destination);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    {
        FileSizeLimit limit(1024);
        EXPECT_FALSE(CopyFileReplacing(source, destination));
    }
    QFile f(destination);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

} // namespace
