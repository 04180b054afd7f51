#pragma once
// Drawing of the live measurements onto a preview picture or a still: the
// measurement being drawn at its preview position, then every finished object with
// its points multiplied by the factors. On a still, fonts, pen widths and label
// spacing grow by `size` too, so the still reads like the preview. Fonts and
// laid-out label texts are kept between frames, per thread.
#include "liveview/LiveSnapshot.h"
#include "measure/MeasurePainting.h"

class QPainter;

class LiveMeasurePainter {
public:
    void Paint(QPainter& painter, const LiveSnapshot& snapshot, double fx, double fy, double size = 1.0);

private:
    void PaintOpen(QPainter& painter, const OpenMeasurement& open);
    void PaintOpenTexts(QPainter& painter, const OpenMeasurement& open);
    void PaintShape(QPainter& painter, LiveKind kind, const CMeasureShape& shape, double fx, double fy);
    void PaintLabel(QPainter& painter, LiveKind kind, const CMeasureShape& shape, double fx, double fy);
    void PaintContinuousLabels(QPainter& painter, const CMeasureShape& shape, double fx, double fy);

    double m_size = 1.0; // of the picture being painted
};
