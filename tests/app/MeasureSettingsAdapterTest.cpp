// The pen setting dialog over the real settings store: what reaches the registry.
#include "app/MeasureSettingsAdapter.h"

#include "app/SettingsStore.h"
#include "common/TestSupport.h"
#include "measure/CPenSettingDlg.h"
#include "measure/DrawingFonts.h"
#include "measure/PenSettingIds.h"

#include <gtest/gtest.h>

namespace {

TEST(MeasureSettingsAdapter, PenDialogChoicesReachTheRegistry)
{
    testsupport::TempHome home;
    AppSettings::WriteFirstStartDefaults();
    AppSettings settings;
    settings.Linewidth = 3;
    MeasureSettingsAdapter store(settings);
    {
        CPenSettingDlg dialog({settings.Linewidth, settings.Linetype, 255, 255}, store);
        dialog.OnCommand(IDC_UNIT_MIL);
        dialog.OnCommand(IDC_DECIMAL_4);
        dialog.OnCommand(IDC_FORMAT_BMP);
        dialog.OnCommand(IDC_SETTING_CANCEL);
    }
    AppSettings stored;
    stored.ReadUnit();
    stored.ReadDecimal();
    stored.ReadImageFormat();
    stored.ReadLineWidth();
    EXPECT_EQ(stored.unit, "mil");
    EXPECT_EQ(stored.decimal, 4);
    EXPECT_EQ(stored.ImageFormat, 1);
    EXPECT_EQ(stored.Linewidth, 2); // cancelled: the first-start width stays

    {
        CPenSettingDlg dialog({settings.Linewidth, 4, 255, 255}, store);
        dialog.OnCommand(IDC_SETTING_OK);
    }
    stored.ReadLineWidth();
    stored.ReadLineType();
    EXPECT_EQ(stored.Linewidth, 1);
    EXPECT_EQ(stored.Linetype, 4);

    LogFontRecord font{};
    font.height = -20;
    StoreLabelFontSize(store, font);
    stored.ReadFontSize();
    EXPECT_EQ(stored.fontsize, 20);
}

} // namespace
