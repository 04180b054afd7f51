// Reading recorded clips picture by picture, seeking in them, decoding ahead on a
// worker, and files that are not clips at all.
#include "platform/media/ClipReader.h"

#include "common/TestClips.h"
#include "common/TestSupport.h"
#include "platform/media/AviHeaderCheck.h"
#include "platform/media/ClipDecodeThread.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

using testclips::Codec;
using testclips::IndexOf;

namespace {

class ClipReaderTest : public ::testing::TestWithParam<Codec> {
protected:
    QString Write(testclips::ClipPlan plan)
    {
        const QString path = m_dir.filePath(QStringLiteral("clip%1.avi").arg(m_count++));
        EXPECT_TRUE(testclips::WriteClip(path, plan));
        return path;
    }
    QTemporaryDir m_dir;
    int m_count = 0;
};

// The index of a picture by its colour (taken from its middle).
int IndexOfPicture(const ClipFrame& frame)
{
    return IndexOf(frame.image.pixel(frame.image.width() / 2, frame.image.height() / 2));
}

// Waits (at most 5 s) for the worker to have a picture for `seconds`.
bool TakeWhenReady(ClipDecodeThread& worker, double seconds, ClipFrame& out)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!worker.TakeFrameAt(seconds, out)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

TEST_P(ClipReaderTest, ReadsEveryPictureInOrderWithItsTimeThenEnds)
{
    const testclips::ClipPlan plan = testclips::Clip(GetParam(), 12, 8, 4);
    ClipReader reader;
    ASSERT_TRUE(reader.Open(Write(plan)));
    EXPECT_DOUBLE_EQ(reader.Duration(), 1.5);
    EXPECT_DOUBLE_EQ(reader.FrameSeconds(), 0.125);
    for (int i = 0; i < plan.frames; ++i) {
        ClipFrame frame;
        ASSERT_TRUE(reader.ReadFrame(frame)) << i;
        EXPECT_EQ(frame.image.size(), QSize(32, 24));
        EXPECT_EQ(IndexOfPicture(frame), i);
        EXPECT_DOUBLE_EQ(frame.seconds, i * 0.125);
    }
    ClipFrame after;
    EXPECT_FALSE(reader.ReadFrame(after));
    EXPECT_FALSE(reader.ReadFrame(after));
}

// A seek lands on the picture shown at the target, also between key pictures,
// and reading goes on from there.
TEST_P(ClipReaderTest, SeekGivesThePictureShownAtTheTarget)
{
    ClipReader reader;
    ASSERT_TRUE(reader.Open(Write(testclips::Clip(GetParam(), 20, 10, 5))));
    const struct {
        double target;
        int index;
    } cases[] = {{1.37, 13}, {0.0, 0}, {0.7, 7}, {1.9, 19}, {2.0, 19}, {55.0, 19}, {-3.0, 0}};
    for (const auto& c : cases) {
        ASSERT_TRUE(reader.Seek(c.target)) << c.target;
        ClipFrame frame;
        ASSERT_TRUE(reader.ReadFrame(frame)) << c.target;
        EXPECT_EQ(IndexOfPicture(frame), c.index) << c.target;
        EXPECT_NEAR(frame.seconds, c.index * 0.1, 1e-9);
    }
    ASSERT_TRUE(reader.Seek(0.42));
    for (const int expected : {4, 5, 6}) {
        ClipFrame frame;
        ASSERT_TRUE(reader.ReadFrame(frame));
        EXPECT_EQ(IndexOfPicture(frame), expected);
    }
}

// A reader told to give up stops reading and seeking at once, and works again
// once the interruption is over.
TEST_P(ClipReaderTest, InterruptedReadsAndSeeksFailUntilLetGo)
{
    ClipReader reader;
    ASSERT_TRUE(reader.Open(Write(testclips::Clip(GetParam(), 20, 10, 10))));
    bool stop = true;
    reader.SetInterrupt([&stop] { return stop; });
    ClipFrame frame;
    EXPECT_FALSE(reader.ReadFrame(frame));
    EXPECT_FALSE(reader.Seek(1.5));
    stop = false;
    ASSERT_TRUE(reader.Seek(1.5));
    ASSERT_TRUE(reader.ReadFrame(frame));
    EXPECT_EQ(IndexOfPicture(frame), 15);
}

// Widths that are no multiple of the scaler's blocks: every picture decodes whole,
// and nothing is written past it (such writes once broke the heap).
TEST_P(ClipReaderTest, PicturesOfAnyWidthDecodeWhole)
{
    for (const int width : {4, 8, 12, 44, 100, 636}) {
        testclips::ClipPlan plan = testclips::Clip(GetParam(), 3);
        plan.width = width;
        plan.height = 8;
        for (int pass = 0; pass < 3; ++pass) {
            ClipReader reader;
            ASSERT_TRUE(reader.Open(Write(plan))) << width;
            for (int i = 0; i < plan.frames; ++i) {
                ClipFrame frame;
                ASSERT_TRUE(reader.ReadFrame(frame)) << width;
                ASSERT_EQ(frame.image.size(), QSize(width, 8));
                EXPECT_EQ(IndexOf(frame.image.pixel(width - 1, 7)), i) << width;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, ClipReaderTest, ::testing::Values(Codec::Mjpeg, Codec::MsVideo1, Codec::Raw),
                         [](const auto& info) {
                             switch (info.param) {
                             case Codec::Mjpeg:
                                 return "Mjpeg";
                             case Codec::MsVideo1:
                                 return "MsVideo1";
                             case Codec::Raw:
                                 break;
                             }
                             return "Raw";
                         });

// Nothing that is not a clip opens, and a clip cut short gives what it has.
TEST(ClipReaderDamage, FilesThatAreNoClipsFailAndCutClipsEndEarly)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("good.avi");
    ASSERT_TRUE(testclips::WriteClip(good, testclips::Clip(Codec::Mjpeg, 20)));
    const QByteArray bytes = testsupport::ReadFile(good);
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i) {
        garbage[i] = char((i * 7919) >> 3);
    }
    ASSERT_TRUE(testsupport::WriteFile(dir.filePath("empty.avi"), {}));
    ASSERT_TRUE(testsupport::WriteFile(dir.filePath("garbage.avi"), garbage));
    ASSERT_TRUE(testsupport::WriteFile(dir.filePath("header.avi"), bytes.left(100)));
    ASSERT_TRUE(::mkfifo(QFile::encodeName(dir.filePath("pipe.avi")).constData(), 0600) == 0);
    for (const char* name : {"empty.avi", "garbage.avi", "header.avi", "pipe.avi", "missing.avi"}) {
        ClipReader reader;
        EXPECT_FALSE(reader.Open(dir.filePath(name))) << name;
        ClipFrame frame;
        EXPECT_FALSE(reader.ReadFrame(frame)) << name;
        EXPECT_FALSE(reader.Seek(1.0)) << name;
        EXPECT_EQ(reader.Duration(), 0.0) << name;
    }

    // Cut in the middle of the pictures: the header still tells the full length,
    // the pictures stop where the file does.
    const qsizetype moviAt = bytes.indexOf("movi");
    ASSERT_GT(moviAt, 0);
    const QString cut = dir.filePath("cut.avi");
    ASSERT_TRUE(testsupport::WriteFile(cut, bytes.left(moviAt + (bytes.size() - moviAt) / 2)));
    ClipReader reader;
    ASSERT_TRUE(reader.Open(cut));
    int pictures = 0;
    ClipFrame frame;
    while (reader.ReadFrame(frame)) {
        EXPECT_EQ(IndexOfPicture(frame), pictures);
        ++pictures;
    }
    EXPECT_GT(pictures, 0);
    EXPECT_LT(pictures, 20);
    // Without its index the file cannot seek; when it can, it starts over.
    if (reader.Seek(0.0)) {
        ASSERT_TRUE(reader.ReadFrame(frame));
        EXPECT_EQ(IndexOfPicture(frame), 0);
    }
}

// Header chunks must lie within the file before FFmpeg sees them: it would
// allocate what a damaged size claims. The pictures themselves may be cut.
TEST(ClipReaderDamage, HeaderChunksMustFitInTheFile)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("good.avi");
    ASSERT_TRUE(testclips::WriteClip(good, testclips::Clip(Codec::MsVideo1, 10)));
    const QByteArray bytes = testsupport::ReadFile(good);
    const qsizetype info = bytes.indexOf("INFO");
    const qsizetype movi = bytes.indexOf("movi");
    ASSERT_GT(info, 8);
    ASSERT_GT(movi, info);
    // The INFO list claims far more than the file holds.
    QByteArray inflated = bytes;
    qToLittleEndian<quint32>(0xe100001a, inflated.data() + info - 4);
    // Only the picture list's chunks are cut.
    const QByteArray cut = bytes.left(movi + 40);
    const struct {
        const char* name;
        QByteArray content;
        bool fits;
    } cases[] = {
        {"good.avi", bytes, true},
        {"cut.avi", cut, true},
        {"inflated.avi", inflated, false},
        {"header-cut.avi", bytes.left(info + 6), false},
        {"wave.avi", QByteArray(bytes).replace(8, 4, "WAVE"), false},
        {"short.avi", bytes.left(10), false},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.name);
        ASSERT_TRUE(testsupport::WriteFile(path, c.content));
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(AviHeaderFits(fd, c.content.size()), c.fits) << c.name;
        ::close(fd);
        ClipReader reader;
        EXPECT_EQ(reader.Open(path), c.fits) << c.name;
    }
}

// The worker hands out the picture due, drops those it passed, and starts over at a seek.
TEST(ClipDecodeThread, HandsOutThePictureDueAndRestartsAtASeek)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("clip.avi");
    ASSERT_TRUE(testclips::WriteClip(path, testclips::Clip(Codec::MsVideo1, 30, 10, 10)));
    auto reader = std::make_unique<ClipReader>();
    ASSERT_TRUE(reader->Open(path));
    ClipDecodeThread worker(std::move(reader));

    ClipFrame frame;
    ASSERT_TRUE(TakeWhenReady(worker, 0.0, frame));
    EXPECT_EQ(IndexOfPicture(frame), 0);
    // Nothing is due before its time.
    EXPECT_FALSE(worker.TakeFrameAt(0.05, frame));
    // Later, the newest picture due is handed out and the older ones are dropped;
    // a worker still decoding (a busy machine) hands out what it has first, never a
    // picture that is not due yet.
    do {
        ASSERT_TRUE(TakeWhenReady(worker, 0.25, frame));
        ASSERT_LE(IndexOfPicture(frame), 2);
    } while (IndexOfPicture(frame) < 2);

    worker.SeekTo(2.44);
    ASSERT_TRUE(TakeWhenReady(worker, 2.44, frame));
    EXPECT_EQ(IndexOfPicture(frame), 24);
    worker.SeekTo(1.0);
    ASSERT_TRUE(TakeWhenReady(worker, 1.0, frame));
    EXPECT_EQ(IndexOfPicture(frame), 10);

    // To the end: a worker behind hands out what it has, then catches up; once
    // every picture is out it is finished.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int last = 10;
    while (!worker.Finished() && std::chrono::steady_clock::now() < deadline) {
        if (worker.TakeFrameAt(2.9, frame)) {
            EXPECT_GT(IndexOfPicture(frame), last);
            last = IndexOfPicture(frame);
        }
        std::this_thread::yield();
    }
    EXPECT_TRUE(worker.Finished());
    EXPECT_EQ(last, 29);
    worker.SeekTo(0.0);
    EXPECT_FALSE(worker.Finished());
}

} // namespace
