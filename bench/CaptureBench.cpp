// The live frame path (conversion, frame store, preview composition) against the
// bare conversion plus one copy of the frame.
#include "LiveRig.h"

extern "C" {
#include <libswscale/swscale.h>
}
#include <benchmark/benchmark.h>
#include <cstring>
#include <turbojpeg.h>
#include <vector>

namespace {
void LiveCallback(benchmark::State& state, CameraSubtype subtype)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    LiveRig rig(w, h, subtype);
    const std::vector<std::uint8_t> bytes = CameraBytes(w, h, subtype);
    const CameraFrame frame{subtype, w, h, bytes.data(), bytes.size(), 0.0};
    if (!FeedLive(rig, frame, state)) {
        state.SkipWithError("frames did not reach the frame store");
    }
}

void BM_CaptureLiveYuy2(benchmark::State& state)
{
    LiveCallback(state, CameraSubtype::YUY2);
}

void BM_CaptureLiveMjpg(benchmark::State& state)
{
    LiveCallback(state, CameraSubtype::MJPG);
}

void BM_CaptureBaselineYuy2(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    const std::vector<std::uint8_t> yuyv = CameraBytes(w, h, CameraSubtype::YUY2);
    std::vector<std::uint8_t> bgr(std::size_t(w) * h * 3), copy(bgr.size());
    SwsContext* sws = sws_getContext(w, h, AV_PIX_FMT_YUYV422, w, h, AV_PIX_FMT_BGR24, SWS_POINT, nullptr,
                                     nullptr, nullptr);
    const std::uint8_t* src[4] = {yuyv.data()};
    const int srcStride[4] = {w * 2};
    std::uint8_t* dst[4] = {bgr.data() + std::size_t(h - 1) * w * 3};
    const int dstStride[4] = {-w * 3};
    for (auto _ : state) {
        sws_scale(sws, src, srcStride, 0, h, dst, dstStride);
        std::memcpy(copy.data(), bgr.data(), bgr.size());
        benchmark::DoNotOptimize(copy.data());
    }
    sws_freeContext(sws);
}

void BM_CaptureBaselineMjpg(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    std::vector<std::uint8_t> jpeg = CameraBytes(w, h, CameraSubtype::MJPG);
    std::vector<std::uint8_t> bgr(std::size_t(w) * h * 3), copy(bgr.size());
    tjhandle tj = tjInitDecompress();
    for (auto _ : state) {
        tjDecompress2(tj, jpeg.data(), jpeg.size(), bgr.data(), w, w * 3, h, TJPF_BGR,
                      TJFLAG_BOTTOMUP | TJFLAG_FASTDCT);
        std::memcpy(copy.data(), bgr.data(), bgr.size());
        benchmark::DoNotOptimize(copy.data());
    }
    tjDestroy(tj);
}

void CaptureSizes(benchmark::internal::Benchmark* b)
{
    b->Args({2592, 1944})->Args({1600, 1200})->Args({640, 480})->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_CaptureLiveYuy2)->Apply(CaptureSizes);
BENCHMARK(BM_CaptureBaselineYuy2)->Apply(CaptureSizes);
BENCHMARK(BM_CaptureLiveMjpg)->Apply(CaptureSizes);
BENCHMARK(BM_CaptureBaselineMjpg)->Apply(CaptureSizes);
} // namespace
