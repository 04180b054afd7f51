// Points and values of each live tool.
#include "LiveHostTestSupport.h"
#include "liveview/LiveToolIds.h"

#include <gtest/gtest.h>

using namespace livetest;

namespace {

struct Made {
    LiveKind kind;
    QList<QPoint> points;
    QStringList values;
    QStringList units;
};

Made Last(const LiveHostFixture& f)
{
    const LiveMeasureList& list = f.host->List();
    if (list.Count() == 0) {
        return Made{LiveKind::Line, {}, {}, {}};
    }
    const CMeasureShape& shape = *list.At(list.Count() - 1);
    return Made{list.KindAt(list.Count() - 1), shape.points, shape.valueTexts, shape.unitTexts};
}

void Select(LiveHostFixture& f, LiveKind kind)
{
    f.host->SelectTool(liveids::ButtonOfTool(static_cast<int>(kind)));
}

const QString kDegree = QString::fromUtf8("\u00B0");

} // namespace

TEST(LiveTools, ContinuousLineEndsWithADoubleClickAfterALabel)
{
    LiveHostFixture f;
    Select(f, LiveKind::ContinuousLine);
    f.Clicks({QPoint(100, 100), QPoint(200, 100)});
    f.DoubleClick(QPoint(200, 100)); // no label placed yet: goes on
    EXPECT_TRUE(f.host->IsOpen());
    // After a segment's label the rubber band runs from the segment's end, where the
    // next segment starts, not from the label.
    f.Clicks({QPoint(210, 90)});
    f.Move(QPoint(200, 200));
    const QImage open = f.Still(QSize(640, 480), 1.0);
    EXPECT_EQ(open.pixel(200, 150), Pixel(kBlue));
    EXPECT_EQ(CountColour(open, QRect(203, 95, 10, 100), kBlue), 0);
    f.Clicks({QPoint(200, 200), QPoint(220, 210)});
    f.DoubleClick(QPoint(220, 210));
    ASSERT_EQ(f.host->List().Count(), 1);
    const Made made = Last(f);
    EXPECT_EQ(made.kind, LiveKind::ContinuousLine);
    EXPECT_EQ(made.points, (QList<QPoint>{{100, 100}, {200, 100}, {210, 90}, {200, 200}, {220, 210}}));
    EXPECT_EQ(made.values, (QStringList{"6.667", "6.667"}));
    EXPECT_EQ(made.units, (QStringList{"mm", "mm"}));
}

TEST(LiveTools, PointToLineMeasuresToTheFootOfThePerpendicular)
{
    LiveHostFixture f;
    Select(f, LiveKind::PointToLine);
    f.Clicks({QPoint(100, 100), QPoint(200, 200), QPoint(100, 200), QPoint(300, 50)});
    const Made made = Last(f);
    EXPECT_EQ(made.points, (QList<QPoint>{{100, 100}, {200, 200}, {150, 150}, {100, 200}, {300, 50}}));
    EXPECT_EQ(made.values, QStringList{"4.714"});
    // Axis-parallel lines have their foot straight across.
    Select(f, LiveKind::PointToLine);
    Select(f, LiveKind::PointToLine);
    f.Clicks({QPoint(100, 100), QPoint(100, 300), QPoint(250, 200), QPoint(300, 50)});
    EXPECT_EQ(Last(f).points.value(2), QPoint(100, 200));
    EXPECT_EQ(Last(f).values, QStringList{"10.000"});
}

TEST(LiveTools, PolygonClosesOnDoubleClickWithItsPixelArea)
{
    LiveHostFixture f;
    Select(f, LiveKind::Polygon);
    f.Clicks({QPoint(100, 100), QPoint(200, 100)});
    f.DoubleClick(QPoint(200, 100)); // two vertices enclose nothing
    EXPECT_TRUE(f.host->Snapshot()->open.values.isEmpty());
    f.Clicks({QPoint(200, 200), QPoint(100, 200)});
    f.DoubleClick(QPoint(100, 200));
    f.Clicks({QPoint(300, 300)});
    const Made made = Last(f);
    EXPECT_EQ(made.kind, LiveKind::Polygon);
    EXPECT_EQ(made.points,
              (QList<QPoint>{{100, 100}, {200, 100}, {200, 200}, {100, 200}, {100, 100}, {300, 300}}));
    EXPECT_EQ(made.values, QStringList{"44.444"});
    EXPECT_EQ(made.units, QStringList{"mm2"});
}

TEST(LiveTools, CirclesFromRadiusDiameterAndThreePoints)
{
    LiveHostFixture f;
    Select(f, LiveKind::RadiusCircle);
    f.Clicks({QPoint(100, 100), QPoint(130, 140), QPoint(200, 200)});
    EXPECT_EQ(Last(f).values, (QStringList{"3.333", "20.944", "34.907"}));
    EXPECT_EQ(Last(f).units, (QStringList{"mm", "mm", "mm2"}));

    Select(f, LiveKind::DiameterCircle);
    f.Clicks({QPoint(100, 100), QPoint(200, 100), QPoint(250, 250)});
    EXPECT_EQ(Last(f).values, (QStringList{"6.667", "20.944", "34.907"}));
    EXPECT_EQ(Last(f).points, (QList<QPoint>{{100, 100}, {200, 100}, {250, 250}}));

    Select(f, LiveKind::ThreePointCircle);
    f.Clicks({QPoint(100, 200), QPoint(200, 100), QPoint(300, 200)});
    EXPECT_TRUE(f.host->Snapshot()->open.hasCircle);
    f.Clicks({QPoint(400, 400)});
    EXPECT_EQ(Last(f).kind, LiveKind::ThreePointCircle);
    EXPECT_EQ(Last(f).points, (QList<QPoint>{{200, 200}, {300, 200}, {400, 400}}));
    EXPECT_EQ(Last(f).values.value(0), "6.667");
    // Three points on one line make no circle: the third click is not taken.
    Select(f, LiveKind::ThreePointCircle);
    Select(f, LiveKind::ThreePointCircle);
    f.Clicks({QPoint(10, 10), QPoint(20, 20), QPoint(30, 30)});
    EXPECT_FALSE(f.host->Snapshot()->open.hasCircle);
    EXPECT_EQ(f.host->List().Count(), 3);
}

TEST(LiveTools, ArcSweepsThroughItsMiddlePoint)
{
    LiveHostFixture f;
    Select(f, LiveKind::Arc);
    // Left, top, bottom of the circle around (200, 200): three quarters clockwise.
    f.Clicks({QPoint(100, 200), QPoint(200, 100), QPoint(200, 300), QPoint(350, 350)});
    const Made made = Last(f);
    EXPECT_EQ(made.kind, LiveKind::Arc);
    EXPECT_EQ(made.points, (QList<QPoint>{{100, 200}, {200, 100}, {200, 300}, {200, 200}, {350, 350}}));
    EXPECT_EQ(made.values, (QStringList{"6.667", "270.00", "31.415"}));
    EXPECT_EQ(made.units, (QStringList{"mm", kDegree, "mm"}));
    const QImage picture = f.Still(QSize(640, 480), 1.0);
    EXPECT_GT(CountColour(picture, QRect(197, 97, 7, 7), kBlue), 0);    // through the top
    EXPECT_GT(CountColour(picture, QRect(297, 197, 7, 7), kBlue), 0);   // and the right
    EXPECT_EQ(CountColour(picture, QRect(125, 250, 30, 30), kBlue), 0); // not the lower left
}

TEST(LiveTools, AnglesOfThreeAndFourPoints)
{
    LiveHostFixture f;
    Select(f, LiveKind::ThreePointAngle);
    f.Clicks({QPoint(200, 100), QPoint(100, 100)});
    f.Move(QPoint(100, 250));
    EXPECT_TRUE(f.host->Snapshot()->open.rubber);
    f.Clicks({QPoint(100, 200), QPoint(150, 150)});
    EXPECT_EQ(Last(f).values, QStringList{"90.00"});
    EXPECT_EQ(Last(f).units, QStringList{kDegree});
    EXPECT_EQ(Last(f).points, (QList<QPoint>{{200, 100}, {100, 100}, {100, 200}, {150, 150}}));
}
