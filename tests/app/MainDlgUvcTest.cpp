// The main window on the V4L2 backend and the emulated UVC driver: a microscope
// the user may not open, a stream that dies for good, and a button that comes
// after the camera.
#include "MainDlgTestSupport.h"
#include "capture/CaptureSession.h"
#include "capture/PicturePropertyTable.h"
#include "capture/dialogs/CVideoSettingDlg.h"
#include "capture/dialogs/ExposureControls.h"
#include "common/EmulatedUvc.h"
#include "platform/camera/CameraBackendFactory.h"
#include "platform/camera/V4l2Backend.h"
#include "widgets/CBitmapButton.h"

#include <QComboBox>
#include <QDir>
#include <QSlider>
#include <algorithm>
#include <linux/videodev2.h>

using namespace maindlg;

namespace {
constexpr int kClass1600 = 1; // its USB id is the first supported one

class MainDlgUvcTest : public MainDlgTest {
protected:
    void SetUp() override
    {
        MainDlgTest::SetUp();
        SetProcessCameraBackend(m_backend);
    }
    bool ButtonsEnabled(const CMainDlg& dlg, bool enabled)
    {
        return dlg.Button(IDC_CAMERA)->isEnabled() == enabled && dlg.Button(IDC_AVI)->isEnabled() == enabled;
    }

    std::shared_ptr<emu::EmulatedUvc> m_uvc = std::make_shared<emu::EmulatedUvc>();
    std::shared_ptr<V4l2Backend> m_backend =
        std::make_shared<V4l2Backend>(m_uvc, m_uvc, V4l2StreamTiming{std::chrono::milliseconds(60), 5, 3});
};

TEST_F(MainDlgUvcTest, MicroscopeTheUserMayNotOpenSaysSoAndStartsOnceAllowed)
{
    const int cam = m_uvc->Plug(kClass1600);
    m_uvc->With(cam, [](emu::Camera& c) { c.nodeDenied = true; });
    auto dlg = Start();
    EXPECT_FALSE(dlg->IsConnected());
    ASSERT_EQ(m_messages, QStringList{"No permission to use the microscope"});
    EXPECT_EQ(dlg->CaptureGraph()->statusMessage(), m_messages[0]);
    EXPECT_TRUE(ButtonsEnabled(*dlg, false));
    EXPECT_TRUE(dlg->IsTimerActive(IDT_DEVICE_CHECK));

    dlg->OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, 0);
    EXPECT_EQ(m_messages.size(), 1);
    m_uvc->With(cam, [](emu::Camera& c) { c.nodeDenied = false; });
    dlg->OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, 0);
    EXPECT_TRUE(dlg->IsConnected());
    EXPECT_TRUE(ButtonsEnabled(*dlg, true));
}

TEST_F(MainDlgUvcTest, StreamThatDiesForGoodIsToldOnceAndStartedAgainWhenItCan)
{
    const int cam = m_uvc->Plug(kClass1600);
    auto dlg = Start();
    ASSERT_TRUE(dlg->IsConnected());
    ASSERT_TRUE(WaitFor([&] { return dlg->Session().State().frameShown.load() == 1; }));
    m_uvc->With(cam, [](emu::Camera& c) {
        c.refuse[VIDIOC_STREAMON] = EPROTO;
        c.broken = true;
    });
    ASSERT_TRUE(WaitFor([&] { return !dlg->IsConnected(); }));
    EXPECT_FALSE(dlg->CaptureGraph()->running());
    ASSERT_EQ(m_messages, QStringList{"The microscope could not be started"});
    EXPECT_EQ(dlg->CaptureGraph()->statusMessage(), m_messages[0]);
    EXPECT_TRUE(ButtonsEnabled(*dlg, false));
    EXPECT_TRUE(dlg->IsTimerActive(IDT_DEVICE_CHECK));

    dlg->OnTimer(IDT_DEVICE_CHECK); // still refused: no second box
    EXPECT_FALSE(dlg->IsConnected());
    EXPECT_EQ(m_messages.size(), 1);
    m_uvc->With(cam, [](emu::Camera& c) { c.refuse.clear(); });
    dlg->OnTimer(IDT_DEVICE_CHECK);
    EXPECT_TRUE(dlg->IsConnected());
    EXPECT_TRUE(dlg->CaptureGraph()->statusMessage().isEmpty());
}

TEST_F(MainDlgUvcTest, MicroscopePluggedWhileRunningGetsItsButton)
{
    auto dlg = Start();
    EXPECT_FALSE(dlg->IsConnected());
    const int cam = m_uvc->Plug(kClass1600);
    ASSERT_TRUE(WaitFor([&] { return dlg->IsConnected(); }));
    m_uvc->PlugButton(cam); // the driver registers the input device after the video nodes
    ASSERT_TRUE(WaitFor(
        [&] { return dlg->CaptureGraph()->hasStillPin() && dlg->Session().State().frameShown.load() == 1; }));
    m_uvc->Press(cam);
    m_uvc->Release(cam);
    ASSERT_TRUE(WaitFor([&] { return QDir(dlg->PictureFolder()).entryList(QDir::Files).size() == 1; }));
    EXPECT_TRUE(m_messages.isEmpty()) << m_messages.join('|').toStdString();
}

// A camera with an exposure menu that lacks the automatic mode, an exposure time the
// mode governs and a read-only contrast, as the video settings dialog shows them.
TEST_F(MainDlgUvcTest, VideoSettingsGreyWhatTheCameraLocksAndFollowTheExposureMode)
{
    const int cam = m_uvc->Plug(kClass1600);
    m_uvc->With(cam, [](emu::Camera& c) {
        c.controls[V4L2_CID_CONTRAST].flags = V4L2_CTRL_FLAG_READ_ONLY;
        c.controls[V4L2_CID_EXPOSURE_AUTO] = {0, 3, 1, 3, 3, 0, 0b1010};
        c.controls[V4L2_CID_EXPOSURE_ABSOLUTE] = {1, 5000, 1, 166, 166, 0, 0, V4L2_CID_EXPOSURE_AUTO, 1};
    });
    auto dlg = Start();
    ASSERT_TRUE(dlg->IsConnected());
    CVideoSettingDlg video(dlg->Session());
    QComboBox* mode = video.Exposure().ModeCombo();
    QSlider* time = video.Exposure().TimeSlider();
    ASSERT_FALSE(mode->isHidden());
    ASSERT_EQ(mode->count(), 2);
    EXPECT_EQ(mode->itemText(0), "Manual");
    EXPECT_EQ(mode->itemText(1), "Aperture priority");
    EXPECT_EQ(mode->currentIndex(), 1);
    EXPECT_FALSE(time->isHidden());
    EXPECT_FALSE(time->isEnabled()) << "the exposure time is the camera's while it exposes by itself";
    const auto row = [](int property) {
        const PicturePropertyRows& table = PicturePropertyTable();
        return int(
            std::find_if(table.begin(), table.end(), [&](const auto& p) { return p.property == property; }) -
            table.begin());
    };
    EXPECT_FALSE(video.Slider(row(VideoProcAmp_Contrast))->isEnabled());
    EXPECT_TRUE(video.Slider(row(VideoProcAmp_Brightness))->isEnabled());

    mode->setCurrentIndex(0);
    emit mode->activated(0);
    EXPECT_EQ(m_uvc->Snapshot(cam).controls.at(V4L2_CID_EXPOSURE_AUTO).value, 1);
    ASSERT_TRUE(time->isEnabled());
    time->setValue(400);
    emit time->sliderReleased();
    EXPECT_EQ(m_uvc->Snapshot(cam).controls.at(V4L2_CID_EXPOSURE_ABSOLUTE).value, 400);
    EXPECT_FALSE(video.Slider(row(VideoProcAmp_Contrast))->isEnabled());
}
} // namespace
