// The main window opens the video and pen settings; device changes reach the open
// video settings dialog.
#include "MainDlgTestSupport.h"
#include "app/SettingsStore.h"
#include "capture/dialogs/CVideoSettingDlg.h"
#include "measure/CPenSettingDlg.h"
#include "measure/PenSettingIds.h"

#include <QApplication>
#include <QComboBox>
#include <QTimer>

TEST_F(MainDlgTest, VideoSettingsOpenAndFollowTheDevice)
{
    auto dlg = Start();
    int devicesBefore = -1, devicesUnplugged = -1, devicesBack = -1;
    QTimer::singleShot(50, [&] {
        auto* video = qobject_cast<CVideoSettingDlg*>(QApplication::activeModalWidget());
        if (!video) {
            return;
        }
        devicesBefore = video->DeviceCombo()->count();
        m_microscope->Unplug();
        WaitFor([&] { return video->DeviceCombo()->count() == 0; });
        devicesUnplugged = video->DeviceCombo()->count();
        m_microscope->Plug();
        WaitFor([&] { return video->DeviceCombo()->count() == 1; });
        devicesBack = video->DeviceCombo()->count();
        video->OnCommand(2); // Exit
    });
    EXPECT_TRUE(dlg->OnCommand(maindlg::IDC_SETTING));
    EXPECT_EQ(devicesBefore, 1);
    EXPECT_EQ(devicesUnplugged, 0);
    EXPECT_EQ(devicesBack, 1);
    EXPECT_EQ(CVideoSettingDlg::OpenDialog(), nullptr);
}

TEST_F(MainDlgTest, PenSettingsGiveNewMeasurementsTheirPen)
{
    auto dlg = Start();
    Settings().Linewidth = 3;
    bool opened = false;
    QTimer::singleShot(50, [&] {
        if (auto* pen = qobject_cast<CPenSettingDlg*>(QApplication::activeModalWidget())) {
            opened = true;
            pen->OnCommand(IDC_UNIT_MIL);
            pen->OnCommand(IDC_PEN_SOLID + 2);
            pen->OnCommand(IDC_SETTING_OK);
        }
    });
    EXPECT_TRUE(dlg->OnCommand(maindlg::ID_PEN_SETTINGS));
    EXPECT_TRUE(opened);
    EXPECT_EQ(Settings().Linewidth, 1);
    EXPECT_EQ(Settings().Linetype, 2);
    EXPECT_EQ(Settings().unit, "mil");
}
