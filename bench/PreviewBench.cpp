// The live path of a large camera on frames of real texture: the preview's small
// pictures in the window (640 x 480) and in full screen (1280 x 1024), next to the
// same path converting every frame whole and to one bare full decode plus copy.
#include "LiveRig.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <turbojpeg.h>
#include <vector>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;

const std::vector<std::uint8_t>& TexturedFrame(CameraSubtype subtype)
{
    static const std::vector<std::uint8_t> jpeg = TexturedCameraBytes(kWidth, kHeight, CameraSubtype::MJPG);
    static const std::vector<std::uint8_t> yuyv = TexturedCameraBytes(kWidth, kHeight, CameraSubtype::YUY2);
    return subtype == CameraSubtype::MJPG ? jpeg : yuyv;
}

// range(0): the preview's width (640 the window, 1280 full screen); range(1): 1 to
// convert every frame whole as before.
void LiveTextured(benchmark::State& state, CameraSubtype subtype)
{
    LiveRig rig(kWidth, kHeight, subtype);
    if (state.range(1) == 1) {
        rig.graph.SetLiveFrameHooks(WholeFrameHooks({}));
    }
    CapturePreview* preview = rig.graph.Preview();
    if (state.range(0) != preview->width()) {
        preview->resize(int(state.range(0)), int(state.range(0)) * 4 / 5);
        preview->EnterFullScreen(); // makes the picture at the new size
    }
    const std::vector<std::uint8_t>& bytes = TexturedFrame(subtype);
    const CameraFrame frame{subtype, kWidth, kHeight, bytes.data(), bytes.size(), 0.0};
    if (!FeedLive(rig, frame, state)) {
        state.SkipWithError("frames did not reach the frame store");
    }
}

void BM_PreviewMjpgTextured(benchmark::State& state)
{
    LiveTextured(state, CameraSubtype::MJPG);
}

void BM_PreviewYuy2Textured(benchmark::State& state)
{
    LiveTextured(state, CameraSubtype::YUY2);
}

void BM_PreviewBaselineMjpgTextured(benchmark::State& state)
{
    const std::vector<std::uint8_t>& jpeg = TexturedFrame(CameraSubtype::MJPG);
    std::vector<std::uint8_t> bgr(std::size_t(kWidth) * kHeight * 3), copy(bgr.size());
    tjhandle tj = tjInitDecompress();
    for (auto _ : state) {
        tjDecompress2(tj, jpeg.data(), jpeg.size(), bgr.data(), kWidth, kWidth * 3, kHeight, TJPF_BGR,
                      TJFLAG_BOTTOMUP | TJFLAG_FASTDCT);
        std::memcpy(copy.data(), bgr.data(), bgr.size());
        benchmark::DoNotOptimize(copy.data());
    }
    tjDestroy(tj);
}

void PreviewModes(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"preview", "whole"});
    b->Args({640, 0})->Args({640, 1})->Args({1280, 0})->Args({1280, 1})->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_PreviewMjpgTextured)->Apply(PreviewModes);
BENCHMARK(BM_PreviewYuy2Textured)->Apply(PreviewModes);
BENCHMARK(BM_PreviewBaselineMjpgTextured)->Unit(benchmark::kMillisecond);

} // namespace
