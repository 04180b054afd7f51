#pragma once
// Value and unit texts of each kind, with the full values behind them, from pixel
// quantities. Each function fills `texts` and returns true, or returns false (texts
// untouched) when the result would not be a finite number, so no object is made from it.
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <span>

struct ValueContext {
    double scale = 0.0;         // s: display units per image pixel at magnification 10
    double magnification = 0.0; // M
    int decimals = 3;
    QString unit; // display unit text
};

struct MeasureTexts {
    QStringList values;
    QStringList units;
    QList<double> numbers{}; // the full value behind each value text; none for empty slots
};

// Length of a line (also one continuous-line segment) of `pixels` image pixels.
bool LineValues(double pixels, const ValueContext& context, MeasureTexts& texts);
// Radius, circumference and area of a circle of radius `radius` image pixels.
bool RadiusCircleValues(double radius, const ValueContext& context, MeasureTexts& texts);
// Diameter, circumference and area of a circle of diameter `diameter` image pixels.
bool DiameterCircleValues(double diameter, const ValueContext& context, MeasureTexts& texts);
// Width, height and area from the two corners' differences; positive whatever the
// direction in which the rectangle was drawn.
bool RectangleValues(QPoint corner1, QPoint corner2, const ValueContext& context, MeasureTexts& texts);
// Area of the polygon through `points` (vertices and label anchor).
bool PolygonValues(std::span<const QPoint> points, const ValueContext& context, MeasureTexts& texts);
// Angle between the arms vertex->arm1 and vertex->arm2.
bool ThreePointAngleValues(QPoint arm1, QPoint vertex, QPoint arm2, MeasureTexts& texts);
// Angle between the lines a1-a2 and b1-b2.
bool FourPointAngleValues(QPoint a1, QPoint a2, QPoint b1, QPoint b2, MeasureTexts& texts);

// Radius, swept angle and arc length of an arc of `radius` pixels sweeping `degrees`.
bool ArcValues(double radius, double degrees, const ValueContext& context, MeasureTexts& texts);

// Adds the texts and numbers of `more` after those of `texts` (continuous lines).
void AppendTexts(MeasureTexts& texts, const MeasureTexts& more);

// Drawing-only objects keep the slots of their values, all empty, and no numbers.
void BlankTexts(MeasureTexts& texts);

// Sum of a continuous line's segment texts, each read as a number; 0 draws no total.
double ContinuousLineTotal(const QStringList& valueTexts);
// The total line of a continuous line: "TL=" and the sum with six decimals, then the unit.
QString ContinuousTotalLine(double total, const QString& unit);
