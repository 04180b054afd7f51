#include "liveview/CLiveMeasureHost.h"

#include "liveview/LiveCalibration.h"
#include "liveview/LivePreviewArea.h"
#include "liveview/LiveToolIds.h"
#include "measure/MeasureGeometry.h"

CLiveMeasureHost::CLiveMeasureHost(LiveCalibration& calibration, LiveHostHooks hooks)
    : m_calibration(calibration), m_hooks(std::move(hooks))
{
    PublishFinished();
}

CLiveMeasureHost::~CLiveMeasureHost() = default;

void CLiveMeasureHost::SelectTool(int buttonId)
{
    const int tool = liveids::ToolOfButton(buttonId);
    if (tool == 0 || !m_calibration.ReadMagnification()) {
        return;
    }
    if (buttonId == liveids::kLineButton) {
        m_calibration.LeaveCalibrationMode();
    }
    if (m_pressedButton == buttonId) {
        LatchOnly(0);
        m_tool = 0;
        return;
    }
    LatchOnly(buttonId);
    m_tool = tool;
    m_selectedPen = CurrentPen();
}

void CLiveMeasureHost::StartCalibration()
{
    if (!m_calibration.BeginCommand()) {
        return;
    }
    if (m_pressedButton == liveids::kCalibrationButton) {
        m_calibration.EndCommand();
        LatchOnly(0);
        m_tool = 0;
        return;
    }
    LatchOnly(liveids::kCalibrationButton);
    m_calibration.EnterCalibrationMode();
    m_tool = static_cast<int>(LiveKind::Line);
    m_selectedPen = CurrentPen();
}

void CLiveMeasureHost::Undo()
{
    MoveLast(m_list, m_redo);
}

void CLiveMeasureHost::Redo()
{
    MoveLast(m_redo, m_list);
}

void CLiveMeasureHost::MoveLast(LiveMeasureList& from, LiveMeasureList& to)
{
    LatchOnly(0);
    if (from.Count() == 0) {
        return;
    }
    to.Append(from.Take(from.Count() - 1));
    PublishFinished();
}

void CLiveMeasureHost::DeleteAll()
{
    LatchOnly(0);
    if (m_list.Count() == 0 && m_redo.Count() == 0) {
        return;
    }
    // The serial goes on counting: numbers are never given twice in a run.
    m_list.Clear();
    m_redo.Clear();
    PublishFinished();
}

void CLiveMeasureHost::Reset()
{
    ClearPending();
    m_open = 0;
    m_clicks = 0;
    m_placing = false;
    m_firstLineWaiting = false;
    m_calibration.Reset();
    LatchOnly(0);
    m_tool = 0;
    Confine(false);
    PublishOpen();
}

bool CLiveMeasureHost::PreviewPoint(QPoint client, QPoint& preview) const
{
    if (m_confined) {
        preview = livearea::ClampToPreview(client);
        return true;
    }
    return livearea::ToPreview(client, preview);
}

bool CLiveMeasureHost::OnLeftButtonDown(QPoint client)
{
    QPoint p;
    if (!PreviewPoint(client, p)) {
        return false;
    }
    if (m_open == 0) {
        Start(p);
    } else {
        Continue(p);
    }
    PublishOpen();
    return true;
}

bool CLiveMeasureHost::OnMouseMove(QPoint client)
{
    QPoint p;
    if (!PreviewPoint(client, p)) {
        return false;
    }
    if (m_open != 0) {
        Follow(p);
        PublishOpen();
    }
    return true;
}

bool CLiveMeasureHost::OnLeftDoubleClick(QPoint client)
{
    QPoint p;
    if (!PreviewPoint(client, p)) {
        return false;
    }
    FinishPolyline();
    PublishOpen();
    return true;
}

bool CLiveMeasureHost::OnRightButtonDown(QPoint client)
{
    QPoint p;
    if (!PreviewPoint(client, p)) {
        return false;
    }
    Reset();
    return true;
}

void CLiveMeasureHost::PressButton(int buttonId)
{
    m_pressedButton = buttonId;
    if (m_hooks.showPressedButton) {
        m_hooks.showPressedButton(buttonId);
    }
}

void CLiveMeasureHost::LatchOnly(int buttonId)
{
    if (m_hooks.releaseEffectButtons) {
        m_hooks.releaseEffectButtons();
    }
    PressButton(buttonId);
}

CLiveMeasureHost::Pen CLiveMeasureHost::CurrentPen() const
{
    const MeasureStyle style = Settings().style;
    return Pen{style.penStyle, style.penWidth, style.lineColor};
}

void CLiveMeasureHost::Confine(bool on)
{
    if (m_confined == on) {
        return;
    }
    m_confined = on;
    if (m_hooks.confineCursor) {
        m_hooks.confineCursor(on);
    }
}

LiveMeasureSettings CLiveMeasureHost::Settings() const
{
    return m_hooks.settings ? m_hooks.settings() : LiveMeasureSettings();
}

ValueContext CLiveMeasureHost::Values() const
{
    const LiveMeasureSettings settings = Settings();
    ValueContext context;
    context.scale = settings.unitsPerPixel;
    context.magnification = m_calibration.Magnification();
    context.decimals = settings.decimals;
    context.unit = settings.unit;
    return context;
}

void CLiveMeasureHost::PublishFinished()
{
    auto finished = std::make_shared<std::vector<LiveShapeCopy>>();
    finished->reserve(size_t(m_list.Count()));
    for (int i = 0; i < m_list.Count(); ++i) {
        finished->push_back(LiveShapeCopy{m_list.KindAt(i), *m_list.At(i)});
    }
    m_finished = std::move(finished);
    PublishOpen();
}

void CLiveMeasureHost::PublishOpen()
{
    auto snapshot = std::make_shared<LiveSnapshot>();
    snapshot->finished = m_finished;
    OpenMeasurement& open = snapshot->open;
    open.kind = m_points.isEmpty() ? 0 : m_pendingKind;
    open.points = m_points;
    open.values = m_texts.values;
    open.units = m_texts.units;
    open.penStyle = m_openPen.style;
    open.penWidth = m_openPen.width;
    open.penColor = m_openPen.color;
    open.rubber = m_rubber;
    open.rubberPoint = m_rubberPoint;
    if (m_pendingKind == static_cast<int>(LiveKind::ThreePointCircle) && m_placing) {
        open.hasCircle = true;
        open.circleCentre = QPoint(TruncateToInt(m_centre.x()), TruncateToInt(m_centre.y()));
        open.circleRadius = TruncateToInt(Distance(m_centre, QPointF(m_points.value(1))) + 0.5);
    }
    m_drawing->Publish(std::move(snapshot));
}
