#pragma once
// The live path's test bed for the benchmarks: frames of the virtual slide as the
// camera sends them, and a capture graph built on the virtual microscope whose
// stream is stopped, so the caller feeds the frames itself.
#include "capture/CaptureSession.h"
#include "platform/camera/VirtualMicroscope.h"

#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <vector>

// One frame of the virtual slide `seconds` into its drift, YUY2 or MJPG.
std::vector<std::uint8_t> CameraBytes(int w, int h, CameraSubtype subtype, double seconds = 1.0);

// A capture session whose graph is built on the virtual microscope, negotiated to
// one size and subtype. Program folders point into a temporary folder while it lives.
struct LiveRig {
    QTemporaryDir folder;
    std::shared_ptr<VirtualMicroscope> microscope;
    CaptureSession session;
    CCaptureGraph& graph;

    // `hooks` are set before the graph starts, as the main window does; `clock`
    // places recorded frames on their time line.
    LiveRig(int w, int h, CameraSubtype subtype, LiveViewHooks hooks = {}, VideoRecorder::Clock clock = {});
    ~LiveRig();
};
