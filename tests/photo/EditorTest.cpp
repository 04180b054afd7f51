// The editor of the photo canvas driven by mouse events: click sequences, labels,
// cancelling, selecting, moving, deleting, adjusting rectangles, texts and the
// calibration line.
#include "PhotoTestSupport.h"
#include "measure/Calibration.h"
#include "measure/MeasureList.h"
#include "photo/PhotoIds.h"
#include "platform/desktop/MessageBox.h"
#include "widgets/CBitmapButton.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace phototest;

namespace {

class PhotoEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = WritePicture(dir, "p.bmp", QSize(640, 480));
        rig = std::make_unique<CanvasRig>(path);
        canvas = rig->canvas.get();
    }
    void TearDown() override { rig.reset(); }

    PhotoMeasureList& List() const { return SharedPhotoList(); }
    void Tool(MeasureTool tool, ToolMode mode = ToolMode::Measuring) { canvas->SetTool(tool, mode); }
    void Circle(QPoint centre, int radius)
    {
        Tool(MeasureTool::RadiusCircle);
        Click(canvas, centre);
        Click(canvas, centre + QPoint(radius, 0));
        Click(canvas, centre + QPoint(radius + 20, 20)); // label
    }

    QTemporaryDir dir;
    QString path;
    ScriptedMessages messages;
    std::unique_ptr<CanvasRig> rig;
    CMeasureCanvas* canvas = nullptr;
};

} // namespace

TEST_F(PhotoEditor, LineMadeOnTheSecondClickAndLabelPlacedByTheThird)
{
    Tool(MeasureTool::Line);
    Click(canvas, QPoint(100, 100));
    Move(canvas, QPoint(150, 100));
    EXPECT_FALSE(canvas->Editor().Band().Empty()); // rubber band while dragging
    Click(canvas, QPoint(200, 100));
    ASSERT_EQ(List().Count(), 1);
    EXPECT_TRUE(canvas->Editor().IsPlacingLabel());
    Move(canvas, QPoint(230, 140));
    EXPECT_EQ(List().At(0)->points[6], QPoint(230, 140));
    Click(canvas, QPoint(240, 150));
    EXPECT_FALSE(canvas->Editor().InProgress());
    const CMeasureShape& line = *List().At(0);
    EXPECT_EQ(List().KindAt(0), PhotoKind::Line);
    EXPECT_EQ(line.namePrefix, "DL");
    EXPECT_EQ(line.serial, 1);
    EXPECT_EQ(line.labelShown, 1);
    EXPECT_EQ(line.points.mid(0, 2), (QList<QPoint>{{100, 100}, {200, 100}}));
    EXPECT_EQ(line.points[6], QPoint(240, 150));
    // 100 pixels, class 2, mm, magnification 10: 100 x 0.066666667 x 10 / 10.
    EXPECT_EQ(line.valueTexts, QStringList{"6.667"});
    EXPECT_EQ(line.unitTexts, QStringList{"mm"});
    EXPECT_EQ(line.lineColor, kBlue);
}

TEST_F(PhotoEditor, DrawingOnlyObjectsHaveNoLabelAndNoNumber)
{
    Tool(MeasureTool::Rectangle, ToolMode::DrawingOnly);
    Click(canvas, QPoint(100, 100));
    Click(canvas, QPoint(200, 150));
    ASSERT_EQ(List().Count(), 1);
    EXPECT_FALSE(canvas->Editor().InProgress());
    EXPECT_EQ(List().At(0)->serial, 0);
    EXPECT_EQ(List().At(0)->labelShown, 0);
    EXPECT_EQ(List().At(0)->valueTexts, QStringList(3, QString()));
}

TEST_F(PhotoEditor, ClicksOutsideThePictureStartNothing)
{
    canvas->resize(700, 500);
    Tool(MeasureTool::Line);
    Click(canvas, QPoint(660, 100));
    EXPECT_FALSE(canvas->Editor().InProgress());
    Click(canvas, QPoint(630, 100));
    EXPECT_TRUE(canvas->Editor().InProgress());
    EXPECT_TRUE(canvas->Editor().IsConfined());
}

TEST_F(PhotoEditor, RightClickDuringAContinuousLineDiscardsOnlyThePendingLine)
{
    Tool(MeasureTool::Line);
    Click(canvas, QPoint(50, 50));
    Click(canvas, QPoint(150, 50));
    Click(canvas, QPoint(160, 60));
    ASSERT_EQ(List().Count(), 1);

    Tool(MeasureTool::ContinuousLine);
    Click(canvas, QPoint(100, 200));
    Click(canvas, QPoint(200, 200)); // vertex
    Click(canvas, QPoint(150, 180)); // its label
    Click(canvas, QPoint(250, 250)); // vertex
    EXPECT_EQ(canvas->Editor().PendingPoints().size(), 5);
    RightClick(canvas, QPoint(300, 300));
    EXPECT_TRUE(canvas->Editor().PendingPoints().isEmpty());
    EXPECT_FALSE(canvas->Editor().InProgress());
    ASSERT_EQ(List().Count(), 1);
    EXPECT_EQ(List().KindAt(0), PhotoKind::Line);
}

TEST_F(PhotoEditor, ContinuousLineEndsOnADoubleClick)
{
    Tool(MeasureTool::ContinuousLine);
    Click(canvas, QPoint(100, 200));
    Click(canvas, QPoint(200, 200));
    Click(canvas, QPoint(150, 180));
    Click(canvas, QPoint(200, 300));
    DoubleClick(canvas, QPoint(210, 250)); // its first press places the label
    ASSERT_EQ(List().Count(), 1);
    const CMeasureShape& line = *List().At(0);
    EXPECT_EQ(List().KindAt(0), PhotoKind::ContinuousLine);
    EXPECT_EQ(line.points, (QList<QPoint>{{100, 200}, {200, 200}, {150, 180}, {200, 300}, {210, 250}}));
    EXPECT_EQ(line.valueTexts, (QStringList{"6.667", "6.667"}));
    EXPECT_EQ(line.namePrefix, "ML");
    EXPECT_FALSE(canvas->Editor().InProgress());
}

TEST_F(PhotoEditor, PolygonNeedsTwoClicksBeforeItsDoubleClick)
{
    Tool(MeasureTool::Polygon);
    Click(canvas, QPoint(100, 100));
    {
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(100, 100),
                        QPointF(canvas->mapToGlobal(QPoint(100, 100))), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
        QCoreApplication::sendEvent(canvas, &dbl);
    }
    EXPECT_EQ(List().Count(), 0);

    Click(canvas, QPoint(200, 100));
    DoubleClick(canvas, QPoint(200, 200));
    ASSERT_EQ(List().Count(), 1);
    EXPECT_EQ(List().KindAt(0), PhotoKind::Polygon);
    EXPECT_EQ(List().At(0)->points, (QList<QPoint>{{100, 100}, {200, 100}, {200, 200}, {200, 200}}));
    EXPECT_TRUE(canvas->Editor().IsPlacingLabel());
    Click(canvas, QPoint(300, 300));
    EXPECT_EQ(List().At(0)->points.last(), QPoint(300, 300));
}

TEST_F(PhotoEditor, CancelRemovesOnlyTheObjectItsToolAppended)
{
    Tool(MeasureTool::Line);
    Click(canvas, QPoint(50, 50));
    Click(canvas, QPoint(150, 50));
    Click(canvas, QPoint(160, 60));
    // A second line after its first click: the finished one stays.
    Click(canvas, QPoint(50, 150));
    RightClick(canvas, QPoint(60, 150));
    EXPECT_EQ(List().Count(), 1);
    // During its label placement the new line goes.
    Click(canvas, QPoint(50, 150));
    Click(canvas, QPoint(150, 150));
    EXPECT_EQ(List().Count(), 2);
    RightClick(canvas, QPoint(60, 150));
    EXPECT_EQ(List().Count(), 1);
    EXPECT_FALSE(canvas->Editor().IsConfined());
    EXPECT_EQ(List().At(0)->points[0], QPoint(50, 50));
}

TEST_F(PhotoEditor, SharedRimOfTwoCirclesSelectsTheEarlierOne)
{
    Circle(QPoint(200, 200), 50);
    Circle(QPoint(300, 200), 50);
    Tool(MeasureTool::Select);
    Click(canvas, QPoint(250, 200));
    EXPECT_TRUE(List().At(0)->selected);
    EXPECT_FALSE(List().At(1)->selected);
    // A click on the later one's rim alone selects it and clears the other.
    Click(canvas, QPoint(350, 200));
    EXPECT_FALSE(List().At(0)->selected);
    EXPECT_TRUE(List().At(1)->selected);
    // A click on nothing changes nothing.
    Click(canvas, QPoint(20, 20));
    EXPECT_TRUE(List().At(1)->selected);
}

TEST_F(PhotoEditor, TypedTextKeepsItsCreationBoxUntilMoved)
{
    Tool(MeasureTool::Text);
    Click(canvas, QPoint(100, 80));
    canvas->Editor().TextEntry("cell wall");
    ASSERT_EQ(List().Count(), 1);
    const CMeasureShape& text = *List().At(0);
    EXPECT_EQ(List().KindAt(0), PhotoKind::Text);
    EXPECT_EQ(text.points, (QList<QPoint>{{100, 80}, {0, 0}}));
    EXPECT_EQ(text.valueTexts, QStringList{"cell wall"});
    EXPECT_EQ(text.serial, 0);
    // Its pick box (from point 0 - 8 to point 1 + 8) is empty: it cannot be selected.
    Tool(MeasureTool::Select);
    Click(canvas, QPoint(104, 84));
    EXPECT_FALSE(text.selected);

    // Moved with the mouse, it gets a box of its own and can be picked.
    Tool(MeasureTool::Text);
    Move(canvas, QPoint(300, 200));
    EXPECT_EQ(List().At(0)->points, (QList<QPoint>{{300, 200}, {360, 260}}));
    Click(canvas, QPoint(400, 400)); // fixes it
    Move(canvas, QPoint(10, 10));
    EXPECT_EQ(List().At(0)->points[0], QPoint(300, 200));
    Tool(MeasureTool::Select);
    Click(canvas, QPoint(320, 220));
    EXPECT_TRUE(List().At(0)->selected);

    canvas->Editor().TextEntry("");
    EXPECT_EQ(messages.texts, QStringList{"Please input text!"});
    EXPECT_EQ(List().Count(), 1);
}

TEST_F(PhotoEditor, MoveTranslatesEveryPointByTheReference)
{
    canvas->Editor().MoveSelected();
    EXPECT_EQ(messages.texts, QStringList{"Please select a metafile"});
    Circle(QPoint(200, 200), 50);
    Tool(MeasureTool::Select);
    Click(canvas, QPoint(250, 200));
    canvas->Editor().MoveSelected();
    ASSERT_TRUE(canvas->Editor().IsMoving());
    Move(canvas, QPoint(260, 230));
    EXPECT_FALSE(canvas->Editor().Band().Empty());
    // A right click ends the move without changing anything.
    RightClick(canvas, QPoint(260, 230));
    EXPECT_EQ(List().At(0)->points[0], QPoint(200, 200));
    canvas->Editor().MoveSelected();
    Click(canvas, QPoint(300, 250)); // the centre lands here
    EXPECT_FALSE(canvas->Editor().IsMoving());
    EXPECT_EQ(List().At(0)->points, (QList<QPoint>{{300, 250}, {350, 250}, {370, 270}}));
    EXPECT_EQ(List().KindAt(0), PhotoKind::RadiusCircle);
}

TEST_F(PhotoEditor, TwoLinePickTakesFourPointAnglesOnly)
{
    canvas->Editor().SetTwoLinePickMode(true);
    Tool(MeasureTool::FourPointAngle);
    for (int y : {100, 200, 300}) {
        Click(canvas, QPoint(100, y));
        Click(canvas, QPoint(200, y));
        Click(canvas, QPoint(100, y + 10));
        Click(canvas, QPoint(200, y + 40));
        Click(canvas, QPoint(250, y)); // label
    }
    Circle(QPoint(400, 400), 30);
    ASSERT_EQ(List().Count(), 4);
    EXPECT_EQ(List().At(0)->valueTexts[0].left(4), "16.7");
    Tool(MeasureTool::Select);
    Click(canvas, QPoint(430, 400)); // a circle is not picked in this mode
    EXPECT_FALSE(List().At(3)->selected);
    Click(canvas, QPoint(150, 100));
    Click(canvas, QPoint(150, 200));
    EXPECT_EQ(canvas->Editor().PickSlots(), (std::array<int, 2>{0, 1}));
    Click(canvas, QPoint(150, 300)); // the older pick gives way
    EXPECT_EQ(canvas->Editor().PickSlots(), (std::array<int, 2>{1, 2}));
    EXPECT_FALSE(List().At(0)->selected);
    canvas->Editor().MoveSelected();
    EXPECT_TRUE(canvas->Editor().IsMoving());
    Click(canvas, QPoint(150, 220)); // reference: midpoint of the first line
    EXPECT_EQ(List().At(1)->points[0], QPoint(100, 220));
}

TEST_F(PhotoEditor, DeleteAsksForEachSelectedObject)
{
    canvas->Editor().DeleteSelected();
    EXPECT_EQ(messages.texts, QStringList{"Please select a metafile"});
    Circle(QPoint(200, 200), 50);
    Circle(QPoint(400, 200), 50);
    Tool(MeasureTool::Select);
    Click(canvas, QPoint(450, 200));
    messages.texts.clear();
    messages.Answer(IDNO);
    canvas->Editor().DeleteSelected();
    EXPECT_EQ(List().Count(), 2);
    canvas->Editor().DeleteSelected();
    EXPECT_EQ(messages.texts, QStringList(2, "Are you sure to delete?"));
    ASSERT_EQ(List().Count(), 1);
    EXPECT_EQ(List().At(0)->points[0], QPoint(200, 200));
    // Serials are never reused.
    Circle(QPoint(300, 350), 20);
    EXPECT_EQ(List().At(1)->serial, 3);
}

TEST_F(PhotoEditor, AdjustButtonsNudgeAndTurnTheSelectedRectangle)
{
    Tool(MeasureTool::Rectangle);
    Click(canvas, QPoint(100, 100));
    Click(canvas, QPoint(200, 150));
    Click(canvas, QPoint(210, 160));
    EXPECT_EQ(canvas->AdjustButton(0), nullptr);
    Tool(MeasureTool::Select);
    Click(canvas, QPoint(150, 125));
    ASSERT_NE(canvas->AdjustButton(3), nullptr);
    EXPECT_EQ(canvas->AdjustButton(3)->Id(), photo::IDC_ADJUST_FIRST + 3);

    // A click is one step; holding runs the timer: 100 ms for "second corner right",
    // 60 ms for the others.
    const int periods[] = {60, 60, 60, 100, 60, 60};
    for (int k = 0; k < 6; ++k) {
        CBitmapButton* button = canvas->AdjustButton(k);
        QTest::mousePress(button, Qt::LeftButton);
        EXPECT_EQ(canvas->TimerPeriod(photo::kAdjustTimerFirst + k), periods[k]) << k;
        QTest::mouseRelease(button, Qt::LeftButton);
        EXPECT_FALSE(canvas->IsTimerRunning(photo::kAdjustTimerFirst + k)) << k;
    }
    EXPECT_EQ(List().At(0)->points[0], QPoint(99, 99));
    EXPECT_EQ(List().At(0)->points[1], QPoint(201, 151));
    EXPECT_FLOAT_EQ(List().At(0)->rotation, 0.0f); // one degree on, one back
    List().At(0)->points[0] = QPoint(100, 100);
    List().At(0)->points[1] = QPoint(200, 150);
    // One second of ticks: 10 at 100 ms widen by 10 pixels, 16 at 60 ms by 16.
    for (int i = 0; i < 1000 / 100; ++i) {
        canvas->OnTimer(photo::kAdjustTimerFirst + 3);
    }
    EXPECT_EQ(List().At(0)->points[1], QPoint(210, 150));
    for (int i = 0; i < 1000 / 60; ++i) {
        canvas->OnTimer(photo::kAdjustTimerFirst + 0);
    }
    EXPECT_EQ(List().At(0)->points[0], QPoint(84, 100));
    // The values are replaced, not piled up ahead of the old ones.
    EXPECT_EQ(List().At(0)->valueTexts, (QStringList{"8.400", "3.333", "28.000"})); // 126 x 50 pixels
    QCoreApplication::sendPostedEvents();
    EXPECT_GE(rig->parent.Count(photo::WM_CANVAS_CHANGED), 1);
    canvas->OnTimer(photo::kAdjustTimerFirst + 4);
    canvas->OnTimer(photo::kAdjustTimerFirst + 4);
    canvas->OnTimer(photo::kAdjustTimerFirst + 5);
    EXPECT_FLOAT_EQ(List().At(0)->rotation, 0.017453292222222222f);
    EXPECT_EQ(List().At(0)->valueTexts[0], "8.400");
    // Clearing the selection takes the buttons away.
    canvas->Editor().ClearSelection();
    EXPECT_EQ(canvas->AdjustButton(0), nullptr);
}

TEST_F(PhotoEditor, AdjustingADrawingOnlyRectangleGivesItNoValues)
{
    Tool(MeasureTool::Rectangle, ToolMode::DrawingOnly);
    Click(canvas, QPoint(100, 100));
    Click(canvas, QPoint(200, 150));
    Tool(MeasureTool::Select);
    Click(canvas, QPoint(150, 125));
    canvas->OnTimer(photo::kAdjustTimerFirst + 3);
    EXPECT_EQ(List().At(0)->points[1], QPoint(201, 150));
    EXPECT_EQ(List().At(0)->valueTexts, QStringList(3, QString()));
}

TEST_F(PhotoEditor, CalibrationLineCorrectsTheMagnification)
{
    rig.reset();
    CanvasSetup setup;
    setup.path = path;
    setup.magnification = 60;
    setup.settings = [] { return TestSettings(); };
    int asked = 0;
    setup.calibrationDialog = [&asked](QWidget*, const QString& unit) {
        ++asked;
        EXPECT_EQ(unit, "mm");
        Calibration().actualDistance = 0.1;
        return int(IDOK);
    };
    MessageSink parent;
    CMeasureCanvas own(setup, &parent);
    own.resize(640, 480);
    Calibration().current = 60;
    own.SetCalibrationFlag();
    own.SetTool(MeasureTool::Line, ToolMode::Measuring);
    Click(&own, QPoint(100, 100));
    Click(&own, QPoint(190, 100));
    EXPECT_EQ(asked, 1);
    // L = 90 x 0.066666667 x 10 = 60.0; G = (60 / 60) / 0.1 x 60 = 600.
    EXPECT_NEAR(Calibration().current, 600, 1e-4);
    EXPECT_NEAR(Calibration().lastResult, 600, 1e-4);
    EXPECT_EQ(SharedPhotoList().At(0)->valueTexts, QStringList{"0.100"});
    EXPECT_FALSE(own.Editor().IsCalibrating());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(parent.Count(photo::WM_PHOTO_CALIBRATED), 1);
}
