#include "capture/CCaptureGraph.h"

#include "capture/CaptureEvents.h"
#include "platform/camera/CameraBackendFactory.h"
#include "platform/desktop/MessageBox.h"
#include "platform/text/TextCatalogue.h"

#include <QCoreApplication>

namespace {
// Fixed English text, shown when the camera has no snapshot button.
const char* const kNoStillPinText = "Init 'PIN_CATEGORY_STILL' fail";

CameraSubtype SubtypeOf(std::uint32_t fourCc)
{
    if (fourCc == kFourCcMjpg) {
        return CameraSubtype::MJPG;
    }
    return fourCc == kFourCcUyvy ? CameraSubtype::UYVY : CameraSubtype::YUY2;
}

// The 88-byte format record of a negotiated camera format.
VideoInfoHeader FormatBlock(const CameraFormat& format)
{
    VideoInfoHeader f;
    f.AvgTimePerFrame = format.averageTimePerFrame;
    BitmapInfoHeader& h = f.bmiHeader;
    h.biWidth = format.width;
    h.biHeight = format.height;
    h.biBitCount = format.subtype == CameraSubtype::MJPG ? 24 : 16;
    h.biCompression = FourCcOf(format.subtype);
    h.biSizeImage = static_cast<std::uint32_t>(format.width) * format.height * (h.biBitCount / 8);
    f.dwBitRate = BitRateOf(f.AvgTimePerFrame, h.biSizeImage);
    return f;
}

void SetRequestedSubtype(VideoInfoHeader& format)
{
    format.bmiHeader.biCompression = useMjpg.load() == 1 ? kFourCcMjpg : kFourCcYuy2;
}

int ResultCode(CameraStatus status)
{
    return static_cast<int>(status);
}

int GraphEventFor(CameraStatus status)
{
    return status == CameraStatus::Gone ? EC_DEVICE_LOST : EC_ERRORABORT;
}
} // namespace

CCaptureGraph::CCaptureGraph(QWidget* previewParent)
    : QObject(previewParent), m_preview(new CapturePreview(previewParent))
{
}

CCaptureGraph::~CCaptureGraph()
{
    StopPreview();
    ReleaseAll(); // joins the streaming thread before the preview goes
    delete m_preview.data();
}

void CCaptureGraph::SetBackend(std::shared_ptr<CameraBackend> backend)
{
    m_preferredBackend = std::move(backend);
}

void CCaptureGraph::SetLiveFrameHooks(LiveFrameHooks hooks)
{
    m_hooks = std::move(hooks);
    m_preview->SetPainters(m_hooks);
}

void CCaptureGraph::SetNotifyWindows(QObject* notifyWindow, QWidget* ownerWindow)
{
    m_notifyWindow = notifyWindow;
    m_ownerWindow = ownerWindow;
    m_deviceCount = 0;
}

int CCaptureGraph::CreateDeviceEnumerator()
{
    m_enumerator = m_preferredBackend ? m_preferredBackend : ProcessCameraBackend();
    return m_enumerator ? 1 : 0;
}

int CCaptureGraph::InitCaptureFilters()
{
    if (m_camera) {
        return 1;
    }
    if (!m_enumerator || m_currentDevice < 0 || !m_table[m_currentDevice].moniker) {
        return 0;
    }
    CameraStatus status = CameraStatus::Failed;
    m_camera = m_enumerator->Open(*m_table[m_currentDevice].moniker, &status);
    if (!m_camera) {
        ReleaseAll();
        m_startFailure = status == CameraStatus::Ok ? CameraStatus::Failed : status;
        return 0;
    }
    m_hasStillPin = m_camera->HasStillButton();
    // Shown again only after the camera has run: the retries of a camera that
    // does not start would repeat it every few seconds.
    if (!m_hasStillPin && !m_noStillPinShown) {
        m_noStillPinShown = true;
        ShowMessage(nullptr, kNoStillPinText, LoadText(txt::MsgTitle), MB_OK);
    }
    return 1;
}

void CCaptureGraph::ApplyClassDefault()
{
    const CaptureClassSizes& sizes = SizesOfClass(CaptureDeviceClass.load());
    BitmapInfoHeader& h = m_format.bmiHeader;
    h.biWidth = sizes.defaultWidth;
    h.biHeight = sizes.defaultHeight;
    captureWidth = sizes.defaultWidth;
    captureHeight = sizes.defaultHeight;
    h.biSizeImage = static_cast<std::uint32_t>(sizes.defaultWidth) * sizes.defaultHeight * 2;
    m_format.dwBitRate = BitRateOf(m_format.AvgTimePerFrame, h.biSizeImage);
}

int CCaptureGraph::SetFormatOnCamera()
{
    const BitmapInfoHeader& h = m_format.bmiHeader;
    const CameraFormat wanted{SubtypeOf(h.biCompression), h.biWidth, h.biHeight, m_format.AvgTimePerFrame};
    return ResultCode(m_camera->SetFormat(wanted));
}

void CCaptureGraph::NegotiateFormat()
{
    const int deviceClass = DecideDeviceClass(m_camera->Capabilities());
    if (deviceClass >= 0) {
        CaptureDeviceClass = deviceClass;
        useMjpg = mjpgByClass[deviceClass].load() == 1 ? 1 : 0;
    }
    m_format = FormatBlock(m_camera->CurrentFormat());
    VideoInfoHeader stored;
    if (ReadCapConfig(stored)) {
        m_format = stored;
        captureWidth = stored.bmiHeader.biWidth;
        captureHeight = stored.bmiHeader.biHeight;
    } else {
        ApplyClassDefault();
    }
    UpdateRecordFrameRate(captureWidth.load());
    SetRequestedSubtype(m_format);
    if (SetFormatOnCamera() != 0) {
        ApplyClassDefault();
        SetRequestedSubtype(m_format);
        SetFormatOnCamera();
    }
}

int CCaptureGraph::BuildGraph()
{
    if (m_built) {
        return 1;
    }
    if (m_running.load() || !m_camera) {
        return 0;
    }
    NegotiateFormat();
    // Every camera gets its live branch; the snapshot branch needs the button.
    if (!BuildLiveBranch()) {
        return 0;
    }
    if (snapshotEnabled.load() && m_hasStillPin && !BuildSnapshotBranch()) {
        return 0;
    }
    m_built = true;
    return 1;
}

int CCaptureGraph::BuildLiveBranch()
{
    const CameraFormat format = m_camera->CurrentFormat();
    const std::size_t bytes = FrameConverter::OutputSize(format.width, format.height);
    if (bytes == 0) {
        return 0;
    }
    m_liveCallback.SetSize(format.width, format.height);
    captureWidth = format.width;
    captureHeight = format.height;
    m_frame.resize(bytes);
    m_liveBranch = true;
    return 1;
}

int CCaptureGraph::BuildSnapshotBranch()
{
    m_snapshotOneShot = CaptureDeviceClass.load() == Class2592;
    m_snapshotBranch = true;
    return 1;
}

int CCaptureGraph::StartPreview()
{
    if (m_running.load()) {
        return 1;
    }
    if (!m_built) {
        return 0;
    }
    m_preview->PreparePicture();
    FrameStore.held = false;
    *m_snapshotArmed = true;
    CameraStreamSinks sinks;
    sinks.frame = [this](const CameraFrame& frame) { OnCameraFrame(frame); };
    sinks.button = [this] { OnCameraButton(); };
    sinks.streamEnded = [this](CameraStatus status) { OnStreamEnded(status); };
    const CameraStatus status = m_camera->Start(std::move(sinks));
    if (status != CameraStatus::Ok) {
        // Another program holding the camera, no permission, an unplug or a USB
        // bus that cannot carry the size: the caller shows why.
        m_camera->Stop();
        m_startFailure = status;
        QueueGraphEvent(EC_START_FAILED); // also reaches callers that restart quietly
        return 0;
    }
    m_startFailure = CameraStatus::Ok;
    m_noStillPinShown = false;
    m_running = true;
    return 1;
}

int CCaptureGraph::StopPreview()
{
    m_running = false;
    if (m_camera) {
        m_camera->Stop();
    }
    return 1;
}

int CCaptureGraph::RestartPreview()
{
    StopPreview();
    return BuildGraph() && StartPreview() ? 1 : 0;
}

int CCaptureGraph::Rebuild(const std::function<int()>& change)
{
    const bool wasRunning = m_running.load();
    StopPreview();
    RemoveDownstream();
    const int changed = change();
    if (!BuildGraph()) {
        return changed != 0 ? changed : ResultCode(CameraStatus::Failed);
    }
    if (wasRunning && !StartPreview()) {
        return changed != 0 ? changed : ResultCode(m_startFailure);
    }
    return changed;
}

void CCaptureGraph::RemoveDownstream()
{
    m_liveBranch = false;
    m_snapshotBranch = false;
    m_built = false;
}

void CCaptureGraph::ReleaseAll()
{
    m_camera.reset(); // joins the streaming thread
    if (m_preview) {
        m_preview->ReleasePicture();
    }
    m_frame = std::vector<std::uint8_t>();
    m_hasStillPin = false;
    FrameStore.Free();
}

void CCaptureGraph::TearDown()
{
    StopPreview();
    RemoveDownstream();
    ReleaseAll();
    m_startFailure = CameraStatus::Ok;
}

int CCaptureGraph::SetCaptureSize(int width, int height)
{
    captureWidth = width;
    captureHeight = height;
    if (!m_camera) {
        return -1;
    }
    return Rebuild([&] {
        m_format = FormatBlock(m_camera->CurrentFormat());
        BitmapInfoHeader& h = m_format.bmiHeader;
        h.biWidth = width;
        h.biHeight = height;
        h.biSizeImage =
            static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height) * (h.biBitCount / 8);
        m_format.dwBitRate = BitRateOf(m_format.AvgTimePerFrame, h.biSizeImage);
        // The rebuild reads the size back from the file: one that was not written
        // would silently bring back the old size.
        const bool stored = WriteCapConfig(m_format);
        SetRequestedSubtype(m_format);
        const int taken = SetFormatOnCamera();
        return taken != 0 ? taken : (stored ? 0 : ResultCode(CameraStatus::Failed));
    });
}

int CCaptureGraph::ApplyCompression()
{
    if (!m_camera) {
        return 0;
    }
    const int result = Rebuild([this] {
        CameraFormat format = m_camera->CurrentFormat();
        format.subtype = useMjpg.load() == 1 ? CameraSubtype::MJPG : CameraSubtype::YUY2;
        return ResultCode(m_camera->SetFormat(format));
    });
    return result == 0 ? 1 : 0;
}

int CCaptureGraph::SetSnapshot(int enabled)
{
    snapshotEnabled = enabled;
    return Rebuild([] { return 0; }) == 0 ? 1 : 0;
}

int CCaptureGraph::GetVideoProcAmp(VideoProcAmp** out)
{
    if (!out) {
        return 0;
    }
    *out = m_camera ? m_camera->ProcAmp() : nullptr;
    return *out ? 1 : 0;
}

void CCaptureGraph::QueueGraphEvent(int code)
{
    {
        std::lock_guard guard(m_eventLock);
        m_events.push_back(code);
    }
    if (QObject* target = m_notifyWindow.load()) {
        QCoreApplication::postEvent(target, new GraphNotifyEvent);
    }
}

int CCaptureGraph::DrainGraphEvent()
{
    std::lock_guard guard(m_eventLock);
    if (m_events.empty()) {
        return 0;
    }
    const int code = m_events.front();
    m_events.pop_front();
    return code;
}

void CCaptureGraph::OnStreamEnded(CameraStatus status)
{
    QueueGraphEvent(GraphEventFor(status));
}

void CCaptureGraph::PostStillCaptured(int origin)
{
    // A disarmed button is waiting for this answer: its own request, or the user's
    // or timer's that replaced it.
    const bool buttonWaits = m_snapshotOneShot.load() && !m_snapshotArmed->load();
    QObject* target = m_notifyWindow.load();
    if (!target) {
        *m_snapshotArmed = true;
        return;
    }
    FrameStore.Hold();
    QCoreApplication::postEvent(target,
                                new StillCapturedEvent(origin, buttonWaits ? m_snapshotArmed : nullptr));
}

void CCaptureGraph::OnCameraFrame(const CameraFrame& frame)
{
    if (!m_liveBranch || frame.width != m_liveCallback.Width() || frame.height != m_liveCallback.Height()) {
        return;
    }
    // A frame that does not convert (corrupt JPEG, short buffer) is dropped whole.
    if (!m_converter.Convert(frame, m_frame.data(), m_frame.size())) {
        return;
    }
    m_liveCallback.BufferCB(frame.sampleTime, m_frame.data(), m_frame.size());
}

void CCaptureGraph::OnCameraButton()
{
    if (!m_snapshotBranch.load() || (m_snapshotOneShot.load() && !m_snapshotArmed->load())) {
        return;
    }
    // The class-2 still grabber takes one picture and waits; disarmed before the
    // request is made, so the frame that answers it finds the button waiting.
    if (frameShown.load() == 1 && m_snapshotOneShot.load()) {
        *m_snapshotArmed = false;
    }
    m_stillCallback.BufferCB(0.0, nullptr, 0);
}
