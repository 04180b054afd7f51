#pragma once
// What the streaming thread draws: an immutable picture of the live list and of the
// measurement still being drawn. The window thread publishes a new one after every
// change; the painter holds on to the one it took, so neither thread waits for the
// other beyond swapping a pointer.
#include "measure/CMeasureShape.h"
#include "measure/MeasureKind.h"

#include <QList>
#include <QPoint>
#include <QStringList>
#include <memory>
#include <vector>

struct LiveShapeCopy {
    LiveKind kind;
    CMeasureShape shape;
};

// The measurement being drawn, in preview positions (never scaled).
struct OpenMeasurement {
    int kind = 0; // live code; 0 when nothing is pending
    QList<QPoint> points;
    QStringList values;
    QStringList units;
    int32_t penStyle = 0;
    int32_t penWidth = 1;
    ColorRef penColor = kRed;
    bool rubber = false; // a line runs from the last vertex to the rubber point
    QPoint rubberPoint;
    bool hasCircle = false; // three-point circle after its third click
    QPoint circleCentre;
    int circleRadius = 0;
};

struct LiveSnapshot {
    std::shared_ptr<const std::vector<LiveShapeCopy>> finished;
    OpenMeasurement open;
};
