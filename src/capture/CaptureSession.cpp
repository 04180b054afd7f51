#include "capture/CaptureSession.h"

#include "capture/CaptureEvents.h"
#include "capture/RecordingFiles.h"
#include "platform/text/TextCatalogue.h"

#include <QCoreApplication>
#include <QImage>
#include <cstring>
#include <new>
#include <vector>

CaptureSession::CaptureSession(QWidget* previewParent, VideoRecorder::Clock clock)
    : m_recorder(std::move(clock), &m_state.captureLock),
      m_graph(std::make_unique<CCaptureGraph>(m_state, previewParent))
{
    m_recorder.ClearCompressorOptions();
    m_recorder.SetWriteFailedHandler([this] {
        QMetaObject::invokeMethod(
            this, [this] { StopRecording(RecordingEnd::WriteFailed); }, Qt::QueuedConnection);
    });
    connect(m_graph.get(), &CCaptureGraph::notice, this, &CaptureSession::notice);
    m_graph->SetNotifyWindow(this);
    InstallFrameHooks();
}

CaptureSession::~CaptureSession()
{
    // The stream ends before the recorder and the state it writes into go.
    m_graph.reset();
}

void CaptureSession::SetLiveViewHooks(LiveViewHooks hooks)
{
    m_liveView = std::move(hooks);
    InstallFrameHooks();
}

void CaptureSession::InstallFrameHooks()
{
    LiveFrameHooks hooks;
    hooks.applyEffects = m_liveView.applyEffects;
    hooks.paintMeasurements = m_liveView.paintMeasurements;
    hooks.paintOverlays = m_liveView.paintOverlays;
    VideoRecorder* recorder = &m_recorder;
    hooks.recordFrame = [recorder](const std::uint8_t* pixels, std::size_t length, int width, int height) {
        recorder->WriteFrame(pixels, length, width, height);
    };
    hooks.recording = [recorder] { return recorder->IsOpen(); };
    m_graph->SetLiveFrameHooks(std::move(hooks));
}

bool CaptureSession::event(QEvent* event)
{
    switch (static_cast<int>(event->type())) {
    case WM_STILL_CAPTURED:
        if (auto* still = dynamic_cast<StillCapturedEvent*>(event)) {
            SaveStill(still->wParam());
        }
        return true;
    case WM_GRAPH_NOTIFY:
        emit graphEvent(m_graph->DrainGraphEvent());
        return true;
    default:
        return QObject::event(event);
    }
}

StillJob CaptureSession::NextStillJob(int width, int height) const
{
    const StillTarget target = m_stillTarget ? m_stillTarget() : StillTarget{};
    StillJob job;
    job.pictureFolder = target.pictureFolder;
    job.imageFormat = target.imageFormat;
    job.magnification = target.magnification.left(kMagnificationBufferChars - 1);
    job.captureWidth = width;
    job.captureHeight = height;
    job.painters = m_stillPainters;
    return job;
}

StillResult CaptureSession::SaveStill(int origin)
{
    m_state.StillRequest.pending.store(0);
    const StillJob job = NextStillJob(m_state.captureWidth.load(), m_state.captureHeight.load());

    std::vector<std::uint8_t> frame;
    BitmapInfoHeader header;
    bool taken = false;
    try {
        taken = m_state.FrameStore.TakeFrame(frame, header);
    } catch (const std::bad_alloc&) {
        taken = false;
    }
    if (!taken) {
        emit stillFailed(QString());
        return StillResult::NoMemory;
    }
    QString saved;
    bool skippedFolder = false;
    const StillResult result = ::SaveStill(job, frame.data(), frame.size(), header, &saved, &skippedFolder);
    if (skippedFolder) {
        emit notice(QString::fromLatin1(kPictureErrorText), CaptureNoticeLevel::Information);
    }
    // The camera button's still grabber and a recording both need the stream restarted.
    if ((m_recording || origin != StillOriginUser) && m_graph->running()) {
        m_graph->RestartPreview();
    }
    if (result == StillResult::Saved) {
        emit stillSaved(saved, origin);
    } else {
        emit stillFailed(LoadText(txt::SaveFail));
    }
    return result;
}

StillResult CaptureSession::SaveComposedStill(const QImage& picture, int origin)
{
    const QImage rows = picture.convertToFormat(QImage::Format_BGR888).mirrored(false, true);
    const int width = rows.width(), height = rows.height();
    std::vector<std::uint8_t> frame(std::size_t(width) * height * 3);
    for (int y = 0; y < height && !rows.isNull(); ++y) {
        std::memcpy(frame.data() + std::size_t(y) * width * 3, rows.constScanLine(y), std::size_t(width) * 3);
    }
    QString saved;
    const StillResult result = rows.isNull() ? StillResult::NoMemory
                                             : ::SaveStill(NextStillJob(width, height), frame.data(),
                                                           frame.size(), FrameHeader(width, height), &saved);
    if (result == StillResult::Saved) {
        emit stillSaved(saved, origin);
    } else {
        emit stillFailed(LoadText(txt::SaveFail));
    }
    return result;
}

SizeChange CaptureSession::SetCaptureSize(int width, int height)
{
    if (m_recording) {
        return SizeChange::RefusedWhileRecording;
    }
    return m_graph->SetCaptureSize(width, height) == 0 ? SizeChange::Done : SizeChange::Refused;
}

SizeChange CaptureSession::SetCaptureSizeOfClass(bool high)
{
    const CaptureClassSizes& sizes = SizesOfClass(m_state.CaptureDeviceClass.load());
    return high ? SetCaptureSize(sizes.defaultWidth, sizes.defaultHeight)
                : SetCaptureSize(sizes.lowWidth, sizes.lowHeight);
}

bool CaptureSession::SetCompression(bool mjpg)
{
    const int deviceClass = m_state.CaptureDeviceClass.load();
    if (deviceClass < Class1280 || deviceClass > Class2592) {
        return false;
    }
    m_state.mjpgByClass[std::size_t(deviceClass)] = mjpg ? 1 : 0;
    m_state.useMjpg = mjpg ? 1 : 0;
    return m_graph->ApplyCompression() == 1;
}

RecorderOpenResult CaptureSession::StartRecording(const QString& videoFolder, int timeLimit)
{
    if (m_recording) {
        return {};
    }
    const CaptureFormat format = m_state.Format();
    RecorderOpenResult opened =
        m_recorder.Open(videoFolder, format.recordFrameRate, format.captureWidth, format.captureHeight);
    if (opened.skippedFolder) {
        emit notice(QString::fromLatin1(kAviErrorText), CaptureNoticeLevel::Information);
    }
    if (!opened.ok()) {
        return opened;
    }
    m_recorder.StartSeconds(timeLimit);
    m_recording = true;
    emit recordingChanged(true);
    return opened;
}

void CaptureSession::StopRecording(RecordingEnd reason)
{
    if (!m_recording) {
        return;
    }
    // The file ends at the moment of the request: no frame after it, no padding past it.
    const RecordingResult result = m_recorder.Close();
    m_recording = false;
    if (reason != RecordingEnd::TimeLimit) {
        m_recorder.StopSeconds();
    }
    emit recordingChanged(false);
    emit recordingEnded(reason, result);
}

SecondsStep CaptureSession::TickRecordSeconds()
{
    const SecondsStep step = m_recorder.Tick();
    if (step == SecondsStep::Done) {
        m_recorder.StopSeconds();
        return step;
    }
    emit recordingSeconds(m_recorder.seconds());
    if (step == SecondsStep::LastTick) {
        StopRecording(RecordingEnd::TimeLimit);
    }
    return step;
}

void CaptureSession::TearDown()
{
    StopRecording(RecordingEnd::Closing);
    m_graph->TearDown();
}
