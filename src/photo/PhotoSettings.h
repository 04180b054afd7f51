#pragma once
// The stored drawing settings as the photo window and its canvas use them. The
// application fills this from its settings store; the canvas keeps copies of the
// pen, colours and fonts, and asks again for the unit, decimals and camera class
// whenever it computes values.
#include "measure/CMeasureShape.h"
#include "measure/MeasurePainting.h"
#include "platform/files/LogFont.h"

#include <QString>

struct PhotoDrawingSettings {
    int32_t penWidth = 2;
    int32_t penStyle = kPenSolid;
    ColorRef lineColor = kPureRed;  // "LineColor", low 24 bits
    ColorRef labelColor = kPureRed; // "MeasureTxtColor", low 24 bits
    LogFontRecord labelFont{};      // "Measurefont.ini"
    int labelFontSize = 19;         // "fontsize"
    ColorRef textColor = kPureRed;  // "fontcolor"
    LogFontRecord textFont{};       // "logfont.ini"
    QString unit = QStringLiteral("mm");
    int decimals = 3;
    int cameraClass = 2;
};
