#pragma once
// The settings store as the pen and text dialogs see it.
#include "measure/MeasureSettingsStore.h"
#include "platform/files/LogFont.h"

struct AppSettings;

class QWidget;

class MeasureSettingsAdapter : public MeasureSettingsStore {
public:
    explicit MeasureSettingsAdapter(AppSettings& settings) : m_settings(settings) {}

    QString unit() const override;
    int decimal() const override;
    int imageFormat() const override;
    ColorRef textColor() const override;
    void StoreLineColor(ColorRef color) override;
    void StoreLabelColor(ColorRef color) override;
    void StoreTextColor(ColorRef color) override;
    void StoreUnitAndDecimal(const QString& unit, int decimal) override;
    void StoreImageFormat(int format) override;
    void StoreLineWidth(int width) override;
    void StoreLineType(int type) override;
    void StoreFontSize(int size) override;

private:
    AppSettings& m_settings;
};

// The pen setting dialog for the main window: starts from the stored pen when the
// label font file can be read (else from the dialog's own values and the default
// font); after OK the settings take the dialog's pen and `labelFont` a copy of the
// label font. New measurements use them; existing ones keep theirs.
int RunPenSettings(AppSettings& settings, LogFontRecord& labelFont, QWidget* parent);
