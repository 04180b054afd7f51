#include "photo/EditorFeedback.h"

#include "measure/MeasurePainting.h"

#include <QPainter>
#include <algorithm>

namespace {

constexpr int kCrossArm = 6;

} // namespace

QRect FeedbackLayer::Bounds() const
{
    QRect area;
    for (const FeedbackFigure& f : figures) {
        QRect box;
        switch (f.shape) {
        case FeedbackFigure::Shape::Line:
        case FeedbackFigure::Shape::Rectangle:
            box = QRect(f.a, f.b).normalized();
            break;
        case FeedbackFigure::Shape::Circle:
            box = QRect(f.a - QPoint(f.radius, f.radius), f.a + QPoint(f.radius, f.radius));
            break;
        case FeedbackFigure::Shape::Cross:
            box = QRect(f.a - QPoint(kCrossArm, kCrossArm), f.a + QPoint(kCrossArm, kCrossArm));
            break;
        }
        area = area.united(box);
    }
    const int margin = std::max(1, pen.width) + 1;
    return area.isNull() ? area : area.adjusted(-margin, -margin, margin, margin);
}

void DrawFeedback(QPainter& painter, const FeedbackLayer& layer, bool inverting)
{
    if (layer.Empty()) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (inverting) {
        painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    }
    painter.setPen(MeasurePen(layer.pen.style, layer.pen.width, layer.pen.color));
    painter.setBrush(Qt::NoBrush);
    for (const FeedbackFigure& f : layer.figures) {
        switch (f.shape) {
        case FeedbackFigure::Shape::Line:
            painter.drawLine(f.a, f.b);
            break;
        case FeedbackFigure::Shape::Circle:
            painter.drawEllipse(f.a, f.radius, f.radius);
            break;
        case FeedbackFigure::Shape::Rectangle:
            painter.drawRect(QRect(f.a, f.b).normalized());
            break;
        case FeedbackFigure::Shape::Cross:
            painter.drawLine(f.a - QPoint(kCrossArm, 0), f.a + QPoint(kCrossArm, 0));
            painter.drawLine(f.a + QPoint(0, kCrossArm), f.a - QPoint(0, kCrossArm));
            break;
        }
    }
    painter.restore();
}
