// Focus stacking on a synthetic series from the virtual depth slide, whose sharp
// picture is known: quality against that truth and against the best single frame,
// sharpness everywhere, and the refusals that must leave nothing behind.
#include "image/stack/FocusStack.h"

#include "common/TestSupport.h"
#include "image/stack/PictureQuality.h"
#include "platform/camera/DepthSlide.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int kFrames = 10;

QStringList SaveSeries(const std::vector<FocusSeriesFrame>& series, const QString& dir)
{
    QStringList paths;
    for (std::size_t i = 0; i < series.size(); ++i) {
        paths << QDir(dir).filePath(QString("slice%1.png").arg(i));
        EXPECT_TRUE(series[i].picture.save(paths.back()));
    }
    return paths;
}

TEST(FocusStackTest, FullSizeSeriesIsSharpEverywhereAndCloseToTheTruth)
{
    const DepthSlide slide(2592, 1944);
    const std::vector<FocusSeriesFrame> series = FocusSeries(slide, kFrames);
    std::vector<QImage> frames;
    double bestSingle = 0.0;
    for (const FocusSeriesFrame& f : series) {
        frames.push_back(f.picture);
        bestSingle = std::max(bestSingle, StructuralSimilarity(f.picture, slide.Truth()));
    }
    const StackResult result = FocusStackImages(frames);
    ASSERT_EQ(result.status, StackStatus::Ok);
    ASSERT_EQ(result.image.size(), slide.Truth().size());

    const double ssim = StructuralSimilarity(result.image, slide.Truth());
    std::printf("SSIM to truth: stack %.4f, best single frame %.4f\n", ssim, bestSingle);
    EXPECT_GE(ssim, 0.95);
    EXPECT_GE(ssim, bestSingle + 0.10);

    // Every tile at least as sharp as the sharpest frame there: no region left soft.
    const int tw = slide.width() / 4, th = slide.height() / 4;
    for (int ty = 0; ty < 4; ++ty) {
        for (int tx = 0; tx < 4; ++tx) {
            const QRect tile(tx * tw, ty * th, tw, th);
            double best = 0.0;
            for (const QImage& f : frames) {
                best = std::max(best, Tenengrad(f, tile));
            }
            EXPECT_GE(Tenengrad(result.image, tile), best) << "tile " << tx << "," << ty;
        }
    }
}

// Grain of single-pixel specks, averaged over (2 blur + 1)^2 and moved `shift` pixels
// right and down; the same specks for every call.
QImage Grain(QSize size, int blur, int shift)
{
    constexpr int kMargin = 8;
    const int stride = size.width() + 2 * kMargin;
    QRandomGenerator rng(7);
    std::vector<int> specks(std::size_t(stride) * (size.height() + 2 * kMargin));
    for (int& v : specks) {
        v = 60 + static_cast<int>(rng.bounded(136));
    }
    QImage out(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            int sum = 0;
            for (int j = -blur; j <= blur; ++j) {
                for (int i = -blur; i <= blur; ++i) {
                    sum += specks[std::size_t(y + kMargin + shift + j) * stride + x + kMargin + shift + i];
                }
            }
            const int grey = sum / ((2 * blur + 1) * (2 * blur + 1));
            out.setPixel(x, y, qRgb(grey, grey, grey));
        }
    }
    return out;
}

// The sharpest frame is the last one, a whole pixel off the middle frame the stack is
// drawn in; the middle one is a little soft. Seen through that pixel's move at half
// size, the sharp frame's grain must still win over the soft frame's.
TEST(FocusStackTest, SharpestFrameWinsWhenItLiesOffTheMiddleFrame)
{
    const QSize size(640, 480);
    const std::vector<QImage> frames{Grain(size, 3, 0), Grain(size, 1, 0), Grain(size, 0, 1)};
    const StackResult result = FocusStackImages(frames);
    ASSERT_EQ(result.status, StackStatus::Ok);
    const QRect inner(16, 16, size.width() - 32, size.height() - 32);
    EXPECT_GE(Tenengrad(result.image, inner), 0.98 * Tenengrad(frames[2], inner));
}

// The open peer: align_image_stack, then enfuse with its focus-stacking weights, on the
// same series (half size, to keep the peer's minutes down).
TEST(FocusStackTest, AtLeastAsCloseToTheTruthAsThePeer)
{
    const QString align = QStandardPaths::findExecutable("align_image_stack");
    const QString enfuse = QStandardPaths::findExecutable("enfuse");
    if (align.isEmpty() || enfuse.isEmpty()) {
        GTEST_SKIP() << "align_image_stack or enfuse is not installed (packages hugin-tools, enfuse)";
    }
    if (testsupport::kSanitizerBuild) {
        GTEST_SKIP() << "the comparison with the peer is made in the release build";
    }
    const DepthSlide slide(1296, 972);
    const std::vector<FocusSeriesFrame> series = FocusSeries(slide, kFrames);
    QTemporaryDir dir;
    QStringList paths = SaveSeries(series, dir.path());
    std::vector<QImage> frames;
    for (const FocusSeriesFrame& f : series) {
        frames.push_back(f.picture);
    }
    const double ours = StructuralSimilarity(FocusStackImages(frames).image, slide.Truth());

    // The peer aligns to its first frame: the middle one, whose geometry the truth has.
    paths.move(kFrames / 2, 0);
    QProcess run;
    run.start(align, QStringList{"-m", "-a", dir.filePath("aligned_")} + paths);
    ASSERT_TRUE(run.waitForFinished(600000) && run.exitCode() == 0) << run.readAllStandardError().constData();
    QStringList aligned;
    for (const QString& name : QDir(dir.path()).entryList({"aligned_*.tif"})) {
        aligned << dir.filePath(name);
    }
    const QString fused = dir.filePath("enfuse.png");
    run.start(enfuse, QStringList{"--exposure-weight=0", "--saturation-weight=0", "--contrast-weight=1",
                                  "--hard-mask", "-o", fused} +
                          aligned);
    ASSERT_TRUE(run.waitForFinished(600000) && run.exitCode() == 0) << run.readAllStandardError().constData();
    const double peer = StructuralSimilarity(QImage(fused), slide.Truth());
    std::printf("SSIM to truth: stack %.4f, align_image_stack + enfuse %.4f\n", ours, peer);
    EXPECT_GE(ours, peer);
}

TEST(FocusStackTest, RefusesSeriesItCannotStackAndWritesNothing)
{
    const DepthSlide slide(320, 240);
    const std::vector<FocusSeriesFrame> series = FocusSeries(slide, 3);
    QTemporaryDir dir;
    const QStringList paths = SaveSeries(series, dir.path());
    const QString out = dir.filePath("out.jpg");

    StackResult r = FocusStackToFile({paths[0]}, out, 90);
    EXPECT_EQ(r.status, StackStatus::TooFewFrames);

    const QString small = dir.filePath("small.png");
    ASSERT_TRUE(series[1].picture.scaled(160, 120).save(small));
    r = FocusStackToFile({paths[0], small, paths[2]}, out, 90);
    EXPECT_EQ(r.status, StackStatus::SizeMismatch);
    EXPECT_EQ(r.frame, 1);

    const QString broken = dir.filePath("broken.jpg");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xFF\xD8\xFF\xE0 not a picture");
    file.close();
    r = FocusStackToFile({paths[0], paths[1], broken}, out, 90);
    EXPECT_EQ(r.status, StackStatus::Unreadable);
    EXPECT_EQ(r.frame, 2);
    r = FocusStackToFile({paths[0], dir.filePath("missing.jpg")}, out, 90);
    EXPECT_EQ(r.status, StackStatus::Unreadable);

    // Cancelled while aligning: no file, not even a temporary one.
    std::atomic<bool> cancel{false};
    StackOptions options;
    options.cancel = &cancel;
    options.progress = [&](int done, int) {
        if (done == 4) {
            cancel = true;
        }
    };
    r = FocusStackToFile(paths, out, 90, options);
    EXPECT_EQ(r.status, StackStatus::Canceled);
    EXPECT_EQ(QDir(dir.path()).entryList({"out*"}, QDir::Files), QStringList());

    // Identical frames are a stack like any other: the result is that frame.
    r = FocusStackToFile({paths[1], paths[1], paths[1]}, out, 95);
    ASSERT_EQ(r.status, StackStatus::Ok);
    EXPECT_GE(StructuralSimilarity(QImage(out), series[1].picture), 0.97);
}

} // namespace
