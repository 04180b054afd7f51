#pragma once
// A capture graph on the virtual microscope fed with camera frames by the
// benchmark itself, and the bytes of one camera frame.
#include "capture/CCaptureGraph.h"
#include "platform/camera/VirtualMicroscope.h"
#include "platform/camera/VirtualSlide.h"
#include "platform/files/ProgramFolder.h"

#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <turbojpeg.h>
#include <vector>

namespace benchrig {
inline constexpr int kJpegQuality = 85;

// One frame of the virtual slide as the camera would send it.
inline std::vector<std::uint8_t> CameraBytes(int w, int h, CameraSubtype subtype)
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

} // namespace benchrig
