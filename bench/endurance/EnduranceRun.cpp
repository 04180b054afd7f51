#include "EnduranceRun.h"

#include "../LiveRig.h"
#include "capture/CaptureSession.h"
#include "image/ImageFormat.h"
#include "liveview/LiveMeasureFeature.h"
#include "liveview/LivePreviewArea.h"
#include "liveview/LiveToolIds.h"
#include "liveview/LiveViewIds.h"
#include "liveview/LiveViewTools.h"
#include "measure/MeasurePainting.h"
#include "measure/MeasureUnits.h"
#include "platform/desktop/MessageBox.h"
#include "platform/media/AviCompressors.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QWidget>
#include <atomic>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::int64_t kMsPerSecond = 1000;
constexpr std::int64_t kMsPerMinute = 60 * kMsPerSecond;
// The camera's frame interval: as the virtual microscope streams, 8 frames per
// second above 1280 pixels, 15 at and below.
constexpr int kLargeFrameMs = 125;
constexpr int kSmallFrameMs = 66;
constexpr int kLargestSmallWidth = 1280;
// Distinct camera frames, cycled, so the slide drifts as it does under the camera.
constexpr int kDistinctFrames = 8;
constexpr double kDriftSecondsPerFrame = 0.5;
// What happens in each minute of frames, in seconds into the minute.
constexpr std::int64_t kRecordStartS = 0;
constexpr std::int64_t kRecordStopS = 40;
constexpr std::int64_t kStillTimesS[] = {10, 50};
constexpr std::int64_t kEffectEveryS = 15;
constexpr std::int64_t kMeasureS = 20;
constexpr std::int64_t kUndoS = 55;
// MJPEG at JPEG quality 90.
constexpr int kRecordJpegQuality = 90;
constexpr int kPercent = 100;
constexpr const char* kMagnification = "10";
constexpr const char* kUnit = "mm";

int FrameIntervalMs(int width)
{
    return width <= kLargestSmallWidth ? kSmallFrameMs : kLargeFrameMs;
}

std::vector<std::vector<std::uint8_t>> DriftingFrames(int w, int h)
{
    std::vector<std::vector<std::uint8_t>> frames;
    for (int i = 0; i < kDistinctFrames; ++i) {
        frames.push_back(CameraBytes(w, h, CameraSubtype::MJPG, i * kDriftSecondsPerFrame));
    }
    return frames;
}

// Progress on stderr, so a long run shows how far it is and where memory stands.
void ReportMinute(std::int64_t minute, const QElapsedTimer& wall)
{
    std::fprintf(stderr, "minute %lld: rss %lld kB after %.0f s\n", static_cast<long long>(minute),
                 static_cast<long long>(ResidentKb()), double(wall.elapsed()) / kMsPerSecond);
}

class Session {
public:
    explicit Session(const EnduranceOptions& options);
    ~Session();
    EnduranceFigures Run();

private:
    void BuildLiveView();
    void BuildMeasuring();
    void PrepareRecorder();
    void SwitchGuidesOn();
    void Measure(QPoint from, QPoint to);
    void OnSecond(std::int64_t second);
    void OpenRecording();
    void CloseRecording();
    void OnRecordingEnded(const RecordingResult& result);
    void Fail(const QString& why);

    EnduranceOptions m_options;
    int m_intervalMs;
    std::atomic<std::int64_t> m_frameMs{0};
    QStringList m_messages;

    // The window's side.
    QWidget m_window;
    QWidget* m_client = new QWidget(&m_window);
    QLineEdit* m_nominal = new QLineEdit(kMagnification, &m_window);
    QLineEdit* m_calibrated = new QLineEdit(&m_window);
    std::unique_ptr<LiveViewTools> m_tools;
    std::unique_ptr<LiveMeasureFeature> m_measure;
    std::unique_ptr<LiveRig> m_rig;
    QString m_pictureFolder;
    QString m_videoFolder;

    EnduranceFigures m_figures;
    std::size_t m_nextEffect = 0;
};

Session::Session(const EnduranceOptions& options)
    : m_options(options), m_intervalMs(FrameIntervalMs(options.frame.width()))
{
    SetMessageResponder([this](const QString& text, const QString&, unsigned) {
        m_messages.append(text);
        return int(IDOK);
    });
    BuildLiveView();
    m_pictureFolder = m_rig->folder.filePath("Pictures");
    m_videoFolder = m_rig->folder.filePath("Videos");
    QDir().mkpath(m_pictureFolder);
    QDir().mkpath(m_videoFolder);
    BuildMeasuring();
    CaptureSession& session = m_rig->session;
    session.SetStillTarget([this] { return StillTarget{m_pictureFolder, kImageFormatJpeg, kMagnification}; });
    QObject::connect(&session, &CaptureSession::stillSaved, [this] { ++m_figures.stills; });
    QObject::connect(&session, &CaptureSession::stillFailed,
                     [this](const QString& text) { Fail("a still was not saved: " + text); });
    QObject::connect(&session, &CaptureSession::recordingEnded,
                     [this](RecordingEnd, const RecordingResult& result) { OnRecordingEnded(result); });
    PrepareRecorder();
    SwitchGuidesOn();
    Measure(QPoint(100, 100), QPoint(400, 300));
}

// Effects and guides hooked into a capture session, as the window wires them.
void Session::BuildLiveView()
{
    const QSize frame = m_options.frame;
    LiveViewTools::Parts tools;
    tools.connected = [] { return true; };
    tools.guideScale = [frame] {
        GuideScale scale;
        scale.magnification = QString(kMagnification).toDouble();
        scale.unit = kUnit;
        scale.cameraClass = Class2592;
        scale.frame = frame;
        return scale;
    };
    m_tools = std::make_unique<LiveViewTools>(std::move(tools));
    // The recorder places frames on its time line by the frames' own time.
    m_rig = std::make_unique<LiveRig>(frame.width(), frame.height(), CameraSubtype::MJPG, LiveViewHooks{},
                                      [this] { return m_frameMs.load(); });
    // The preview shown at its place's size, so every frame is composed into it and
    // the queued repaints are painted.
    CapturePreview* preview = m_rig->graph.Preview();
    preview->resize(livearea::kWidth, livearea::kHeight);
    preview->show();
}

// Live measuring comes after the session; then the session gets the live view's
// drawings, once, as the window hands them over.
void Session::BuildMeasuring()
{
    LiveMeasureFeature::Parts measure;
    measure.window = &m_window;
    measure.client = m_client;
    measure.nominal = m_nominal;
    measure.calibrated = m_calibrated;
    measure.calibrationFile = m_rig->folder.filePath("CalibrationIni.ini");
    const QSize frame = m_options.frame;
    measure.settings = [frame] {
        LiveMeasureSettings live;
        live.style.labelFont = DefaultMeasureFont();
        live.unit = kUnit;
        live.unitsPerPixel = unitsPerPixel(kUnit, Class2592, frame);
        return live;
    };
    m_measure = std::make_unique<LiveMeasureFeature>(measure);
    m_rig->session.SetLiveViewHooks(
        {m_tools->Effects(), m_measure->PreviewPainter(), m_tools->PreviewOverlays()});
    m_rig->session.SetStillPainters({m_tools->StillOverlays(), m_measure->StillPainter()});
}

Session::~Session()
{
    m_rig->session.StopRecording(RecordingEnd::Closing);
    SetMessageResponder(nullptr);
}

void Session::PrepareRecorder()
{
    for (const AviCompressor& compressor : InstalledCompressors()) {
        if (QByteArray(compressor.encoder) == "mjpeg") {
            const AviCompressOptions options =
                OptionsFor(compressor, kRecordJpegQuality * kQualityBest / kPercent);
            if (m_rig->session.Recorder().PrepareCompressor(m_videoFolder, options, m_options.frame.width(),
                                                            m_options.frame.height())) {
                return;
            }
        }
    }
    Fail("the MJPEG compressor is not installed");
}

void Session::SwitchGuidesOn()
{
    for (const int id :
         {liveviewids::kCrosshairCommand, liveviewids::kScaleLineCommand, liveviewids::kCircleGridCommand}) {
        m_tools->OnCommand(id);
    }
}

// A line measurement by its three clicks: start, end, label.
void Session::Measure(QPoint from, QPoint to)
{
    CLiveMeasureHost& host = m_measure->Host();
    host.SelectTool(liveids::kLineButton);
    for (const QPoint& p : {from, to, (from + to) / 2 + QPoint(0, 20)}) {
        host.OnMouseMove(p + livearea::kOrigin);
        host.OnLeftButtonDown(p + livearea::kOrigin);
    }
}

void Session::OnSecond(std::int64_t second)
{
    const std::int64_t inMinute = second % 60;
    if (inMinute == kRecordStartS) {
        OpenRecording();
    }
    if (inMinute == kRecordStopS) {
        CloseRecording();
    }
    for (const std::int64_t at : kStillTimesS) {
        if (inMinute == at) {
            // What F2 does once it has seen the preview run.
            m_rig->session.RequestStill(StillOriginUser);
        }
    }
    if (inMinute % kEffectEveryS == 0) {
        const auto& buttons = liveviewids::kEffectButtons;
        m_tools->OnCommand(buttons[m_nextEffect++ % std::size(buttons)].id);
    }
    if (inMinute == kMeasureS) {
        Measure(QPoint(50 + int(second % 7) * 10, 400), QPoint(500, 60));
    }
    if (inMinute == kUndoS) {
        m_measure->OnCommand(liveids::kUndoCommand);
    }
}

void Session::OpenRecording()
{
    const RecorderOpenResult opened = m_rig->session.StartRecording(m_videoFolder, kNoTimeLimit);
    if (!opened.ok()) {
        Fail("a recording did not open: " + opened.message);
    }
}

void Session::CloseRecording()
{
    m_rig->session.StopRecording(RecordingEnd::User);
}

void Session::OnRecordingEnded(const RecordingResult& result)
{
    if (result.path.isEmpty() || result.error != 0 || result.frames <= 0) {
        Fail(QString("a recording did not finish whole (error %1, %2 frames)")
                 .arg(result.error)
                 .arg(result.frames));
        return;
    }
    ++m_figures.recordings;
    m_figures.recordedFrames += result.frames;
    // Half an hour of large frames would fill the disk; the file was finished.
    QFile::remove(result.path);
}

void Session::Fail(const QString& why)
{
    if (m_figures.failure.isEmpty()) {
        m_figures.failure = why;
    }
}

EnduranceFigures Session::Run()
{
    const int w = m_options.frame.width(), h = m_options.frame.height();
    const std::vector<std::vector<std::uint8_t>> frames = DriftingFrames(w, h);
    QElapsedTimer wall;
    wall.start();
    const std::int64_t endMs = m_options.minutes * kMsPerMinute;
    const std::int64_t warmupMs = m_options.warmupMinutes * kMsPerMinute;
    std::int64_t nextSecond = 0;
    for (std::int64_t n = 0;; ++n) {
        const std::int64_t ms = n * m_intervalMs;
        m_frameMs = ms;
        // Resident memory at the same point of a minute: the recording closed and the
        // next one not yet opened.
        if (ms >= warmupMs && m_figures.rssWarmupKb == 0) {
            m_figures.rssWarmupKb = ResidentKb();
        }
        if (ms % kMsPerMinute < m_intervalMs) {
            ReportMinute(ms / kMsPerMinute, wall);
        }
        if (ms >= endMs) {
            break;
        }
        while (nextSecond * kMsPerSecond <= ms) {
            OnSecond(nextSecond++);
        }
        const std::vector<std::uint8_t>& bytes = frames[std::size_t(n % kDistinctFrames)];
        const CameraFrame frame{CameraSubtype::MJPG,      w, h, bytes.data(), bytes.size(),
                                double(ms) / kMsPerSecond};
        m_rig->graph.OnCameraFrame(frame);
        ++m_figures.frames;
        QCoreApplication::processEvents();
    }
    m_figures.rssEndKb = ResidentKb();
    m_figures.seconds = double(wall.elapsed()) / kMsPerSecond;
    if (!m_rig->session.State().frameShown.load()) {
        Fail("no frame reached the preview");
    }
    CloseRecording();
    return m_figures;
}

} // namespace

std::int64_t ResidentKb()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().simplified().split(' ');
    if (fields.size() < 2) {
        return 0;
    }
    return fields[1].toLongLong() * std::int64_t(sysconf(_SC_PAGESIZE)) / 1024;
}

EnduranceFigures RunEndurance(const EnduranceOptions& options)
{
    Session session(options);
    return session.Run();
}
