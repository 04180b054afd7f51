// Collecting a focus series from the live picture of the virtual slide with depth:
// the sweep takes one settled frame per step from near to far and puts the focus
// back; cancelling keeps nothing.
#include "capture/FocusSeriesCollector.h"

#include "GraphTestEnvironment.h"
#include "capture/CapConfig.h"
#include "image/stack/PictureQuality.h"
#include "platform/camera/VirtualMicroscope.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class FocusSeriesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        microscope = std::make_shared<VirtualMicroscope>(Class1280, 15);
        microscope->SetSlide(VirtualSlideKind::Depth);
        VideoInfoHeader format;
        format.bmiHeader.biWidth = 640;
        format.bmiHeader.biHeight = 480;
        WriteCapConfig(format);
        environment.graph.SetBackend(microscope);
        ASSERT_TRUE(StartGraph(environment.graph, sink));
    }
    void TearDown() override { environment.graph.TearDown(); }
    int Focus()
    {
        std::shared_ptr<VideoProcAmp> camera;
        environment.graph.GetVideoProcAmp(&camera);
        int value = -1, flags = 0;
        camera->Get(CameraControl_Focus, &value, &flags);
        return value;
    }

    GraphTestEnvironment environment;
    NotifySink sink;
    std::shared_ptr<VirtualMicroscope> microscope;
};

TEST_F(FocusSeriesTest, SweepTakesASettledFrameAtEachStepAndRestoresTheFocus)
{
    FocusSeriesCollector collector(environment.session);
    QSignalSpy collected(&collector, &FocusSeriesCollector::collected);
    QSignalSpy progress(&collector, &FocusSeriesCollector::progress);
    ASSERT_TRUE(collector.Start(4));
    EXPECT_TRUE(collector.Sweeps());
    ASSERT_TRUE(collected.wait(30000));
    EXPECT_EQ(Focus(), kFocusDefault);
    const std::vector<QImage> frames = collector.TakeFrames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(progress.last().at(0).toInt(), 4);
    // The stage rises to the right: the first (near) frame is sharpest on the left, the last on the right.
    const QRect left(0, 240, 200, 240), right(440, 240, 200, 240);
    EXPECT_GT(Tenengrad(frames.front(), left), 1.3 * Tenengrad(frames.back(), left));
    EXPECT_GT(Tenengrad(frames.back(), right), 1.3 * Tenengrad(frames.front(), right));
}

TEST_F(FocusSeriesTest, CancelKeepsNothingAndRestoresTheFocus)
{
    FocusSeriesCollector collector(environment.session);
    QSignalSpy progress(&collector, &FocusSeriesCollector::progress);
    ASSERT_TRUE(collector.Start(10));
    ASSERT_EQ(progress.count(), 1);    // the start
    ASSERT_TRUE(progress.wait(30000)); // the first frame
    collector.Cancel();
    EXPECT_FALSE(collector.IsCollecting());
    EXPECT_TRUE(collector.TakeFrames().empty());
    EXPECT_EQ(Focus(), kFocusDefault);
}

} // namespace
