#include "app/MeasureSettingsAdapter.h"

#include "app/SettingsStore.h"
#include "measure/CPenSettingDlg.h"
#include "measure/DrawingFonts.h"
#include "platform/desktop/MessageBox.h"

QString MeasureSettingsAdapter::unit() const
{
    return m_settings.unit;
}

int MeasureSettingsAdapter::decimal() const
{
    return m_settings.decimal;
}

int MeasureSettingsAdapter::imageFormat() const
{
    return m_settings.ImageFormat;
}

ColorRef MeasureSettingsAdapter::textColor() const
{
    return ColorRef(m_settings.fontcolor);
}

void MeasureSettingsAdapter::StoreLineColor(ColorRef color)
{
    m_settings.LineColor = int(color);
    m_settings.WriteLineColor();
}

void MeasureSettingsAdapter::StoreLabelColor(ColorRef color)
{
    m_settings.MeasureTxtColor = int(color);
    m_settings.WriteMeasureTxtColor();
}

void MeasureSettingsAdapter::StoreTextColor(ColorRef color)
{
    m_settings.fontcolor = int(color);
    m_settings.WriteFontColor();
}

void MeasureSettingsAdapter::StoreUnitAndDecimal(const QString& unit, int decimal)
{
    m_settings.unit = unit;
    m_settings.decimal = decimal;
    m_settings.WriteUnitAndDecimal();
}

void MeasureSettingsAdapter::StoreImageFormat(int format)
{
    m_settings.ImageFormat = format;
    m_settings.WriteImageFormat();
}

void MeasureSettingsAdapter::StoreLineWidth(int width)
{
    m_settings.Linewidth = width;
    m_settings.WriteLineWidth();
}

void MeasureSettingsAdapter::StoreLineType(int type)
{
    m_settings.Linetype = type;
    m_settings.WriteLineType();
}

void MeasureSettingsAdapter::StoreFontSize(int size)
{
    m_settings.fontsize = size;
    m_settings.WriteFontSize();
}

int RunPenSettings(AppSettings& settings, LogFontRecord& labelFont, QWidget* parent)
{
    MeasureSettingsAdapter store(settings);
    const PenSettings host{settings.Linewidth, settings.Linetype, ColorRef(settings.LineColor),
                           ColorRef(settings.MeasureTxtColor)};
    CPenSettingDlg dialog(PenDialogStart(host, ReadLabelFont()), store, {}, parent);
    if (dialog.DoModal() != IDOK) {
        return IDCANCEL;
    }
    const PenSettings chosen = dialog.values();
    settings.Linewidth = chosen.width;
    settings.Linetype = chosen.style;
    settings.LineColor = int(chosen.lineColor);
    settings.MeasureTxtColor = int(chosen.labelColor);
    labelFont = LabelFontRecord();
    return IDOK;
}
