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

// One frame as a real sensor sends it: structure down to the finest the lens passes
// and sensor grain on every pixel, which compresses and decodes like a camera's frame
// (the slide's flat areas do not). MJPG frames are 4:2:2 at quality 80, as most
// cameras send them (about 0.7 MB at 2592 x 1944).
std::vector<std::uint8_t> TexturedCameraBytes(int w, int h, CameraSubtype subtype);

// The live hooks of `hooks` with the preview's small pictures switched off: every
// frame is converted whole, as the live path did before it had them.
LiveFrameHooks WholeFrameHooks(const LiveViewHooks& hooks);

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

// Runs `frame` through the live path once (the first frame touches the frame store's
// and the preview's memory, loads fonts and lays out labels; a running preview has
// done that long before), then once per round of `rounds` (a benchmark's state).
// False when the frames did not reach the frame store.
template <typename Rounds> bool FeedLive(LiveRig& rig, const CameraFrame& frame, Rounds& rounds)
{
    rig.graph.OnCameraFrame(frame);
    for (auto _ : rounds) {
        rig.graph.OnCameraFrame(frame);
    }
    return rig.session.State().FrameStore.width.load() == frame.width;
}
