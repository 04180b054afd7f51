// A recording against the kernel's uvcvideo when the camera vanishes in the middle of
// it, inside the rig's VM: the shipped recorder gets the frames the V4L2 layer converts,
// the camera program is killed, and the file must still be whole.
// Environment (besides RigMain's): PELORA_RIG_OUT, the folder the recording goes to
// (the rig shares it with the host, which probes the file again).
#include "capture/VideoRecorder.h"
#include "common/AviReadBack.h"
#include "common/UvcRig.h"
#include "kernel/RigCameraProcess.h"
#include "kernel/RigChecks.h"
#include "kernel/RigPattern.h"
#include "kernel/TracingV4l2Io.h"
#include "platform/camera/FrameConverter.h"
#include "platform/camera/V4l2Backend.h"

#include <QDir>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>
#include <set>

namespace {
using namespace rig;
using Clock = std::chrono::steady_clock;

constexpr int kRate = 30; // the camera's frame rate
constexpr std::size_t kFramesBeforeUnplug = 20;

// The live frames as the capture thread hands them to the recorder, and when the
// stream reported its end.
class RecordingSinks {
public:
    explicit RecordingSinks(VideoRecorder& recorder) : m_recorder(recorder) {}
    CameraStreamSinks Sinks()
    {
        CameraStreamSinks sinks;
        sinks.frame = [this](const CameraFrame& frame) {
            std::vector<std::uint8_t> picture(FrameConverter::OutputSize(frame.width, frame.height));
            std::lock_guard guard(m_lock);
            if (m_converter.Convert(frame, picture.data(), picture.size())) {
                if (m_frames == 0) {
                    m_firstAt = Clock::now();
                }
                m_recorder.WriteFrame(picture.data(), picture.size(), frame.width, frame.height);
                ++m_frames;
            }
        };
        sinks.button = [] {};
        sinks.streamEnded = [this](CameraStatus status) {
            std::lock_guard guard(m_lock);
            m_ended.push_back(status);
            m_endedAt = Clock::now();
        };
        return sinks;
    }
    std::size_t Frames()
    {
        std::lock_guard guard(m_lock);
        return m_frames;
    }
    std::vector<CameraStatus> Ended()
    {
        std::lock_guard guard(m_lock);
        return m_ended;
    }
    Clock::time_point EndedAt()
    {
        std::lock_guard guard(m_lock);
        return m_endedAt;
    }
    Clock::time_point FirstAt()
    {
        std::lock_guard guard(m_lock);
        return m_firstAt;
    }

private:
    VideoRecorder& m_recorder;
    std::mutex m_lock;
    FrameConverter m_converter;
    std::size_t m_frames = 0;
    std::vector<CameraStatus> m_ended;
    Clock::time_point m_endedAt;
    Clock::time_point m_firstAt;
};

TEST(RealUvcRecording, CameraKilledMidRecordingLeavesAWholeFileAndReplugResumes)
{
    const char* out = std::getenv("PELORA_RIG_OUT");
    const QString folder = out ? QString(out) : QDir::tempPath() + "/rig-recording";
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto io = std::make_shared<TracingV4l2Io>();
    V4l2Backend backend(io, SystemUdev());
    CameraDeviceInfo info;
    ASSERT_TRUE(FindRigCamera(backend, info));
    CameraStatus status = CameraStatus::Failed;
    auto device = backend.Open(info, &status);
    ASSERT_TRUE(device) << CameraStatusName(status);
    const Size size = kYuyvSizes[0];
    const CameraFormat format{CameraSubtype::YUY2, size.width, size.height};
    ASSERT_EQ(device->SetFormat(format), CameraStatus::Ok);

    VideoRecorder recorder;
    ASSERT_TRUE(recorder.PrepareDefaultCompressor(folder, size.width, size.height));
    const RecorderOpenResult opened = recorder.Open(folder, kRate, size.width, size.height);
    ASSERT_TRUE(opened.ok()) << opened.message.toStdString();
    RecordingSinks sinks(recorder);
    ASSERT_EQ(device->Start(sinks.Sinks()), CameraStatus::Ok);
    ASSERT_TRUE(emu::WaitFor([&] { return sinks.Frames() >= kFramesBeforeUnplug; }, 60));

    const auto killed = Clock::now();
    io->Arm();
    PluggedCamera().Kill();
    ASSERT_TRUE(emu::WaitFor([&] { return !sinks.Ended().empty(); }, 10)) << "the loss was never reported";
    const long long ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(sinks.EndedAt() - killed).count();
    EXPECT_EQ(sinks.Ended(), std::vector<CameraStatus>{CameraStatus::Gone});
    const auto closing = Clock::now();
    const RecordingResult result = recorder.Close();
    const auto closed = Clock::now();
    device.reset(); // must not hang on the vanished node
    for (const std::string& call : io->Trace()) {
        std::printf("rig: after the kill: %s\n", call.c_str());
    }
    // uvcvideo takes the node away before it cancels the transfers: no buffer comes back
    // flagged as damaged, every call fails with ENODEV (which the layer reports as Gone).
    EXPECT_EQ(io->Flagged(), 0);
    EXPECT_EQ(io->Errors(), std::set<int>{ENODEV});
    EXPECT_EQ(result.error, 0u);
    EXPECT_EQ(result.ioError, 0);
    // The time line runs on the clock from the first frame to the close, whatever the
    // camera's pace was: the VM's camera delivers its frames in bursts at times, so the
    // count of frames that came is not the length of the file.
    const auto framesUntil = [&](Clock::time_point end) {
        return std::chrono::duration<double>(end - sinks.FirstAt()).count() * kRate;
    };
    EXPECT_GE(double(result.frames), framesUntil(closing) - 1) << "the recording lost part of its time line";
    EXPECT_LE(double(result.frames), framesUntil(closed) + 1);

    // Read back as a player would, with the codec library. The recorder keeps the time
    // line: a frame it had no picture for (the compressor was behind, or the camera
    // slower than the rate) is an empty one, which players show as the picture before.
    const AviReadBack back = ReadAvi(result.path);
    ASSERT_TRUE(back.opened) << result.path.toStdString();
    EXPECT_EQ(back.headerFrames, result.frames);
    EXPECT_EQ(back.rate, kRate);
    EXPECT_GE(back.decoded, 1);
    EXPECT_LE(std::size_t(back.decoded + result.dropped), sinks.Frames());
    EXPECT_EQ(back.first.width(), size.width);
    EXPECT_EQ(back.first.height(), size.height);
    std::printf("rig: camera killed mid-recording: loss reported after %lld ms; %zu frames came, %lld "
                "dropped; %s reads back %lld frames at %d/s (%.2f s), %d pictures decoded\n",
                ms, sinks.Frames(), static_cast<long long>(result.dropped),
                qPrintable(QDir(folder).relativeFilePath(result.path)),
                static_cast<long long>(back.headerFrames), back.rate,
                back.rate ? double(back.headerFrames) / back.rate : 0.0, back.decoded);

    emu::Recorder again;
    ExpectPreviewResumes(backend, info, format, again);
}
} // namespace
