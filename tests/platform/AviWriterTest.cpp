// Recordings written with every installed compressor read back as a player reads
// them; a failed write leaves a finished, playable file.
#include "platform/media/AviWriter.h"

#include "common/AviReadBack.h"
#include "common/FileSizeLimit.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

// Bottom-up BGR rows: the top quarter of the picture red, the rest dark blue.
std::vector<std::uint8_t> Frame(int width, int height, int shade = 0)
{
    std::vector<std::uint8_t> pixels(std::size_t(width) * std::size_t(height) * 3);
    for (int row = 0; row < height; ++row) {
        const bool top = row >= height * 3 / 4; // bottom-up: the last rows are the top
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &pixels[(std::size_t(row) * std::size_t(width) + std::size_t(x)) * 3];
            p[0] = top ? 0 : 120;
            p[1] = std::uint8_t(shade);
            p[2] = top ? 230 : 0;
        }
    }
    return pixels;
}

int OpenNew(const QString& path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

std::uint32_t Start(AviWriter& writer, const QString& path, const AviCompressOptions& options, int rate,
                    int width, int height)
{
    AviStreamHeader header;
    header.rate = std::uint32_t(rate);
    header.width = width;
    header.height = height;
    std::uint32_t code = writer.CreateFile(OpenNew(path));
    code = code ? code : writer.CreateStream(header);
    code = code ? code : writer.MakeCompressedStream(options);
    return code ? code : writer.SetFormat(width, height, 24);
}

TEST(AviWriter, EveryCompressorReadsBackWithItsRateCountAndPicture)
{
    QTemporaryDir dir;
    const std::vector<AviCompressor> compressors = InstalledCompressors();
    ASSERT_FALSE(compressors.empty());
    EXPECT_EQ(compressors.front().handler, kHandlerMsVideo1);
    const int rate = 5;
    const int seconds = 2;
    for (const AviCompressor& compressor : compressors) {
        SCOPED_TRACE(compressor.encoder);
        const QString path = dir.filePath(QString::fromLatin1(compressor.encoder) + ".avi");
        AviWriter writer;
        ASSERT_EQ(
            Start(writer, path, OptionsFor(compressor, compressor.defaultQuality), rate, kWidth, kHeight),
            0u);
        for (int i = 0; i < rate * seconds; ++i) {
            const std::vector<std::uint8_t> frame = Frame(kWidth, kHeight, i * 10);
            ASSERT_EQ(writer.WriteFrame(frame.data(), frame.size(), i), 0u);
        }
        EXPECT_EQ(writer.Close(), 0u);
        const AviReadBack back = ReadAvi(path);
        ASSERT_TRUE(back.opened);
        EXPECT_EQ(back.rate, rate);
        EXPECT_EQ(back.headerFrames, rate * seconds);
        EXPECT_EQ(back.decoded, rate * seconds);
        if (compressor.handler != 0) {
            EXPECT_EQ(back.codecTag, compressor.handler);
        }
        // The picture is upright: red on top, blue below.
        ASSERT_FALSE(back.first.isNull());
        const QColor top = back.first.pixelColor(kWidth / 2, 2);
        const QColor bottom = back.first.pixelColor(kWidth / 2, kHeight - 3);
        EXPECT_GT(top.red(), 150);
        EXPECT_LT(top.blue(), 60);
        EXPECT_GT(bottom.blue(), 80);
        EXPECT_LT(bottom.red(), 60);
    }
}

TEST(AviWriter, SkippedMomentsBecomeEmptyFramesAndOrderIsKept)
{
    QTemporaryDir dir;
    AviCompressOptions options;
    ASSERT_TRUE(DefaultCompressorOptions(&options));
    AviWriter writer;
    ASSERT_EQ(Start(writer, dir.filePath("gaps.avi"), options, 10, kWidth, kHeight), 0u);
    const std::vector<std::uint8_t> frame = Frame(kWidth, kHeight);
    EXPECT_EQ(writer.WriteFrame(frame.data(), frame.size(), 0), 0u);
    EXPECT_EQ(writer.WriteFrame(frame.data(), frame.size(), 4), 0u);
    EXPECT_NE(writer.WriteFrame(frame.data(), frame.size(), 4), 0u);     // the same moment twice
    EXPECT_NE(writer.WriteFrame(frame.data(), frame.size() - 1, 5), 0u); // short buffer
    EXPECT_EQ(writer.Close(), 0u);
    const AviReadBack back = ReadAvi(dir.filePath("gaps.avi"));
    EXPECT_EQ(back.headerFrames, 5);
    EXPECT_EQ(back.timeline, 5);
    EXPECT_EQ(back.decoded, 2);
}

TEST(AviWriter, RefusesWhatItCannotWrite)
{
    QTemporaryDir dir;
    AviWriter writer;
    AviCompressOptions none;
    AviStreamHeader header;
    header.rate = 11;
    ASSERT_EQ(writer.CreateFile(OpenNew(dir.filePath("a.avi"))), 0u);
    ASSERT_EQ(writer.CreateStream(header), 0u);
    EXPECT_EQ(writer.MakeCompressedStream(none), AVIERR_NOCOMPRESSOR);
    AviCompressOptions msvc;
    ASSERT_TRUE(DefaultCompressorOptions(&msvc));
    ASSERT_EQ(writer.MakeCompressedStream(msvc), 0u);
    EXPECT_EQ(writer.SetFormat(kWidth, kHeight, 8), AVIERR_UNSUPPORTED);
    EXPECT_EQ(writer.SetFormat(kWidth + 2, kHeight, 24), AVIERR_BADFORMAT); // MS Video 1 needs 4-pixel blocks
    EXPECT_EQ(writer.CreateFile(-1), AVIERR_FILEOPEN);
}

TEST(AviWriter, FullDiskEndsWithAPlayableFileOfEveryWholeFrame)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("full.avi");
    const std::vector<AviCompressor> compressors = InstalledCompressors();
    const auto raw = std::find_if(compressors.begin(), compressors.end(),
                                  [](const AviCompressor& c) { return c.handler == 0; });
    ASSERT_NE(raw, compressors.end());
    std::int64_t written = 0;
    std::uint32_t closed = 0;
    {
        const FileSizeLimit limit(200 * 1024); // about 21 frames of 64 x 48 x 3
        AviWriter writer;
        ASSERT_EQ(Start(writer, path, OptionsFor(*raw, kQualityBest), 10, kWidth, kHeight), 0u);
        const std::vector<std::uint8_t> frame = Frame(kWidth, kHeight);
        std::uint32_t code = 0;
        for (int i = 0; i < 100 && code == 0; ++i) {
            code = writer.WriteFrame(frame.data(), frame.size(), i);
        }
        EXPECT_EQ(code, AVIERR_FILEWRITE);
        EXPECT_NE(writer.ioError(), 0);
        written = writer.framesWritten();
        closed = writer.Close();
    }
    EXPECT_EQ(closed, AVIERR_FILEWRITE);
    ASSERT_GT(written, 10);
    const AviReadBack back = ReadAvi(path);
    ASSERT_TRUE(back.opened);
    EXPECT_EQ(back.headerFrames, written);
    EXPECT_EQ(back.decoded, written);
}

TEST(AviWriter, ACutFileGetsItsIndexWhenThereIsRoom)
{
    // The file's writing fails once; the disk then has room again for the index.
    QTemporaryDir dir;
    const QString path = dir.filePath("cut.avi");
    AviCompressOptions options;
    ASSERT_TRUE(DefaultCompressorOptions(&options));
    std::int64_t written = 0;
    {
        AviWriter writer;
        std::uint32_t code = 0;
        {
            const FileSizeLimit limit(64 * 1024);
            ASSERT_EQ(Start(writer, path, options, 10, kWidth, kHeight), 0u);
            for (int i = 0; i < 2000 && code == 0; ++i) {
                const std::vector<std::uint8_t> frame = Frame(kWidth, kHeight, (i * 37) % 256);
                code = writer.WriteFrame(frame.data(), frame.size(), i);
            }
        }
        EXPECT_EQ(code, AVIERR_FILEWRITE);
        written = writer.framesWritten();
        EXPECT_EQ(writer.Close(), AVIERR_FILEWRITE);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("idx1"));
    const AviReadBack back = ReadAvi(path);
    EXPECT_EQ(back.headerFrames, written);
    EXPECT_EQ(back.decoded, written);
}

TEST(AviWriter, RecordingsBeyondOneGigabyteContinueInOpenDmlParts)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("large.avi");
    const std::vector<AviCompressor> compressors = InstalledCompressors();
    const auto raw = std::find_if(compressors.begin(), compressors.end(),
                                  [](const AviCompressor& c) { return c.handler == 0; });
    ASSERT_NE(raw, compressors.end());
    const int width = 2592;
    const int height = 1944;
    const int frames = 80; // 15 MB each
    {
        AviWriter writer;
        ASSERT_EQ(Start(writer, path, OptionsFor(*raw, kQualityBest), 2, width, height), 0u);
        const std::vector<std::uint8_t> frame = Frame(width, height);
        for (int i = 0; i < frames; ++i) {
            ASSERT_EQ(writer.WriteFrame(frame.data(), frame.size(), i), 0u);
        }
        EXPECT_EQ(writer.Close(), 0u);
    }
    EXPECT_GT(QFileInfo(path).size(), 0x40000000LL);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ASSERT_TRUE(file.seek(0x40000000LL));
    EXPECT_TRUE(file.read(64LL * 1024 * 1024).contains("AVIX"));
    file.close();
    const AviReadBack back = ReadAvi(path);
    EXPECT_EQ(back.headerFrames, frames);
    EXPECT_EQ(back.decoded, frames);
    QFile::remove(path);
}

} // namespace

namespace {

TEST(AviWriter, AFullDiskBeyondOneGigabyteKeepsEveryPartPlayable)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("large-cut.avi");
    const std::vector<AviCompressor> compressors = InstalledCompressors();
    const auto raw = std::find_if(compressors.begin(), compressors.end(),
                                  [](const AviCompressor& c) { return c.handler == 0; });
    ASSERT_NE(raw, compressors.end());
    const int width = 2592;
    const int height = 1944;
    std::int64_t written = 0;
    {
        const FileSizeLimit limit(0x40000000LL + 100LL * 1024 * 1024); // ends in the second part
        AviWriter writer;
        ASSERT_EQ(Start(writer, path, OptionsFor(*raw, kQualityBest), 2, width, height), 0u);
        const std::vector<std::uint8_t> frame = Frame(width, height);
        std::uint32_t code = 0;
        for (int i = 0; i < 200 && code == 0; ++i) {
            code = writer.WriteFrame(frame.data(), frame.size(), i);
        }
        EXPECT_EQ(code, AVIERR_FILEWRITE);
        written = writer.framesWritten();
        EXPECT_EQ(writer.Close(), AVIERR_FILEWRITE);
    }
    EXPECT_GT(written, 70);
    const AviReadBack back = ReadAvi(path);
    EXPECT_EQ(back.headerFrames, written);
    EXPECT_EQ(back.decoded, written);
    QFile::remove(path);
}

} // namespace
