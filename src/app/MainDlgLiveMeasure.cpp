// Live measuring in the main window: the feature object and its settings.
#include "app/AppTexts.h"
#include "app/CMainDlg.h"
#include "app/SettingsStore.h"
#include "capture/CaptureSession.h"
#include "liveview/LiveMeasureFeature.h"
#include "measure/MeasureTexts.h"
#include "measure/MeasureUnits.h"
#include "widgets/Art.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CMenuXP.h"

using namespace maindlg;

void CMainDlg::CreateLiveMeasuring()
{
    LiveMeasureFeature::Parts parts;
    parts.window = this;
    parts.client = m_client;
    parts.nominal = m_magnification;
    parts.calibrated = m_calibrationValue;
    parts.calibrationFile = m_calibrationFile;
    parts.button = [this](int id) { return Button(id); };
    parts.settings = [this] { return LiveMeasureSettingsNow(); };
    parts.captureFormat = [this] { return Format(); };
    parts.frameStore = &Session().State().FrameStore;
    parts.releaseEffectButtons = [this] { m_liveTools->ReleaseButtons(); };
    m_liveMeasure = std::make_unique<LiveMeasureFeature>(parts);
}

LiveMeasureSettings CMainDlg::LiveMeasureSettingsNow() const
{
    const AppSettings& settings = Settings();
    LiveMeasureSettings live;
    live.style.penWidth = settings.Linewidth;
    live.style.penStyle = settings.Linetype;
    live.style.lineColor = ColorRef(settings.LineColor);
    live.style.labelColor = ColorRef(settings.MeasureTxtColor);
    live.style.labelFont = m_measureFont;
    live.style.labelFontSize = settings.fontsize;
    live.unit = settings.unit;
    live.decimals = settings.decimal;
    const CaptureFormat format = Format();
    live.unitsPerPixel = unitsPerPixel(settings.unit, format.CaptureDeviceClass,
                                       QSize(format.captureWidth, format.captureHeight));
    return live;
}

void CMainDlg::OnLiveMeasure()
{
    m_liveMeasure->OnCommand(m_commandInProgress);
}
