#pragma once
// The capture graph: finds the microscope, negotiates its format, builds the live
// and snapshot branches, starts and stops the stream and queues its events. The
// picture it delivers is shown by its CapturePreview (main window control 1000),
// which it creates and owns. One graph exists for the whole process.
//
// Threads: every operation runs on the window thread. The camera's streaming
// thread runs the live callback (CLiveFrameCallback), which paints through the
// preview, and the camera button callback (CStillTriggerCallback).
#include "capture/CapConfig.h"
#include "capture/CaptureNotice.h"
#include "capture/CapturePreview.h"
#include "capture/CaptureState.h"
#include "capture/FrameCounters.h"
#include "capture/LiveFrameCallback.h"
#include "capture/LiveFrameHooks.h"
#include "platform/camera/CameraBackend.h"
#include "platform/camera/FrameConverter.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <array>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

inline constexpr int kCaptureDeviceRows = 25;

// One row of the device table.
struct CaptureDeviceEntry {
    int hardwareIdIndex = -1; // index into SupportedHardwareIds(), or -1
    int selected = 0;
    QString displayName;                             // up to 255 characters
    QString friendlyName;                            // up to 255 characters
    std::shared_ptr<const CameraDeviceInfo> moniker; // empty: unused row
};
using CaptureDeviceTable = std::array<CaptureDeviceEntry, kCaptureDeviceRows>;

// Sensor class from a camera's capabilities: the first of 2592 x 1944, 1600 x 1200,
// 1280 x 1024 offered as YUY2, UYVY or MJPG gives class 2, 1 or 0; -1 when none is.
int DecideDeviceClass(const std::vector<CameraCapability>& capabilities);

class CCaptureGraph : public QObject {
    Q_OBJECT
public:
    // The preview is made a child of `previewParent`; `state` is the session's and
    // outlives the graph.
    CCaptureGraph(CaptureState& state, QWidget* previewParent);
    ~CCaptureGraph() override;

    // The backend to use; without one CreateDeviceEnumerator takes ProcessCameraBackend().
    void SetBackend(std::shared_ptr<CameraBackend> backend);
    // Set before the preview starts.
    void SetLiveFrameHooks(LiveFrameHooks hooks);

    // Operations. Those returning int give 1 for success and 0 for failure, all but
    // SetCaptureSize, which gives 0 for success and a nonzero code otherwise.
    // Where the still and graph notices are posted (the capture session).
    void SetNotifyWindow(QObject* notifyWindow);
    int CreateDeviceEnumerator();
    // When no device can be chosen, the table, the choice and the hardware id stay
    // as they were, so the chosen device is taken again when it comes back.
    int FindDevices();
    int InitCaptureFilters();
    int BuildGraph();
    // 0 when the camera does not start; startFailure() tells why.
    int StartPreview();
    int StopPreview();
    // Stop, build, start (after a still from the camera button or while recording).
    int RestartPreview();
    void TearDown();
    int SelectDevice(int index);
    // 0 when the camera took the size and runs again as before, else a nonzero code:
    // the camera's refusal, a CapConfig.dat that could not be written, or a restart
    // that failed; -1 without a camera.
    int SetCaptureSize(int width, int height);
    // Both rebuild the graph and restart it when it ran: 0 when the camera refused
    // the change or did not start again.
    int ApplyCompression();
    int SetSnapshot(int enabled);
    int IsDevicePresent();
    // Takes one queued graph event (WM_GRAPH_NOTIFY); returns its code, 0 when none.
    int DrainGraphEvent();
    // The camera's picture properties; 0 (and *out empty) without a camera or when
    // it has none. The handle may be kept: once the camera is torn down or gone its
    // calls fail instead of reaching a closed or reused device.
    int GetVideoProcAmp(std::shared_ptr<VideoProcAmp>* out);

    // Why the camera last failed to open or start, or why its stream ended (Busy,
    // Denied, Gone, Bandwidth, ...); Ok once it runs, and after TearDown.
    CameraStatus startFailure() const { return m_startFailure; }

    const CaptureDeviceTable& DeviceTable() const { return m_table; }
    int deviceCount() const { return m_deviceCount; }
    int currentDevice() const { return m_currentDevice; } // -1 when none
    QString hardwareId() const { return m_hardwareId; }
    // What the chosen camera is known by wherever it is plugged in; empty when none is chosen.
    QString cameraIdentity() const;
    bool built() const { return m_built; }
    bool running() const { return m_running.load(); }
    bool hasStillPin() const { return m_hasStillPin; }
    const VideoInfoHeader& format() const { return m_format; }

    // The camera layer in use (null before CreateDeviceEnumerator) and what the
    // running preview did with its frames.
    std::shared_ptr<CameraBackend> Backend() const { return m_enumerator; }
    const FrameCounters& Counters() const { return m_counters; }

    // The live picture's window.
    CapturePreview* Preview() const { return m_preview; }
    // The preview's side, for callers that hold the graph; marks the frame shown.
    int PaintFrame(const std::uint8_t* pixels, int width, int height);
    // A smaller picture of a frame of `frameSize`.
    int PaintFrame(const std::uint8_t* pixels, int width, int height, QSize frameSize);
    void EnterFullScreen() { m_preview->EnterFullScreen(); }
    void LeaveFullScreen() { m_preview->LeaveFullScreen(); }
    void SetStatusMessage(const QString& text) { m_preview->SetStatusMessage(text); }
    QString statusMessage() const { return m_preview->statusMessage(); }
    void SetFullScreenHint(const QString& text) { m_preview->SetFullScreenHint(text); }
    void SetMeasureScale(double x, double y) { m_preview->SetMeasureScale(x, y); }
    double measureScaleX() const { return m_preview->measureScaleX(); }
    double measureScaleY() const { return m_preview->measureScaleY(); }
    QImage PreviewPicture() const { return m_preview->PreviewPicture(); }

    CLiveFrameCallback& LiveCallback() { return m_liveCallback; }
    CStillTriggerCallback& StillCallback() { return m_stillCallback; }

    // Streaming-thread entries from the camera: convert and run the live callback;
    // turn a button press into a still request when the snapshot branch is built.
    void OnCameraFrame(const CameraFrame& frame);
    void OnCameraButton();

    // Used by the live callback.
    const LiveFrameHooks& hooks() const { return m_hooks; }
    // The live effects on a frame; one frame at a time, whether the live callback's
    // or one the frame store converts when it is taken.
    void ApplyEffects(std::uint8_t* pixels, int width, int height);
    CaptureState& State() const { return m_state; }
    // Posts WM_STILL_CAPTURED for an answered still request.
    void PostStillCaptured(int origin);

signals:
    // Something the user should be told (a camera without its button, a button
    // that may not be read); the window shows it.
    void notice(const QString& text, CaptureNoticeLevel level);

private:
    // Stops the stream, takes the branches down, applies `change` (its result is
    // kept), builds again and restarts when the stream ran before. Returns the
    // change's code, or when that is 0 the code of a failed build or restart.
    int Rebuild(const std::function<int()>& change);
    // False when the camera is busy, gone or not ours to use (startFailure() says which).
    bool NegotiateFormat();
    void ApplyClassDefault();
    int SetFormatOnCamera();
    int BuildLiveBranch();
    int BuildSnapshotBranch();
    void RemoveDownstream();
    void ReleaseAll();
    // The camera's reports, taken to the window thread; `run` is the stream they
    // came from, so a report of an earlier stream is dropped.
    void PostToWindowThread(std::function<void()> call);
    CameraStreamSinks SinksFor(unsigned run);
    // The bus cannot carry the camera's mode: starts the first lighter one that runs.
    CameraStatus StartLighterMode(unsigned run);
    void TellLighterMode(const CameraFormat& refused, const CameraFormat& running);
    void OnStreamEnded(CameraStatus status, unsigned run);
    void OnCameraNotice(CameraNotice notice, unsigned run);
    void OnButtonAttached();
    void TellButtonDenied();
    void TellNoButton();
    void QueueGraphEvent(int code);

    CaptureState& m_state;
    QPointer<CapturePreview> m_preview;
    std::shared_ptr<CameraBackend> m_preferredBackend;
    std::shared_ptr<CameraBackend> m_enumerator; // the device enumerator
    std::unique_ptr<CameraDevice> m_camera;      // the capture filter
    LiveFrameHooks m_hooks;

    CaptureDeviceTable m_table;
    int m_deviceCount = 0;
    int m_currentDevice = -1;
    QString m_hardwareId;

    VideoInfoHeader m_format;
    bool m_built = false;
    std::atomic<bool> m_running{false};
    CameraStatus m_startFailure = CameraStatus::Ok;
    bool m_noStillPinShown = false;  // the missing-button box, since the camera last ran
    bool m_buttonDeniedTold = false; // the unreadable-button box, once per run of the program
    QString m_lighterModeTold;       // the last lighter-mode notice, not repeated
    // A camera's button device comes a moment after its video node: the missing-button
    // box waits this long after the start for it.
    QTimer* m_noButtonTimer = nullptr;
    unsigned m_run = 0; // counts the streams started, window thread only
    bool m_hasStillPin = false;
    bool m_liveBranch = false;
    std::atomic<bool> m_snapshotBranch{false};
    std::atomic<bool> m_snapshotOneShot{false};
    // The class-2 still grabber takes one picture and then waits: the button is
    // disarmed by the request it makes and armed again when the graph restarts or
    // that request's notice has been handled or replaced. Shared with the notices.
    std::shared_ptr<std::atomic<bool>> m_snapshotArmed = std::make_shared<std::atomic<bool>>(true);

    std::atomic<QObject*> m_notifyWindow{nullptr}; // read by the streaming thread

    CLiveFrameCallback m_liveCallback{*this};
    CStillTriggerCallback m_stillCallback{m_state};
    FrameConverter m_converter;
    FrameCounters m_counters;
    std::vector<std::uint8_t> m_frame; // the live branch's buffer, reused
    std::mutex m_effectsLock;

    mutable std::mutex m_eventLock;
    std::deque<int> m_events;
};
