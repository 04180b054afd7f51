// Still pictures: counters per format, names, scale by capture size, the frame
// copied the right way up with the live drawings at that scale, and failures
// returned to the caller.
#include "capture/StillSaver.h"

#include "common/TestSupport.h"
#include "image/CxImage.h"
#include "platform/desktop/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <climits>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct Boxes {
    Boxes()
    {
        SetMessageResponder([this](const QString& text, const QString&, unsigned) {
            texts << text;
            return int(IDOK);
        });
    }
    ~Boxes() { SetMessageResponder(nullptr); }
    QStringList texts;
};

// A frame whose top half is red and bottom half blue, stored bottom-up in BGR.
std::vector<std::uint8_t> TwoToneFrame(int w, int h)
{
    std::vector<std::uint8_t> frame(size_t(w) * h * 3);
    for (int row = 0; row < h; ++row) {
        const bool bottomHalf = row < h / 2; // bottom-up: first rows are the bottom
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &frame[(size_t(row) * w + x) * 3];
            p[0] = bottomHalf ? 255 : 0;
            p[2] = bottomHalf ? 0 : 255;
        }
    }
    return frame;
}

void Touch(const QString& path)
{
    testsupport::WriteFile(path, QByteArray(100, 'x'));
}

} // namespace

TEST(StillSaver, CountersPerFormatAndFoldersNamedLikePictures)
{
    QTemporaryDir dir;
    Boxes boxes;
    EXPECT_EQ(NextStillCounter(dir.path(), 0), 1);
    Touch(dir.filePath("Still_2020-01-01_000000_N0007.jpg"));
    Touch(dir.filePath("Still_2024-01-05_101230_60X_N0003.jpg"));
    Touch(dir.filePath("other.jpg"));
    EXPECT_EQ(NextStillCounter(dir.path(), 0), 8);
    EXPECT_EQ(NextStillCounter(dir.path(), kImageFormatBmp), 1);
    Touch(dir.filePath("Still_2020-01-01_000000_N0041.bmp"));
    EXPECT_EQ(NextStillCounter(dir.path(), kImageFormatBmp), 42);
    EXPECT_EQ(NextStillCounter(dir.path(), 0), 8);
    EXPECT_TRUE(boxes.texts.isEmpty());

    QDir().mkpath(dir.filePath("Still_2020-01-01_000000_N0099.jpg"));
    bool skipped = false;
    EXPECT_EQ(NextStillCounter(dir.path(), 0, &skipped), 8);
    EXPECT_TRUE(skipped) << "the window tells of the folder";
    EXPECT_TRUE(boxes.texts.isEmpty());

    EXPECT_EQ(StillCounterOfName("Still_N12x.jpg"), 12);
    EXPECT_EQ(StillCounterOfName("Still_Nabc.jpg"), 0);
    EXPECT_EQ(StillCounterOfName("no capital.jpg"), 0);
    EXPECT_EQ(StillCounterOfName("a_N1.2.jpg"), 1);
    EXPECT_EQ(StillCounterOfName("a_N99999999999999999999.jpg"), INT_MAX - 1);
}

TEST(StillSaver, NamesAndScaleFactors)
{
    const QDateTime t(QDate(2024, 1, 5), QTime(10, 12, 30));
    EXPECT_EQ(StillFileName("/p", t, "", 1, 0), "/p/Still_2024-01-05_101230_N0001.jpg");
    EXPECT_EQ(StillFileName("/p", t, "60", 1, 0), "/p/Still_2024-01-05_101230_60X_N0001.jpg");
    EXPECT_EQ(StillFileName("/p", t, "200", 12345, kImageFormatBmp),
              "/p/Still_2024-01-05_101230_200X_N12345.bmp");

    EXPECT_DOUBLE_EQ(StillScaleFactor(320, 240), 0.5);
    EXPECT_DOUBLE_EQ(StillScaleFactor(640, 512), 1.0);
    EXPECT_DOUBLE_EQ(StillScaleFactor(1280, 720), 1.0); // only the listed sizes scale
    EXPECT_DOUBLE_EQ(StillScaleFactor(2048, 1536), 3.2);
}

TEST(StillSaver, SavesTheFrameUprightWithDrawingsAtCaptureScale)
{
    QTemporaryDir dir;
    const int w = 2592, h = 1944;
    const std::vector<std::uint8_t> frame = TwoToneFrame(w, h);
    double overlayScale = 0, measureX = 0, measureY = 0;
    StillJob job;
    job.pictureFolder = dir.path();
    job.magnification = "60";
    job.captureWidth = w;
    job.captureHeight = h;
    job.painters.overlays = [&](QPainter& p, double s) {
        overlayScale = s;
        p.fillRect(QRect(0, 0, 10, 10), Qt::white);
    };
    job.painters.measurements = [&](QPainter& p, double sx, double sy) {
        measureX = sx;
        measureY = sy;
        p.fillRect(QRectF(100 * sx, 100 * sy, 10 * sx, 10 * sy), Qt::green);
    };
    QString saved;
    ASSERT_EQ(SaveStill(job, frame.data(), frame.size(), FrameHeader(w, h), &saved), StillResult::Saved);
    EXPECT_TRUE(
        QRegularExpression("/Still_\\d{4}-\\d\\d-\\d\\d_\\d{6}_60X_N0001\\.jpg$").match(saved).hasMatch())
        << saved.toStdString();
    EXPECT_DOUBLE_EQ(overlayScale, 4.05);
    EXPECT_DOUBLE_EQ(measureX, 4.05);
    EXPECT_DOUBLE_EQ(measureY, 4.05);

    CxImage image(saved, CXIMAGE_FORMAT_JPG);
    ASSERT_TRUE(image.IsValid());
    EXPECT_EQ(image.GetWidth(), 2592u);
    EXPECT_EQ(image.GetHeight(), 1944u);
    const QImage& px = image.Image();
    EXPECT_GT(qRed(px.pixel(1000, 100)), 200);   // top half red
    EXPECT_GT(qBlue(px.pixel(1000, 1800)), 200); // bottom half blue
    EXPECT_GT(qGreen(px.pixel(5, 5)), 200);      // overlay
    EXPECT_GT(qGreen(px.pixel(425, 425)), 200);  // measurement at 4.05 x (100 + 5)
    EXPECT_LT(qRed(px.pixel(425, 425)), 60);

    // A second picture counts on; with no magnification the name has none.
    job.magnification.clear();
    job.imageFormat = kImageFormatBmp;
    ASSERT_EQ(SaveStill(job, frame.data(), frame.size(), FrameHeader(w, h), &saved), StillResult::Saved);
    EXPECT_TRUE(saved.endsWith("_N0001.bmp"));
    EXPECT_FALSE(saved.contains("X_N"));
    EXPECT_EQ(QFileInfo(saved).size(), 54 + qint64(w) * h * 3);
}

TEST(StillSaver, ShortFramesAndFailedWrites)
{
    QTemporaryDir dir;
    Boxes boxes;
    StillJob job;
    job.pictureFolder = dir.path();
    job.captureWidth = 64;
    job.captureHeight = 48;
    // The header claims more than the buffer holds: only whole rows present are used.
    std::vector<std::uint8_t> frame = TwoToneFrame(64, 10);
    QString saved;
    EXPECT_EQ(SaveStill(job, frame.data(), frame.size(), FrameHeader(64, 48), &saved), StillResult::Saved);
    EXPECT_FALSE(saved.isEmpty());
    EXPECT_EQ(SaveStill(job, nullptr, 0, FrameHeader(64, 48), &saved), StillResult::NoMemory);
    EXPECT_TRUE(boxes.texts.isEmpty());

    // A folder that cannot take the file: the result says so (the window tells the
    // user) and nothing is left behind.
    job.pictureFolder = dir.filePath("gone");
    EXPECT_EQ(SaveStill(job, frame.data(), frame.size(), FrameHeader(64, 10), &saved),
              StillResult::NotWritten);
    EXPECT_TRUE(saved.isEmpty());
    EXPECT_TRUE(boxes.texts.isEmpty());
    EXPECT_FALSE(QDir(dir.filePath("gone")).exists());
}

TEST(StillSaver, NeverWritesOverAPictureWhenTheCounterCannotGrow)
{
    QTemporaryDir dir;
    Touch(dir.filePath("Still_N99999999999999999999.jpg"));
    StillJob job;
    job.pictureFolder = dir.path();
    job.captureWidth = 64;
    job.captureHeight = 48;
    ASSERT_EQ(NextStillCounter(dir.path(), 0), INT_MAX);
    // Pictures already under every name the next seconds would give.
    const QDateTime now = QDateTime::currentDateTime();
    QStringList taken;
    for (int s = 0; s < 30; ++s) {
        taken << StillFileName(dir.path(), now.addSecs(s), "", INT_MAX, 0);
        Touch(taken.last());
    }
    const std::vector<std::uint8_t> frame = TwoToneFrame(64, 48);
    QStringList saved;
    for (int i = 0; i < 2; ++i) {
        QString path;
        ASSERT_EQ(SaveStill(job, frame.data(), frame.size(), FrameHeader(64, 48), &path), StillResult::Saved);
        saved << path;
    }
    EXPECT_NE(saved[0], saved[1]);
    for (const QString& path : taken) {
        EXPECT_EQ(testsupport::ReadFile(path), QByteArray(100, 'x')) << path.toStdString();
    }
    for (const QString& path : saved) {
        EXPECT_FALSE(taken.contains(path));
        EXPECT_TRUE(CxImage(path, CXIMAGE_FORMAT_JPG).IsValid()) << path.toStdString();
    }
}
