#pragma once
// Shapes for the measurement list and export tests, made the way the canvas and
// the live host leave them: name prefix, serial and value texts.
#include "measure/MeasureList.h"

#include <QStringList>
#include <memory>

template <class Kind>
CMeasureShape* AddShape(MeasureList<Kind>& list, Kind kind, int serial, const QStringList& values,
                        int points = 3)
{
    auto shape = std::make_unique<CMeasureShape>();
    shape->namePrefix = QString::fromLatin1(InfoOf(kind)->namePrefix);
    shape->serial = serial;
    shape->valueTexts = values;
    for (int i = 0; i < points; ++i) {
        shape->points << QPoint(10 * i, 10 * i);
    }
    return list.Append(kind, std::move(shape));
}

// A continuous line of two segments: vertices and anchors interleaved (5 points).
inline CMeasureShape* AddContinuousLine(PhotoMeasureList& list, int serial, const QStringList& segments)
{
    return AddShape(list, PhotoKind::ContinuousLine, serial, segments, 5);
}
