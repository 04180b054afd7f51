#include "platform/camera/VirtualMicroscope.h"

#include "common/TestSupport.h"
#include "platform/camera/CameraHardwareIds.h"
#include "platform/camera/DeviceMonitor.h"
#include "platform/camera/FrameConverter.h"
#include "platform/camera/VirtualSlide.h"

#include <QSignalSpy>
#include <QTest>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

namespace {
// Collects what a stream delivers, for the test thread to wait on.
struct StreamProbe {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::vector<std::uint8_t>> frames;
    CameraFrame last{};
    int buttons = 0;
    int ended = 0;
    CameraStatus endStatus = CameraStatus::Ok;

    CameraStreamSinks Sinks()
    {
        CameraStreamSinks sinks;
        sinks.frame = [this](const CameraFrame& f) {
            std::lock_guard g(lock);
            last = f;
            frames.emplace_back(f.data, f.data + f.length);
            changed.notify_all();
        };
        sinks.button = [this] {
            std::lock_guard g(lock);
            ++buttons;
            changed.notify_all();
        };
        sinks.streamEnded = [this](CameraStatus s) {
            std::lock_guard g(lock);
            ++ended, endStatus = s;
            changed.notify_all();
        };
        return sinks;
    }
    template <typename Pred> bool Wait(Pred pred)
    {
        std::unique_lock g(lock);
        return changed.wait_for(g, std::chrono::seconds(10), pred);
    }
};

std::unique_ptr<CameraDevice> OpenFirst(VirtualMicroscope& microscope)
{
    const auto devices = microscope.EnumerateDevices();
    return devices.empty() ? nullptr : microscope.Open(devices.front(), nullptr);
}

TEST(VirtualMicroscope, EnumeratesAsTheFirstSupportedModel)
{
    VirtualMicroscope microscope(1, 10);
    const auto devices = microscope.EnumerateDevices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_TRUE(devices[0].displayName.contains(SupportedHardwareIds()[0], Qt::CaseInsensitive));
    EXPECT_TRUE(microscope.IsUsbHardwareIdPresent("USB\\" + SupportedHardwareIds()[0].toUpper()));
    auto camera = microscope.Open(devices[0], nullptr);
    ASSERT_NE(camera, nullptr);
    EXPECT_TRUE(camera->HasStillButton());
    const auto caps = camera->Capabilities();
    EXPECT_NE(std::find(caps.begin(), caps.end(), CameraCapability{CameraSubtype::MJPG, 1600, 1200}),
              caps.end());
    EXPECT_EQ(std::find(caps.begin(), caps.end(), CameraCapability{CameraSubtype::YUY2, 2592, 1944}),
              caps.end());
    EXPECT_EQ(camera->SetFormat({CameraSubtype::YUY2, 2592, 1944, 333333}), CameraStatus::Refused);
    microscope.SetMaxAcceptedWidth(1280);
    EXPECT_EQ(camera->SetFormat({CameraSubtype::YUY2, 1600, 1200, 333333}), CameraStatus::Refused);
    EXPECT_EQ(camera->SetFormat({CameraSubtype::YUY2, 1280, 960, 333333}), CameraStatus::Ok);
}

TEST(VirtualMicroscope, StreamsConvertibleFramesOfAMovingSlide)
{
    VirtualMicroscope microscope(0, 5);
    auto camera = OpenFirst(microscope);
    FrameConverter converter;
    std::vector<std::uint8_t> bgr(FrameConverter::OutputSize(640, 480));
    for (CameraSubtype subtype : {CameraSubtype::YUY2, CameraSubtype::MJPG}) {
        ASSERT_EQ(camera->SetFormat({subtype, 640, 480, 333333}), CameraStatus::Ok);
        StreamProbe probe;
        ASSERT_EQ(camera->Start(probe.Sinks()), CameraStatus::Ok);
        const bool streamed = probe.Wait([&] { return probe.frames.size() >= 2; });
        camera->Stop(); // before the probe goes, also when the frames did not come
        ASSERT_TRUE(streamed);
        const CameraFrame frame{subtype, 640, 480, probe.frames[0].data(), probe.frames[0].size(), 0};
        EXPECT_TRUE(converter.Convert(frame, bgr.data(), bgr.size()));
        if (subtype == CameraSubtype::YUY2) {
            EXPECT_EQ(probe.frames[0].size(), 640u * 480 * 2);
        }
    }
    // The cell moves between frames some time apart.
    SlideFrames slide;
    slide.Prepare(RenderSlide(0, 640, 480, {}));
    std::vector<std::uint8_t> a(640 * 480 * 2), b(a.size());
    slide.ComposeYuyv(0.0, a.data());
    slide.ComposeYuyv(3.0, b.data());
    EXPECT_NE(a, b);
}

TEST(VirtualMicroscope, PicturePropertiesChangeThePicture)
{
    const QImage neutral = RenderSlide(2, 320, 240, {});
    const auto differs = [&](SlideLook look) { return RenderSlide(2, 320, 240, look) != neutral; };
    EXPECT_TRUE(differs({.brightness = 40}));
    EXPECT_TRUE(differs({.contrast = 10}));
    EXPECT_TRUE(differs({.saturation = 0}));
    EXPECT_TRUE(differs({.sharpness = 0}));
    EXPECT_TRUE(differs({.gamma = 300}));
    EXPECT_TRUE(differs({.hue = 30}));

    VirtualMicroscope microscope;
    auto camera = OpenFirst(microscope);
    VideoProcAmp* amp = camera->ProcAmp();
    int min = 0, max = 0, step = 0, def = 0, flags = 0, value = 0;
    ASSERT_EQ(amp->GetRange(VideoProcAmp_Gamma, &min, &max, &step, &def, &flags), 0);
    EXPECT_LT(min, def);
    EXPECT_GT(max, def);
    EXPECT_EQ(amp->Set(VideoProcAmp_Gamma, max, VideoProcAmp_Flags_Manual), 0);
    EXPECT_NE(amp->Set(VideoProcAmp_Gamma, max + 1, VideoProcAmp_Flags_Manual), 0);
    ASSERT_EQ(amp->Get(VideoProcAmp_Gamma, &value, &flags), 0);
    EXPECT_EQ(value, max);
    EXPECT_NE(amp->Get(17, &value, &flags), 0);
}

// Squared horizontal luma steps over the lower half of a band of columns of a YUYV frame
// (below the beads, which stand high on both sides).
double Detail(const std::vector<std::uint8_t>& yuyv, int width, int height, int x0, int x1)
{
    double sum = 0.0;
    for (int y = height / 2; y < height; ++y) {
        for (int x = x0; x < x1 - 1; ++x) {
            const int d = yuyv[(std::size_t(y) * width + x + 1) * 2] - yuyv[(std::size_t(y) * width + x) * 2];
            sum += d * d;
        }
    }
    return sum;
}

TEST(VirtualMicroscope, DepthSlideHasAFocusControlThatMovesTheSharpBand)
{
    VirtualMicroscope ruler(0, 5);
    auto plain = OpenFirst(ruler);
    int min = 0, max = 0, step = 0, def = 0, flags = 0, value = 0;
    EXPECT_NE(plain->ProcAmp()->GetRange(CameraControl_Focus, &min, &max, &step, &def, &flags), 0);

    VirtualMicroscope microscope(0, 5);
    microscope.SetSlide(VirtualSlideKind::Depth);
    auto camera = OpenFirst(microscope);
    VideoProcAmp* amp = camera->ProcAmp();
    ASSERT_EQ(amp->GetRange(CameraControl_Focus, &min, &max, &step, &def, &flags), 0);
    EXPECT_EQ(std::tie(min, max, step, def), std::tie(kFocusMin, kFocusMax, kFocusStep, kFocusDefault));
    ASSERT_EQ(camera->SetFormat({CameraSubtype::YUY2, 640, 480, 333333}), CameraStatus::Ok);
    // The stage rises from left to right: near focus sharpens the left third, far focus the right.
    std::vector<double> left, right;
    for (int focus : {kFocusMin + 20, kFocusMax - 60}) {
        ASSERT_EQ(amp->Set(CameraControl_Focus, focus, VideoProcAmp_Flags_Manual), 0);
        ASSERT_EQ(amp->Get(CameraControl_Focus, &value, &flags), 0);
        EXPECT_EQ(value, focus);
        StreamProbe probe;
        ASSERT_EQ(camera->Start(probe.Sinks()), CameraStatus::Ok);
        const bool streamed = probe.Wait([&] { return probe.frames.size() >= 1; });
        camera->Stop(); // before the probe goes, also when the frames did not come
        ASSERT_TRUE(streamed);
        left.push_back(Detail(probe.frames[0], 640, 480, 0, 200));
        right.push_back(Detail(probe.frames[0], 640, 480, 440, 640));
    }
    EXPECT_GT(left[0], 1.5 * left[1]);
    EXPECT_GT(right[1], 1.5 * right[0]);
}

TEST(VirtualMicroscope, ButtonUnplugAndReplug)
{
    auto microscope = std::make_shared<VirtualMicroscope>(0, 5);
    DeviceMonitor monitor(microscope);
    QSignalSpy notices(&monitor, &DeviceMonitor::deviceChange);
    StreamProbe probe; // outlives the camera, whose thread writes to it until it is stopped
    auto camera = OpenFirst(*microscope);
    ASSERT_EQ(camera->SetFormat({CameraSubtype::YUY2, 640, 480, 333333}), CameraStatus::Ok);
    ASSERT_EQ(camera->Start(probe.Sinks()), CameraStatus::Ok);
    ASSERT_TRUE(probe.Wait([&] { return !probe.frames.empty(); }));
    microscope->PressButton();
    ASSERT_TRUE(probe.Wait([&] { return probe.buttons == 1; }));

    microscope->Unplug();
    ASSERT_TRUE(probe.Wait([&] { return probe.ended == 1; }));
    EXPECT_EQ(probe.endStatus, CameraStatus::Gone);
    EXPECT_FALSE(camera->IsStreaming());
    EXPECT_TRUE(microscope->EnumerateDevices().empty());
    EXPECT_FALSE(microscope->IsUsbHardwareIdPresent("USB\\" + SupportedHardwareIds()[0]));
    EXPECT_EQ(camera->Start(probe.Sinks()), CameraStatus::Gone);

    microscope->Plug();
    ASSERT_TRUE(notices.wait(2000) || notices.size() >= 2);
    QTest::qWait(50);
    ASSERT_EQ(notices.size(), 2);
    EXPECT_EQ(notices[0][0].toInt(), DBT_DEVICEREMOVECOMPLETE);
    EXPECT_EQ(notices[1][0].toInt(), DBT_DEVICEARRIVAL);
    EXPECT_EQ(notices[1][1].toInt(), DBT_DEVTYP_DEVICEINTERFACE);
    // The old handle stays dead; a new one streams.
    EXPECT_EQ(camera->Start(probe.Sinks()), CameraStatus::Gone);
    EXPECT_NE(OpenFirst(*microscope), nullptr);
}
} // namespace
