#pragma once
// Collects the frames of a focus series from the live picture. With a camera that has
// a focus control it sweeps the focus from near to far in even steps and takes one
// frame per step once the picture has settled (two frames stored after each move and a
// pause); without one the user turns the focus wheel and it keeps each frame whose
// sharpness differs from all it has kept, until told to finish or it has 30.
#include "platform/camera/CameraBackend.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

class CaptureSession;

inline constexpr int kFocusStepsDefault = 10;
inline constexpr int kFocusStepsMin = 3;
inline constexpr int kFocusStepsMax = 30;
inline constexpr int kManualFramesMax = 30;

class FocusSeriesCollector : public QObject {
    Q_OBJECT
public:
    explicit FocusSeriesCollector(CaptureSession& session, QObject* parent = nullptr);
    // Starts collecting (steps clamped to 3..30 for a sweep); false when collecting already.
    bool Start(int steps);
    bool IsCollecting() const { return m_timer.isActive(); }
    // True when the running collection sweeps a focus control.
    bool Sweeps() const { return m_camera != nullptr; }
    // Stops collecting by hand and hands over what was kept (collected follows).
    void Finish();
    // Stops and drops every frame; the focus goes back where it was.
    void Cancel();
    // The collected frames (RGB888, top-down), leaving none behind.
    std::vector<QImage> TakeFrames();

signals:
    // Frames kept so far, and the number wanted (0 when the user decides).
    void progress(int frames, int total);
    void collected();

private:
    void OnTick();
    void SweepTick();
    void ManualTick();
    double StoredFrameTime();
    bool NewFrameArrived();
    QImage LatestFrame();
    void MoveFocus(int index);
    void Stop();

    CaptureSession& m_session;
    QTimer m_timer;
    std::shared_ptr<VideoProcAmp> m_camera; // set while sweeping
    int m_minimum = 0, m_maximum = 0, m_step = 1, m_original = 0;
    int m_steps = 0, m_index = 0, m_newFrames = 0;
    double m_seenTime = -1.0;
    QElapsedTimer m_sinceMove;
    std::vector<QImage> m_frames;
    std::vector<double> m_sharpness;
};
