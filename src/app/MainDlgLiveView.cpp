// The live view's tools in the main window: effect buttons, guides and the
// other-tools menu. The feature object keeps their state; the window hands it its
// buttons, the connected state and the magnification boxes; WireSession hands its
// effects and drawings to the capture session.
#include "app/CMainDlg.h"
#include "app/MainMenus.h"
#include "app/SettingsStore.h"
#include "capture/CaptureSession.h"
#include "measure/Calibration.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CMenuXP.h"

#include <QLineEdit>

using namespace maindlg;

void CMainDlg::WireLiveView()
{
    LiveViewTools::Parts parts;
    parts.button = [this](int id) { return Button(id); };
    parts.releaseMeasureButtons = [this] { ReleaseMeasureButtonLooks(); };
    parts.connected = [this] { return IsConnected(); };
    parts.guideScale = [this] { return ReadGuideScale(); };
    m_liveTools = std::make_unique<LiveViewTools>(std::move(parts));
}

GuideScale CMainDlg::ReadGuideScale()
{
    GuideScale scale;
    double magnification = 0.0;
    if (!ReadMagnification(this, m_calibrationValue->text(), m_magnification->text(), false, magnification)) {
        return scale;
    }
    scale.magnification = magnification;
    scale.unit = Settings().unit;
    const CaptureFormat format = m_session->Format();
    scale.cameraClass = format.CaptureDeviceClass;
    scale.frame = QSize(format.captureWidth, format.captureHeight);
    return scale;
}

void CMainDlg::ReleaseMeasureButtonLooks()
{
    for (int id = IDC_LINE; id <= IDC_THREE_ANGLE; ++id) {
        Button(id)->SetActive(false);
    }
    Button(IDC_FOUR_ANGLE)->SetActive(false);
    Button(IDC_CALIBRATION)->SetActive(false);
}

void CMainDlg::OnOtherTools()
{
    const CBitmapButton* button = Button(IDC_OTHER_TOOLS);
    OtherToolsMenu()->exec(button->mapToGlobal(QPoint(0, button->height() - kOtherToolsMenuRise)));
}
