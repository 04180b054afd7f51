#include "liveview/LiveMeasurePainter.h"

#include "measure/MeasureFigures.h"
#include "measure/MeasureGeometry.h"
#include "measure/MeasureValues.h"

#include <QPainter>
#include <cmath>

namespace {
// Laid-out label texts belong to the thread that laid them out: text shaped on the
// window thread and drawn on the streaming thread (or the other way round) crashed
// in the font engine when both threads drew text at once. Each thread keeps its own.
FontCache& ThreadFonts()
{
    thread_local FontCache fonts;
    return fonts;
}

constexpr int kOpenCrossArm = 4;
constexpr int kOpenLineHeight = 12;
constexpr ColorRef kOpenTextColor = 0x0000FF; // red
constexpr const char* kLengthSymbol = "L=";

QPoint Scaled(QPoint p, double fx, double fy)
{
    return QPoint(TruncateToInt(p.x() * fx), TruncateToInt(p.y() * fy));
}

// Radius of a live circle: the distance rounded to the nearest pixel.
int RoundedRadius(QPointF centre, QPointF rim)
{
    return TruncateToInt(Distance(centre, rim) + 0.5);
}

QPoint Midpoint(QPoint a, QPoint b)
{
    return QPoint(int((int64_t(a.x()) + b.x()) / 2), int((int64_t(a.y()) + b.y()) / 2));
}

void DrawDiameterCircle(QPainter& painter, QPoint end1, QPoint end2)
{
    DrawCircle(painter, Midpoint(end1, end2), RoundedRadius(end1, end2) / 2);
    painter.drawLine(end1, end2);
}

// The arc through the middle point, from the first point to the third.
void DrawArcThrough(QPainter& painter, QPoint p0, QPoint p1, QPoint p2, QPoint centre)
{
    const int radius = TruncatedDistance(centre, p0);
    const int64_t turn = (int64_t(p1.x()) - p0.x()) * (int64_t(p2.y()) - p0.y()) -
                         (int64_t(p2.x()) - p0.x()) * (int64_t(p1.y()) - p0.y());
    // A turn that is not negative runs clockwise on screen; the arc through p1 then
    // runs counter-clockwise from p2 back to p0.
    if (turn >= 0) {
        DrawCounterClockwiseArc(painter, centre, radius, p2, p0);
    } else {
        DrawCounterClockwiseArc(painter, centre, radius, p0, p2);
    }
}

void DrawPolyline(QPainter& painter, const QList<QPoint>& points, int count)
{
    for (int i = 1; i < count; ++i) {
        painter.drawLine(points[i - 1], points[i]);
    }
}

// Where the rubber band starts: the last vertex. A continuous line's pending points
// end with the label of its last segment, one after that segment's vertex.
QPoint RubberStart(const OpenMeasurement& open)
{
    const QList<QPoint>& pts = open.points;
    if (open.kind == static_cast<int>(LiveKind::ContinuousLine) && pts.size() >= 3) {
        return pts[pts.size() - 2];
    }
    return pts.last();
}

QString ValueLine(const char* symbol, const QString& value, const QString& unit)
{
    return QLatin1String(symbol) + value + unit;
}

} // namespace

void LiveMeasurePainter::Paint(QPainter& painter, const LiveSnapshot& snapshot, double fx, double fy,
                               double size)
{
    m_size = size;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::TransparentMode);
    if (!snapshot.open.points.isEmpty()) {
        PaintOpen(painter, snapshot.open);
    }
    if (snapshot.finished) {
        for (const LiveShapeCopy& item : *snapshot.finished) {
            PaintShape(painter, item.kind, item.shape, fx, fy);
        }
    }
    painter.restore();
}

void LiveMeasurePainter::PaintOpen(QPainter& painter, const OpenMeasurement& open)
{
    const QList<QPoint>& pts = open.points;
    const int count = int(pts.size());
    painter.setPen(MeasurePen(open.penStyle, open.penWidth, open.penColor));
    switch (static_cast<LiveKind>(open.kind)) {
    case LiveKind::Line:
        DrawPolyline(painter, pts, std::min(count, 2));
        break;
    case LiveKind::PointToLine:
        DrawPolyline(painter, pts, std::min(count, 2));
        if (count >= 4) {
            painter.drawLine(pts[2], pts[3]);
        }
        break;
    case LiveKind::ContinuousLine:
        if (count >= 2) {
            painter.drawLine(pts[0], pts[1]);
        }
        for (int i = 1; i < count - 2; i += 2) {
            painter.drawLine(pts[i], pts[i + 2]);
        }
        break;
    case LiveKind::Polygon:
    case LiveKind::ThreePointAngle:
        DrawPolyline(painter, pts, open.values.isEmpty() ? count : count - 1);
        break;
    case LiveKind::FourPointAngle:
        DrawPolyline(painter, pts, std::min(count, 2));
        if (count >= 4) {
            painter.drawLine(pts[2], pts[3]);
        }
        break;
    case LiveKind::RadiusCircle:
        if (count >= 2) {
            DrawCircle(painter, pts[0], RoundedRadius(pts[0], pts[1]));
            painter.drawLine(pts[0], pts[1]);
        }
        break;
    case LiveKind::DiameterCircle:
        if (count >= 2) {
            DrawDiameterCircle(painter, pts[0], pts[1]);
        }
        break;
    case LiveKind::ThreePointCircle:
        for (int i = 0; i < std::min(count, 3); ++i) {
            DrawCross(painter, pts[i], kOpenCrossArm);
        }
        if (open.hasCircle) {
            DrawCircle(painter, open.circleCentre, open.circleRadius);
        }
        break;
    case LiveKind::Arc:
        for (int i = 0; i < std::min(count, 2); ++i) {
            DrawCross(painter, pts[i], kOpenCrossArm);
        }
        if (count >= 3) {
            if (const std::optional<ArcCircle> circle = ArcCircleThrough(pts[0], pts[1], pts[2])) {
                DrawArcThrough(painter, pts[0], pts[1], pts[2], circle->centre);
            }
        }
        break;
    }
    if (open.rubber && count > 0) {
        painter.drawLine(RubberStart(open), open.rubberPoint);
    }
    PaintOpenTexts(painter, open);
}

void LiveMeasurePainter::PaintOpenTexts(QPainter& painter, const OpenMeasurement& open)
{
    const KindInfo* info = InfoOf(static_cast<LiveKind>(open.kind));
    if (info == nullptr || open.values.isEmpty()) {
        return;
    }
    // In red, in the default font, without the name line. The font and the laid-out
    // lines come from this thread's cache, as every other label's do.
    FontCache::Entry& font = ThreadFonts().Get(LogFontRecord{});
    const QColor red = ColorFromRef(kOpenTextColor);
    auto write = [&](QPoint topLeft, const char* symbol, int k) {
        DrawTextLine(painter, font, red, topLeft, ValueLine(symbol, open.values[k], open.units.value(k)));
    };
    if (open.kind == static_cast<int>(LiveKind::ContinuousLine)) {
        for (int k = 0; k < open.values.size() && 2 * k + 2 < open.points.size(); ++k) {
            write(open.points[2 * k + 2], kLengthSymbol, k);
        }
        return;
    }
    const QPoint anchor = open.points.last();
    for (int k = 0; k < open.values.size() && size_t(k) < info->symbols.size(); ++k) {
        write(anchor + QPoint(0, k * kOpenLineHeight), info->symbols[size_t(k)], k);
    }
}

void LiveMeasurePainter::PaintShape(QPainter& painter, LiveKind kind, const CMeasureShape& shape, double fx,
                                    double fy)
{
    const int count = int(shape.points.size());
    auto at = [&](int i) { return Scaled(shape.points[i], fx, fy); };
    auto line = [&](int a, int b) { painter.drawLine(at(a), at(b)); };
    painter.setPen(MeasurePen(shape.penStyle, ScaledPenWidth(shape.penWidth, m_size), shape.lineColor));
    switch (kind) {
    case LiveKind::Line:
        if (count >= 2) {
            line(0, 1);
        }
        break;
    case LiveKind::ContinuousLine:
        if (count >= 2) {
            line(0, 1);
        }
        for (int i = 1; i < count - 2; i += 2) {
            line(i, i + 2);
        }
        break;
    case LiveKind::PointToLine:
    case LiveKind::FourPointAngle:
        if (count >= 4) {
            line(0, 1), line(2, 3);
        }
        break;
    case LiveKind::Polygon:
        // Vertices, the closing first vertex, then the label anchor.
        for (int i = 1; i <= count - 2; ++i) {
            line(i - 1, i);
        }
        break;
    case LiveKind::RadiusCircle:
    case LiveKind::ThreePointCircle:
        if (count >= 2) {
            DrawCircle(painter, at(0), RoundedRadius(at(0), at(1)));
            if (kind == LiveKind::RadiusCircle) {
                line(0, 1);
            }
        }
        break;
    case LiveKind::DiameterCircle:
        if (count >= 2) {
            DrawDiameterCircle(painter, at(0), at(1));
        }
        break;
    case LiveKind::Arc:
        if (count >= 4) {
            DrawArcThrough(painter, at(0), at(1), at(2), at(3));
        }
        break;
    case LiveKind::ThreePointAngle:
        if (count >= 3) {
            const QPoint arm[3] = {at(0), at(1), at(2)};
            painter.drawPolyline(arm, 3);
            DrawAngleMark(painter, arm[1], arm[0], arm[2]);
        }
        break;
    }
    if (shape.labelShown) {
        PaintLabel(painter, kind, shape, fx, fy);
    }
}

void LiveMeasurePainter::PaintLabel(QPainter& painter, LiveKind kind, const CMeasureShape& shape, double fx,
                                    double fy)
{
    const KindInfo* info = InfoOf(kind);
    if (info == nullptr) {
        return;
    }
    if (kind == LiveKind::ContinuousLine) {
        PaintContinuousLabels(painter, shape, fx, fy);
        return;
    }
    const int anchorIndex =
        info->anchorRule == AnchorRule::LastPoint ? int(shape.points.size()) - 1 : info->anchorIndex;
    if (anchorIndex < 0 || anchorIndex >= shape.points.size()) {
        return;
    }
    FontCache::Entry& font = ThreadFonts().Get(ScaledFont(shape.labelFont, m_size));
    const QColor color = ColorFromRef(shape.labelColor);
    const QPoint anchor = Scaled(shape.points[anchorIndex], fx, fy);
    const int h = ScaledLength(shape.labelLineHeight, m_size);
    DrawTextLine(painter, font, color, anchor, shape.namePrefix + QString::number(shape.serial));
    for (qsizetype k = 0; k < shape.valueTexts.size() && size_t(k) < info->symbols.size(); ++k) {
        DrawTextLine(painter, font, color, anchor + QPoint(0, int(k + 1) * h),
                     ValueLine(info->symbols[size_t(k)], shape.valueTexts[k], shape.unitTexts.value(k)));
    }
}

void LiveMeasurePainter::PaintContinuousLabels(QPainter& painter, const CMeasureShape& shape, double fx,
                                               double fy)
{
    FontCache::Entry& font = ThreadFonts().Get(ScaledFont(shape.labelFont, m_size));
    const QColor color = ColorFromRef(shape.labelColor);
    const int count = int(shape.points.size());
    const QString unit = shape.unitTexts.value(0);
    for (int i = 2; i < count && i / 2 - 1 < shape.valueTexts.size(); i += 2) {
        DrawTextLine(painter, font, color, Scaled(shape.points[i], fx, fy),
                     ValueLine(kLengthSymbol, shape.valueTexts[i / 2 - 1], unit));
    }
    const int last = count - 1;
    const double total = ContinuousLineTotal(shape.valueTexts);
    if (last < 2 || last % 2 != 0 || total == 0) {
        return;
    }
    const QPoint anchor = Scaled(shape.points[last], fx, fy);
    const int h = ScaledLength(shape.labelLineHeight, m_size);
    DrawTextLine(painter, font, color, anchor - QPoint(0, h),
                 shape.namePrefix + QString::number(shape.serial));
    DrawTextLine(painter, font, color, anchor + QPoint(0, h), ContinuousTotalLine(total, unit));
}
