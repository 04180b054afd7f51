// Recording speed: compressing and writing live frames into the AVI file.
#include "platform/media/AviWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <fcntl.h>
#include <turbojpeg.h>
#include <vector>

namespace {

constexpr int kLargeWidth = 2592;
constexpr int kLargeHeight = 1944;
constexpr int kSmallWidth = 640;
constexpr int kSmallHeight = 480;
constexpr int kSmallRate = 11; // the stream rate at 640 x 480
// Both at JPEG quality 90 (the recorder's quality 9000).
constexpr int kJpegQuality = 90;

// A microscope-like picture: smooth shading with fine lines, bottom-up BGR.
std::vector<std::uint8_t> Frame(int width, int height, int shift = 0)
{
    std::vector<std::uint8_t> pixels(std::size_t(width) * std::size_t(height) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &pixels[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
            const bool line = ((x + shift) % 97) < 2 || (y % 61) < 2;
            p[0] = line ? 20 : std::uint8_t(120 + (x + shift) * 60 / width);
            p[1] = line ? 20 : std::uint8_t(140 + y * 50 / height);
            p[2] = line ? 20 : std::uint8_t(180 - (x + y) * 40 / (width + height));
        }
    }
    return pixels;
}

const AviCompressor* Installed(const char* encoder)
{
    static const std::vector<AviCompressor> all = InstalledCompressors();
    for (const AviCompressor& c : all) {
        if (QByteArray(c.encoder) == encoder) {
            return &c;
        }
    }
    return nullptr;
}

bool Start(AviWriter& writer, const QString& path, const AviCompressOptions& options, int rate, int width,
           int height)
{
    AviStreamHeader header;
    header.rate = std::uint32_t(rate);
    header.width = width;
    header.height = height;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return writer.CreateFile(fd) == 0 && writer.CreateStream(header) == 0 &&
           writer.MakeCompressedStream(options) == 0 && writer.SetFormat(width, height, 24) == 0;
}

void RecordFrames(benchmark::State& state, const char* encoder, int quality, int rate, int width, int height)
{
    const AviCompressor* compressor = Installed(encoder);
    QTemporaryDir dir;
    AviWriter writer;
    if (compressor == nullptr ||
        !Start(writer, dir.filePath("bench.avi"), OptionsFor(*compressor, quality), rate, width, height)) {
        state.SkipWithError("compressor not installed");
        return;
    }
    // Two alternating pictures, so inter-frame compressors see motion.
    const std::vector<std::uint8_t> frames[2] = {Frame(width, height), Frame(width, height, 5)};
    std::int64_t index = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t>& frame = frames[index % 2];
        if (writer.WriteFrame(frame.data(), frame.size(), index++) != 0) {
            state.SkipWithError("write failed");
            break;
        }
    }
    writer.Close();
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_RecordMjpeg2592(benchmark::State& state)
{
    RecordFrames(state, "mjpeg", kJpegQuality * kQualityBest / 100, 2, kLargeWidth, kLargeHeight);
}
BENCHMARK(BM_RecordMjpeg2592)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RecordTurboJpeg2592(benchmark::State& state)
{
    const std::vector<std::uint8_t> frame = Frame(kLargeWidth, kLargeHeight);
    tjhandle tj = tjInitCompress();
    for (auto _ : state) {
        unsigned char* jpeg = nullptr;
        unsigned long size = 0;
        tjCompress2(tj, frame.data(), kLargeWidth, kLargeWidth * 3, kLargeHeight, TJPF_BGR, &jpeg, &size,
                    TJSAMP_420, kJpegQuality, TJFLAG_BOTTOMUP);
        benchmark::DoNotOptimize(size);
        tjFree(jpeg);
    }
    tjDestroy(tj);
}
BENCHMARK(BM_RecordTurboJpeg2592)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RecordMsVideo1_640(benchmark::State& state)
{
    const AviCompressor* msvc = Installed("msvideo1");
    RecordFrames(state, "msvideo1", msvc ? msvc->defaultQuality : 0, kSmallRate, kSmallWidth, kSmallHeight);
}
BENCHMARK(BM_RecordMsVideo1_640)->Unit(benchmark::kMillisecond)->UseRealTime();

// The time one frame may take at 11 frames per second.
void BM_RecordFrameBudget11(benchmark::State& state)
{
    for (auto _ : state) {
        state.SetIterationTime(1.0 / kSmallRate);
    }
}
BENCHMARK(BM_RecordFrameBudget11)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace
