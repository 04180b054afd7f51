#include "measure/MeasureRenderer.h"

#include "measure/MeasureFigures.h"
#include "measure/MeasureGeometry.h"
#include "measure/MeasureValues.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kCrossArm = 6;
constexpr int kRectangleMarkRadius = 6;
constexpr int kCaptionX = 3;
constexpr int kCaptionFromBottom = 18;
constexpr const char* kLengthSymbol = "L=";

} // namespace

struct MeasureRenderer::Placement {
    bool saving = false;
    QPoint scroll;
    double ratio = 1.0;
    double size = 1.0; // fonts, pen widths and marks grow with the points when saving
    QSize surface;
    ColorRef canvasLabelColor = kPureRed;

    QPoint Map(QPoint p) const
    {
        const double fx = saving ? ratio : 1.0, dx = saving ? 0.0 : scroll.x(),
                     dy = saving ? 0.0 : scroll.y();
        return QPoint(TruncateToInt(p.x() * fx - dx), TruncateToInt(p.y() * fx - dy));
    }
    ColorRef Selected() const { return saving ? kPureRed : kPureGreen; }
};

void MeasureRenderer::DrawScreen(QPainter& painter, const PhotoMeasureList& list,
                                 const ScreenRenderInput& input)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::TransparentMode);
    DrawPending(painter, input);
    Placement place;
    place.scroll = input.scroll;
    place.surface = input.clientSize;
    for (int i = 0; i < list.Count(); ++i) {
        DrawShape(painter, list.KindAt(i), *list.At(i), place);
    }
    DrawCaption(painter, input);
    painter.restore();
}

void MeasureRenderer::DrawSaved(QPainter& painter, const PhotoMeasureList& list, const SaveRenderInput& input)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::TransparentMode);
    Placement place;
    place.saving = true;
    place.ratio = input.ratio;
    place.size = input.ratio;
    place.surface = input.pictureSize;
    place.canvasLabelColor = input.canvasLabelColor;
    for (int i = 0; i < list.Count(); ++i) {
        DrawShape(painter, list.KindAt(i), *list.At(i), place);
    }
    painter.restore();
}

void MeasureRenderer::DrawPending(QPainter& painter, const ScreenRenderInput& input)
{
    const PendingContinuousLine& pending = input.pending;
    if (pending.points == nullptr || pending.points->size() < 2) {
        return;
    }
    const QList<QPoint>& pts = *pending.points;
    const int count = int(pts.size());
    Placement place;
    place.scroll = input.scroll;
    painter.setPen(MeasurePen(pending.penStyle, pending.penWidth, pending.lineColor));
    painter.drawLine(place.Map(pts[0]), place.Map(pts[1]));
    for (int i = 1; i < count - 2; i += 2) {
        painter.drawLine(place.Map(pts[i]), place.Map(pts[i + 2]));
    }
    if (pending.valueTexts == nullptr) {
        return;
    }
    FontCache::Entry& font = m_fonts.Get(input.labelFont);
    const QColor color = ColorFromRef(input.labelColor);
    for (int i = 2; i < count; i += 2) {
        const int segment = i / 2 - 1;
        if (segment < pending.valueTexts->size()) {
            DrawTextLine(painter, font, color, place.Map(pts[i]), pending.valueTexts->at(segment));
        }
    }
}

void MeasureRenderer::DrawShape(QPainter& painter, PhotoKind kind, const CMeasureShape& shape,
                                const Placement& place)
{
    if (kind == PhotoKind::Text) {
        DrawText(painter, shape, place);
        return;
    }
    painter.setPen(MeasurePen(shape.penStyle, ScaledPenWidth(shape.penWidth, place.size),
                              shape.selected ? place.Selected() : shape.lineColor));
    DrawFigure(painter, kind, shape, place);
    if (shape.labelShown) {
        DrawLabel(painter, kind, shape, place);
    }
}

void MeasureRenderer::DrawFigure(QPainter& painter, PhotoKind kind, const CMeasureShape& shape,
                                 const Placement& place)
{
    const QList<QPoint>& stored = shape.points;
    const int count = int(stored.size());
    auto at = [&](int i) { return place.Map(stored[i]); };
    auto line = [&](int a, int b) { painter.drawLine(at(a), at(b)); };
    switch (kind) {
    case PhotoKind::Line:
        if (count >= 6) {
            line(0, 1), line(2, 3), line(4, 5);
        }
        break;
    case PhotoKind::RadiusCircle:
        if (count >= 2) {
            DrawCircle(painter, at(0), TruncatedDistance(at(0), at(1)));
            line(0, 1);
        }
        break;
    case PhotoKind::DiameterCircle:
        if (count >= 3) {
            DrawCircle(painter, at(0), TruncatedDistance(at(0), at(1)));
            line(1, 2);
        }
        break;
    case PhotoKind::ThreePointCircle:
        if (count >= 4) {
            DrawCircle(painter, at(0), TruncatedDistance(at(0), at(1)));
            line(0, 3);
            const int arm = ScaledLength(kCrossArm, place.size);
            DrawCross(painter, at(2), arm), DrawCross(painter, at(1), arm), DrawCross(painter, at(3), arm);
        }
        break;
    case PhotoKind::Rectangle:
        if (count >= 2) {
            const QPoint a = at(0), b = at(1);
            const QPoint centre(int((int64_t(a.x()) + b.x()) / 2), int((int64_t(a.y()) + b.y()) / 2));
            DrawCircle(painter, centre, ScaledLength(kRectangleMarkRadius, place.size));
            const double c = std::cos(shape.rotation), s = std::sin(shape.rotation);
            const QPoint corners[4] = {a, QPoint(b.x(), a.y()), b, QPoint(a.x(), b.y())};
            QPoint turned[4];
            for (int i = 0; i < 4; ++i) {
                const double dx = double(corners[i].x()) - centre.x(),
                             dy = double(corners[i].y()) - centre.y();
                turned[i] = QPoint(TruncateToInt(centre.x() + c * dx - s * dy),
                                   TruncateToInt(centre.y() + s * dx + c * dy));
            }
            painter.drawPolygon(turned, 4);
        }
        break;
    case PhotoKind::ThreePointAngle:
        if (count >= 3) {
            const QPoint arm[3] = {at(0), at(1), at(2)};
            painter.drawPolyline(arm, 3);
            DrawAngleMark(painter, arm[1], arm[0], arm[2]);
        }
        break;
    case PhotoKind::FourPointAngle:
        if (count >= 4) {
            line(0, 1), line(2, 3);
        }
        break;
    case PhotoKind::ContinuousLine:
        if (count >= 2) {
            line(0, 1);
            for (int i = 1; i < count - 2; i += 2) {
                line(i, i + 2);
            }
        }
        break;
    case PhotoKind::Polygon:
        if (count >= 2) {
            // A vertex stored on the left or top edge (x or y 0) draws no segment to it.
            for (int k = 1; k <= count - 2; ++k) {
                if (stored[k].x() != 0 && stored[k].y() != 0) {
                    line(k - 1, k);
                }
            }
            line(count - 2, 0);
        }
        break;
    case PhotoKind::Text:
        break;
    }
}

void MeasureRenderer::DrawText(QPainter& painter, const CMeasureShape& shape, const Placement& place)
{
    if (shape.points.isEmpty() || shape.valueTexts.isEmpty()) {
        return;
    }
    const QPoint origin = place.Map(shape.points[0]);
    const QRect box(origin.x(), origin.y(), place.surface.width() - origin.x(),
                    place.surface.height() - origin.y());
    if (box.width() <= 0 || box.height() <= 0) {
        return;
    }
    QString text = shape.valueTexts[0];
    text.remove(QLatin1Char('\r'));
    painter.setFont(m_fonts.Get(ScaledFont(shape.textFont, place.size)).font);
    painter.setPen(ColorFromRef(shape.selected ? place.Selected() : shape.textColor));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
}

void MeasureRenderer::DrawLabel(QPainter& painter, PhotoKind kind, const CMeasureShape& shape,
                                const Placement& place)
{
    const KindInfo* info = InfoOf(kind);
    if (info == nullptr || info->anchorRule == AnchorRule::None) {
        return;
    }
    FontCache::Entry& font = m_fonts.Get(ScaledFont(shape.labelFont, place.size));
    ColorRef colorRef = shape.labelColor;
    if (place.saving && kind == PhotoKind::DiameterCircle) {
        colorRef = place.canvasLabelColor;
    } else if (!place.saving && shape.selected) {
        colorRef = kPureGreen;
    }
    const QColor color = ColorFromRef(colorRef);
    if (kind == PhotoKind::ContinuousLine) {
        DrawContinuousLabels(painter, shape, place, font, color);
        return;
    }
    const int anchorIndex =
        info->anchorRule == AnchorRule::LastPoint ? int(shape.points.size()) - 1 : info->anchorIndex;
    if (anchorIndex < 0 || anchorIndex >= shape.points.size()) {
        return;
    }
    const QPoint anchor = place.Map(shape.points[anchorIndex]);
    const int h = ScaledLength(shape.labelLineHeight, place.size);
    // The name line also goes into saved pictures: it matches them to the list's rows.
    DrawTextLine(painter, font, color, anchor, NameLine(shape));
    int line = 1;
    const qsizetype values = std::min(shape.valueTexts.size(), qsizetype(info->symbols.size()));
    for (qsizetype k = 0; k < values; ++k, ++line) {
        const QString unit = k < shape.unitTexts.size() ? shape.unitTexts[k] : QString();
        DrawTextLine(painter, font, color, anchor + QPoint(0, line * h),
                     ValueLine(info->symbols[size_t(k)], shape.valueTexts[k], unit));
    }
}

void MeasureRenderer::DrawContinuousLabels(QPainter& painter, const CMeasureShape& shape,
                                           const Placement& place, FontCache::Entry& font,
                                           const QColor& color)
{
    const int count = int(shape.points.size());
    const QString unit = shape.unitTexts.isEmpty() ? QString() : shape.unitTexts[0];
    for (int i = 2; i < count; i += 2) {
        const int segment = i / 2 - 1;
        if (segment < shape.valueTexts.size()) {
            DrawTextLine(painter, font, color, place.Map(shape.points[i]),
                         ValueLine(kLengthSymbol, shape.valueTexts[segment], unit));
        }
    }
    const int last = count - 1;
    if (last < 2 || last % 2 != 0) {
        return;
    }
    const double total = ContinuousLineTotal(shape.valueTexts);
    if (total == 0) {
        return;
    }
    const QPoint anchor = place.Map(shape.points[last]);
    const int h = ScaledLength(shape.labelLineHeight, place.size);
    DrawTextLine(painter, font, color, anchor - QPoint(0, h), NameLine(shape));
    DrawTextLine(painter, font, color, anchor + QPoint(0, h), ContinuousTotalLine(total, unit));
}

void MeasureRenderer::DrawCaption(QPainter& painter, const ScreenRenderInput& input)
{
    if (input.caption.isEmpty()) {
        return;
    }
    static const LogFontRecord captionFont = CaptionFont();
    DrawTextLine(painter, m_fonts.Get(captionFont), ColorFromRef(kWhite),
                 QPoint(kCaptionX, input.clientSize.height() - kCaptionFromBottom), input.caption);
}

const QString& MeasureRenderer::ValueLine(const char* symbol, const QString& value, const QString& unit)
{
    m_line.resize(0);
    m_line += QLatin1String(symbol);
    m_line += value;
    m_line += unit;
    return m_line;
}

const QString& MeasureRenderer::NameLine(const CMeasureShape& shape)
{
    m_line.resize(0);
    m_line += shape.namePrefix;
    m_line += QString::number(shape.serial);
    return m_line;
}
