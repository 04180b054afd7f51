#pragma once
// Drawing the crosshair, scale line and circle grid, on the preview and on a still
// picture of the capture size. Pure functions of their arguments: safe on any
// thread with its own painter.
#include <QFont>
#include <QHash>
#include <QPainter>
#include <QSize>
#include <QStaticText>

// What the overlays show and how they are spaced.
struct OverlayParams {
    bool crosshairOn = false;
    bool scaleLineOn = false;
    bool circleGridOn = false;
    double pixelsPerUnit = 0.02963;     // preview pixels per display unit
    double overlayMagnification = 21.0; // above 30 the ticks are finer
    double labelStep = 1.0;             // display units between labels
};

// Where the guides lie on a picture.
struct GuideGeometry {
    int axisLeft = 0; // the horizontal axis runs from axisLeft to axisRight,
    int axisRight = 0;
    int axisTop = 0; // the vertical one from axisTop to axisBottom
    int axisBottom = 0;
    QPoint centre;          // where they cross, where circles are centred
    double spacingBase = 0; // pixels per display unit on this picture
    QPoint crosshair;       // the crosshair's lines go through this point
    int crosshairWidth = 1;
};

// The scale line's labels laid out once and kept, for a picture repainted with
// every frame: the texts and their places stay the same while the guides do. Not
// shared between threads.
class OverlayLabelCache {
public:
    // The laid-out text in `font`; the cache starts afresh for another font.
    const QStaticText& Text(const QFont& font, const QString& text);

private:
    QFont m_font;
    QHash<QString, QStaticText> m_texts;
};

// Label step of a display unit ("inch" 0.01, "mil" 10, "cm" 0.1, else 1).
double LabelStepOfUnit(const QString& unit);

// The preview of `size` (client rectangle from the origin).
GuideGeometry PreviewGeometry(QSize size, double pixelsPerUnit);
// A still picture of the capture size, laid out to match the preview.
GuideGeometry StillGeometry(QSize capture, double pixelsPerUnit);

void DrawCrosshair(QPainter& painter, const GuideGeometry& geometry, QSize size);
// `labels`: null draws each label's text afresh; the drawing is the same either way.
void DrawScaleLine(QPainter& painter, const GuideGeometry& geometry, const OverlayParams& params,
                   OverlayLabelCache* labels = nullptr);
void DrawCircleGrid(QPainter& painter, const GuideGeometry& geometry);

// The switched-on guides in the order crosshair, scale line, circle grid; the
// painter's state is left as it was.
void DrawPreviewOverlays(QPainter& painter, QSize size, const OverlayParams& params,
                         OverlayLabelCache* labels = nullptr);
void DrawStillOverlays(QPainter& painter, QSize capture, const OverlayParams& params);
