#include "measure/MeasureValues.h"

#include "measure/MeasureGeometry.h"
#include "measure/MeasureUnits.h"
#include "measure/NumberText.h"

#include <cmath>
#include <initializer_list>

namespace {

constexpr double kPi = 3.1415926;
constexpr double kTwentyPi = 62.831852;
constexpr double kHundredPi = 314.15926;
// The arc length has always used this shorter constant for 20 pi.
constexpr double kArcTwentyPi = 62.83;
constexpr double kFullTurnDegrees = 360.0;

struct Quantity {
    double value;
    bool area; // area values take the unit with "2"
};

bool Fill(std::initializer_list<Quantity> quantities, const ValueContext& context, MeasureTexts& texts)
{
    for (const Quantity& q : quantities) {
        if (!std::isfinite(q.value)) {
            return false;
        }
    }
    texts = MeasureTexts();
    for (const Quantity& q : quantities) {
        texts.values.append(q.area ? FormatArea(q.value, context.decimals)
                                   : FormatValue(q.value, context.decimals));
        texts.units.append(q.area ? AreaUnit(context.unit) : context.unit);
        texts.numbers.append(q.value);
    }
    return true;
}

bool FillAngle(const std::optional<double>& degrees, MeasureTexts& texts)
{
    if (!degrees || !std::isfinite(*degrees)) {
        return false;
    }
    texts = MeasureTexts();
    texts.values.append(FormatAngle(*degrees));
    texts.units.append(QString::fromUtf8(kDegreeUnit));
    texts.numbers.append(*degrees);
    return true;
}

} // namespace

bool LineValues(double pixels, const ValueContext& context, MeasureTexts& texts)
{
    return Fill({{LengthFromPixels(pixels, context.scale, context.magnification), false}}, context, texts);
}

bool RadiusCircleValues(double radius, const ValueContext& context, MeasureTexts& texts)
{
    const double s = context.scale, m = context.magnification;
    return Fill({{radius * s * 10 / m, false},
                 {radius * s * kTwentyPi / m, false},
                 {s * (radius * radius * s) * kHundredPi / (m * m), true}},
                context, texts);
}

bool DiameterCircleValues(double diameter, const ValueContext& context, MeasureTexts& texts)
{
    const double s = context.scale, m = context.magnification;
    const double half = diameter / 2;
    return Fill({{diameter * s * 10 / m, false},
                 {(diameter * kPi) * s * 10 / m, false},
                 {s * (half * half * s) * kHundredPi / (m * m), true}},
                context, texts);
}

bool RectangleValues(QPoint corner1, QPoint corner2, const ValueContext& context, MeasureTexts& texts)
{
    const double s = context.scale, m = context.magnification;
    const double dx = double(corner2.x()) - corner1.x();
    const double dy = double(corner2.y()) - corner1.y();
    return Fill({{std::fabs(dx * s) * 10 / m, false},
                 {std::fabs(dy * s) * 10 / m, false},
                 {std::fabs(s * (dx * dy * s)) * 100 / (m * m), true}},
                context, texts);
}

bool PolygonValues(std::span<const QPoint> points, const ValueContext& context, MeasureTexts& texts)
{
    const double pixels = PolygonPixelArea(points);
    return Fill({{AreaFromPixels(pixels, context.scale, context.magnification), true}}, context, texts);
}

bool ThreePointAngleValues(QPoint arm1, QPoint vertex, QPoint arm2, MeasureTexts& texts)
{
    return FillAngle(TwoLineAngle(vertex, arm1, vertex, arm2), texts);
}

bool FourPointAngleValues(QPoint a1, QPoint a2, QPoint b1, QPoint b2, MeasureTexts& texts)
{
    return FillAngle(TwoLineAngle(a1, a2, b1, b2), texts);
}

bool ArcValues(double radius, double degrees, const ValueContext& context, MeasureTexts& texts)
{
    const double s = context.scale, m = context.magnification;
    const double length = s * degrees * radius * kArcTwentyPi / (m * kFullTurnDegrees);
    MeasureTexts radiusTexts, lengthTexts, angleTexts;
    if (!Fill({{radius * s * 10 / m, false}}, context, radiusTexts) ||
        !Fill({{length, false}}, context, lengthTexts) || !FillAngle(degrees, angleTexts)) {
        return false;
    }
    texts.values = {radiusTexts.values[0], angleTexts.values[0], lengthTexts.values[0]};
    texts.units = {radiusTexts.units[0], angleTexts.units[0], lengthTexts.units[0]};
    texts.numbers = {radiusTexts.numbers[0], angleTexts.numbers[0], lengthTexts.numbers[0]};
    return true;
}

void AppendTexts(MeasureTexts& texts, const MeasureTexts& more)
{
    texts.values.append(more.values);
    texts.units.append(more.units);
    texts.numbers.append(more.numbers);
}

void BlankTexts(MeasureTexts& texts)
{
    for (QString& value : texts.values) {
        value.clear();
    }
    for (QString& unit : texts.units) {
        unit.clear();
    }
    texts.numbers.clear();
}

double ContinuousLineTotal(const QStringList& valueTexts)
{
    double sum = 0.0;
    for (const QString& text : valueTexts) {
        sum += ParseLeadingNumber(text);
    }
    return sum;
}

QString ContinuousTotalLine(double total, const QString& unit)
{
    return QString::asprintf("TL=%f", std::isfinite(total) ? total : 0.0) + unit;
}
