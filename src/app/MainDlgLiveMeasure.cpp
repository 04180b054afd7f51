// Live measuring in the main window: the feature object, its settings and its
// painters for the preview and for stills.
#include "app/AppTexts.h"
#include "app/CMainDlg.h"
#include "app/SettingsStore.h"
#include "capture/CCaptureGraph.h"
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
    parts.nominal = m_magnification;
    parts.calibrated = m_calibrationValue;
    parts.calibrationFile = m_calibrationFile;
    parts.button = [this](int id) { return Button(id); };
    parts.settings = [this] { return LiveMeasureSettingsNow(); };
    parts.releaseEffectButtons = [this] { m_liveTools->ReleaseButtons(); };
    m_liveMeasure = std::make_unique<LiveMeasureFeature>(parts);
    m_stillPainters.measurements = m_liveMeasure->StillPainter();
    LiveFrameHooks hooks = m_graph->hooks();
    hooks.paintMeasurements = m_liveMeasure->PreviewPainter();
    m_graph->SetLiveFrameHooks(std::move(hooks));
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
    live.unitsPerPixel = LiveMeasureFeature::UnitsPerPixel(settings.unit);
    return live;
}

void CMainDlg::OnLiveMeasure()
{
    m_liveMeasure->OnCommand(m_commandInProgress);
}
