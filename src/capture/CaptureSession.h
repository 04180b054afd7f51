#pragma once
// The capture session: the one owner of everything a running microscope needs —
// the capture graph, the recorder, the frame store, the still request, the capture
// lock and the capture format. The main window holds one session; it asks it for
// stills and recordings and listens to its signals, and reads a copy of the format.
// Nothing here shows a message: results and notices go up to the window.
//
// Threads: every method runs on the window thread. The graph's streaming thread
// reaches the session's state through the live callback, and the recorder through
// the frame hook the session installs.
#include "capture/CCaptureGraph.h"
#include "capture/CaptureNotice.h"
#include "capture/CaptureState.h"
#include "capture/StillSaver.h"
#include "capture/VideoRecorder.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QImage;
class QWidget;

// Where the next still goes; asked of the window when the still is saved.
struct StillTarget {
    QString pictureFolder;
    int imageFormat = 0;   // kImageFormatBmp or JPEG
    QString magnification; // empty: names without the magnification
};

// The live view's drawing and effects, installed once before the preview starts.
struct LiveViewHooks {
    std::function<void(std::uint8_t* pixels, int width, int height)> applyEffects;
    std::function<void(QPainter& painter, double scaleX, double scaleY)> paintMeasurements;
    std::function<void(QPainter& painter, const QSize& size)> paintOverlays;
};

// Why a recording ended.
enum class RecordingEnd {
    User,        // the AVI button or F3/F4
    TimeLimit,   // the time limit was reached
    Preview,     // the Preview button
    WriteFailed, // the file could not be written (full disk, ...)
    CameraGone,  // the microscope was unplugged
    Closing,     // the program ends
};

// The answer to a capture size change.
enum class SizeChange {
    Done,
    Refused,               // the camera refused it, or did not start again at it
    RefusedWhileRecording, // a recording runs: its frames must keep one size
};

class CaptureSession : public QObject {
    Q_OBJECT
public:
    // The preview is made a child of `previewParent`. `clock` drives the recorder's
    // time line (tests give their own).
    explicit CaptureSession(QWidget* previewParent, VideoRecorder::Clock clock = {});
    ~CaptureSession() override;
    CaptureSession(const CaptureSession&) = delete;
    CaptureSession& operator=(const CaptureSession&) = delete;

    CCaptureGraph& Graph() const { return *m_graph; }
    VideoRecorder& Recorder() { return m_recorder; }
    CaptureFormat Format() const { return m_state.Format(); }
    // Bytes of the last live frame (0 before the first).
    std::size_t StoredFrameBytes() const { return m_state.FrameStore.FrameBytes(); }
    // Capture-internal state, for the capture dialogs and tests.
    CaptureState& State() { return m_state; }

    // Wiring, once at start-up.
    void SetLiveViewHooks(LiveViewHooks hooks);
    void SetStillPainters(StillPainters painters) { m_stillPainters = std::move(painters); }
    void SetStillTarget(std::function<StillTarget()> target) { m_stillTarget = std::move(target); }
    // The stored snapshot switch, before the camera starts.
    void SetSnapshotSwitch(bool enabled) { m_state.snapshotEnabled = enabled ? 1 : 0; }

    // Stills: the next live frame answers the request; stillSaved or stillFailed follows.
    void RequestStill(int origin = StillOriginUser) { m_state.StillRequest.Request(origin); }
    // Saves the stored frame as the next still now (the answer to a still notice).
    StillResult SaveStill(int origin);
    // Saves a picture made from live frames (a focus stack) as the next still, with the
    // live drawings burned in like any still; stillSaved or stillFailed follows.
    StillResult SaveComposedStill(const QImage& picture, int origin);

    // Capture size and camera format.
    SizeChange SetCaptureSize(int width, int height);
    // The high or low size of the microscope's class.
    SizeChange SetCaptureSizeOfClass(bool high);
    // MJPG or YUY2 for the current class; false when the camera refused it.
    bool SetCompression(bool mjpg);

    // Recording.
    bool IsRecording() const { return m_recording; }
    // Opens the next recording of the folder at the capture size; the seconds count
    // from 0 up to `timeLimit` (kNoTimeLimit: none).
    RecorderOpenResult StartRecording(const QString& videoFolder, int timeLimit);
    // Ends the recording at this moment; recordingEnded follows. Nothing when none runs.
    void StopRecording(RecordingEnd reason);
    // One tick of the window's seconds timer: counts, or ends the recording at the limit.
    SecondsStep TickRecordSeconds();
    int RecordSeconds() const { return m_recorder.seconds(); }

    // Ends everything (closing the program): the recording, then the camera.
    void TearDown();

signals:
    void stillSaved(const QString& path, int origin);
    void stillFailed(const QString& text);
    // A notice the user should see (a folder named like a file, a camera without
    // its button, ...).
    void notice(const QString& text, CaptureNoticeLevel level);
    // A graph event (EC_START_FAILED, EC_ERRORABORT, EC_DEVICE_LOST).
    void graphEvent(int code);
    void recordingChanged(bool recording);
    void recordingSeconds(int seconds);
    void recordingEnded(RecordingEnd reason, const RecordingResult& result);

protected:
    bool event(QEvent* event) override;

private:
    StillJob NextStillJob(int width, int height) const;
    void InstallFrameHooks();

    CaptureState m_state;
    VideoRecorder m_recorder;
    std::unique_ptr<CCaptureGraph> m_graph;
    LiveViewHooks m_liveView;
    StillPainters m_stillPainters;
    std::function<StillTarget()> m_stillTarget;
    bool m_recording = false;
};
