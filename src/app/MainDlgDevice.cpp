// The microscope's connection in the main window: the connection object decides,
// the window shows it.
#include "app/CMainDlg.h"
#include "app/CameraConnection.h"
#include "app/MainWindowControls.h"
#include "capture/CaptureSession.h"
#include "platform/desktop/MessageBox.h"
#include "widgets/CBitmapButton.h"

using namespace maindlg;

void CMainDlg::StartDevice()
{
    CameraConnection::Host host;
    host.showConnected = [this](bool connected) { ShowConnection(connected); };
    host.setTimer = [this](int id, int ms) { SetTimer(id, ms); };
    host.rebuildMenus = [this] { BuildMenus(); };
    host.warn = [this](const QString& text) { ShowMessage(this, text, m_msgTitle, MB_OK | MB_ICONWARNING); };
    m_camera = std::make_unique<CameraConnection>(*m_session, nullptr, std::move(host));
    connect(m_session.get(), &CaptureSession::graphEvent, m_camera.get(), &CameraConnection::OnGraphEvent);
    m_camera->Start();
    BuildMenus();
}

void CMainDlg::ShowConnection(bool connected)
{
    m_controls->EnableButtons(connected);
    // Without a camera there is no preview to take pictures from: F2 and the
    // time-lapse command must warn rather than leave a request that nothing answers.
    Button(IDC_PREVIEW)->SetActive(connected);
    UpdateResolutionText();
}

bool CMainDlg::IsConnected() const
{
    return m_camera != nullptr && m_camera->IsConnected();
}

int CMainDlg::RedetectDevice()
{
    return m_camera->Redetect();
}

void CMainDlg::OnDeviceChange(int event, int deviceType)
{
    m_camera->OnDeviceChange(event, deviceType);
}
