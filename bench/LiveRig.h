#pragma once
// The live path's test bed for the benchmarks: frames of the virtual slide as the
// camera sends them, and a capture graph built on the virtual microscope whose
// stream is stopped, so the caller feeds the frames itself.
#include "capture/CCaptureGraph.h"
#include "platform/camera/VirtualMicroscope.h"

#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <vector>

// One frame of the virtual slide `seconds` into its drift, YUY2 or MJPG.
std::vector<std::uint8_t> CameraBytes(int w, int h, CameraSubtype subtype, double seconds = 1.0);

// A built capture graph on the virtual microscope, negotiated to one size and
// subtype. Program folders point into a temporary folder while it lives.
struct LiveRig {
    QTemporaryDir folder;
    std::shared_ptr<VirtualMicroscope> microscope;
    CCaptureGraph graph;

    // `hooks` are set before the graph starts, as the main window does.
    LiveRig(int w, int h, CameraSubtype subtype, LiveFrameHooks hooks = {});
    ~LiveRig();
};
