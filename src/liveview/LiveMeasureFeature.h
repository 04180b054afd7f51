#pragma once
// Live measuring as the main window sees it: one object that owns the calibration
// state and the live host, takes the window's commands and mouse events, sets the
// tool buttons' pressed look and grabs the mouse while a measurement is open, and
// hands out the painters for preview frames and stills.
#include "capture/CaptureState.h"
#include "liveview/CLiveMeasureHost.h"
#include "liveview/LiveCalibration.h"
#include "liveview/LiveOverlays.h"

#include <functional>
#include <memory>

class CBitmapButton;
class QLineEdit;
class QMouseEvent;
class QPainter;
class QWidget;

class LiveMeasureFeature {
public:
    struct Parts {
        QWidget* window = nullptr;       // owns the dialog and message boxes, gets the done message
        QWidget* client = nullptr;       // the window's client area: positions and mouse grab
        QLineEdit* nominal = nullptr;    // magnification box 1147
        QLineEdit* calibrated = nullptr; // calibrated box 1196
        QString calibrationFile;
        std::function<CBitmapButton*(int id)> button;
        std::function<LiveMeasureSettings()> settings;
        // The capture session's format now (sensor class and capture size).
        std::function<CaptureFormat()> captureFormat;
        // The last live frame, read by the calibration from a slide.
        FrameStoreData* frameStore = nullptr;
        // Draws the effect buttons released (the tool commands and a right-click in
        // the preview release every latched button of the window).
        std::function<void()> releaseEffectButtons;
    };
    using Painter = std::function<void(QPainter& painter, double fx, double fy)>;

    explicit LiveMeasureFeature(const Parts& parts);

    // Tool buttons, calibration, calibration from a slide, undo, redo and delete all.
    static bool IsCommand(int id);
    void OnCommand(int id);
    // A mouse event of the window; true when it was one for the live host.
    bool OnMouseEvent(const QMouseEvent& event);

    void OnCalibrationDone() { m_calibration.OnCalibrationDone(); }
    void OnNominalChanged() { m_calibration.OnNominalChanged(); }
    void Reset() { m_host->Reset(); }
    // The effect and guide commands release the tool buttons through here.
    void ReleaseButtons() { m_host->ReleaseButtons(); }

    // What a spaced guide reads when it is switched on: M through the same reading
    // the tools and the calibration use, so M, the shared G and the use-nominal flag
    // stay one story.
    GuideScale ReadGuideScale();

    // Painters that stay valid after this object is gone.
    Painter PreviewPainter() const;
    Painter StillPainter() const;

    CLiveMeasureHost& Host() { return *m_host; }
    LiveCalibration& Calibration() { return m_calibration; }

private:
    void CalibrateFromSlide();
    void ShowPressed(int pressedId);
    void Confine(bool on);

    Parts m_parts;
    LiveCalibration m_calibration;
    std::unique_ptr<CLiveMeasureHost> m_host;
};
