// The live measurement host: the preview area, the tools' clicks and values, the
// lists, and what the drawings show.
#include "LiveHostTestSupport.h"
#include "liveview/LiveToolIds.h"

#include <gtest/gtest.h>

using namespace livetest;

namespace {

constexpr int kRadiusButton = 1142;
constexpr int kLineButton = liveids::kLineButton;

int Button(LiveKind kind)
{
    return liveids::ButtonOfTool(static_cast<int>(kind));
}

// A line measured from `from` to `to` with its label placed at `label`.
void MeasureLine(LiveHostFixture& f, QPoint from, QPoint to, QPoint label)
{
    f.host->SelectTool(kLineButton);
    f.Clicks({from, to, label});
}

} // namespace

TEST(LiveHost, ClicksCountOnlyInsideThePreviewArea)
{
    LiveHostFixture f;
    f.host->SelectTool(kLineButton);
    EXPECT_FALSE(f.host->OnLeftButtonDown(QPoint(193, 40)));
    EXPECT_FALSE(f.host->IsOpen());
    EXPECT_FALSE(f.host->OnLeftButtonDown(QPoint(834, 100)));
    EXPECT_TRUE(f.host->OnLeftButtonDown(QPoint(194, 34)));
    ASSERT_TRUE(f.host->IsOpen());
    EXPECT_EQ(f.host->Snapshot()->open.points.value(0), QPoint(1, 1));
    // While the measurement is open the mouse is held in the area: positions beyond
    // it land on its edge.
    EXPECT_TRUE(f.host->IsConfined());
    EXPECT_EQ(f.confines, QList<bool>{true});
    f.host->OnMouseMove(QPoint(2000, 2000));
    EXPECT_EQ(f.host->Snapshot()->open.points.value(1), QPoint(640, 480));
}

TEST(LiveHost, LineValueAndItsPictureInALargeStill)
{
    LiveHostFixture f;
    MeasureLine(f, QPoint(100, 100), QPoint(200, 100), QPoint(300, 150));
    ASSERT_EQ(f.host->List().Count(), 1);
    const CMeasureShape& line = *f.host->List().At(0);
    EXPECT_EQ(f.host->List().KindAt(0), LiveKind::Line);
    EXPECT_EQ(line.valueTexts, QStringList{"6.667"});
    EXPECT_EQ(line.unitTexts, QStringList{"mm"});
    EXPECT_EQ(line.namePrefix, "DL");
    EXPECT_EQ(line.serial, 1);
    EXPECT_EQ(line.points, (QList<QPoint>{{100, 100}, {200, 100}, {300, 150}}));
    EXPECT_FALSE(f.host->IsConfined());

    const QImage still = f.Still(QSize(1280, 960), 2.0);
    EXPECT_EQ(still.pixel(200, 200), Pixel(kBlue));
    EXPECT_EQ(still.pixel(300, 200), Pixel(kBlue));
    EXPECT_EQ(still.pixel(399, 200), Pixel(kBlue));
    EXPECT_EQ(CountColour(still, QRect(100, 100, 95, 200), kBlue), 0);
    EXPECT_EQ(CountColour(still, QRect(405, 100, 100, 200), kBlue), 0);
    // The label sits at the scaled anchor.
    EXPECT_GT(CountColour(still, QRect(600, 300, 120, 60), kGreen), 0);
    EXPECT_EQ(CountColour(still, QRect(300, 150, 200, 40), kGreen), 0);
    // Line and label grow with the still: the pen 2 pixels wide, the letters twice as tall.
    EXPECT_EQ(CountColour(still, QRect(300, 190, 1, 20), kBlue), 2);
    const QImage preview = f.Still(QSize(640, 480), 1.0);
    auto inkRows = [](const QImage& image, QRect area) {
        int rows = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            rows += CountColour(image, QRect(area.left(), y, area.width(), 1), kGreen) > 0 ? 1 : 0;
        }
        return rows;
    };
    const int small = inkRows(preview, QRect(300, 150, 300, 80));
    ASSERT_GT(small, 0);
    EXPECT_NEAR(double(inkRows(still, QRect(600, 300, 600, 160))) / small, 2.0, 0.3);
}

TEST(LiveHost, AToolChosenMidMeasurementWaitsForTheOpenOne)
{
    LiveHostFixture f;
    f.host->SelectTool(kLineButton);
    f.Click(QPoint(100, 100));
    f.host->SelectTool(kRadiusButton);
    EXPECT_EQ(f.host->CurrentTool(), int(LiveKind::RadiusCircle));
    f.Clicks({QPoint(200, 100)});
    // Still the line, and drawn as one.
    EXPECT_EQ(f.host->Snapshot()->open.kind, int(LiveKind::Line));
    f.Clicks({QPoint(250, 150)});
    ASSERT_EQ(f.host->List().Count(), 1);
    EXPECT_EQ(f.host->List().KindAt(0), LiveKind::Line);
    f.Clicks({QPoint(300, 300)});
    EXPECT_EQ(f.host->Snapshot()->open.kind, int(LiveKind::RadiusCircle));
}

TEST(LiveHost, FourPointAngleDrawsNothingToTheMouseBetweenItsLines)
{
    LiveHostFixture f;
    f.host->SelectTool(Button(LiveKind::FourPointAngle));
    f.Clicks({QPoint(100, 100), QPoint(200, 100)});
    EXPECT_FALSE(f.host->IsOpen());
    f.Move(QPoint(150, 300));
    EXPECT_FALSE(f.host->Snapshot()->open.rubber);
    QImage picture = f.Still(QSize(640, 480), 1.0);
    EXPECT_EQ(picture.pixel(150, 100), Pixel(kBlue)); // the first line stays
    EXPECT_EQ(CountColour(picture, QRect(100, 110, 100, 200), kBlue), 0);

    f.Clicks({QPoint(300, 100)});
    f.Move(QPoint(300, 250));
    EXPECT_TRUE(f.host->Snapshot()->open.rubber);
    picture = f.Still(QSize(640, 480), 1.0);
    EXPECT_EQ(picture.pixel(300, 200), Pixel(kBlue));

    f.Clicks({QPoint(300, 300), QPoint(400, 400)});
    ASSERT_EQ(f.host->List().Count(), 1);
    EXPECT_EQ(f.host->List().At(0)->valueTexts, QStringList{"90.00"});
    EXPECT_EQ(f.host->List().At(0)->points.size(), 5);
}

TEST(LiveHost, UndoRedoAndDeleteAllMoveWholeObjects)
{
    LiveHostFixture f;
    f.host->SelectTool(kLineButton);
    for (int i = 0; i < 3; ++i) {
        f.Clicks({QPoint(10, 10 + 50 * i), QPoint(100, 10 + 50 * i), QPoint(120, 10 + 50 * i)});
    }
    f.host->Undo();
    f.host->Undo();
    f.host->Redo();
    ASSERT_EQ(f.host->List().Count(), 2);
    EXPECT_EQ(f.host->List().At(1)->serial, 2);
    ASSERT_EQ(f.host->RedoList().Count(), 1);
    EXPECT_EQ(f.host->RedoList().At(0)->serial, 3);
    EXPECT_EQ(f.pressed.last(), 0);                        // undo and redo release the buttons...
    EXPECT_EQ(f.host->CurrentTool(), int(LiveKind::Line)); // ...but keep the tool

    // A new object leaves the redo list alone; the undone one comes back after it.
    f.Clicks({QPoint(10, 300), QPoint(100, 300), QPoint(120, 300)});
    f.host->Redo();
    ASSERT_EQ(f.host->List().Count(), 4);
    EXPECT_EQ(f.host->List().At(2)->serial, 4);
    EXPECT_EQ(f.host->List().At(3)->serial, 3);
    f.host->Redo(); // nothing left to redo
    EXPECT_EQ(f.host->List().Count(), 4);

    f.host->DeleteAll();
    EXPECT_EQ(f.host->List().Count(), 0);
    EXPECT_EQ(f.host->RedoList().Count(), 0);
    EXPECT_EQ(CountColour(f.Still(QSize(640, 480), 1.0), QRect(0, 0, 640, 480), kBlue), 0);
    f.Clicks({QPoint(10, 10), QPoint(100, 10), QPoint(120, 10)});
    EXPECT_EQ(f.host->List().At(0)->serial, 5);
}

TEST(LiveHost, AStillTakenDuringAMeasurementShowsItUnscaled)
{
    LiveHostFixture f;
    MeasureLine(f, QPoint(20, 20), QPoint(60, 20), QPoint(70, 30));
    f.host->SelectTool(kLineButton); // released
    f.host->SelectTool(kLineButton);
    f.Clicks({QPoint(100, 100), QPoint(200, 100)});
    const QImage still = f.Still(QSize(1280, 960), 2.0);
    EXPECT_EQ(still.pixel(150, 100), Pixel(kBlue));
    EXPECT_EQ(CountColour(still, QRect(200, 199, 200, 3), kBlue), 0);
    EXPECT_EQ(still.pixel(80, 40), Pixel(kBlue)); // the finished line at twice its size
    // Its value is written in red beside the mouse, without a name.
    EXPECT_GT(CountColour(still, QRect(200, 100, 120, 30), 0x0000FF), 0);
}

TEST(LiveHost, RightClickReturnsEveryToolToIdle)
{
    LiveHostFixture f;
    MeasureLine(f, QPoint(20, 20), QPoint(60, 20), QPoint(70, 30));
    f.host->SelectTool(Button(LiveKind::Polygon));
    f.Clicks({QPoint(100, 100), QPoint(200, 100)});
    EXPECT_TRUE(f.host->OnRightButtonDown(QPoint(400, 300)));
    EXPECT_FALSE(f.host->IsOpen());
    EXPECT_FALSE(f.host->IsConfined());
    EXPECT_EQ(f.host->CurrentTool(), 0);
    EXPECT_EQ(f.host->PressedButton(), 0);
    EXPECT_TRUE(f.host->Snapshot()->open.points.isEmpty());
    EXPECT_EQ(f.host->List().Count(), 1);
    f.Click(QPoint(300, 300)); // no tool: nothing starts
    EXPECT_FALSE(f.host->IsOpen());
}

TEST(LiveHost, NoToolWithoutAMagnification)
{
    LiveHostFixture f;
    f.nominal->setText(QString());
    f.host->SelectTool(kLineButton);
    EXPECT_EQ(f.host->CurrentTool(), 0);
    EXPECT_EQ(f.messages, QStringList{"Please input the zoomIn scale!"});
}
