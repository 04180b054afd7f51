// Values, units and geometry of measurements.
#include "measure/MeasureValues.h"

#include "measure/CMeasureShape.h"
#include "measure/MeasureGeometry.h"
#include "measure/MeasureUnits.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr int kClass1280 = 0;
constexpr int kClass2592 = 2;

ValueContext Context(const QString& unit, int cameraClass, DisplayMode mode, QSize picture,
                     double magnification, int decimals = 3)
{
    ValueContext context;
    context.scale = unitsPerPixel(unit, cameraClass, picture) * DisplayFactor(mode, picture);
    context.magnification = magnification;
    context.decimals = decimals;
    context.unit = unit;
    return context;
}

QString LineText(const ValueContext& context, double pixels)
{
    MeasureTexts texts;
    EXPECT_TRUE(LineValues(pixels, context, texts));
    return texts.values.value(0);
}

} // namespace

TEST(MeasureValues, LineLengthFollowsDisplayModeAndUnit)
{
    const double pixels = Distance(QPoint(100, 100), QPoint(200, 100));
    const ValueContext fitted = Context("mm", kClass2592, DisplayMode::Fitted, QSize(2592, 1944), 10);
    MeasureTexts texts;
    ASSERT_TRUE(LineValues(pixels, fitted, texts));
    EXPECT_EQ(texts.values, QStringList{"6.667"});
    EXPECT_EQ(texts.units, QStringList{"mm"});

    // Actual-size display: a 1280-wide picture halves it, an unlisted small one doubles it.
    EXPECT_EQ(LineText(Context("mm", kClass2592, DisplayMode::ActualSize, QSize(1280, 960), 10), pixels),
              "3.333");
    EXPECT_EQ(LineText(Context("mm", kClass2592, DisplayMode::ActualSize, QSize(320, 240), 10), pixels),
              "13.333");

    // Camera class 0 in inches with four decimals.
    EXPECT_EQ(LineText(Context("inch", kClass1280, DisplayMode::Fitted, QSize(640, 480), 10, 4), 100),
              "0.2515");
    // An unknown unit counts as millimetres; class 1 has its own pitch for 1280 x 960.
    EXPECT_DOUBLE_EQ(unitsPerMicrometre("furlong"), 0.001);
    EXPECT_DOUBLE_EQ(BasePixelPitch(1, QSize(1280, 960)), 63.829787234);
    EXPECT_DOUBLE_EQ(BasePixelPitch(1, QSize(1600, 1200)), 80.0);
}

TEST(MeasureValues, AreasAndCirclesArePositiveAndScaled)
{
    const ValueContext context = Context("mm", kClass2592, DisplayMode::Fitted, QSize(640, 480), 10);
    MeasureTexts rect;
    ASSERT_TRUE(RectangleValues(QPoint(50, 50), QPoint(10, 20), context, rect)); // drawn up and left
    EXPECT_EQ(rect.values, (QStringList{"2.667", "2.000", "5.333"}));
    EXPECT_EQ(rect.units, (QStringList{"mm", "mm", "mm2"}));
    // One pixel square: the area keeps three significant digits instead of reading 0.004.
    ASSERT_TRUE(RectangleValues(QPoint(10, 10), QPoint(11, 11), context, rect));
    EXPECT_EQ(rect.values, (QStringList{"0.067", "0.067", "0.00444"}));
    EXPECT_EQ(FormatArea(0.0000123456, 3), "0.0000123");
    EXPECT_EQ(FormatArea(0.0456, 2), "0.0456");
    EXPECT_EQ(FormatArea(123.456, 1), "123.5");
    EXPECT_EQ(FormatArea(0.0, 3), "0.000");

    MeasureTexts circle;
    ASSERT_TRUE(RadiusCircleValues(30, context, circle));
    EXPECT_EQ(circle.values, (QStringList{"2.000", "12.566", "12.566"}));
    MeasureTexts diameter;
    ASSERT_TRUE(DiameterCircleValues(60, context, diameter));
    EXPECT_EQ(diameter.values, (QStringList{"4.000", "12.566", "12.566"}));

    // A 10 x 10 square counts 100 whole pixels, so 100 * s^2 square units.
    const QPoint square[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}, {10, 20}};
    EXPECT_EQ(PolygonPixelArea(square), 100);
    MeasureTexts polygon;
    ASSERT_TRUE(PolygonValues(square, context, polygon));
    EXPECT_EQ(polygon.values, QStringList{"0.444"});
    EXPECT_EQ(polygon.units, QStringList{"mm2"});
    const QPoint sliver[] = {{10, 10}, {11, 10}, {10, 11}};
    EXPECT_LE(PolygonPixelArea(sliver), 1);
}

TEST(MeasureValues, DegenerateInputMakesNoValue)
{
    const ValueContext noMagnification = Context("mm", kClass2592, DisplayMode::Fitted, QSize(640, 480), 0);
    MeasureTexts texts;
    texts.values = QStringList{"kept"};
    EXPECT_FALSE(LineValues(100, noMagnification, texts));
    EXPECT_EQ(texts.values, QStringList{"kept"});
    EXPECT_FALSE(ThreePointAngleValues(QPoint(5, 5), QPoint(5, 5), QPoint(50, 9), texts));
    EXPECT_FALSE(FourPointAngleValues(QPoint(0, 0), QPoint(10, 0), QPoint(3, 3), QPoint(3, 3), texts));
    EXPECT_FALSE(ThreePointCentre(QPoint(0, 0), QPoint(10, 10), QPoint(20, 20)));
    EXPECT_FALSE(ThreePointCentre(QPoint(5, 0), QPoint(5, 10), QPoint(5, 30)));
    EXPECT_FALSE(ArcCircleThrough(QPoint(0, 0), QPoint(10, 0), QPoint(20, 0)));
    EXPECT_EQ(FormatValue(std::nan(""), 3), "0.000");
    EXPECT_EQ(FormatValue(INFINITY, 2), "0.00");
}

TEST(MeasureGeometry, TwoLineAngleRules)
{
    auto angle = [](QPoint a1, QPoint a2, QPoint b1, QPoint b2) {
        return TwoLineAngle(a1, a2, b1, b2).value_or(-1);
    };
    // Horizontal lines: 180 only when line 1 runs leftwards and line 2's end lies right of its start.
    EXPECT_EQ(angle({10, 0}, {5, 0}, {20, 5}, {30, 5}), 180);
    EXPECT_EQ(angle({5, 0}, {10, 0}, {20, 5}, {30, 5}), 0);
    EXPECT_EQ(angle({10, 0}, {5, 0}, {20, 5}, {8, 5}), 0);
    // Vertical lines: 180 only when d < b < h.
    EXPECT_EQ(angle({0, 10}, {0, 5}, {5, 0}, {5, 20}), 180);
    EXPECT_EQ(angle({0, 10}, {0, 5}, {5, 0}, {5, 8}), 0);
    // Three-point angles: the vertex is line 1's and line 2's first point.
    const QPoint vertex(50, 50);
    EXPECT_EQ(angle(vertex, {10, 50}, vertex, {90, 50}), 180);
    EXPECT_EQ(angle(vertex, {90, 50}, vertex, {10, 50}), 0);
    EXPECT_EQ(angle(vertex, {10, 10}, vertex, {90, 90}), 0); // opposite but not horizontal
    EXPECT_NEAR(angle(vertex, {50, 10}, vertex, {90, 50}), 90, 1e-5);
    EXPECT_NEAR(angle({0, 0}, {10, 10}, {20, 0}, {20, 30}), 45, 1e-6);
    MeasureTexts texts;
    ASSERT_TRUE(ThreePointAngleValues({50, 10}, vertex, {90, 50}, texts));
    EXPECT_EQ(texts.values, QStringList{"90.00"});
    EXPECT_EQ(texts.units, QStringList{QString::fromUtf8("\u00B0")});
}

TEST(MeasureGeometry, CirclesBarsAndArcs)
{
    // The second chord horizontal: its bisector is vertical, the centre still comes out.
    const auto centre = ThreePointCentre(QPoint(0, 10), QPoint(10, 0), QPoint(-10, 0));
    ASSERT_TRUE(centre);
    EXPECT_NEAR(centre->x(), 0, 1e-9);
    EXPECT_NEAR(centre->y(), 0, 1e-9);
    const auto vertical = ThreePointCentre(QPoint(0, -10), QPoint(0, 10), QPoint(10, 0));
    ASSERT_TRUE(vertical);
    EXPECT_NEAR(vertical->x(), 0, 1e-9);
    EXPECT_NEAR(vertical->y(), 0, 1e-9);

    const auto arc = ArcCircleThrough(QPoint(10, 0), QPoint(0, 10), QPoint(-10, 0));
    ASSERT_TRUE(arc);
    EXPECT_EQ(arc->centre, QPoint(0, 0));
    EXPECT_EQ(arc->radius, 10);
    EXPECT_EQ(arc->orientation, 0);
    EXPECT_EQ(ArcCircleThrough(QPoint(-10, 0), QPoint(0, 10), QPoint(10, 0))->orientation, 1);

    EXPECT_EQ(FormatAngle(ArcAngle(QPoint(10, 0), QPoint(0, 0), QPoint(20, 0))), "360.00");
    EXPECT_EQ(FormatAngle(ArcAngle(QPoint(10, 0), QPoint(0, 0), QPoint(0, -10))), "90.00");
    EXPECT_EQ(FormatAngle(ArcAngle(QPoint(0, -10), QPoint(0, 0), QPoint(10, 0))), "270.00");

    const EndBar horizontal = EndBarAt(QPoint(0, 0), QPoint(100, 0));
    EXPECT_EQ(horizontal.p, QPoint(100, -10));
    EXPECT_EQ(horizontal.q, QPoint(100, 10));
    const EndBar upright = EndBarAt(QPoint(5, 0), QPoint(5, 50));
    EXPECT_EQ(upright.p, QPoint(15, 50));
    EXPECT_EQ(upright.q, QPoint(-5, 50));
    const EndBar diagonal = EndBarAt(QPoint(0, 0), QPoint(100, 100));
    EXPECT_EQ(diagonal.p, QPoint(107, 92));
    EXPECT_EQ(diagonal.q, QPoint(92, 107));

    EXPECT_EQ(WindowToImage(QPoint(101, 51), 2.0, QPoint(30, 7)), QPoint(80, 32));
}

TEST(MeasureValues, LabelLineHeightsAndTotals)
{
    const std::pair<int, int> heights[] = {{0, 12},  {-3, 12}, {1, 13},  {13, 13}, {14, 15}, {16, 17},
                                           {64, 37}, {65, 72}, {96, 72}, {97, 12}, {100, 12}};
    for (const auto& [size, height] : heights) {
        EXPECT_EQ(labelLineHeightFor(size), height) << "font size " << size;
    }
    const double total = ContinuousLineTotal({"1.250", "2.500"});
    EXPECT_EQ(ContinuousTotalLine(total, "mm"), "TL=3.750000mm");
    EXPECT_EQ(ContinuousLineTotal({"0.000", "0.000"}), 0);
    EXPECT_EQ(ContinuousLineTotal({" 2.5mm", "junk"}), 2.5);

    MeasureTexts drawingOnly;
    drawingOnly.values = QStringList{"1.000", "2.000"};
    drawingOnly.units = QStringList{"mm", "mm2"};
    BlankTexts(drawingOnly);
    EXPECT_EQ(drawingOnly.values, (QStringList{"", ""}));
    EXPECT_EQ(drawingOnly.units, (QStringList{"", ""}));
}

TEST(MeasureValues, DisplayFactorsAndSaveRatios)
{
    EXPECT_EQ(DisplayFactor(DisplayMode::Fitted, QSize(2592, 1944)), 1.0);
    EXPECT_DOUBLE_EQ(DisplayFactor(DisplayMode::ActualSize, QSize(2592, 1944)), 640.0 / 2592);
    EXPECT_EQ(DisplayFactor(DisplayMode::ActualSize, QSize(2048, 1536)), 0.3125);
    EXPECT_EQ(SaveRatio(DisplayMode::Fitted, QSize(2592, 1944)), 4.05);
    EXPECT_EQ(SaveRatio(DisplayMode::Fitted, QSize(1280, 1024)), 2.0);
    EXPECT_EQ(SaveRatio(DisplayMode::Fitted, QSize(800, 600)), 0.5);
    EXPECT_EQ(SaveRatio(DisplayMode::ActualSize, QSize(2592, 1944)), 1.0);
}
