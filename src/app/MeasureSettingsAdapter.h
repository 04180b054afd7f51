#pragma once
// The settings store as the pen and text dialogs see it.
#include "measure/MeasureSettingsStore.h"

struct AppSettings;

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
