// The live view's tools in the main window: effect buttons, guides and the
// other-tools menu. The feature object keeps their state; the window hands it its
// buttons, the connected state and the magnification boxes; WireSession hands its
// effects and drawings to the capture session.
#include "app/CMainDlg.h"
#include "app/MainMenus.h"
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
    parts.connected = [this] { return IsConnected(); };
    parts.guideScale = [this] { return m_liveMeasure->ReadGuideScale(); };
    m_liveTools = std::make_unique<LiveViewTools>(std::move(parts));
}

void CMainDlg::OnOtherTools()
{
    const CBitmapButton* button = Button(IDC_OTHER_TOOLS);
    OtherToolsMenu()->exec(button->mapToGlobal(QPoint(0, button->height() - kOtherToolsMenuRise)));
}
