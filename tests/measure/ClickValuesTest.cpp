// Which coordinates each kind's values are taken from, at a zoom other than 1.
#include "measure/ClickValues.h"

#include "measure/MeasureGeometry.h"

#include <gtest/gtest.h>

namespace {

// One display unit per pixel at magnification 10, so lengths read as pixels.
ValueContext PixelContext()
{
    ValueContext context;
    context.scale = 1.0;
    context.magnification = 10.0;
    context.decimals = 3;
    context.unit = "mm";
    return context;
}

} // namespace

TEST(ClickValues, EachKindTakesItsOwnCoordinates)
{
    const ClickValues values(PixelContext(), 2.0, QPoint(10, 20));
    MeasureTexts texts;
    // A line: the window positions over the zoom, not rounded (201 / 2 = 100.5).
    ASSERT_TRUE(values.Line(QPoint(0, 0), QPoint(201, 0), texts));
    EXPECT_EQ(texts.values, QStringList{"100.500"});
    // A radius circle: whole image pixels (3 / 2 truncates to 1).
    ASSERT_TRUE(values.RadiusCircle(QPoint(0, 0), QPoint(3, 0), texts));
    EXPECT_EQ(texts.values.value(0), "1.000");
    // A diameter circle: its centre is the truncated window midpoint, then converted.
    EXPECT_EQ(values.DiameterCentre(QPoint(1, 1), QPoint(6, 4)), QPoint(11, 21));
    ASSERT_TRUE(values.DiameterCircle(QPoint(0, 0), QPoint(5, 0), texts));
    EXPECT_EQ(texts.values.value(0), "2.000");
    // A three-point circle: centre from the window positions, radius over the zoom.
    QPointF centre;
    ASSERT_TRUE(values.ThreePointCircle(QPoint(0, 100), QPoint(100, 0), QPoint(200, 100), centre, texts));
    EXPECT_EQ(centre, QPointF(100, 100));
    EXPECT_EQ(texts.values.value(0), "50.000");
    // Angles: the three-point angle in image pixels, the four-point one in window positions.
    ASSERT_TRUE(values.ThreePointAngle(QPoint(3, 0), QPoint(0, 0), QPoint(0, 3), texts));
    EXPECT_EQ(texts.values, QStringList{"90.00"});
    ASSERT_TRUE(values.FourPointAngle(QPoint(0, 0), QPoint(1, 0), QPoint(0, 0), QPoint(1, 1), texts));
    EXPECT_EQ(texts.values, QStringList{"45.00"});
}

TEST(ClickValues, ArcLengthUsesItsOwnConstant)
{
    ValueContext context = PixelContext();
    MeasureTexts texts;
    ASSERT_TRUE(ArcValues(100.0, 180.0, context, texts));
    // 100 x 180 x 62.83 / (10 x 360), not 20 pi.
    EXPECT_EQ(texts.values, (QStringList{"100.000", "180.00", "314.150"}));
    EXPECT_EQ(texts.units.value(2), "mm");
    context.magnification = 0.0;
    EXPECT_FALSE(ArcValues(100.0, 180.0, context, texts));
}

TEST(ClickValues, FootOfThePerpendicular)
{
    EXPECT_EQ(PerpendicularFoot(QPoint(100, 100), QPoint(200, 200), QPoint(100, 200)), QPoint(150, 150));
    EXPECT_EQ(PerpendicularFoot(QPoint(5, 0), QPoint(5, 50), QPoint(30, 20)), QPoint(5, 20));
    EXPECT_EQ(PerpendicularFoot(QPoint(0, 7), QPoint(50, 7), QPoint(30, 20)), QPoint(30, 7));
    // Truncated towards zero: the foot of (0, 10) on y = 2x is (4, 8).
    EXPECT_EQ(PerpendicularFoot(QPoint(0, 0), QPoint(1, 2), QPoint(0, 10)), QPoint(4, 8));
    EXPECT_FALSE(PerpendicularFoot(QPoint(3, 3), QPoint(3, 3), QPoint(0, 0)));
}
