// The clicks of each live tool, from the first point to the placed label.
#include "liveview/CLiveMeasureHost.h"
#include "liveview/LiveCalibration.h"
#include "measure/ClickValues.h"
#include "measure/MeasureGeometry.h"
#include "measure/MeasureUnits.h"

namespace {

constexpr int kMinPolygonVertices = 3;

bool Is(int code, LiveKind kind)
{
    return code == static_cast<int>(kind);
}

// Tools whose first click is stored twice: the second copy follows the mouse.
bool StartsDoubled(int tool)
{
    return Is(tool, LiveKind::Line) || Is(tool, LiveKind::PointToLine) || Is(tool, LiveKind::RadiusCircle) ||
           Is(tool, LiveKind::DiameterCircle);
}

// Tools that run a rubber band from the last vertex while the next one is open.
bool RubberBands(int tool)
{
    return Is(tool, LiveKind::ContinuousLine) || Is(tool, LiveKind::Polygon) ||
           Is(tool, LiveKind::ThreePointAngle) || Is(tool, LiveKind::FourPointAngle);
}

QPoint Rounded(QPointF p)
{
    return QPoint(TruncateToInt(p.x() + 0.5), TruncateToInt(p.y() + 0.5));
}

} // namespace

void CLiveMeasureHost::Start(QPoint p)
{
    if (m_tool == 0) {
        return;
    }
    // The second line of a four-point angle starts on the first one.
    const bool secondLine = Is(m_tool, LiveKind::FourPointAngle) && m_firstLineWaiting;
    if (!secondLine) {
        ClearPending();
        m_openPen = m_selectedPen;
        m_pendingKind = m_tool;
    }
    m_firstLineWaiting = false;
    m_open = m_tool;
    m_clicks = secondLine ? 3 : 1;
    m_placing = false;
    m_expectVertex = true;
    m_labelFixed = false;
    m_points.append(p);
    if (StartsDoubled(m_tool)) {
        m_points.append(p);
    }
    m_rubber = RubberBands(m_tool);
    m_rubberPoint = p;
    Confine(true);
}

void CLiveMeasureHost::Continue(QPoint p)
{
    if (m_placing) {
        m_points.last() = p;
        Create();
        return;
    }
    bool taken = false;
    switch (static_cast<LiveKind>(m_open)) {
    case LiveKind::Line:
        taken = ContinueLine(p);
        break;
    case LiveKind::ContinuousLine:
        taken = ContinueContinuousLine(p);
        break;
    case LiveKind::PointToLine:
        taken = ContinuePointToLine(p);
        break;
    case LiveKind::Polygon:
        m_points.append(p);
        m_rubberPoint = p;
        taken = true;
        break;
    case LiveKind::RadiusCircle:
    case LiveKind::DiameterCircle:
        taken = ContinueCircle(p);
        break;
    case LiveKind::ThreePointCircle:
        taken = ContinueThreePointCircle(p);
        break;
    case LiveKind::Arc:
        taken = ContinueArc(p);
        break;
    case LiveKind::ThreePointAngle:
        taken = ContinueThreePointAngle(p);
        break;
    case LiveKind::FourPointAngle:
        taken = ContinueFourPointAngle(p);
        break;
    }
    if (taken) {
        ++m_clicks;
    }
}

bool CLiveMeasureHost::ContinueLine(QPoint p)
{
    const QPoint start = m_points[0];
    m_points = {start, p, p};
    if (m_calibration.IsCalibrating()) {
        const LiveMeasureSettings settings = Settings();
        const double raw = Distance(start, p) * settings.unitsPerPixel * 10;
        // Empty labels while the real length is asked for, no cursor confinement
        // while the dialog is up.
        BeginPlacing(MeasureTexts{{QString()}, {QString()}});
        PublishOpen();
        Confine(false);
        const double length = m_calibration.CalibrateLine(raw, settings.unit);
        Confine(true);
        m_texts = MeasureTexts{{FormatValue(length, settings.decimals)}, {settings.unit}, {length}};
        return true;
    }
    MeasureTexts texts;
    if (!ClickValues(Values()).Line(start, p, texts)) {
        return false;
    }
    BeginPlacing(texts);
    return true;
}

bool CLiveMeasureHost::ContinueContinuousLine(QPoint p)
{
    if (!m_expectVertex) {
        m_points.last() = p;
        m_expectVertex = true;
        m_labelFixed = true;
        m_rubber = true;
        m_rubberPoint = p;
        return true;
    }
    // The previous vertex: the first point, or the one before the last label.
    const QPoint previous = m_points.size() == 1 ? m_points[0] : m_points[m_points.size() - 2];
    MeasureTexts texts;
    if (!ClickValues(Values()).Line(previous, p, texts)) {
        return false;
    }
    m_points.append(p);
    m_points.append(p);
    AppendTexts(m_texts, texts);
    m_expectVertex = false;
    m_rubber = false;
    return true;
}

bool CLiveMeasureHost::ContinuePointToLine(QPoint p)
{
    if (m_clicks == 1) {
        m_points = {m_points[0], p};
        return true;
    }
    const QPoint a = m_points[0], b = m_points[1];
    const std::optional<QPoint> foot = PerpendicularFoot(a, b, p);
    MeasureTexts texts;
    if (!foot || !ClickValues(Values()).Line(p, *foot, texts)) {
        return false;
    }
    m_points = {a, b, p, *foot, p};
    BeginPlacing(texts);
    return true;
}

bool CLiveMeasureHost::ContinueCircle(QPoint p)
{
    const QPoint first = m_points[0];
    const ClickValues values(Values());
    MeasureTexts texts;
    const bool ok = Is(m_open, LiveKind::RadiusCircle) ? values.RadiusCircle(first, p, texts)
                                                       : values.DiameterCircle(first, p, texts);
    if (!ok) {
        return false;
    }
    m_points = {first, p, p};
    BeginPlacing(texts);
    return true;
}

bool CLiveMeasureHost::ContinueThreePointCircle(QPoint p)
{
    if (m_clicks < 2) {
        m_points.append(p);
        return true;
    }
    MeasureTexts texts;
    if (!ClickValues(Values()).ThreePointCircle(m_points[0], m_points[1], p, m_centre, texts)) {
        return false;
    }
    m_points = {m_points[0], m_points[1], p, p};
    BeginPlacing(texts);
    return true;
}

bool CLiveMeasureHost::ContinueArc(QPoint p)
{
    if (m_clicks == 1) {
        m_points = {m_points[0], p, p};
        return true;
    }
    const QPoint p1 = m_points[0], p2 = m_points[1];
    const std::optional<ArcCircle> circle = ArcCircleThrough(p1, p2, p);
    if (!circle) {
        return false;
    }
    double angle = ArcAngle(p1, circle->centre, p);
    if (circle->orientation == 0) {
        angle = 360.0 - angle;
    }
    MeasureTexts texts;
    if (!ArcValues(circle->radius, angle, Values(), texts)) {
        return false;
    }
    m_points = {p1, p2, p, circle->centre, p};
    BeginPlacing(texts);
    return true;
}

bool CLiveMeasureHost::ContinueThreePointAngle(QPoint p)
{
    if (m_clicks == 1) {
        m_points.append(p);
        m_rubberPoint = p;
        return true;
    }
    MeasureTexts texts;
    if (!ClickValues(Values()).ThreePointAngle(m_points[0], m_points[1], p, texts)) {
        return false;
    }
    m_points.append(p);
    m_points.append(p);
    BeginPlacing(texts);
    return true;
}

bool CLiveMeasureHost::ContinueFourPointAngle(QPoint p)
{
    if (m_clicks == 1) {
        // The first line is done: the tool closes and its third click starts it
        // again on the same points, with nothing drawn to the mouse in between.
        m_points.append(p);
        m_rubber = false;
        m_open = 0;
        m_firstLineWaiting = true;
        return true;
    }
    MeasureTexts texts;
    if (!ClickValues(Values()).FourPointAngle(m_points[0], m_points[1], m_points[2], p, texts)) {
        return false;
    }
    m_points.append(p);
    m_points.append(p);
    BeginPlacing(texts);
    return true;
}

void CLiveMeasureHost::Follow(QPoint p)
{
    if (m_placing || (Is(m_open, LiveKind::ContinuousLine) && !m_expectVertex)) {
        m_points.last() = p;
    } else if (m_clicks == 1 && StartsDoubled(m_open)) {
        m_points[1] = p;
    } else if (m_clicks == 2 && Is(m_open, LiveKind::Arc)) {
        m_points[2] = p;
    } else if (m_rubber) {
        m_rubberPoint = p;
    }
}

void CLiveMeasureHost::FinishPolyline()
{
    if (m_placing) {
        return;
    }
    if (Is(m_open, LiveKind::ContinuousLine) && m_labelFixed) {
        Create();
    } else if (Is(m_open, LiveKind::Polygon) && m_points.size() >= kMinPolygonVertices) {
        m_points.append(m_points[0]);
        m_points.append(m_points[0]);
        MeasureTexts texts;
        if (!ClickValues(Values()).Polygon(m_points, texts)) {
            m_points.resize(m_points.size() - 2);
            return;
        }
        BeginPlacing(texts);
    }
}

void CLiveMeasureHost::BeginPlacing(const MeasureTexts& texts)
{
    m_texts = texts;
    m_rubber = false;
    m_placing = true;
}

void CLiveMeasureHost::Create()
{
    MeasureTexts texts = m_texts;
    QList<QPoint> points = m_points;
    if (Is(m_open, LiveKind::ThreePointCircle)) {
        points = {Rounded(m_centre), m_points[2], m_points[3]};
    } else if (Is(m_open, LiveKind::PointToLine)) {
        // Drawn as the point and its foot; stored foot first.
        points.swapItemsAt(2, 3);
    }
    AddMeasurement(m_list, static_cast<LiveKind>(m_open), Settings().style, ToolMode::Measuring,
                   std::move(points), std::move(texts));
    ClearPending();
    m_open = 0;
    m_clicks = 0;
    m_placing = false;
    Confine(false);
    PublishFinished();
}

void CLiveMeasureHost::ClearPending()
{
    m_points.clear();
    m_texts = MeasureTexts();
    m_rubber = false;
}
