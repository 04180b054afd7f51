#include "app/DrawingSettings.h"

#include "app/SettingsStore.h"
#include "capture/CaptureState.h"
#include "measure/DrawingFonts.h"
#include "measure/MeasureUnits.h"

PhotoDrawingSettings PhotoDrawingSettingsFrom(const AppSettings& settings, const LogFontRecord& labelFont,
                                              int cameraClass)
{
    PhotoDrawingSettings photo;
    photo.penWidth = settings.Linewidth;
    photo.penStyle = settings.Linetype;
    photo.lineColor = ColorRef(settings.LineColor) & 0xFFFFFF;
    photo.labelColor = ColorRef(settings.MeasureTxtColor) & 0xFFFFFF;
    photo.labelFont = labelFont;
    photo.labelFontSize = settings.fontsize;
    photo.textColor = ColorRef(settings.fontcolor);
    photo.textFont = TextFontRecord();
    photo.unit = settings.unit;
    photo.decimals = settings.decimal;
    photo.cameraClass = cameraClass;
    return photo;
}

LiveMeasureSettings LiveMeasureSettingsFrom(const AppSettings& settings, const LogFontRecord& labelFont,
                                            const CaptureFormat& format)
{
    LiveMeasureSettings live;
    live.style.penWidth = settings.Linewidth;
    live.style.penStyle = settings.Linetype;
    live.style.lineColor = ColorRef(settings.LineColor);
    live.style.labelColor = ColorRef(settings.MeasureTxtColor);
    live.style.labelFont = labelFont;
    live.style.labelFontSize = settings.fontsize;
    live.unit = settings.unit;
    live.decimals = settings.decimal;
    live.unitsPerPixel = unitsPerPixel(settings.unit, format.CaptureDeviceClass,
                                       QSize(format.captureWidth, format.captureHeight));
    return live;
}
