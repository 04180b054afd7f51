#pragma once
// What the editor shows on top of the picture while the user works: rubber bands
// and move outlines, drawn inverting (drawing a figure twice gives the picture
// back), and the marks a tool leaves at its clicks until the tool ends.
#include "measure/CMeasureShape.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <vector>

struct FeedbackFigure {
    enum class Shape { Line, Circle, Rectangle, Cross };
    Shape shape = Shape::Line;
    QPoint a; // line start, circle centre, rectangle corner, cross centre
    QPoint b; // line end, rectangle corner
    int radius = 0;
};

struct FeedbackPen {
    int32_t style = 0;
    int32_t width = 1;
    ColorRef color = kRed;
};

// One set of figures in window positions, with its pen.
struct FeedbackLayer {
    FeedbackPen pen;
    std::vector<FeedbackFigure> figures;

    void Clear() { figures.clear(); }
    bool Empty() const { return figures.empty(); }
    void AddLine(QPoint a, QPoint b) { figures.push_back({FeedbackFigure::Shape::Line, a, b, 0}); }
    void AddCircle(QPoint centre, int radius)
    {
        figures.push_back({FeedbackFigure::Shape::Circle, centre, centre, radius});
    }
    void AddRectangle(QPoint a, QPoint b) { figures.push_back({FeedbackFigure::Shape::Rectangle, a, b, 0}); }
    void AddCross(QPoint centre) { figures.push_back({FeedbackFigure::Shape::Cross, centre, centre, 0}); }
    // Area the figures cover, pen included.
    QRect Bounds() const;
};

class QPainter;

// Draws the layer; inverting uses the not-xor raster operation.
void DrawFeedback(QPainter& painter, const FeedbackLayer& layer, bool inverting);
