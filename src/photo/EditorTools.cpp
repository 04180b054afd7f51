// The clicks of each drawing tool, from the first point to the finished object,
// the rubber bands between them and the calibration line.
#include "measure/Calibration.h"
#include "measure/MeasureGeometry.h"
#include "measure/MeasureUnits.h"
#include "photo/MeasureEditor.h"

#include <algorithm>
#include <utility>

namespace {

QPoint Midpoint(QPoint a, QPoint b)
{
    return QPoint(int((int64_t(a.x()) + b.x()) / 2), int((int64_t(a.y()) + b.y()) / 2));
}

// The largest square around `centre` that stays inside `area`.
QRect SquareAround(QPoint centre, const QRect& area)
{
    const int half = std::max(0, std::min({centre.x() - area.left(), area.right() - centre.x(),
                                           centre.y() - area.top(), area.bottom() - centre.y()}));
    return QRect(centre - QPoint(half, half), centre + QPoint(half, half));
}

// Empty value and unit slots of a kind, for drawing-only objects.
MeasureTexts BlankSlots(PhotoKind kind)
{
    MeasureTexts texts;
    if (const KindInfo* info = InfoOf(kind)) {
        for (size_t i = 0; i < info->symbols.size(); ++i) {
            texts.values.append(QString());
            texts.units.append(QString());
        }
    }
    return texts;
}

} // namespace

void MeasureEditor::Start(QPoint p)
{
    if (m_tool == MeasureTool::Line || m_tool == MeasureTool::RadiusCircle ||
        m_tool == MeasureTool::Rectangle || m_tool == MeasureTool::Angle) {
        ClearSelection();
    }
    const EditorSettings settings = m_host.Settings();
    m_band.pen = {settings.style.penStyle, settings.style.penWidth, settings.style.lineColor};
    m_marks.pen = m_band.pen;
    m_band.Clear();
    m_marks.Clear();
    m_stage = Stage::Drawing;
    m_openMode = m_mode;
    m_clicks = {p};
    const QRect visible = m_host.VisiblePicture();
    ConfineTo(m_tool == MeasureTool::RadiusCircle ? SquareAround(p, visible) : visible);
    if (m_tool == MeasureTool::ContinuousLine) {
        m_pendingPoints = {ToImage(p)};
        m_pendingTexts = MeasureTexts();
        m_expectVertex = true;
    } else if (m_tool == MeasureTool::Polygon) {
        m_polygon.clear();
    } else if (m_tool == MeasureTool::ThreePointCircle) {
        m_marks.AddCross(p);
        m_host.RepaintRect(m_marks.Bounds());
    }
}

void MeasureEditor::Continue(QPoint p)
{
    switch (m_tool) {
    case MeasureTool::ContinuousLine:
        ContinueContinuousLine(p);
        return;
    case MeasureTool::Polygon:
        ContinuePolygon(p);
        return;
    case MeasureTool::ThreePointCircle:
        if (m_clicks.size() < 2) {
            m_clicks.append(p);
            m_marks.AddCross(p);
            m_host.RepaintRect(m_marks.Bounds());
            return;
        }
        break;
    case MeasureTool::Angle:
        if (m_clicks.size() < 2) {
            m_clicks.append(p);
            return;
        }
        break;
    case MeasureTool::FourPointAngle:
        if (m_clicks.size() < 3) {
            if (m_clicks.size() == 1) {
                m_marks.AddLine(m_clicks[0], p);
                m_host.RepaintRect(m_marks.Bounds());
            }
            m_clicks.append(p);
            return;
        }
        break;
    default:
        break;
    }
    MakeShape(p);
}

bool MeasureEditor::MakeShape(QPoint p)
{
    const EditorSettings settings = m_host.Settings();
    const ClickValues values = Values(settings);
    const bool measuring = m_openMode == ToolMode::Measuring;
    const QPoint c0 = m_clicks.value(0);
    QList<QPoint> window;
    QList<QPoint> points;
    MeasureTexts texts;
    bool ok = true;
    PhotoKind kind = PhotoKind::Line;
    switch (m_tool) {
    case MeasureTool::Line: {
        const EndBar startBar = EndBarAt(p, c0);
        const EndBar endBar = EndBarAt(c0, p);
        window = {c0, p, startBar.p, startBar.q, endBar.p, endBar.q, p};
        if (m_calibrating) {
            texts = MeasureTexts{{QString()}, {settings.values.unit}};
        } else if (measuring) {
            ok = values.Line(c0, p, texts);
        }
        break;
    }
    case MeasureTool::RadiusCircle:
        kind = PhotoKind::RadiusCircle;
        window = {c0, p, p};
        ok = !measuring || values.RadiusCircle(c0, p, texts);
        break;
    case MeasureTool::Rectangle:
        kind = PhotoKind::Rectangle;
        window = {c0, p, p};
        ok = !measuring || RectangleValues(ToImage(c0), ToImage(p), settings.values, texts);
        break;
    case MeasureTool::Angle:
        kind = PhotoKind::ThreePointAngle;
        window = {c0, m_clicks[1], p, p};
        ok = !measuring || values.ThreePointAngle(c0, m_clicks[1], p, texts);
        break;
    case MeasureTool::DiameterCircle:
        kind = PhotoKind::DiameterCircle;
        window = {Midpoint(c0, p), c0, p, p};
        ok = !measuring || values.DiameterCircle(c0, p, texts);
        break;
    case MeasureTool::ThreePointCircle: {
        kind = PhotoKind::ThreePointCircle;
        const std::optional<QPointF> centre = ThreePointCentre(c0, m_clicks[1], p);
        // Three points on one line have no circle: the click is not taken.
        if (!centre) {
            return false;
        }
        QPointF found;
        ok = !measuring || values.ThreePointCircle(c0, m_clicks[1], p, found, texts);
        const double zoom = m_host.Zoom();
        const QPoint scroll = m_host.Scroll();
        points = {QPoint(TruncateToInt(centre->x() / zoom + scroll.x()),
                         TruncateToInt(centre->y() / zoom + scroll.y()))};
        window = {c0, m_clicks[1], p, p};
        break;
    }
    case MeasureTool::FourPointAngle:
        kind = PhotoKind::FourPointAngle;
        window = {c0, m_clicks[1], m_clicks[2], p, p};
        ok = !measuring || values.FourPointAngle(c0, m_clicks[1], m_clicks[2], p, texts);
        break;
    default:
        return false;
    }
    if (!ok) {
        return false; // no finite value (a zero-length arm): the click is not taken
    }
    if (!measuring) {
        texts = BlankSlots(kind);
    }
    for (const QPoint& w : window) {
        points.append(ToImage(w));
    }
    const bool calibrationLine = m_calibrating && m_tool == MeasureTool::Line;
    Append(kind, m_openMode, points, texts);
    if (calibrationLine) {
        const QPointF a(c0.x() / m_host.Zoom(), c0.y() / m_host.Zoom());
        const QPointF b(p.x() / m_host.Zoom(), p.y() / m_host.Zoom());
        CalibrateLastLine(Distance(a, b) * settings.values.scale * 10);
    }
    return true;
}

void MeasureEditor::Append(PhotoKind kind, ToolMode mode, QList<QPoint> points, MeasureTexts texts)
{
    const EditorSettings settings = m_host.Settings();
    m_placingText = texts.values.value(0);
    CMeasureShape* shape =
        AddMeasurement(m_list, kind, settings.style, mode, std::move(points), std::move(texts));
    const KindInfo* info = InfoOf(kind);
    if (shape == nullptr || info == nullptr || mode != ToolMode::Measuring ||
        kind == PhotoKind::ContinuousLine) {
        Finish();
        return;
    }
    m_placing = m_list.Count() - 1;
    m_placingAnchor =
        info->anchorRule == AnchorRule::LastPoint ? int(shape->points.size()) - 1 : info->anchorIndex;
    m_angleLabel = kind == PhotoKind::ThreePointAngle;
    m_stage = Stage::Placing;
    m_band.Clear();
    m_marks.Clear();
    m_host.Repaint();
}

void MeasureEditor::CalibrateLastLine(double rawLength)
{
    const EditorSettings settings = m_host.Settings();
    SharedCalibration& shared = Calibration();
    // The cursor is free while the dialog asks for the real length.
    const QRect confinement = m_confinement;
    Release();
    if (m_host.RunCalibrationDialog(settings.values.unit)) {
        double result = 0.0;
        if (CalibratedMagnification(rawLength, settings.values.magnification, shared.actualDistance,
                                    shared.current, result)) {
            shared.current = result;
            shared.lastResult = result;
            m_host.NotifyCalibrated();
        }
    }
    m_calibrating = false;
    if (CMeasureShape* line = m_list.At(m_list.Count() - 1); line != nullptr && !line->valueTexts.isEmpty()) {
        const double length = rawLength / shared.current;
        line->valueTexts[0] = FormatValue(length, settings.values.decimals);
        line->values = {length};
        m_placingText = line->valueTexts[0];
    }
    if (m_stage == Stage::Placing) {
        ConfineTo(confinement);
    }
    m_host.Repaint();
}

void MeasureEditor::ContinueContinuousLine(QPoint p)
{
    if (!m_expectVertex) {
        m_pendingPoints.last() = ToImage(p);
        m_expectVertex = true;
        m_host.Repaint();
        return;
    }
    MeasureTexts texts;
    if (!Values(m_host.Settings()).Line(m_clicks.last(), p, texts)) {
        return;
    }
    m_pendingPoints.append(ToImage(p));
    m_pendingPoints.append(ToImage(p));
    AppendTexts(m_pendingTexts, texts);
    m_clicks.append(p);
    m_expectVertex = false;
    m_host.Repaint();
}

void MeasureEditor::FinishContinuousLine(QPoint)
{
    MeasureTexts texts = std::exchange(m_pendingTexts, MeasureTexts());
    QList<QPoint> points = m_pendingPoints;
    m_pendingPoints.clear();
    const PhotoKind kind = PhotoKind::ContinuousLine;
    AddMeasurement(m_list, kind, m_host.Settings().style, m_openMode, std::move(points), std::move(texts));
    Finish();
}

void MeasureEditor::ContinuePolygon(QPoint p)
{
    m_marks.AddLine(m_clicks.last(), p);
    m_polygon.append(ToImage(m_clicks.last()));
    m_clicks.append(p);
    m_host.RepaintRect(m_marks.Bounds());
}

void MeasureEditor::FinishPolygon(QPoint p)
{
    QList<QPoint> points = m_polygon;
    points.append(ToImage(p));
    points.append(ToImage(p));
    MeasureTexts texts = BlankSlots(PhotoKind::Polygon);
    if (m_openMode == ToolMode::Measuring && !Values(m_host.Settings()).Polygon(points, texts)) {
        return;
    }
    m_polygon.clear();
    Append(PhotoKind::Polygon, m_openMode, std::move(points), std::move(texts));
}

void MeasureEditor::UpdateBand(QPoint p)
{
    const QRect before = m_band.Bounds();
    m_band.Clear();
    const QPoint c0 = m_clicks.value(0);
    switch (m_tool) {
    case MeasureTool::Line: {
        // The line and the bar across its start, each half from the start outwards.
        const EndBar bar = EndBarAt(p, c0);
        m_band.AddLine(c0, p);
        m_band.AddLine(c0, bar.p);
        m_band.AddLine(c0, bar.q);
        break;
    }
    case MeasureTool::RadiusCircle:
        m_band.AddCircle(c0, TruncateToInt(Distance(c0, p)));
        break;
    case MeasureTool::DiameterCircle:
        m_band.AddCircle(Midpoint(c0, p), TruncateToInt(Distance(c0, p) / 2));
        break;
    case MeasureTool::Rectangle:
        m_band.AddRectangle(c0, p);
        break;
    case MeasureTool::Angle:
    case MeasureTool::FourPointAngle:
    case MeasureTool::ContinuousLine:
    case MeasureTool::Polygon:
        m_band.AddLine(m_clicks.last(), p);
        break;
    default:
        return;
    }
    m_host.RepaintRect(before.united(m_band.Bounds()));
}
