#include "LiveRig.h"

#include "platform/camera/VirtualSlide.h"
#include "platform/files/ProgramFolder.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <turbojpeg.h>

namespace {
constexpr int kJpegQuality = 85;
constexpr int kTexturedJpegQuality = 80;
constexpr double kSensorNoise = 4.0;    // standard deviation in luma steps
constexpr int kFrameIntervalMs = 10000; // the stream is stopped at once anyway

std::vector<std::uint8_t> Jpeg422(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v, int w,
                                  int h, int quality)
{
    const unsigned char* planes[3] = {y, u, v};
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjhandle tj = tjInitCompress();
    tjCompressFromYUVPlanes(tj, planes, w, nullptr, h, TJSAMP_422, &jpeg, &size, quality, 0);
    std::vector<std::uint8_t> bytes(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(tj);
    return bytes;
}

std::uint8_t Clamp8(double value)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}
} // namespace

std::vector<std::uint8_t> CameraBytes(int w, int h, CameraSubtype subtype, double seconds)
{
    SlideFrames slide;
    slide.Prepare(RenderSlide(Class2592, w, h, {}));
    const std::size_t pixels = std::size_t(w) * h;
    std::vector<std::uint8_t> yuyv(pixels * 2);
    if (subtype == CameraSubtype::YUY2) {
        slide.ComposeYuyv(seconds, yuyv.data());
        return yuyv;
    }
    std::vector<std::uint8_t> y(pixels), u(pixels / 2), v(pixels / 2);
    slide.ComposePlanes(seconds, y.data(), u.data(), v.data());
    return Jpeg422(y.data(), u.data(), v.data(), w, h, kJpegQuality);
}

std::vector<std::uint8_t> TexturedCameraBytes(int w, int h, CameraSubtype subtype)
{
    const std::size_t pixels = std::size_t(w) * h;
    std::vector<std::uint8_t> y(pixels), u(pixels / 2), v(pixels / 2);
    std::mt19937 random(2592);
    std::normal_distribution<double> grain(0.0, kSensorNoise);
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const double fx = double(col) / w, fy = double(row) / h;
            // Cells and fibres of a stained sample at three scales, under uneven light.
            const double cells =
                std::sin(fx * 37.0 + 3.0 * std::sin(fy * 11.0)) * std::cos(fy * 29.0 - fx * 7.0);
            const double fibres = std::sin((fx * 0.8 + fy) * 310.0 + 4.0 * std::sin(fx * 23.0));
            // The finest detail the lens passes: some ten pixels a period.
            const double fine = std::sin(fx * 260.0 + fy * 90.0) * std::sin(fy * 200.0 - fx * 40.0);
            const double light = 150.0 - 50.0 * ((fx - 0.5) * (fx - 0.5) + (fy - 0.5) * (fy - 0.5));
            const std::size_t i = std::size_t(row) * w + col;
            y[i] = Clamp8(light + 45.0 * cells + 18.0 * fibres + 9.0 * fine + grain(random));
            if ((col & 1) == 0) {
                u[i / 2] = Clamp8(128.0 + 30.0 * cells - 12.0 * fibres + grain(random) * 0.5);
                v[i / 2] = Clamp8(128.0 - 25.0 * cells + 15.0 * fine + grain(random) * 0.5);
            }
        }
    }
    if (subtype == CameraSubtype::MJPG) {
        return Jpeg422(y.data(), u.data(), v.data(), w, h, kTexturedJpegQuality);
    }
    std::vector<std::uint8_t> yuyv(pixels * 2);
    for (std::size_t i = 0; i < pixels; i += 2) {
        yuyv[i * 2] = y[i], yuyv[i * 2 + 1] = u[i / 2], yuyv[i * 2 + 2] = y[i + 1],
                 yuyv[i * 2 + 3] = v[i / 2];
    }
    return yuyv;
}

LiveFrameHooks WholeFrameHooks(const LiveViewHooks& hooks)
{
    LiveFrameHooks whole;
    whole.applyEffects = hooks.applyEffects;
    whole.paintMeasurements = hooks.paintMeasurements;
    whole.paintOverlays = hooks.paintOverlays;
    whole.recording = [] { return true; };
    return whole;
}

LiveRig::LiveRig(int w, int h, CameraSubtype subtype, LiveViewHooks hooks, VideoRecorder::Clock clock)
    : microscope(std::make_shared<VirtualMicroscope>(Class2592, kFrameIntervalMs)),
      session(nullptr, std::move(clock)), graph(session.Graph())
{
    OverrideProgramFolders(folder.path(), folder.path());
    VideoInfoHeader format;
    format.AvgTimePerFrame = 333333;
    format.bmiHeader.biWidth = w;
    format.bmiHeader.biHeight = h;
    WriteCapConfig(format);
    session.State().mjpgByClass[Class2592] = subtype == CameraSubtype::MJPG ? 1 : 0;
    graph.SetBackend(microscope);
    session.SetLiveViewHooks(std::move(hooks));
    graph.CreateDeviceEnumerator();
    graph.FindDevices();
    graph.InitCaptureFilters();
    graph.BuildGraph();
    graph.StartPreview();
    graph.StopPreview();
}

LiveRig::~LiveRig()
{
    OverrideProgramFolders({}, {});
}
