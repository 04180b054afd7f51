// The live view's tools in the main window: effect buttons, guides and the
// other-tools menu. The feature object keeps their state; the window hands it its
// buttons, the connected state and the magnification boxes, and wires its hooks
// into the capture graph and the still saving.
#include "app/CMainDlg.h"
#include "app/MainMenus.h"
#include "capture/CCaptureGraph.h"
#include "liveview/LiveMeasureFeature.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CMenuXP.h"

using namespace maindlg;

void CMainDlg::WireLiveView()
{
    LiveViewTools::Parts parts;
    parts.button = [this](int id) { return Button(id); };
    // The live measuring feature owns the tool buttons' pressed state and the
    // magnification reading; it is made right after the layout.
    parts.releaseMeasureButtons = [this] { m_liveMeasure->ReleaseButtons(); };
    parts.connected = [this] { return m_connected; };
    parts.guideScale = [this] { return m_liveMeasure->ReadGuideScale(); };
    m_liveTools = std::make_unique<LiveViewTools>(std::move(parts));

    LiveFrameHooks hooks = m_graph->hooks();
    hooks.applyEffects = m_liveTools->Effects();
    hooks.paintOverlays = m_liveTools->PreviewOverlays();
    m_graph->SetLiveFrameHooks(std::move(hooks));
    m_stillPainters.overlays = m_liveTools->StillOverlays();
}

void CMainDlg::OnOtherTools()
{
    const CBitmapButton* button = Button(IDC_OTHER_TOOLS);
    OtherToolsMenu()->exec(button->mapToGlobal(QPoint(0, button->height() - kOtherToolsMenuRise)));
}
