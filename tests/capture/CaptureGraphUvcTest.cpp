// The capture graph on the V4L2 backend and the emulated UVC driver: a button that
// comes late or cannot be read, a stream that dies for good, and the picture
// properties of a camera that went away.
#include "CaptureTestSupport.h"
#include "GraphTestEnvironment.h"
#include "capture/CaptureDiagnostics.h"
#include "capture/CaptureTexts.h"
#include "capture/dialogs/CVideoSettingDlg.h"
#include "capture/dialogs/VideoSettingIds.h"
#include "common/EmulatedUvc.h"
#include "common/TestSupport.h"
#include "platform/camera/CameraHardwareIds.h"
#include "platform/camera/V4l2Backend.h"
#include "platform/desktop/MessageBox.h"
#include "platform/files/ProgramFolder.h"
#include "platform/text/TextCatalogue.h"

#include <gtest/gtest.h>
#include <linux/videodev2.h>

namespace {
constexpr int kClass1600 = 1; // its USB id is the first supported one
// Longer than the graph waits for a late button before it tells of none.
constexpr int kPastButtonWaitMs = 2500;

class UvcGraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        VideoInfoHeader format;
        format.AvgTimePerFrame = 333333;
        format.bmiHeader.biWidth = 640;
        format.bmiHeader.biHeight = 480;
        ASSERT_TRUE(WriteCapConfig(format));
        backend->WatchDevices([](int, int) {}); // what lets a late button reach the open camera
        graph.SetBackend(backend);
        cam = uvc->Plug(kClass1600);
    }
    void TearDown() override
    {
        graph.TearDown();
        backend->WatchDevices(nullptr);
    }
    bool Start() { return StartGraph(graph, sink); }
    bool Painted()
    {
        state.frameShown = 0;
        return WaitFor([&] { return state.frameShown.load() == 1; });
    }

    GraphTestEnvironment environment;
    const testsupport::TempHome& home = environment.home;
    QStringList& messages = environment.messages;
    NotifySink sink;
    std::shared_ptr<emu::EmulatedUvc> uvc = std::make_shared<emu::EmulatedUvc>();
    std::shared_ptr<V4l2Backend> backend =
        std::make_shared<V4l2Backend>(uvc, uvc, V4l2StreamTiming{std::chrono::milliseconds(60), 5, 3});
    CCaptureGraph& graph = environment.graph;
    CaptureState& state = environment.state;
    int cam = -1;
};

TEST_F(UvcGraphTest, ButtonThatComesAfterTheVideoNodeTakesStills)
{
    state.snapshotEnabled = 1;
    ASSERT_TRUE(Start());
    EXPECT_FALSE(graph.hasStillPin());
    uvc->PlugButton(cam); // the driver registers the input device after the video nodes
    ASSERT_TRUE(WaitFor([&] { return graph.hasStillPin(); }));
    ASSERT_TRUE(Painted());
    uvc->Press(cam);
    uvc->Release(cam);
    ASSERT_TRUE(WaitFor([&] { return !sink.stills.empty(); }));
    EXPECT_EQ(sink.stills, std::vector<int>{1});
    EXPECT_FALSE(WaitFor([&] { return !messages.isEmpty(); }, kPastButtonWaitMs))
        << messages.join('|').toStdString();
}

TEST_F(UvcGraphTest, UnreadableButtonIsToldOnceWithItsRemedyAndThePictureGoesOn)
{
    state.snapshotEnabled = 1;
    uvc->With(cam, [](emu::Camera& c) { c.buttonDenied = true; });
    uvc->PlugButton(cam);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitFor([&] { return !messages.isEmpty(); }));
    EXPECT_EQ(messages, QStringList{LoadText(txt::CameraButtonDenied)});
    EXPECT_TRUE(messages[0].contains("70-pelora-microscope-button.rules"));
    EXPECT_TRUE(Painted());

    // The camera found again (replug, re-detection) says nothing more, and the
    // missing-button box is never shown for a button that is only unreadable.
    graph.TearDown();
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Painted());
    EXPECT_FALSE(WaitFor([&] { return messages.size() > 1; }, kPastButtonWaitMs))
        << messages.join('|').toStdString();
}

TEST_F(UvcGraphTest, StreamThatCannotBeRestartedStopsTheGraphWithItsCause)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Painted());
    uvc->With(cam, [](emu::Camera& c) {
        c.refuse[VIDIOC_STREAMON] = EPROTO;
        c.broken = true;
    });
    ASSERT_TRUE(WaitFor([&] { return !graph.running(); }));
    EXPECT_EQ(graph.startFailure(), CameraStatus::Failed);
    EXPECT_EQ(graph.IsDevicePresent(), 1) << "the node stays";
    EXPECT_EQ(graph.DrainGraphEvent(), EC_ERRORABORT);

    // A full start runs again once the camera streams.
    uvc->With(cam, [](emu::Camera& c) { c.refuse.clear(); });
    graph.TearDown();
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Painted());
}

TEST_F(UvcGraphTest, BusWithoutRoomForTheSizeFallsBackToALighterModeAndSaysSoOnce)
{
    VideoInfoHeader stored;
    stored.AvgTimePerFrame = 333333;
    stored.bmiHeader.biWidth = 1600;
    stored.bmiHeader.biHeight = 1200;
    ASSERT_TRUE(WriteCapConfig(stored));
    state.mjpgByClass[kClass1600] = 0; // uncompressed asked for
    // Room for 1280 x 960 compressed, not for 1600 x 1200 in either format.
    uvc->With(cam, [](emu::Camera& c) { c.busBytesPerFrame = 1280 * 960 * 2 / 4; });
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Painted());
    emu::Camera device = uvc->Snapshot(cam);
    EXPECT_EQ(device.pixelFormat, V4L2_PIX_FMT_MJPEG);
    EXPECT_EQ(std::make_pair(device.width, device.height), std::make_pair(1280, 960));
    EXPECT_EQ(std::make_pair(state.captureWidth.load(), state.captureHeight.load()),
              std::make_pair(1280, 960));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("1600 x 1200 YUY2") && messages[0].contains("1280 x 960 MJPG"))
        << messages[0].toStdString();

    // Restarts (a still from the button, a size chosen again) fall back quietly;
    // the size asked for stays stored for a bus with room.
    EXPECT_EQ(graph.RestartPreview(), 1);
    EXPECT_EQ(graph.SetCaptureSize(1600, 1200), 0);
    EXPECT_TRUE(Painted());
    EXPECT_EQ(messages.size(), 1);
    VideoInfoHeader kept;
    ASSERT_TRUE(ReadCapConfig(kept));
    EXPECT_EQ(kept.bmiHeader.biWidth, 1600);

    // A bus too busy for every mode: the cause is reported, the camera keeps the size asked for.
    graph.TearDown();
    uvc->With(cam, [](emu::Camera& c) { c.busBytesPerFrame = 1; });
    graph.CreateDeviceEnumerator();
    ASSERT_TRUE(graph.FindDevices() && graph.InitCaptureFilters() && graph.BuildGraph());
    EXPECT_EQ(graph.StartPreview(), 0);
    EXPECT_EQ(graph.startFailure(), CameraStatus::Bandwidth);
    device = uvc->Snapshot(cam);
    EXPECT_EQ(std::make_pair(device.width, device.height), std::make_pair(1600, 1200));
    EXPECT_EQ(device.pixelFormat, V4L2_PIX_FMT_YUYV);
}

TEST_F(UvcGraphTest, PictureSettingsComeBackAfterAReplugUntilDefaultForgetsThem)
{
    constexpr int kBrightnessRow = 0, kContrastRow = 1;
    const auto value = [&](int camera, std::uint32_t control) {
        return uvc->Snapshot(camera).controls[control].value;
    };
    const auto replug = [&](int value) {
        graph.TearDown();
        uvc->Unplug(cam);
        cam = uvc->Plug(kClass1600, QString::number(cam + 10)); // another port
        uvc->With(cam, [value](emu::Camera& c) {
            c.serial = "SN-7";
            c.controls[V4L2_CID_BRIGHTNESS].value = value; // what the camera wakes up with
            c.controls[V4L2_CID_CONTRAST].value = value;
        });
        return Start();
    };
    uvc->With(cam, [](emu::Camera& c) { c.serial = "SN-7"; });
    ASSERT_TRUE(Start());
    {
        CVideoSettingDlg dialog(environment.session);
        dialog.OnStepBar(IDC_STEP_BAR_FIRST + kBrightnessRow, true);
        dialog.OnStepBar(IDC_STEP_BAR_FIRST + kBrightnessRow, true);
        dialog.OnStepBar(IDC_STEP_BAR_FIRST + kContrastRow, false);
    }
    ASSERT_EQ(value(cam, V4L2_CID_BRIGHTNESS), 130);

    ASSERT_TRUE(replug(128));
    EXPECT_EQ(value(cam, V4L2_CID_BRIGHTNESS), 130);
    EXPECT_EQ(value(cam, V4L2_CID_CONTRAST), 127);
    EXPECT_EQ(value(cam, V4L2_CID_SATURATION), 128) << "only what the user set is written";
    EXPECT_TRUE(Painted());

    {
        CVideoSettingDlg dialog(environment.session);
        dialog.OnCommand(IDC_VIDEO_DEFAULT);
    }
    ASSERT_TRUE(replug(50));
    EXPECT_EQ(value(cam, V4L2_CID_BRIGHTNESS), 50) << "Default forgets the stored values";
    EXPECT_EQ(value(cam, V4L2_CID_CONTRAST), 50);
}

TEST_F(UvcGraphTest, DiagnosticsNameTheCameraAndCountWhatBecameOfItsFrames)
{
    uvc->With(cam, [](emu::Camera& c) {
        c.serial = "SN-9";
        c.script.push_back({{1, 2, 3}, 0});                   // does not convert
        c.script.push_back({{1, 2, 3}, V4L2_BUF_FLAG_ERROR}); // flagged by the driver
    });
    graph.CreateDeviceEnumerator();
    EXPECT_TRUE(CaptureDiagnostics(graph).endsWith(LoadText(txt::DiagnosticsNoPreview)));
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitFor([&] { return graph.Counters().shown.load() >= 3; }));
    graph.StopPreview();
    const FrameCounters& counters = graph.Counters();
    EXPECT_EQ(counters.damaged.load(), 2);
    EXPECT_GE(counters.received.load(), counters.shown.load() + 2);
    const QString text = CaptureDiagnostics(graph);
    EXPECT_TRUE(text.contains("cameras: 1")) << text.toStdString();
    EXPECT_TRUE(text.contains("identity: vid_a16e&pid_3d01#SN-9")) << text.toStdString();
    EXPECT_TRUE(text.contains("/dev/video0") && text.contains("1600x1200")) << text.toStdString();

    graph.StartPreview();
    const QString running = CaptureDiagnostics(graph);
    EXPECT_TRUE(running.contains(", 0 dropped as damaged"))
        << running.toStdString() << "counted anew for each stream";
}

TEST_F(UvcGraphTest, PictureHandleFailsCleanlyOnceTheCameraIsTornDown)
{
    ASSERT_TRUE(Start());
    std::shared_ptr<VideoProcAmp> procAmp;
    ASSERT_EQ(graph.GetVideoProcAmp(&procAmp), 1);
    int value = 0, flags = 0, minimum = 0, maximum = 0, step = 0, byDefault = 0;
    EXPECT_EQ(procAmp->Get(VideoProcAmp_Brightness, &value, &flags), 0);

    graph.TearDown();
    std::shared_ptr<VideoProcAmp> none;
    EXPECT_EQ(graph.GetVideoProcAmp(&none), 0);
    EXPECT_NE(procAmp->Set(VideoProcAmp_Brightness, 10, VideoProcAmp_Flags_Manual), 0);
    // Found again: the new camera may reuse the descriptor; the old handle still fails.
    ASSERT_TRUE(Start());
    EXPECT_NE(procAmp->Get(VideoProcAmp_Brightness, &value, &flags), 0);
    EXPECT_NE(procAmp->GetRange(VideoProcAmp_Contrast, &minimum, &maximum, &step, &byDefault, &flags), 0);
    EXPECT_EQ(uvc->StrayIoctls(), 0);
}
} // namespace
