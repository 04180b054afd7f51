// The capture graph on the V4L2 backend and the emulated UVC driver: a button that
// comes late or cannot be read, a stream that dies for good, and the picture
// properties of a camera that went away.
#include "CaptureTestSupport.h"
#include "GraphTestEnvironment.h"
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
