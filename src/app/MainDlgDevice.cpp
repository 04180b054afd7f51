// Starting the microscope, losing it and finding it again.
#include "app/AppTexts.h"
#include "app/CMainDlg.h"
#include "capture/CaptureEvents.h"
#include "capture/CaptureSession.h"
#include "capture/dialogs/CVideoSettingDlg.h"
#include "capture/dialogs/VideoSettingIds.h"
#include "platform/camera/CameraBackendFactory.h"
#include "platform/camera/DeviceMonitor.h"
#include "platform/desktop/MessageBox.h"
#include "widgets/CBitmapButton.h"

#include <QCoreApplication>

using namespace maindlg;

namespace {
// A camera that would not start is tried again this often (another program may
// let it go, or a lower size may have been chosen): no device notice says so.
constexpr int kDeviceRetryMs = 2000;
} // namespace

void CMainDlg::StartDevice()
{
    m_session->Graph().CreateDeviceEnumerator();
    m_deviceMonitor = new DeviceMonitor(ProcessCameraBackend(), this);
    connect(m_deviceMonitor, &DeviceMonitor::deviceChange, this, &CMainDlg::OnDeviceChange);
    if (m_session->Graph().FindDevices() && m_session->Graph().InitCaptureFilters()) {
        if (!m_session->Graph().BuildGraph()) {
            // Re-detection tries again shortly.
            SetTimer(IDT_DEVICE_CHECK, kDeviceCheckStartMs);
        } else if (m_session->Graph().StartPreview()) {
            ShowConnected();
            BuildMenus();
            return;
        }
    }
    ShowNotRunning();
    BuildMenus();
}

void CMainDlg::EnableToolButtons(bool enable)
{
    for (const auto& [id, button] : m_buttons) {
        button->setEnabled(enable);
    }
}

void CMainDlg::ShowConnected()
{
    EnableToolButtons(true);
    Button(IDC_PREVIEW)->SetActive(true);
    m_startFailureNotice.Reset();
    m_session->Graph().SetStatusMessage(QString());
    m_connected = true;
    UpdateResolutionText();
}

void CMainDlg::ShowDisconnected()
{
    m_session->StopRecording(RecordingEnd::CameraGone);
    EnableToolButtons(false);
    // Without a camera there is no preview to take pictures from: F2 and the
    // time-lapse command must warn rather than leave a request that nothing answers.
    Button(IDC_PREVIEW)->SetActive(false);
    m_session->Graph().SetStatusMessage(LoadText(txt::ConnectMsg, kStatusTextCapacity));
    m_connected = false;
    UpdateResolutionText();
}

void CMainDlg::ShowNotRunning()
{
    const CameraStatus cause = m_session->Graph().startFailure();
    if (cause == CameraStatus::Ok) {
        m_session->Graph().TearDown();
        m_startFailureNotice.Reset();
        ShowDisconnected();
        return;
    }
    // The microscope is there but would not start. It stays open, so a lower size
    // can still be chosen, and is tried again shortly.
    ShowDisconnected();
    m_session->Graph().SetStatusMessage(LoadText(StartFailureText(cause), kStatusTextCapacity));
    SetTimer(IDT_DEVICE_CHECK, kDeviceRetryMs);
    if (m_startFailureNotice.TakeNew(cause)) {
        ShowMessage(this, LoadText(StartFailureText(cause)), m_msgTitle, MB_OK | MB_ICONWARNING);
    }
}

void CMainDlg::OnGraphEvent(int code)
{
    if (!m_connected || m_session->Graph().running()) {
        return;
    }
    switch (code) {
    case EC_START_FAILED: // a restart after a change, a still or the Preview button failed
    case EC_ERRORABORT:   // the stream died and the camera could not restart it
        ShowNotRunning();
        break;
    case EC_DEVICE_LOST: // the unplug's own notice normally follows; if not, look again
        SetTimer(IDT_DEVICE_CHECK, kDeviceCheckChangeMs);
        break;
    default:
        break;
    }
}

int CMainDlg::TryStartGraph()
{
    return m_session->Graph().FindDevices() && m_session->Graph().InitCaptureFilters() &&
           m_session->Graph().BuildGraph() && m_session->Graph().StartPreview();
}

int CMainDlg::RedetectDevice()
{
    m_session->State().frameShown.store(0);
    if (m_redetecting) {
        // Re-entered from a box shown during detection: try again a little later.
        SetTimer(IDT_DEVICE_CHECK, kDeviceCheckChangeMs);
        return 0;
    }
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    m_redetecting = true;
    int result = 0;
    if (m_session->Graph().running() && m_session->Graph().IsDevicePresent()) {
        m_session->Graph().FindDevices();
        NotifyVideoSettingsDialog();
        result = 1;
    } else {
        NotifyVideoSettingsDialog();
        m_session->Graph().TearDown();
        const int deviceClass = m_session->Format().CaptureDeviceClass;
        if (TryStartGraph()) {
            ShowConnected();
            result = 1;
        } else {
            ShowNotRunning();
        }
        if (deviceClass != m_session->Format().CaptureDeviceClass) {
            BuildMenus(); // the capture-size items follow the microscope's class
        }
        m_session->Graph().Preview()->update();
    }
    m_redetecting = false;
    return result;
}

void CMainDlg::OnDeviceChange(int event, int deviceType)
{
    switch (event) {
    case DBT_DEVNODES_CHANGED:
        SetTimer(IDT_DEVICE_CHECK, kDeviceCheckChangeMs);
        break;
    case DBT_DEVICEARRIVAL:
        if (deviceType == DBT_DEVTYP_DEVICEINTERFACE) {
            RedetectDevice();
        }
        break;
    case DBT_DEVICEREMOVECOMPLETE:
        RedetectDevice();
        break;
    default:
        break;
    }
}

// Posted rather than sent: the dialog refills once the re-detection has finished,
// from the graph as it then is.
void CMainDlg::NotifyVideoSettingsDialog()
{
    static_assert(WM_DEVICE_NOTICE == kDeviceNoticeEvent);
    if (CVideoSettingDlg* dialog = CVideoSettingDlg::OpenDialog()) {
        QCoreApplication::postEvent(dialog, new QEvent(WM_DEVICE_NOTICE));
    }
}
