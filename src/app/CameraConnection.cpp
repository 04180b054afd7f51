#include "app/CameraConnection.h"

#include "app/AppTexts.h"
#include "app/MainDlgIds.h"
#include "capture/CaptureEvents.h"
#include "capture/CaptureSession.h"
#include "capture/dialogs/CVideoSettingDlg.h"
#include "capture/dialogs/VideoSettingIds.h"
#include "platform/camera/CameraBackendFactory.h"
#include "platform/camera/DeviceMonitor.h"

#include <QCoreApplication>

using namespace maindlg;

namespace {
// A camera that would not start is tried again this often (another program may
// let it go, or a lower size may have been chosen): no device notice says so.
constexpr int kDeviceRetryMs = 2000;

// Posted rather than sent: the dialog refills once the re-detection has finished,
// from the graph as it then is.
void NotifyVideoSettingsDialog()
{
    static_assert(WM_DEVICE_NOTICE == kDeviceNoticeEvent);
    if (CVideoSettingDlg* dialog = CVideoSettingDlg::OpenDialog()) {
        QCoreApplication::postEvent(dialog, new QEvent(WM_DEVICE_NOTICE));
    }
}
} // namespace

CameraConnection::CameraConnection(CaptureSession& session, QObject* parent, Host host)
    : QObject(parent), m_session(session), m_host(std::move(host))
{
}

CameraConnection::~CameraConnection()
{
    Stop();
}

void CameraConnection::Start()
{
    CCaptureGraph& graph = m_session.Graph();
    graph.CreateDeviceEnumerator();
    m_monitor = new DeviceMonitor(ProcessCameraBackend(), this);
    connect(m_monitor, &DeviceMonitor::deviceChange, this, &CameraConnection::OnDeviceChange);
    if (graph.FindDevices() && graph.InitCaptureFilters()) {
        if (!graph.BuildGraph()) {
            // Re-detection tries again shortly.
            m_host.setTimer(IDT_DEVICE_CHECK, kDeviceCheckStartMs);
        } else if (graph.StartPreview()) {
            ShowConnected();
            return;
        }
    }
    ShowNotRunning();
}

void CameraConnection::Stop()
{
    delete m_monitor;
    m_monitor = nullptr;
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    m_session.TearDown();
}

void CameraConnection::ShowConnected()
{
    m_startFailureNotice.Reset();
    m_session.Graph().SetStatusMessage(QString());
    m_connected = true;
    m_host.showConnected(true);
}

void CameraConnection::ShowDisconnected()
{
    m_session.StopRecording(RecordingEnd::CameraGone);
    m_session.Graph().SetStatusMessage(LoadText(txt::ConnectMsg, kStatusTextCapacity));
    m_connected = false;
    m_host.showConnected(false);
}

void CameraConnection::ShowNotRunning()
{
    const CameraStatus cause = m_session.Graph().startFailure();
    if (cause == CameraStatus::Ok) {
        m_session.Graph().TearDown();
        m_startFailureNotice.Reset();
        ShowDisconnected();
        return;
    }
    // The microscope is there but would not start. It stays open, so a lower size
    // can still be chosen, and is tried again shortly.
    ShowDisconnected();
    m_session.Graph().SetStatusMessage(LoadText(StartFailureText(cause), kStatusTextCapacity));
    m_host.setTimer(IDT_DEVICE_CHECK, kDeviceRetryMs);
    if (m_startFailureNotice.TakeNew(cause)) {
        m_host.warn(LoadText(StartFailureText(cause)));
    }
}

void CameraConnection::OnGraphEvent(int code)
{
    if (!m_connected || m_session.Graph().running()) {
        return;
    }
    switch (code) {
    case EC_START_FAILED: // a restart after a change, a still or the Preview button failed
    case EC_ERRORABORT:   // the stream died and the camera could not restart it
        ShowNotRunning();
        break;
    case EC_DEVICE_LOST: // the unplug's own notice normally follows; if not, look again
        m_host.setTimer(IDT_DEVICE_CHECK, kDeviceCheckChangeMs);
        break;
    default:
        break;
    }
}

bool CameraConnection::TryStart()
{
    CCaptureGraph& graph = m_session.Graph();
    return graph.FindDevices() && graph.InitCaptureFilters() && graph.BuildGraph() && graph.StartPreview();
}

int CameraConnection::Redetect()
{
    m_session.State().frameShown.store(0);
    if (m_redetecting) {
        // Re-entered from a box shown during detection: try again a little later.
        m_host.setTimer(IDT_DEVICE_CHECK, kDeviceCheckChangeMs);
        return 0;
    }
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    m_redetecting = true;
    int result = 0;
    CCaptureGraph& graph = m_session.Graph();
    NotifyVideoSettingsDialog();
    if (graph.running() && graph.IsDevicePresent()) {
        graph.FindDevices();
        result = 1;
    } else {
        graph.TearDown();
        const int deviceClass = m_session.Format().CaptureDeviceClass;
        if (TryStart()) {
            ShowConnected();
            result = 1;
        } else {
            ShowNotRunning();
        }
        if (deviceClass != m_session.Format().CaptureDeviceClass) {
            m_host.rebuildMenus(); // the capture-size items follow the microscope's class
        }
        graph.Preview()->update();
    }
    m_redetecting = false;
    return result;
}

void CameraConnection::OnDeviceChange(int event, int deviceType)
{
    switch (event) {
    case DBT_DEVNODES_CHANGED:
        m_host.setTimer(IDT_DEVICE_CHECK, kDeviceCheckChangeMs);
        break;
    case DBT_DEVICEARRIVAL:
        if (deviceType == DBT_DEVTYP_DEVICEINTERFACE) {
            Redetect();
        }
        break;
    case DBT_DEVICEREMOVECOMPLETE:
        Redetect();
        break;
    default:
        break;
    }
}
