// The main window's parts, laid out at their documented client positions.
#include "app/CMainDlg.h"
#include "app/MainDlgClient.h"
#include "app/MainMenus.h"
#include "app/MainWindowControls.h"
#include "app/MainWindowFrame.h"
#include "capture/CaptureSession.h"
#include "files/CFileListView.h"
#include "files/FilesStripController.h"
#include "liveview/LiveMeasureFeature.h"
#include "widgets/CToolTipCtrl.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>

using namespace maindlg;

void CMainDlg::LayOut()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false);
    m_menuBar->setStyleSheet(QStringLiteral("QMenuBar { background-color: %1; color: black; }"
                                            "QMenuBar::item:selected { background-color: #c6d9f0; }")
                                 .arg(QColor(kMenuBackground).name()));
    m_client = new MainDlgClient(*this);
    m_menus = new MainMenus(*this, *m_menuBar, [this](int id) { OnCommand(id); });

    m_session = std::make_unique<CaptureSession>(m_client);
    CapturePreview* preview = m_session->Graph().Preview();
    preview->setObjectName(QStringLiteral("preview"));
    preview->setGeometry(kPreviewRect);
    m_strip = new FilesStripController(*this, m_pictureFolder, m_videoFolder, m_client, kFileListRect);
    m_strip->SetCaption(m_msgTitle);
    m_strip->SetHandOffs({[this] { QCoreApplication::postEvent(this, new QEvent(WM_OPEN_PICTURE)); },
                          [this] { QCoreApplication::postEvent(this, new QEvent(WM_OPEN_VIDEO)); },
                          [this](const QString& path) { OpenPhotoWindow(path); },
                          [this](const QString& path) { RunPlayer(path); }});
    m_fileList = m_strip->View();
    m_controls = std::make_unique<MainWindowControls>(*m_client, [this](int id) { OnCommand(id); });
    CreateFrame();
    WireLiveView();
    m_frame->FitToClient();
}

void CMainDlg::CreateFrame()
{
    MainWindowFrame::Parts parts;
    parts.window = this;
    parts.menuBar = m_menuBar;
    parts.client = m_client;
    parts.session = m_session.get();
    parts.showControls = [this](bool show) {
        m_controls->Show(show);
        m_fileList->setVisible(show);
    };
    parts.enteredFullScreen = [this] {
        m_toolTips->DelAllTools();
        // Nothing latched carries over into full screen: the reset releases the
        // tool and effect buttons alike.
        m_liveMeasure->Reset();
    };
    parts.leftFullScreen = [this] {
        RefreshToolTips();
        m_strip->Refresh();
    };
    m_frame = std::make_unique<MainWindowFrame>(std::move(parts));
}

void CMainDlg::OnSysCommand(int command)
{
    switch (command) {
    case SC_MAXIMIZE:
        m_frame->EnterFullScreen();
        break;
    case SC_RESTORE:
        m_frame->LeaveFullScreen();
        break;
    case IDM_ABOUTBOX:
        OnCommand(ID_ABOUT);
        break;
    default:
        break;
    }
}

bool CMainDlg::IsFullScreen() const
{
    return m_frame != nullptr && m_frame->IsFullScreen();
}

CBitmapButton* CMainDlg::Button(int id) const
{
    return m_controls->Button(id);
}

QWidget* CMainDlg::Control(int id) const
{
    return m_controls->Control(id);
}

void CMainDlg::UpdateResolutionText()
{
    m_controls->ShowCaptureSize(m_session->Format(), !m_session->Graph().statusMessage().isEmpty(),
                                IsFullScreen());
}
