// The capture graph streaming from the virtual microscope on its own thread.
#include "GraphTestEnvironment.h"
#include "platform/camera/VirtualMicroscope.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {
class VirtualGraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        graph.SetBackend(microscope);
        graph.SetNotifyWindow(&sink);
        graph.CreateDeviceEnumerator();
    }
    void TearDown() override { graph.TearDown(); }
    bool Start()
    {
        return graph.FindDevices() && graph.InitCaptureFilters() && graph.BuildGraph() &&
               graph.StartPreview();
    }
    bool WaitForFrames(long count)
    {
        const long target = microscope->framesDelivered() + count;
        return WaitFor([&] { return microscope->framesDelivered() >= target; });
    }

    GraphTestEnvironment environment;
    NotifySink sink;
    std::shared_ptr<VirtualMicroscope> microscope = std::make_shared<VirtualMicroscope>(Class1280, 15);
    CCaptureGraph& graph = environment.graph;
    CaptureState& state = environment.state;
};

TEST_F(VirtualGraphTest, UnplugEndsTheStreamAndReplugRebuildsTheGraph)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(state.CaptureDeviceClass.load(), Class1280);
    ASSERT_TRUE(WaitForFrames(2));
    ASSERT_TRUE(WaitFor([&] { return state.FrameStore.width.load() == 1280; }));

    microscope->Unplug();
    ASSERT_TRUE(WaitFor([&] { return sink.graphNotices > 0; }));
    EXPECT_EQ(graph.DrainGraphEvent(), EC_DEVICE_LOST);
    EXPECT_EQ(graph.DrainGraphEvent(), 0);
    EXPECT_EQ(graph.IsDevicePresent(), 0);
    graph.TearDown();
    EXPECT_EQ(graph.FindDevices(), 0);

    microscope->Plug();
    ASSERT_TRUE(Start());
    const long before = microscope->framesDelivered();
    ASSERT_TRUE(WaitForFrames(2));
    EXPECT_GT(microscope->framesDelivered(), before);
    EXPECT_EQ(graph.IsDevicePresent(), 1);
}

TEST_F(VirtualGraphTest, TearDownWhileStreamingStopsTheStream)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitForFrames(1));
    graph.TearDown();
    EXPECT_FALSE(graph.running());
    EXPECT_FALSE(graph.built());
    const long after = microscope->framesDelivered();
    QTest::qWait(100);
    EXPECT_EQ(microscope->framesDelivered(), after);
    EXPECT_EQ(state.FrameStore.capacity, 0u);
}

TEST_F(VirtualGraphTest, ButtonPressBecomesAStillNotice)
{
    state.snapshotEnabled = 1;
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitFor([&] { return state.frameShown.load() == 1; }));
    microscope->PressButton();
    ASSERT_TRUE(WaitFor([&] { return !sink.stills.empty(); }));
    EXPECT_EQ(sink.stills.front(), 1);
}

TEST_F(VirtualGraphTest, PreviewShowsAMovingPicture)
{
    VideoInfoHeader format;
    format.bmiHeader.biWidth = 640;
    format.bmiHeader.biHeight = 480;
    ASSERT_TRUE(WriteCapConfig(format));
    graph.Preview()->show();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitForFrames(3));
    const QImage first = graph.Preview()->grab().toImage();
    QTest::qWait(1500);
    ASSERT_TRUE(WaitForFrames(3));
    QTest::qWait(50);
    const QImage later = graph.Preview()->grab().toImage();
    // Light slide with dark ruler marks, and a cell that has moved.
    EXPECT_GT(qGray(first.pixel(320, 40)), 120);
    int changed = 0;
    for (int y = 0; y < 480; y += 4) {
        for (int x = 0; x < 640; x += 4) {
            changed += first.pixel(x, y) != later.pixel(x, y);
        }
    }
    EXPECT_GT(changed, 50);
    if (qEnvironmentVariableIsSet("PELORA_PREVIEW_SHOT")) {
        later.save(qEnvironmentVariable("PELORA_PREVIEW_SHOT"));
    }
}
} // namespace
