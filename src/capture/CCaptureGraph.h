#pragma once
// The capture graph: finds the microscope, negotiates its format, runs the live
// stream and paints the live picture itself (it is also the preview window, main
// window control 1000). One object exists for the whole process.
//
// Threads: every operation runs on the window thread. The camera's streaming
// thread runs the live callback (CLiveFrameCallback) and the camera button callback
// (CStillTriggerCallback); it composes the preview picture off-screen and asks for a
// repaint without blocking. The paint handler copies that picture under a short lock.
#include "capture/CapConfig.h"
#include "capture/CaptureState.h"
#include "capture/LiveFrameCallback.h"
#include "capture/LiveFrameHooks.h"
#include "platform/camera/CameraBackend.h"
#include "platform/camera/FrameConverter.h"
#include "platform/files/UniqueFd.h"

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class QSocketNotifier;

inline constexpr int kPreviewControlId = 1000;
inline constexpr int kPreviewX = 193;
inline constexpr int kPreviewY = 34;
inline constexpr int kPreviewWidth = 640;
inline constexpr int kPreviewHeight = 480;
inline constexpr int kCaptureDeviceRows = 25;
inline constexpr int kStatusTextCapacity = 128;

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

class CCaptureGraph : public QWidget {
    Q_OBJECT
public:
    explicit CCaptureGraph(QWidget* parent = nullptr);
    ~CCaptureGraph() override;

    // The backend to use; without one CreateDeviceEnumerator takes ProcessCameraBackend().
    void SetBackend(std::shared_ptr<CameraBackend> backend);
    // Set before the preview starts.
    void SetLiveFrameHooks(LiveFrameHooks hooks);

    // Operations; a result of 1 means success.
    void SetNotifyWindows(QObject* notifyWindow, QWidget* ownerWindow);
    int CreateDeviceEnumerator();
    int FindDevices();
    int InitCaptureFilters();
    int BuildGraph();
    int StartPreview();
    int StopPreview();
    void RestartPreview();
    void TearDown();
    void SelectDevice(int index);
    // Result 0 when the camera took the size, else a nonzero error code; -1 without a camera.
    int SetCaptureSize(int width, int height);
    void ApplyCompression();
    int IsDevicePresent();
    void SetSnapshot(int enabled);
    // Takes one queued graph event (WM_GRAPH_NOTIFY); returns its code, 0 when none.
    int DrainGraphEvent();
    // The camera's picture properties; *out is null (result 1) without a camera.
    int GetVideoProcAmp(VideoProcAmp** out);

    const CaptureDeviceTable& DeviceTable() const { return m_table; }
    int deviceCount() const { return m_deviceCount; }
    int currentDevice() const { return m_currentDevice; } // -1 when none
    QString hardwareId() const { return m_hardwareId; }
    bool built() const { return m_built; }
    bool running() const { return m_running.load(); }
    bool hasStillPin() const { return m_hasStillPin; }
    const VideoInfoHeader& format() const { return m_format; }

    // Composes a BGR bottom-up frame into the preview picture and asks for a repaint.
    int PaintFrame(const std::uint8_t* pixels, int width, int height);
    void EnterFullScreen();
    void LeaveFullScreen();

    // Values the main window owns and the preview shows.
    void SetStatusMessage(const QString& text); // up to 128 characters; empty hides it
    QString statusMessage() const;
    void SetFullScreenHint(const QString& text);
    void SetMeasureScale(double x, double y);
    double measureScaleX() const { return m_measureScaleX.load(); }
    double measureScaleY() const { return m_measureScaleY.load(); }
    // Overlay parameters read by the overlay drawing.
    std::atomic<double> pixelsPerUnit{0.02963};
    std::atomic<double> overlayMagnification{21.0};

    // Copy of the composed preview picture (window size).
    QImage PreviewPicture() const;
    CLiveFrameCallback& LiveCallback() { return m_liveCallback; }
    CStillTriggerCallback& StillCallback() { return m_stillCallback; }

    // Streaming-thread entries from the camera: convert and run the live callback;
    // turn a button press into a still request when the snapshot branch is built.
    void OnCameraFrame(const CameraFrame& frame);
    void OnCameraButton();

    // Used by the live callback.
    const LiveFrameHooks& hooks() const { return m_hooks; }
    void PostStillCaptured(int origin);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int OpenCamera();
    void NegotiateFormat();
    void ApplyClassDefault();
    int SetFormatOnCamera();
    int BuildLiveBranch();
    int BuildSnapshotBranch();
    void RemoveDownstream();
    void ReleaseAll();
    void OnStreamEnded(CameraStatus status);
    void QueueGraphEvent(int code);
    void RecreatePicture();
    void StretchIntoPicture(const std::uint8_t* pixels, int width, int height, int targetHeight);
    void RequestRepaint();
    void OnRepaintRequested();
    void DrawStatusTexts(QPainter& painter) const;

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
    bool m_hasStillPin = false;
    bool m_liveBranch = false;
    std::atomic<bool> m_snapshotBranch{false};
    std::atomic<bool> m_snapshotOneShot{false};
    std::atomic<bool> m_snapshotArmed{false};

    std::atomic<QObject*> m_notifyWindow{nullptr}; // read by the streaming thread
    QPointer<QWidget> m_ownerWindow;

    CLiveFrameCallback m_liveCallback{*this};
    CStillTriggerCallback m_stillCallback;
    FrameConverter m_converter;
    std::vector<std::uint8_t> m_frame; // the live branch's buffer, reused

    // The off-screen picture, written by PaintFrame and copied by the paint handler.
    mutable std::mutex m_pictureLock;
    QImage m_picture;
    std::vector<int> m_stretchColumns; // source byte offset of each target column
    int m_stretchKey[2] = {0, 0};      // source width, target width of the table

    UniqueFd m_repaintFd;
    QSocketNotifier* m_repaintNotifier = nullptr;
    std::atomic<bool> m_repaintQueued{false};

    mutable std::mutex m_eventLock;
    std::deque<int> m_events;

    mutable std::mutex m_textLock;
    QString m_statusMessage;
    QString m_fullScreenHint;
    bool m_fullScreen = false;
    QFont m_statusFont;

    std::atomic<double> m_measureScaleX{1.0};
    std::atomic<double> m_measureScaleY{1.0};
};
