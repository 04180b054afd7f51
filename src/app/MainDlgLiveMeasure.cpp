// Live measuring in the main window: the feature object and its settings.
#include "app/AppTexts.h"
#include "app/CMainDlg.h"
#include "app/DrawingSettings.h"
#include "app/MainWindowControls.h"
#include "app/SettingsStore.h"
#include "capture/CaptureSession.h"
#include "liveview/LiveMeasureFeature.h"
#include "measure/MeasureTexts.h"
#include "widgets/Art.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CMenuXP.h"

using namespace maindlg;

void CMainDlg::CreateLiveMeasuring()
{
    LiveMeasureFeature::Parts parts;
    parts.window = this;
    parts.client = m_client;
    parts.nominal = m_controls->Magnification();
    parts.calibrated = m_controls->CalibrationValue();
    parts.calibrationFile = m_calibrationFile;
    parts.button = [this](int id) { return Button(id); };
    parts.settings = [this] { return LiveMeasureSettingsFrom(Settings(), m_measureFont, Format()); };
    parts.captureFormat = [this] { return Format(); };
    parts.frameStore = &Session().State().FrameStore;
    parts.releaseEffectButtons = [this] { m_liveTools->ReleaseButtons(); };
    m_liveMeasure = std::make_unique<LiveMeasureFeature>(parts);
}

void CMainDlg::OnLiveMeasure()
{
    m_liveMeasure->OnCommand(m_commandInProgress);
}
