// Finding the ruler in one 2592 x 1944 frame of the virtual slide, against one
// TurboJPEG decode of the same frame.
#include "measure/RulerFinder.h"
#include "platform/camera/VirtualSlide.h"

#include <QBuffer>
#include <QImage>
#include <benchmark/benchmark.h>
#include <turbojpeg.h>
#include <vector>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;
constexpr int kClass2592 = 2;

const QByteArray& FrameJpeg()
{
    static const QByteArray jpeg = [] {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        RenderSlide(kClass2592, kWidth, kHeight, {}).save(&buffer, "JPG", 90);
        return bytes;
    }();
    return jpeg;
}

void BM_SlideTurboJpegDecode2592(benchmark::State& state)
{
    const QByteArray& jpeg = FrameJpeg();
    std::vector<unsigned char> bgr(std::size_t(kWidth) * kHeight * 3);
    tjhandle tj = tjInitDecompress();
    for (auto _ : state) {
        tjDecompress2(tj, reinterpret_cast<const unsigned char*>(jpeg.constData()), jpeg.size(), bgr.data(),
                      kWidth, kWidth * 3, kHeight, TJPF_BGR, 0);
        benchmark::DoNotOptimize(bgr.data());
    }
    tjDestroy(tj);
}
BENCHMARK(BM_SlideTurboJpegDecode2592)->Unit(benchmark::kMillisecond);

void BM_SlideAnalysis2592(benchmark::State& state)
{
    const QImage frame = QImage::fromData(FrameJpeg(), "JPG").convertToFormat(QImage::Format_BGR888);
    for (auto _ : state) {
        const RulerFinding finding = FindRuler(frame);
        if (finding.status != RulerStatus::Found) {
            state.SkipWithError("no ruler in the virtual slide");
            return;
        }
        benchmark::DoNotOptimize(finding.pitch);
    }
}
BENCHMARK(BM_SlideAnalysis2592)->Unit(benchmark::kMillisecond);

} // namespace
