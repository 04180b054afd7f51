// Event dispatch of the photo editor, label placement, text annotations, cancel.
#include "photo/MeasureEditor.h"

#include "measure/MeasureGeometry.h"
#include "measure/MeasureTexts.h"
#include "platform/desktop/MessageBox.h"

namespace {

// Area repainted around a label that follows the mouse.
constexpr int kLabelMarginBefore = 20;
constexpr int kLabelMarginAfter = 120;
constexpr int kAngleLabelMarginRight = 50;
constexpr int kAngleLabelMarginBelow = 62;
// A text that has been moved gets a pick box of this size.
constexpr QPoint kMovedTextBox(60, 60);

} // namespace

MeasureEditor::MeasureEditor(EditorHost& host, PhotoMeasureList& list) : m_host(host), m_list(list)
{
    m_list.SetRemovalListener(this, [this](int position) { FollowRemoval(position); });
}

MeasureEditor::~MeasureEditor()
{
    m_list.RemoveRemovalListener(this);
}

QPoint MeasureEditor::ToImage(QPoint window) const
{
    return WindowToImage(window, m_host.Zoom(), m_host.Scroll());
}

QPoint MeasureEditor::ToWindow(QPoint image) const
{
    const double zoom = m_host.Zoom();
    const QPoint scroll = m_host.Scroll();
    return QPoint(TruncateToInt((double(image.x()) - scroll.x()) * zoom),
                  TruncateToInt((double(image.y()) - scroll.y()) * zoom));
}

ClickValues MeasureEditor::Values(const EditorSettings& settings) const
{
    return ClickValues(settings.values, m_host.Zoom(), m_host.Scroll());
}

void MeasureEditor::OnLeftButtonDown(QPoint p)
{
    if (IsMoving()) {
        EndMove(p, true);
        return;
    }
    if (m_stage == Stage::Placing) {
        FollowLabel(p);
        Finish();
        return;
    }
    if (m_stage == Stage::Drawing) {
        Continue(p);
        return;
    }
    switch (m_tool) {
    case MeasureTool::Select:
        if (m_twoLinePick) {
            PickTwoLine(p);
        } else {
            Select(p);
        }
        return;
    case MeasureTool::Text:
        // Ends a text following the mouse where it is, and places the next one here.
        m_textPosition = p;
        m_pendingText.clear();
        return;
    case MeasureTool::None:
        return;
    default:
        if (m_host.VisiblePicture().contains(p)) {
            Start(p);
        }
    }
}

void MeasureEditor::OnMouseMove(QPoint p)
{
    if (IsMoving()) {
        DrawMoveOutline(p - m_moveStart);
        return;
    }
    if (m_stage == Stage::Placing) {
        FollowLabel(p);
    } else if (m_stage == Stage::Drawing) {
        UpdateBand(p);
    }
    if (m_tool == MeasureTool::Text && !m_pendingText.isEmpty()) {
        FollowText(p);
    }
}

void MeasureEditor::OnLeftDoubleClick(QPoint p)
{
    if (m_stage != Stage::Drawing) {
        return;
    }
    if (m_tool == MeasureTool::ContinuousLine && !m_pendingTexts.values.isEmpty()) {
        FinishContinuousLine(p);
    } else if (m_tool == MeasureTool::Polygon && m_clicks.size() >= 2) {
        FinishPolygon(p);
    }
}

void MeasureEditor::OnRightButtonDown(QPoint p)
{
    if (IsMoving()) {
        EndMove(p, false);
    } else if (m_stage != Stage::Idle) {
        Cancel();
    }
}

void MeasureEditor::SetTool(MeasureTool tool, ToolMode mode)
{
    // A tool left half-drawn would take the next tool's clicks; a label being
    // placed stays where it is.
    if (m_stage == Stage::Placing) {
        Finish();
    } else if (m_stage == Stage::Drawing) {
        Cancel();
    }
    m_tool = tool;
    m_mode = mode;
}

void MeasureEditor::Cancel()
{
    // Only an object this tool has appended goes; before that the list holds
    // nothing of it.
    if (m_tool != MeasureTool::ContinuousLine && m_stage == Stage::Placing && m_placing >= 0) {
        m_list.RemoveAt(m_placing);
    }
    m_pendingPoints.clear();
    m_pendingTexts = MeasureTexts();
    m_polygon.clear();
    Finish();
}

void MeasureEditor::Finish()
{
    m_stage = Stage::Idle;
    m_placing = -1;
    m_placingAnchor = -1;
    m_clicks.clear();
    m_band.Clear();
    m_marks.Clear();
    Release();
    m_host.Repaint();
}

void MeasureEditor::FollowLabel(QPoint p)
{
    CMeasureShape* shape = m_list.At(m_placing);
    if (shape == nullptr || m_placingAnchor < 0 || m_placingAnchor >= shape->points.size()) {
        return;
    }
    const QPoint before = ToWindow(shape->points[m_placingAnchor]);
    shape->points[m_placingAnchor] = ToImage(p);
    const QSize extent = m_host.TextExtent(m_placingText);
    const int right = m_angleLabel ? kAngleLabelMarginRight : kLabelMarginAfter;
    const int below = m_angleLabel ? kAngleLabelMarginBelow : kLabelMarginAfter;
    auto around = [&](QPoint at) {
        return QRect(QPoint(at.x() - kLabelMarginBefore, at.y() - kLabelMarginBefore),
                     QPoint(at.x() + extent.width() + right, at.y() + 2 * extent.height() + below));
    };
    // The old place too, so no piece of the label is left behind.
    m_host.RepaintRect(around(before).united(around(p)));
}

void MeasureEditor::TextEntry(const QString& text)
{
    m_pendingText = text;
    ClearSelection();
    if (text.isEmpty()) {
        ShowMessage(m_host.Owner(), LoadText(txt::EnterText), LoadText(txt::MsgTitle), MB_OK);
        return;
    }
    const EditorSettings settings = m_host.Settings();
    const QPoint origin = ToImage(m_textPosition);
    MeasureTexts texts;
    texts.values = QStringList{text};
    AddMeasurement(m_list, PhotoKind::Text, settings.style, ToolMode::Measuring,
                   QList<QPoint>{origin, origin - m_textPosition}, texts);
    m_host.Repaint();
}

void MeasureEditor::FollowText(QPoint p)
{
    const int last = m_list.Count() - 1;
    CMeasureShape* shape = m_list.At(last);
    if (shape == nullptr || m_list.KindAt(last) != PhotoKind::Text || shape->points.size() < 2) {
        return;
    }
    shape->points[0] = ToImage(p);
    shape->points[1] = shape->points[0] + kMovedTextBox;
    m_host.NotifyChanged();
    m_host.Repaint();
}

void MeasureEditor::ConfineTo(const QRect& area)
{
    m_confined = true;
    m_confinement = area;
    m_host.ConfineCursor(area);
}

void MeasureEditor::Release()
{
    if (m_confined) {
        m_confined = false;
        m_host.ReleaseCursor();
    }
}
