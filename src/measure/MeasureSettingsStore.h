#pragma once
// The stored settings the pen and text dialogs read and write. The application's
// settings store implements it; the dialogs only see this narrow view, so the
// measuring library stays below the application in the include graph.
#include "measure/CMeasureShape.h"

#include <QString>

class MeasureSettingsStore {
public:
    virtual ~MeasureSettingsStore() = default;

    virtual QString unit() const = 0;
    virtual int decimal() const = 0;
    virtual int imageFormat() const = 0; // 1 BMP, 2 JPEG
    virtual ColorRef textColor() const = 0;

    // Each stores its value(s) at once.
    virtual void StoreLineColor(ColorRef color) = 0;
    virtual void StoreLabelColor(ColorRef color) = 0;
    virtual void StoreTextColor(ColorRef color) = 0;
    // The unit and the decimals are always stored together.
    virtual void StoreUnitAndDecimal(const QString& unit, int decimal) = 0;
    virtual void StoreImageFormat(int format) = 0;
    virtual void StoreLineWidth(int width) = 0;
    virtual void StoreLineType(int type) = 0;
    virtual void StoreFontSize(int size) = 0;
};

// What a host hands the pen setting dialog and takes back after OK.
struct PenSettings {
    int width = 2;
    int style = 0; // PenStyleCode
    ColorRef lineColor = 255;
    ColorRef labelColor = 255;
};
