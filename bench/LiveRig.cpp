#include "LiveRig.h"

#include "platform/camera/VirtualSlide.h"
#include "platform/files/ProgramFolder.h"

#include <turbojpeg.h>

namespace {
constexpr int kJpegQuality = 85;
constexpr int kFrameIntervalMs = 10000; // the stream is stopped at once anyway
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
