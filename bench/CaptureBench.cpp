// The live frame path (conversion, frame store, preview composition) against the
// bare conversion plus one copy of the frame.
#include "capture/CCaptureGraph.h"
#include "platform/camera/VirtualMicroscope.h"
#include "platform/camera/VirtualSlide.h"
#include "platform/files/ProgramFolder.h"

extern "C" {
#include <libswscale/swscale.h>
}
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>
#include <turbojpeg.h>
#include <vector>

namespace {
constexpr int kJpegQuality = 85;

// One frame of the virtual slide as the camera would send it.
std::vector<std::uint8_t> CameraBytes(int w, int h, CameraSubtype subtype)
{
    SlideFrames slide;
    slide.Prepare(RenderSlide(Class2592, w, h, {}));
    const std::size_t pixels = std::size_t(w) * h;
    std::vector<std::uint8_t> yuyv(pixels * 2);
    if (subtype == CameraSubtype::YUY2) {
        slide.ComposeYuyv(1.0, yuyv.data());
        return yuyv;
    }
    std::vector<std::uint8_t> y(pixels), u(pixels / 2), v(pixels / 2);
    slide.ComposePlanes(1.0, y.data(), u.data(), v.data());
    const unsigned char* planes[3] = {y.data(), u.data(), v.data()};
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjhandle tj = tjInitCompress();
    tjCompressFromYUVPlanes(tj, planes, w, nullptr, h, TJSAMP_422, &jpeg, &size, kJpegQuality, 0);
    std::vector<std::uint8_t> bytes(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(tj);
    return bytes;
}

// A built capture graph on the virtual microscope, negotiated to one size and
// subtype; its stream is stopped so the benchmark feeds the frames itself.
struct LiveRig {
    QTemporaryDir folder;
    std::shared_ptr<VirtualMicroscope> microscope = std::make_shared<VirtualMicroscope>(Class2592, 10000);
    CCaptureGraph graph;

    LiveRig(int w, int h, CameraSubtype subtype)
    {
        OverrideProgramFolders(folder.path(), folder.path());
        VideoInfoHeader format;
        format.AvgTimePerFrame = 333333;
        format.bmiHeader.biWidth = w;
        format.bmiHeader.biHeight = h;
        WriteCapConfig(format);
        mjpgByClass[Class2592] = subtype == CameraSubtype::MJPG ? 1 : 0;
        graph.SetBackend(microscope);
        graph.CreateDeviceEnumerator();
        graph.FindDevices();
        graph.InitCaptureFilters();
        graph.BuildGraph();
        graph.StartPreview();
        graph.StopPreview();
    }
    ~LiveRig() { OverrideProgramFolders({}, {}); }
};

void LiveCallback(benchmark::State& state, CameraSubtype subtype)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    LiveRig rig(w, h, subtype);
    const std::vector<std::uint8_t> bytes = CameraBytes(w, h, subtype);
    const CameraFrame frame{subtype, w, h, bytes.data(), bytes.size(), 0.0};
    for (auto _ : state) {
        rig.graph.OnCameraFrame(frame);
    }
    if (FrameStore.width.load() != w) {
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
