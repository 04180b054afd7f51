// The recorder: names and counters, the stream rate and the frame count against
// the time taken (on a clock the test drives), its error boxes, a full disk in the
// middle of a recording, and the seconds counter.
#include "capture/VideoRecorder.h"

#include "capture/RecordingFiles.h"
#include "common/AviReadBack.h"
#include "common/FileSizeLimit.h"
#include "platform/desktop/MessageBox.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

class RecorderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMessageResponder([this](const QString& text, const QString& caption, unsigned flags) {
            m_boxes.push_back({text, caption, flags});
            return 1;
        });
    }
    void TearDown() override { SetMessageResponder(nullptr); }

    QStringList Files() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden); }

    // Frames from a camera delivering every `intervalMs` for `seconds`.
    void Feed(VideoRecorder& recorder, int intervalMs, int seconds)
    {
        const std::vector<std::uint8_t> frame(std::size_t(kWidth) * kHeight * 3, 90);
        for (int t = 0; t <= seconds * 1000 - intervalMs; t += intervalMs) {
            m_now = t;
            recorder.WriteFrame(frame.data(), frame.size(), kWidth, kHeight);
            WaitForWriter(recorder);
        }
        m_now = seconds * 1000;
    }
    // The test's camera waits for the compressor, so no frame is dropped.
    static void WaitForWriter(VideoRecorder& recorder)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return recorder.pendingFrames() == 0; }, 5000));
    }

    struct Box {
        QString text, caption;
        unsigned flags;
    };
    QTemporaryDir m_dir;
    std::vector<Box> m_boxes;
    std::atomic<std::int64_t> m_now{0};
    VideoRecorder::Clock m_clock = [this] { return m_now.load(); };
};

TEST_F(RecorderTest, NamesCountOnFromTheFolderAndNeverReplaceAFile)
{
    const QDateTime when(QDate(2024, 1, 5), QTime(10, 12, 30));
    EXPECT_EQ(VideoFileName(m_dir.path(), when, 3), m_dir.path() + "/Video_2024-01-05_101230_N0003.avi");
    EXPECT_EQ(NextVideoCounter(m_dir.path()), 1);
    QFile(m_dir.filePath("Still_2024-01-05_101230_N0041.jpg")).open(QIODevice::WriteOnly);
    EXPECT_EQ(NextVideoCounter(m_dir.path()), 1) << "pictures do not count";
    QFile(m_dir.filePath("Video_2023-12-31_235959_N0007.avi")).open(QIODevice::WriteOnly);
    EXPECT_EQ(NextVideoCounter(m_dir.path()), 8);
    QDir(m_dir.path()).mkdir("Folder_N0050.avi");
    bool skipped = false;
    EXPECT_EQ(NextVideoCounter(m_dir.path(), &skipped), 8);
    EXPECT_TRUE(skipped) << "the window shows \"AVI Error\"";

    // Two recordings in one second with the same counter: the second takes the next number.
    QString first, second;
    const int a = CreateVideoFile(m_dir.path(), when, 3, &first);
    const int b = CreateVideoFile(m_dir.path(), when, 3, &second);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    ::close(a);
    ::close(b);
    EXPECT_TRUE(first.endsWith("_N0003.avi"));
    EXPECT_TRUE(second.endsWith("_N0004.avi"));
}

TEST_F(RecorderTest, FrameCountFollowsTheTimeTakenAtTheStreamRate)
{
    struct Case {
        int cameraIntervalMs; // the camera's pace
        int rate;             // the stream's
    };
    for (const Case c : {Case{33, 11}, Case{200, 11}, Case{100, 2}}) {
        SCOPED_TRACE(c.cameraIntervalMs);
        VideoRecorder recorder(m_clock);
        ASSERT_TRUE(recorder.PrepareDefaultCompressor(m_dir.path(), kWidth, kHeight));
        ASSERT_TRUE(recorder.Open(m_dir.path(), c.rate, kWidth, kHeight).ok());
        const int seconds = 10;
        Feed(recorder, c.cameraIntervalMs, seconds);
        const RecordingResult result = recorder.Close();
        ASSERT_FALSE(result.path.isEmpty());
        EXPECT_EQ(result.error, 0u);
        const AviReadBack back = ReadAvi(result.path);
        EXPECT_EQ(back.rate, c.rate);
        EXPECT_NEAR(double(back.headerFrames), seconds * c.rate, 1.0);
        // Frames the camera did not deliver in time repeat the one before.
        EXPECT_LE(back.decoded, back.headerFrames);
        EXPECT_GE(back.timeline, back.headerFrames - 3);
        QFile::remove(result.path);
    }
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(RecorderTest, FirstRecordingIsN0001AndTheScratchFileGoes)
{
    VideoRecorder recorder(m_clock);
    ASSERT_TRUE(recorder.PrepareDefaultCompressor(m_dir.path(), kWidth, kHeight));
    EXPECT_FALSE(QFile::exists(ScratchVideoPath(m_dir.path())));
    EXPECT_EQ(recorder.CompressorOptions().fccHandler, kHandlerMsVideo1);
    ASSERT_TRUE(recorder.Open(m_dir.path(), 11, kWidth, kHeight).ok());
    EXPECT_TRUE(recorder.path().endsWith("_N0001.avi"));
    Feed(recorder, 50, 1);
    const RecordingResult result = recorder.Close();
    EXPECT_TRUE(result.path.endsWith("_N0001.avi"));
    EXPECT_EQ(Files(), QStringList{QFileInfo(result.path).fileName()});
}

TEST_F(RecorderTest, APreparationThatFailsKeepsTheOptionsPreparedLast)
{
    VideoRecorder recorder(m_clock);
    ASSERT_TRUE(recorder.PrepareDefaultCompressor(m_dir.path(), kWidth, kHeight));
    const AviCompressOptions msvc = recorder.CompressorOptions();
    AviCompressOptions unknown = msvc;
    unknown.fccHandler = MakeFourCC('N', 'O', 'N', 'E');
    unknown.parameters.clear();
    EXPECT_FALSE(recorder.PrepareCompressor(m_dir.path(), unknown, kWidth, kHeight));
    EXPECT_EQ(recorder.CompressorOptions(), msvc);
    // MS Video 1 takes only sizes in 4-pixel blocks.
    EXPECT_FALSE(recorder.PrepareCompressor(m_dir.path(), msvc, kWidth + 1, kHeight));
    EXPECT_FALSE(QFile::exists(ScratchVideoPath(m_dir.path())));
}

TEST_F(RecorderTest, OpenFailuresAreShownAndLeaveNoFile)
{
    VideoRecorder recorder(m_clock);
    // Nothing prepared yet (as at start-up).
    RecorderOpenResult opened = recorder.Open(m_dir.path(), 11, kWidth, kHeight);
    EXPECT_EQ(opened.code, AVIERR_NOCOMPRESSOR);
    EXPECT_EQ(opened.message, "Make compress stream failed(0x80044071:0)");
    EXPECT_TRUE(m_boxes.empty()) << "the window shows the box";
    EXPECT_TRUE(Files().isEmpty());
    EXPECT_FALSE(recorder.IsOpen());

    ASSERT_TRUE(recorder.PrepareDefaultCompressor(m_dir.path(), kWidth, kHeight));
    opened = recorder.Open(m_dir.path(), 11, kWidth + 2, kHeight);
    EXPECT_EQ(opened.code, AVIERR_BADFORMAT);
    EXPECT_EQ(opened.message, "Bad compresse format");
    opened = recorder.Open(m_dir.filePath("missing"), 11, kWidth, kHeight);
    EXPECT_EQ(opened.code, AVIERR_FILEOPEN);
    EXPECT_EQ(opened.message, "Open avi file failed(0x8004406F:0)");
    EXPECT_TRUE(Files().isEmpty());
    EXPECT_TRUE(recorder.Close().path.isEmpty());
}

TEST_F(RecorderTest, FramesOfAnotherSizeOrAfterCloseAreNotWritten)
{
    VideoRecorder recorder(m_clock);
    ASSERT_TRUE(recorder.PrepareDefaultCompressor(m_dir.path(), kWidth, kHeight));
    ASSERT_TRUE(recorder.Open(m_dir.path(), 10, kWidth, kHeight).ok());
    const std::vector<std::uint8_t> big(std::size_t(kWidth) * 2 * kHeight * 2 * 3, 1);
    recorder.WriteFrame(big.data(), big.size(), kWidth * 2, kHeight * 2);
    const std::vector<std::uint8_t> frame(std::size_t(kWidth) * kHeight * 3, 1);
    recorder.WriteFrame(frame.data(), frame.size() - 1, kWidth, kHeight);
    recorder.WriteFrame(frame.data(), frame.size(), kWidth, kHeight);
    const RecordingResult result = recorder.Close();
    recorder.WriteFrame(frame.data(), frame.size(), kWidth, kHeight);
    EXPECT_EQ(result.frames, 1);
}

TEST_F(RecorderTest, AFullDiskStopsTheRecordingOnceAndKeepsAPlayableFile)
{
    VideoRecorder recorder(m_clock);
    std::atomic<int> told{0};
    recorder.SetWriteFailedHandler([&told] { ++told; });
    ASSERT_TRUE(recorder.PrepareDefaultCompressor(m_dir.path(), kWidth, kHeight));
    RecordingResult result;
    {
        const FileSizeLimit limit(48 * 1024);
        ASSERT_TRUE(recorder.Open(m_dir.path(), 10, kWidth, kHeight).ok());
        std::vector<std::uint8_t> frame(std::size_t(kWidth) * kHeight * 3);
        for (int i = 0; i < 600 && told.load() == 0; ++i) {
            for (std::size_t p = 0; p < frame.size(); ++p) {
                frame[p] = std::uint8_t((p * 31 + std::size_t(i) * 17) % 251);
            }
            m_now = i * 100;
            recorder.WriteFrame(frame.data(), frame.size(), kWidth, kHeight);
            QThread::msleep(1);
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return told.load() > 0; }, 5000));
        result = recorder.Close();
    }
    EXPECT_EQ(told.load(), 1);
    EXPECT_EQ(result.error, AVIERR_FILEWRITE);
    EXPECT_EQ(result.ioError, EFBIG);
    const AviReadBack back = ReadAvi(result.path);
    ASSERT_TRUE(back.opened);
    EXPECT_GT(back.decoded, 0);
    EXPECT_EQ(back.timeline, result.frames);
}

TEST(RecorderSeconds, ALimitOfTenCountsToTenClosesAtTenAndEndsOnTheNextTick)
{
    VideoRecorder recorder;
    recorder.StartSeconds(10);
    for (int second = 1; second <= 9; ++second) {
        EXPECT_EQ(recorder.Tick(), SecondsStep::Count);
        EXPECT_EQ(recorder.seconds(), second);
    }
    EXPECT_EQ(recorder.Tick(), SecondsStep::LastTick);
    EXPECT_EQ(recorder.seconds(), 10);
    EXPECT_EQ(recorder.Tick(), SecondsStep::Done);

    recorder.StartSeconds(kNoTimeLimit);
    for (int second = 1; second <= 1000; ++second) {
        ASSERT_EQ(recorder.Tick(), SecondsStep::Count);
    }
}

} // namespace
