// Selecting objects by hit test, the two-line pick of four-point angles, moving,
// deleting, and the rectangle adjust actions.
#include "measure/MeasureFactory.h"
#include "measure/MeasureGeometry.h"
#include "measure/MeasureTexts.h"
#include "photo/MeasureEditor.h"
#include "platform/desktop/MessageBox.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr int kBandHalfWidth = 3;
constexpr int kRimTolerance = 2;
constexpr int kRectangleCentreReach = 9;
constexpr int kTextPickMargin = 8;
constexpr float kOneDegree = 0.017453292222222222f;
constexpr int kEdgeMargin = 3;
constexpr ColorRef kMoveOutline = 0x7B7D94; // RGB(148, 125, 123)

enum AdjustAction {
    kFirstLeft = 0,
    kFirstUp = 1,
    kSecondDown = 2,
    kSecondRight = 3,
    kTurnPlus = 4,
    kTurnMinus = 5
};

int Truncated(double value)
{
    return TruncateToInt(value);
}

// Inside the band of +-3 pixels around the segment, measured vertically for flat
// segments and horizontally for steep ones.
bool InBand(QPoint a, QPoint b, QPoint p)
{
    const double dx = double(b.x()) - a.x(), dy = double(b.y()) - a.y();
    if (std::fabs(dy) < std::fabs(dx)) {
        if (p.x() < std::min(a.x(), b.x()) || p.x() > std::max(a.x(), b.x())) {
            return false;
        }
        const double lineY = a.y() + (p.x() - a.x()) * dy / dx;
        return std::abs(Truncated(p.y() - lineY)) <= kBandHalfWidth;
    }
    if (p.y() < std::min(a.y(), b.y()) || p.y() > std::max(a.y(), b.y())) {
        return false;
    }
    const double lineX = dy == 0 ? a.x() : a.x() + (p.y() - a.y()) * dx / dy;
    return std::abs(Truncated(p.x() - lineX)) <= kBandHalfWidth;
}

bool IsPolyline(PhotoKind kind)
{
    return kind == PhotoKind::ContinuousLine || kind == PhotoKind::Polygon;
}

bool IsCircle(PhotoKind kind)
{
    return kind == PhotoKind::RadiusCircle || kind == PhotoKind::DiameterCircle ||
           kind == PhotoKind::ThreePointCircle;
}

QPoint Midpoint(QPoint a, QPoint b)
{
    return QPoint(int((int64_t(a.x()) + b.x()) / 2), int((int64_t(a.y()) + b.y()) / 2));
}

} // namespace

QList<QPoint> MeasureEditor::WindowPoints(const CMeasureShape& shape) const
{
    QList<QPoint> window;
    window.reserve(shape.points.size());
    for (const QPoint& p : shape.points) {
        window.append(ToWindow(p));
    }
    return window;
}

bool MeasureEditor::Hits(PhotoKind kind, const CMeasureShape& shape, QPoint p) const
{
    const QList<QPoint> w = WindowPoints(shape);
    const qsizetype n = w.size();
    switch (kind) {
    case PhotoKind::Line:
        return n >= 2 && InBand(w[0], w[1], p);
    case PhotoKind::ContinuousLine:
    case PhotoKind::Polygon:
        for (qsizetype j = 0; j + 1 < n; ++j) {
            if (InBand(w[j], w[j + 1], p)) {
                return true;
            }
        }
        return false;
    case PhotoKind::ThreePointAngle:
        return n >= 3 && (InBand(w[0], w[1], p) || InBand(w[2], w[1], p));
    case PhotoKind::RadiusCircle:
    case PhotoKind::DiameterCircle:
    case PhotoKind::ThreePointCircle:
        return n >= 2 &&
               std::abs(Truncated(Distance(p, w[0])) - Truncated(Distance(w[0], w[1]))) <= kRimTolerance;
    case PhotoKind::Rectangle:
        return n >= 2 && Truncated(Distance(p, Midpoint(w[0], w[1]))) <= kRectangleCentreReach;
    case PhotoKind::Text: {
        if (n < 2) {
            return false;
        }
        // A text never moved keeps its creation box, which may be empty.
        const QPoint from = w[0] - QPoint(kTextPickMargin, kTextPickMargin);
        const QPoint to = w[1] + QPoint(kTextPickMargin, kTextPickMargin);
        return p.x() >= from.x() && p.x() <= to.x() && p.y() >= from.y() && p.y() <= to.y();
    }
    case PhotoKind::FourPointAngle:
        return false;
    }
    return false;
}

void MeasureEditor::Select(QPoint p)
{
    int hit = -1;
    for (int i = 0; i < m_list.Count(); ++i) {
        const PhotoKind kind = m_list.KindAt(i);
        if (Hits(kind, *m_list.At(i), p)) {
            hit = i;
            // Polylines let the scan go on: an object over them is found too.
            if (!IsPolyline(kind)) {
                break;
            }
        }
    }
    if (hit < 0) {
        return;
    }
    m_list.ClearSelection();
    m_list.At(hit)->selected = 1;
    m_pick = {-1, -1};
    if (m_list.KindAt(hit) == PhotoKind::Rectangle) {
        m_adjustTarget = hit;
        m_host.ShowAdjustButtons(true);
    }
    m_host.Repaint();
}

void MeasureEditor::PickTwoLine(QPoint p)
{
    for (int i = 0; i < m_list.Count(); ++i) {
        if (m_list.KindAt(i) != PhotoKind::FourPointAngle) {
            continue;
        }
        CMeasureShape& shape = *m_list.At(i);
        const QList<QPoint> w = WindowPoints(shape);
        if (w.size() < 4 || !(InBand(w[0], w[1], p) || InBand(w[2], w[3], p))) {
            continue;
        }
        if (shape.selected) {
            return;
        }
        if (m_pick[0] < 0) {
            m_pick[0] = i;
        } else if (m_pick[1] < 0) {
            m_pick[1] = i;
        } else {
            if (CMeasureShape* older = m_list.At(m_pick[0])) {
                older->selected = 0;
            }
            m_pick = {m_pick[1], i};
        }
        shape.selected = 1;
        m_host.Repaint();
        return;
    }
}

void MeasureEditor::ClearSelection()
{
    m_list.ClearSelection();
    m_pick = {-1, -1};
    m_adjustTarget = -1;
    m_host.ShowAdjustButtons(false);
    m_host.Repaint();
}

void MeasureEditor::SetTwoLinePickMode(bool on)
{
    m_twoLinePick = on;
    ClearSelection();
}

void MeasureEditor::MoveSelected()
{
    if (m_stage != Stage::Idle) {
        Cancel();
    }
    int index = -1;
    if (m_twoLinePick) {
        // With only the second slot filled there is no first line to move by.
        if (m_pick[0] < 0 && m_pick[1] >= 0) {
            return;
        }
        index = m_pick[0];
    } else {
        for (int i = 0; i < m_list.Count() && index < 0; ++i) {
            if (m_list.At(i)->selected) {
                index = i;
            }
        }
    }
    const CMeasureShape* shape = m_list.At(index);
    if (shape == nullptr || shape->points.size() < 2) {
        ShowMessage(m_host.Owner(), LoadText(txt::SelectImage), LoadText(txt::MsgTitle), MB_OK);
        return;
    }
    m_moveWindowPoints = WindowPoints(*shape);
    const QPoint reference = IsCircle(m_list.KindAt(index))
                                 ? m_moveWindowPoints[0]
                                 : Midpoint(m_moveWindowPoints[0], m_moveWindowPoints[1]);
    m_moving = index;
    m_band.pen = {0, 1, kMoveOutline};
    // The object follows the mouse from where the cursor really is, also when the
    // desktop did not put it on the reference point.
    m_moveStart = m_host.MoveCursorTo(reference);
    DrawMoveOutline(QPoint());
}

void MeasureEditor::DrawMoveOutline(QPoint offset)
{
    const QRect before = m_band.Bounds();
    m_band.Clear();
    QList<QPoint> w = m_moveWindowPoints;
    for (QPoint& p : w) {
        p += offset;
    }
    const qsizetype n = w.size();
    switch (m_list.KindAt(m_moving)) {
    case PhotoKind::RadiusCircle:
    case PhotoKind::DiameterCircle:
    case PhotoKind::ThreePointCircle:
        m_band.AddCircle(w[0], Truncated(Distance(w[0], w[1])));
        break;
    case PhotoKind::Rectangle:
    case PhotoKind::Text:
        m_band.AddRectangle(w[0], w[1]);
        break;
    case PhotoKind::ThreePointAngle:
        m_band.AddLine(w[0], w[1]);
        m_band.AddLine(w[1], w[std::min<qsizetype>(2, n - 1)]);
        break;
    case PhotoKind::FourPointAngle:
        m_band.AddLine(w[0], w[1]);
        if (n >= 4) {
            m_band.AddLine(w[2], w[3]);
        }
        break;
    case PhotoKind::Line:
        m_band.AddLine(w[0], w[1]);
        break;
    case PhotoKind::ContinuousLine:
    case PhotoKind::Polygon:
        for (qsizetype j = 0; j + 1 < n; ++j) {
            m_band.AddLine(w[j], w[j + 1]);
        }
        break;
    }
    m_host.RepaintRect(before.united(m_band.Bounds()));
}

void MeasureEditor::EndMove(QPoint p, bool apply)
{
    CMeasureShape* shape = m_list.At(m_moving);
    if (apply && shape != nullptr) {
        const QPoint offset = p - m_moveStart;
        for (qsizetype i = 0; i < shape->points.size() && i < m_moveWindowPoints.size(); ++i) {
            shape->points[i] = ToImage(m_moveWindowPoints[i] + offset);
        }
        m_host.NotifyChanged();
    }
    m_moving = -1;
    m_moveWindowPoints.clear();
    m_band.Clear();
    m_host.Repaint();
}

void MeasureEditor::DeleteSelected()
{
    if (IsMoving()) {
        EndMove(QPoint(), false);
    }
    bool any = false;
    for (int i = 0; i < m_list.Count() && !any; ++i) {
        any = m_list.At(i)->selected != 0;
    }
    if (!any) {
        ShowMessage(m_host.Owner(), LoadText(txt::SelectImage), LoadText(txt::MsgTitle), MB_OK);
    }
    for (int i = m_list.Count() - 1; any && i >= 0; --i) {
        if (!m_list.At(i)->selected || ShowMessage(m_host.Owner(), LoadText(txt::SureDelete),
                                                   LoadText(txt::MsgTitle), MB_YESNO) != IDYES) {
            continue;
        }
        m_list.RemoveAt(i);
    }
    m_pick = {-1, -1};
    m_host.Repaint();
}

void MeasureEditor::FollowRemoval(int position)
{
    // A slot on the removed object empties; slots behind it move up with their objects.
    const auto follow = [position](int& slot) {
        if (slot < 0) {
            return false;
        }
        if (position == PhotoMeasureList::kAllRemoved || slot == position) {
            slot = -1;
            return true;
        }
        if (slot > position) {
            --slot;
        }
        return false;
    };
    if (follow(m_adjustTarget)) {
        m_host.ShowAdjustButtons(false);
    }
    follow(m_pick[0]);
    follow(m_pick[1]);
    const bool placingGone = follow(m_placing);
    if (follow(m_moving)) {
        m_moveWindowPoints.clear();
        m_band.Clear();
        m_host.Repaint();
    }
    if (placingGone && m_stage == Stage::Placing) {
        Finish();
    }
}

void MeasureEditor::AdjustTick(int action)
{
    CMeasureShape* shape = m_list.At(m_adjustTarget);
    if (shape == nullptr || m_list.KindAt(m_adjustTarget) != PhotoKind::Rectangle ||
        shape->points.size() < 3) {
        return;
    }
    if (action == kTurnPlus || action == kTurnMinus) {
        shape->rotation += action == kTurnPlus ? kOneDegree : -kOneDegree;
        m_host.NotifyChanged();
    } else {
        AdjustEdge(*shape, action);
    }
    m_host.Repaint();
}

void MeasureEditor::AdjustEdge(CMeasureShape& shape, int action)
{
    QPoint first = ToWindow(shape.points[0]);
    QPoint second = ToWindow(shape.points[1]);
    const QPoint anchor = ToWindow(shape.points[2]);
    const QPoint centre = Midpoint(first, second);
    const QRect visible = m_host.VisiblePicture();
    // A rectangle whose centre left the picture is not changed any further.
    if (centre.x() >= kEdgeMargin && centre.y() >= kEdgeMargin && centre.x() <= visible.right() &&
        centre.y() <= visible.bottom()) {
        switch (action) {
        case kFirstLeft:
            first.rx() -= 1;
            break;
        case kFirstUp:
            first.ry() -= 1;
            break;
        case kSecondDown:
            second.ry() += 1;
            break;
        case kSecondRight:
            second.rx() += 1;
            break;
        default:
            break;
        }
    }
    shape.points[0] = ToImage(first);
    shape.points[1] = ToImage(second);
    shape.points[2] = ToImage(anchor);
    // A drawing-only rectangle keeps its empty value slots.
    MeasureTexts texts;
    if (shape.labelShown &&
        RectangleValues(shape.points[0], shape.points[1], m_host.Settings().values, texts)) {
        TakeTexts(shape, std::move(texts));
    }
    m_host.NotifyChanged();
}
