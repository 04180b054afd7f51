// The V4L2 backend's stream against the emulated UVC driver: what frames reach the
// picture, and how a stream that stalls, breaks or loses its device is handled.
#include "EmulatedUvc.h"
#include "UvcRig.h"

#include <gtest/gtest.h>
#include <linux/videodev2.h>

namespace emu {
namespace {
constexpr auto kNoRestart = std::chrono::seconds(60);

std::size_t StartOfScan(const std::vector<std::uint8_t>& jpeg)
{
    for (std::size_t at = 2; at + 1 < jpeg.size(); ++at) {
        if (jpeg[at] == 0xFF && jpeg[at + 1] == 0xDA) {
            return at;
        }
    }
    return 0;
}

// The markers and tables of a JPEG without its scan: a frame that carries no image.
std::vector<std::uint8_t> HeadersOnly(const std::vector<std::uint8_t>& jpeg)
{
    std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + long(StartOfScan(jpeg)));
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

TEST(UvcStream, MjpgFramesWithWarningsAreShownAndBrokenOnesDropped)
{
    Rig rig(kNoRestart);
    const int cam = rig.uvc->Plug(2);
    auto camera = rig.OpenAt(cam, CameraSubtype::MJPG, 640, 480);
    ASSERT_TRUE(camera);
    const auto jpeg = RedOverBlueJpeg(640, 480);
    auto stray = jpeg;
    // Stray bytes before a marker, as some cameras send: the decoder skips them with a warning.
    stray.insert(stray.begin() + long(StartOfScan(jpeg)), {0x00, 0x12, 0x34});
    const std::vector<std::uint8_t> cut(jpeg.begin(), jpeg.begin() + long(jpeg.size() * 2 / 3));
    auto padded = jpeg;
    padded.resize(jpeg.size() + 4096, 0); // the driver's bytesused counts padding after EOI
    rig.uvc->With(cam, [&](Camera& c) {
        for (const auto& bytes : {jpeg, WithoutHuffmanTables(jpeg), stray, cut, padded, HeadersOnly(jpeg)}) {
            c.script.push_back({bytes, 0});
        }
        c.script.push_back({jpeg, V4L2_BUF_FLAG_ERROR});
        c.stallAfter = 7;
    });
    Recorder recorder;
    ASSERT_EQ(camera->Start(recorder.Sinks()), CameraStatus::Ok);
    ASSERT_TRUE(WaitFor([&] { return rig.uvc->Snapshot(cam).framesDelivered == 7; }));
    ASSERT_TRUE(WaitFor([&] { return recorder.Frames() >= 6; }));
    camera->Stop();
    EXPECT_EQ(recorder.Shown(), (std::vector<bool>{true, true, true, false, true, false}))
        << "plain, no Huffman tables, stray bytes, cut short, zero padded, no image; the flagged one never "
           "arrives";
}

TEST(UvcStream, PaddedYuyvRowsKeepThePicture)
{
    Rig rig(kNoRestart);
    const int cam = rig.uvc->Plug(0);
    rig.uvc->With(cam, [](Camera& c) { c.rowPadding = 96; });
    auto camera = rig.OpenAt(cam);
    ASSERT_TRUE(camera);
    const int w = 320, h = 240, stride = w * 2 + 96;
    std::vector<std::uint8_t> frame(std::size_t(stride) * h, 255); // padding shows white if read
    for (int y = 0; y < h; ++y) {
        const bool red = y < h / 2;
        for (int x = 0; x < w; x += 2) {
            std::uint8_t* p = &frame[std::size_t(y) * stride + x * 2];
            p[0] = p[2] = red ? 81 : 41, p[1] = red ? 90 : 240, p[3] = red ? 240 : 110;
        }
    }
    rig.uvc->With(cam, [&](Camera& c) {
        c.script.push_back({frame, 0});
        c.stallAfter = 1;
    });
    Recorder recorder;
    ASSERT_EQ(camera->Start(recorder.Sinks()), CameraStatus::Ok);
    ASSERT_TRUE(WaitFor([&] { return recorder.Frames() == 1; }));
    camera->Stop();
    const auto bgr = recorder.LastPicture();
    ASSERT_EQ(bgr.size(), std::size_t(w) * h * 3);
    auto at = [&](int row, int x) { return &bgr[(std::size_t(row) * w + x) * 3]; }; // bottom-up rows
    for (int row : {0, h / 2 - 8, h / 2 - 1}) {
        EXPECT_GT(at(row, w / 2)[0], 200) << "blue at picture row " << h - 1 - row;
        EXPECT_LT(at(row, w / 2)[2], 60);
    }
    for (int row : {h / 2 + 8, h - 1}) {
        EXPECT_GT(at(row, w / 2)[2], 200) << "red at picture row " << h - 1 - row;
        EXPECT_LT(at(row, w / 2)[0], 60);
    }
}

TEST(UvcStream, SilentStreamIsRestartedAndErrorStormsCountAsSilence)
{
    Rig rig;
    const int cam = rig.uvc->Plug(0);
    auto camera = rig.OpenAt(cam);
    ASSERT_TRUE(camera);
    rig.uvc->With(cam, [](Camera& c) { c.stallAfter = 5; });
    Recorder recorder;
    ASSERT_EQ(camera->Start(recorder.Sinks()), CameraStatus::Ok);
    ASSERT_TRUE(WaitFor([&] { return recorder.Frames() > 10; })) << "frames flow again after the stall";
    EXPECT_GE(rig.uvc->Snapshot(cam).streamOns, 2);

    // A burst of damaged frames, then silence.
    const std::size_t before = recorder.Frames();
    const int streamOns = rig.uvc->Snapshot(cam).streamOns;
    rig.uvc->With(cam, [](Camera& c) {
        c.script.assign(10, Frame{std::vector<std::uint8_t>(320 * 240 * 2, 0), V4L2_BUF_FLAG_ERROR});
        c.stallAfter = 10;
    });
    ASSERT_TRUE(WaitFor([&] { return recorder.Frames() > before + 10; }));
    EXPECT_GT(rig.uvc->Snapshot(cam).streamOns, streamOns);
    camera->Stop();
    EXPECT_TRUE(recorder.Ended().empty());
}

TEST(UvcStream, EndIsReportedOnceWhenRestartingFails)
{
    Rig rig;
    const int cam = rig.uvc->Plug(1);
    auto camera = rig.OpenAt(cam);
    ASSERT_TRUE(camera);
    rig.uvc->With(cam, [](Camera& c) { c.stallAfter = 3; });
    Recorder recorder;
    ASSERT_EQ(camera->Start(recorder.Sinks()), CameraStatus::Ok);
    rig.uvc->With(cam, [](Camera& c) { c.refuse[VIDIOC_STREAMON] = EPROTO; });
    ASSERT_TRUE(WaitFor([&] { return !recorder.Ended().empty(); }));
    EXPECT_FALSE(camera->IsStreaming());
    camera->Stop();
    ASSERT_EQ(recorder.Ended().size(), 1u);
    EXPECT_NE(recorder.Ended()[0], CameraStatus::Ok);
    EXPECT_EQ(recorder.Frames(), 3u);
}

TEST(UvcStream, StreamThatDiesWhileTheDeviceStaysIsRestarted)
{
    Rig rig(kNoRestart);
    const int cam = rig.uvc->Plug(2);
    auto camera = rig.OpenAt(cam);
    ASSERT_TRUE(camera);
    Recorder recorder;
    ASSERT_EQ(camera->Start(recorder.Sinks()), CameraStatus::Ok);
    for (int death = 0; death < 2; ++death) {
        const std::size_t before = recorder.Frames();
        ASSERT_TRUE(WaitFor([&] { return recorder.Frames() > before + 3; }));
        rig.uvc->With(cam, [](Camera& c) { c.broken = true; }); // POLLERR, DQBUF and QBUF EIO
    }
    const std::size_t before = recorder.Frames();
    ASSERT_TRUE(WaitFor([&] { return recorder.Frames() > before + 3; }));
    EXPECT_GE(rig.uvc->Snapshot(cam).streamOns, 3);
    camera->Stop();
    EXPECT_TRUE(recorder.Ended().empty());
}

TEST(UvcStream, UnplugEndsTheStreamOnceAndAQuickReplugOpensAgain)
{
    Rig rig;
    const int cam = rig.uvc->Plug(0, "3");
    auto camera = rig.OpenAt(cam);
    ASSERT_TRUE(camera);
    Recorder recorder;
    ASSERT_EQ(camera->Start(recorder.Sinks()), CameraStatus::Ok);
    ASSERT_TRUE(WaitFor([&] { return recorder.Frames() > 2; }));
    rig.uvc->Unplug(cam);
    ASSERT_TRUE(WaitFor([&] { return !recorder.Ended().empty(); }));
    EXPECT_EQ(recorder.Ended(), std::vector<CameraStatus>{CameraStatus::Gone});
    EXPECT_EQ(rig.uvc->Snapshot(cam).streamOns, 1) << "a vanished device is not restarted";

    const int again = rig.uvc->Plug(0, "3"); // new node numbers while the old ones are still open
    EXPECT_NE(rig.uvc->CaptureNode(again), rig.uvc->CaptureNode(cam));
    CameraStatus status = CameraStatus::Failed;
    auto replugged = rig.Open(again, &status);
    ASSERT_TRUE(replugged);
    Recorder second;
    ASSERT_EQ(replugged->Start(second.Sinks()), CameraStatus::Ok);
    ASSERT_TRUE(WaitFor([&] { return second.Frames() > 2; }));
    replugged.reset();
    camera.reset();
    EXPECT_EQ(rig.uvc->StrayIoctls(), 0);
    EXPECT_EQ(rig.uvc->OpenDescriptors(), 0);
}

} // namespace
} // namespace emu
