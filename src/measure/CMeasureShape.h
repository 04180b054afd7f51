#pragma once
// One measurement or annotation. Values travel as ready-formatted texts, fixed when
// the object is made with the unit and decimals current at that moment; the full
// values behind them go only to the exports.
#include "platform/files/LogFont.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <cstdint>

// 0x00BBGGRR, as stored in the settings.
using ColorRef = uint32_t;
inline constexpr ColorRef kRed = 0x0000FF;

class CMeasureShape {
public:
    CMeasureShape() = default;
    virtual ~CMeasureShape() = default;
    CMeasureShape(const CMeasureShape&) = default;
    CMeasureShape& operator=(const CMeasureShape&) = default;

    // The code is only meaningful through the set of the list holding the object;
    // the list writes it when the object is appended.
    int32_t kind = 0;
    int32_t penWidth = 1;
    int32_t penStyle = 0;
    ColorRef lineColor = kRed;
    ColorRef textColor = kRed;
    LogFontRecord labelFont{};
    int32_t labelLineHeight = 12;
    ColorRef labelColor = kRed;
    LogFontRecord textFont{};
    int32_t selected = 0;
    float rotation = 0.0f; // radians, rectangles only
    int32_t serial = 0;
    QString namePrefix;
    QList<QPoint> points;
    QStringList valueTexts;
    QStringList unitTexts;
    QList<double> values; // full value of each value text; empty when only the texts are known
    int32_t labelShown = 0;
};

// Vertical distance between label lines for a label font size in points.
int labelLineHeightFor(int fontSize);
