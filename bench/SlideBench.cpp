// Finding the ruler in one 2592 x 1944 frame of the virtual slide, against one
// TurboJPEG decode of the same frame.
#include "measure/RulerFinder.h"
#include "measure/RulerGrey.h"
#include "measure/RulerProfile.h"
#include "platform/camera/VirtualSlide.h"

#include <QBuffer>
#include <QImage>
#include <benchmark/benchmark.h>
#include <limits>
#include <numbers>
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

// The finder's costliest step alone: the whole frame projected onto an axis, on every
// fourth line across it, along the picture's rows (0) and its columns (90 degrees).
void BM_SlideProjection2592(benchmark::State& state)
{
    const QImage grey = ruler::GreyPicture(QImage::fromData(FrameJpeg(), "JPG"));
    const double angle = state.range(0) * std::numbers::pi / 180;
    constexpr double kEverywhere = std::numeric_limits<double>::max();
    for (auto _ : state) {
        const ruler::Projection p =
            ruler::Project(grey, angle, 4, -kEverywhere, kEverywhere, ruler::kSearchStripWidth);
        benchmark::DoNotOptimize(p.sum.data());
    }
}
BENCHMARK(BM_SlideProjection2592)->Arg(0)->Arg(90)->Unit(benchmark::kMillisecond);

} // namespace
