// The live view's tools in the main window: effect buttons, guides and the
// other-tools menu. The feature object keeps their state; the window hands it its
// buttons, the connected state and the magnification boxes, and wires its hooks
// into the capture graph and the still saving.
#include "app/CMainDlg.h"
#include "app/MainMenus.h"
#include "app/SettingsStore.h"
#include "capture/CCaptureGraph.h"
#include "capture/CaptureState.h"
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
    parts.connected = [this] { return m_connected; };
    parts.guideScale = [this] { return ReadGuideScale(); };
    m_liveTools = std::make_unique<LiveViewTools>(std::move(parts));

    LiveFrameHooks hooks = m_graph->hooks();
    hooks.applyEffects = m_liveTools->Effects();
    hooks.paintOverlays = m_liveTools->PreviewOverlays();
    m_graph->SetLiveFrameHooks(std::move(hooks));
    m_stillPainters.overlays = m_liveTools->StillOverlays();
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
    scale.cameraClass = CaptureDeviceClass.load();
    scale.frame = QSize(captureWidth.load(), captureHeight.load());
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
