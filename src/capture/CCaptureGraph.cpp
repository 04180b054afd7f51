#include "capture/CCaptureGraph.h"

#include "capture/BandwidthFallback.h"
#include "capture/CaptureEvents.h"
#include "capture/CaptureTexts.h"
#include "capture/PictureSettingsStore.h"
#include "capture/PreviewPlanning.h"
#include "platform/camera/CameraBackendFactory.h"
#include "platform/text/TextCatalogue.h"

#include <QCoreApplication>
#include <utility>

namespace {
// Fixed English text, shown when the camera has no snapshot button.
const char* const kNoStillPinText = "Init 'PIN_CATEGORY_STILL' fail";
// The camera driver registers the button's input device a moment after the video
// node; a camera without a button by then has none.
constexpr int kButtonGraceMs = 1500;

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

void SetRequestedSubtype(VideoInfoHeader& format, bool mjpg)
{
    format.bmiHeader.biCompression = mjpg ? kFourCcMjpg : kFourCcYuy2;
}

int ResultCode(CameraStatus status)
{
    return static_cast<int>(status);
}

// The camera cannot be used at all just now: no other format would help.
bool Unavailable(CameraStatus status)
{
    return status == CameraStatus::Busy || status == CameraStatus::Denied || status == CameraStatus::Gone;
}

int GraphEventFor(CameraStatus status)
{
    return status == CameraStatus::Gone ? EC_DEVICE_LOST : EC_ERRORABORT;
}
} // namespace

CCaptureGraph::CCaptureGraph(CaptureState& state, QWidget* previewParent)
    : m_state(state), m_preview(new CapturePreview(previewParent)), m_noButtonTimer(new QTimer(this))
{
    m_noButtonTimer->setSingleShot(true);
    m_noButtonTimer->setInterval(kButtonGraceMs);
    connect(m_noButtonTimer, &QTimer::timeout, this, [this] { TellNoButton(); });
    m_state.FrameStore.SetFinisher(
        [this](std::uint8_t* pixels, int width, int height) { ApplyEffects(pixels, width, height); });
}

CCaptureGraph::~CCaptureGraph()
{
    StopPreview();
    ReleaseAll(); // joins the streaming thread before the preview goes
    m_state.FrameStore.SetFinisher({});
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

void CCaptureGraph::SetNotifyWindow(QObject* notifyWindow)
{
    m_notifyWindow = notifyWindow;
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
    // The camera forgot the user's picture properties when it was unplugged.
    if (VideoProcAmp* properties = m_camera->ProcAmp()) {
        ApplyPictureValues(cameraIdentity(), *properties);
    }
    m_hasStillPin = m_camera->HasStillButton();
    // A camera without its button is told of once it runs (TellNoButton): the
    // retries of a camera that does not start would repeat the box every few seconds.
    m_noStillPinShown = false;
    return 1;
}

void CCaptureGraph::TellNoButton()
{
    // A button the user may not read has its own box (TellButtonDenied).
    if (!m_camera || !m_running.load() || m_hasStillPin || m_noStillPinShown ||
        m_camera->StillButtonDenied()) {
        return;
    }
    m_noStillPinShown = true;
    emit notice(QString::fromLatin1(kNoStillPinText), CaptureNoticeLevel::Information);
}

void CCaptureGraph::TellButtonDenied()
{
    m_noButtonTimer->stop();
    if (std::exchange(m_buttonDeniedTold, true)) {
        return;
    }
    emit notice(LoadText(txt::CameraButtonDenied), CaptureNoticeLevel::Warning);
}

void CCaptureGraph::OnButtonAttached()
{
    if (!m_camera || !m_camera->HasStillButton()) {
        return;
    }
    m_noButtonTimer->stop();
    m_hasStillPin = true;
    if (m_built && m_state.snapshotEnabled.load() && !m_snapshotBranch.load()) {
        BuildSnapshotBranch();
    }
}

void CCaptureGraph::ApplyClassDefault()
{
    const CaptureClassSizes& sizes = SizesOfClass(m_state.CaptureDeviceClass.load());
    BitmapInfoHeader& h = m_format.bmiHeader;
    h.biWidth = sizes.defaultWidth;
    h.biHeight = sizes.defaultHeight;
    m_state.captureWidth = sizes.defaultWidth;
    m_state.captureHeight = sizes.defaultHeight;
    h.biSizeImage = static_cast<std::uint32_t>(sizes.defaultWidth) * sizes.defaultHeight * 2;
    m_format.dwBitRate = BitRateOf(m_format.AvgTimePerFrame, h.biSizeImage);
}

int CCaptureGraph::SetFormatOnCamera()
{
    const BitmapInfoHeader& h = m_format.bmiHeader;
    const CameraFormat wanted{SubtypeOf(h.biCompression), h.biWidth, h.biHeight, m_format.AvgTimePerFrame};
    return ResultCode(m_camera->SetFormat(wanted));
}

bool CCaptureGraph::NegotiateFormat()
{
    const int deviceClass = DecideDeviceClass(m_camera->Capabilities());
    if (deviceClass >= 0) {
        m_state.CaptureDeviceClass = deviceClass;
        m_state.useMjpg = m_state.mjpgByClass[std::size_t(deviceClass)].load() == 1 ? 1 : 0;
    }
    m_format = FormatBlock(m_camera->CurrentFormat());
    VideoInfoHeader stored;
    if (ReadCapConfig(stored)) {
        m_format = stored;
        m_state.captureWidth = stored.bmiHeader.biWidth;
        m_state.captureHeight = stored.bmiHeader.biHeight;
    } else {
        ApplyClassDefault();
    }
    m_state.UpdateRecordFrameRate(m_state.captureWidth.load());
    SetRequestedSubtype(m_format, m_state.useMjpg.load() == 1);
    int result = SetFormatOnCamera();
    if (result != 0) {
        ApplyClassDefault();
        SetRequestedSubtype(m_format, m_state.useMjpg.load() == 1);
        result = SetFormatOnCamera();
    }
    const auto status = static_cast<CameraStatus>(result);
    if (Unavailable(status)) {
        m_startFailure = status;
        return false;
    }
    return true;
}

int CCaptureGraph::BuildGraph()
{
    if (m_built) {
        return 1;
    }
    if (m_running.load() || !m_camera) {
        return 0;
    }
    if (!NegotiateFormat()) {
        QueueGraphEvent(EC_START_FAILED); // also reaches callers that rebuild quietly
        return 0;
    }
    // Every camera gets its live branch; the snapshot branch needs the button.
    if (!BuildLiveBranch()) {
        return 0;
    }
    if (m_state.snapshotEnabled.load() && m_hasStillPin && !BuildSnapshotBranch()) {
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
    m_state.captureWidth = format.width;
    m_state.captureHeight = format.height;
    m_frame.resize(bytes);
    m_liveBranch = true;
    return 1;
}

int CCaptureGraph::BuildSnapshotBranch()
{
    m_snapshotOneShot = m_state.CaptureDeviceClass.load() == Class2592;
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
    m_state.FrameStore.held = false;
    *m_snapshotArmed = true;
    m_counters.Restart();
    const unsigned run = ++m_run;
    CameraStatus status = m_camera->Start(SinksFor(run));
    if (status == CameraStatus::Bandwidth) {
        status = StartLighterMode(run);
    }
    if (status != CameraStatus::Ok) {
        // Another program holding the camera, no permission, an unplug or a USB
        // bus that cannot carry the size: the caller shows why.
        m_camera->Stop();
        m_startFailure = status;
        QueueGraphEvent(EC_START_FAILED); // also reaches callers that restart quietly
        return 0;
    }
    m_startFailure = CameraStatus::Ok;
    m_running = true;
    if (!m_hasStillPin && m_camera->HasStillButton()) {
        OnButtonAttached(); // it came while the camera stood still: no notice was sent
    }
    if (!m_hasStillPin && !m_noStillPinShown) {
        m_noButtonTimer->start();
    }
    return 1;
}

CameraStreamSinks CCaptureGraph::SinksFor(unsigned run)
{
    CameraStreamSinks sinks;
    sinks.frame = [this](const CameraFrame& frame) { OnCameraFrame(frame); };
    sinks.button = [this] { OnCameraButton(); };
    sinks.damaged = [this] {
        ++m_counters.received;
        ++m_counters.damaged;
    };
    sinks.streamEnded = [this, run](CameraStatus status) {
        PostToWindowThread([this, status, run] { OnStreamEnded(status, run); });
    };
    sinks.notice = [this, run](CameraNotice notice) {
        PostToWindowThread([this, notice, run] { OnCameraNotice(notice, run); });
    };
    return sinks;
}

CameraStatus CCaptureGraph::StartLighterMode(unsigned run)
{
    const CameraFormat refused = m_camera->CurrentFormat();
    for (const CameraFormat& mode : LighterModes(m_camera->Capabilities(), refused)) {
        m_camera->Stop();
        if (m_camera->SetFormat(mode) != CameraStatus::Ok || !BuildLiveBranch()) {
            continue;
        }
        const CameraStatus status = m_camera->Start(SinksFor(run));
        if (status == CameraStatus::Ok) {
            // Only for this stream: the chosen size stays stored for a bus with room.
            m_format = FormatBlock(mode);
            TellLighterMode(refused, mode);
        }
        if (status != CameraStatus::Bandwidth) {
            return status;
        }
    }
    // Nothing lighter runs: the camera is left in the mode that was asked for.
    m_camera->Stop();
    m_camera->SetFormat(refused);
    BuildLiveBranch();
    return CameraStatus::Bandwidth;
}

void CCaptureGraph::TellLighterMode(const CameraFormat& refused, const CameraFormat& running)
{
    // Restarts (a still from the button, a rebuild) fall back the same way: told once.
    const QString text = LoadText(txt::CameraBandwidthFallback).arg(ModeName(refused), ModeName(running));
    if (std::exchange(m_lighterModeTold, text) != text) {
        emit notice(text, CaptureNoticeLevel::Information);
    }
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
    m_state.FrameStore.Free();
}

void CCaptureGraph::TearDown()
{
    m_noButtonTimer->stop();
    StopPreview();
    RemoveDownstream();
    ReleaseAll();
    m_startFailure = CameraStatus::Ok;
}

int CCaptureGraph::SetCaptureSize(int width, int height)
{
    m_state.captureWidth = width;
    m_state.captureHeight = height;
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
        SetRequestedSubtype(m_format, m_state.useMjpg.load() == 1);
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
        format.subtype = m_state.useMjpg.load() == 1 ? CameraSubtype::MJPG : CameraSubtype::YUY2;
        return ResultCode(m_camera->SetFormat(format));
    });
    return result == 0 ? 1 : 0;
}

int CCaptureGraph::SetSnapshot(int enabled)
{
    m_state.snapshotEnabled = enabled;
    return Rebuild([] { return 0; }) == 0 ? 1 : 0;
}

QString CCaptureGraph::cameraIdentity() const
{
    if (m_currentDevice < 0 || !m_table[m_currentDevice].moniker) {
        return {};
    }
    return m_table[m_currentDevice].moniker->key;
}

int CCaptureGraph::GetVideoProcAmp(std::shared_ptr<VideoProcAmp>* out)
{
    if (!out) {
        return 0;
    }
    *out = m_camera ? m_camera->SharedProcAmp() : nullptr;
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

void CCaptureGraph::PostToWindowThread(std::function<void()> call)
{
    // Calls still queued when the graph goes are dropped with it; its destructor
    // joins the streaming thread first.
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void CCaptureGraph::OnStreamEnded(CameraStatus status, unsigned run)
{
    if (run != m_run || !m_running.load()) {
        return; // a stream that was stopped or replaced since
    }
    // The camera gave up restarting: the graph no longer runs, so re-detection
    // starts it afresh instead of keeping it for its device being present.
    StopPreview();
    m_startFailure = status == CameraStatus::Ok ? CameraStatus::Failed : status;
    QueueGraphEvent(GraphEventFor(status));
}

void CCaptureGraph::OnCameraNotice(CameraNotice notice, unsigned run)
{
    if (run != m_run || !m_camera) {
        return;
    }
    switch (notice) {
    case CameraNotice::ButtonAttached:
        OnButtonAttached();
        break;
    case CameraNotice::ButtonDenied:
        TellButtonDenied();
        break;
    }
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
    m_state.FrameStore.Hold();
    QCoreApplication::postEvent(target,
                                new StillCapturedEvent(origin, buttonWaits ? m_snapshotArmed : nullptr));
}

int CCaptureGraph::PaintFrame(const std::uint8_t* pixels, int width, int height)
{
    return PaintFrame(pixels, width, height, QSize(width, height));
}

int CCaptureGraph::PaintFrame(const std::uint8_t* pixels, int width, int height, QSize frameSize)
{
    if (!m_preview->PaintFrame(pixels, width, height, frameSize)) {
        return 0;
    }
    m_state.frameShown = 1;
    ++m_counters.shown;
    return 1;
}

void CCaptureGraph::OnCameraFrame(const CameraFrame& frame)
{
    if (!m_liveBranch || frame.width != m_liveCallback.Width() || frame.height != m_liveCallback.Height()) {
        return;
    }
    ++m_counters.received;
    // The picture's size is read for every frame, so full screen, a resized window or
    // another capture size take effect with the next frame.
    const bool recording = m_hooks.recording && m_hooks.recording();
    const PreviewPlan plan =
        recording ? PreviewPlan{frame.width, frame.height, 1, false}
                  : PlanPreview(frame.subtype, frame.width, frame.height, m_preview->PictureSize());
    // A frame that does not convert (corrupt JPEG, short buffer) is dropped whole.
    if (!m_converter.ConvertForPreview(frame, plan, m_frame.data(), m_frame.size())) {
        ++m_counters.damaged;
        return;
    }
    m_counters.previewWidth = plan.width;
    m_counters.previewHeight = plan.height;
    if (plan.Full()) {
        m_liveCallback.BufferCB(frame.sampleTime, m_frame.data(), m_frame.size());
    } else {
        m_liveCallback.PreviewCB(frame, m_frame.data(), plan.width, plan.height);
    }
}

void CCaptureGraph::ApplyEffects(std::uint8_t* pixels, int width, int height)
{
    if (m_hooks.applyEffects) {
        std::lock_guard guard(m_effectsLock);
        m_hooks.applyEffects(pixels, width, height);
    }
}

void CCaptureGraph::OnCameraButton()
{
    if (!m_snapshotBranch.load() || (m_snapshotOneShot.load() && !m_snapshotArmed->load())) {
        return;
    }
    // The class-2 still grabber takes one picture and waits; disarmed before the
    // request is made, so the frame that answers it finds the button waiting.
    if (m_state.frameShown.load() == 1 && m_snapshotOneShot.load()) {
        *m_snapshotArmed = false;
    }
    m_stillCallback.BufferCB(0.0, nullptr, 0);
}
