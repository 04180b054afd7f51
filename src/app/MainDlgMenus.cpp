// The main window's menus, tooltips and keys: built by MainMenus from the
// window's state, then laid out with the window.
#include "app/AppTexts.h"
#include "app/CMainDlg.h"
#include "app/MainMenus.h"
#include "app/MainWindowFrame.h"
#include "app/SettingsStore.h"
#include "measure/MeasureTexts.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CToolTipCtrl.h"

#include <QLineEdit>
#include <QMenuBar>

using namespace maindlg;

void CMainDlg::BuildMenus()
{
    m_menus->Build({Format().CaptureDeviceClass, Settings().SWITCH != 0, m_language});
    m_menuBar->setVisible(!IsFullScreen());
    if (!IsFullScreen()) {
        m_frame->FitToClient();
    }
    RefreshToolTips();
}

void CMainDlg::RefreshToolTips()
{
    MainMenus::LabelToolTips(
        *m_toolTips, [this](int id) { return Control(id); }, IsFullScreen());
}

bool CMainDlg::OfferAccelerators(int key, Qt::KeyboardModifiers modifiers)
{
    const MainMenus::KeyResult result = MainMenus::OfferKey(key, modifiers, IsRecording());
    if (result.command != 0) {
        OnCommand(result.command);
    }
    return result.taken;
}

CMenuXP* CMainDlg::Submenu(int index) const
{
    return m_menus->Submenu(index);
}

CMenuXP* CMainDlg::FileListMenu() const
{
    return m_menus->FileListMenu();
}

CMenuXP* CMainDlg::OtherToolsMenu() const
{
    return m_menus->OtherToolsMenu();
}
