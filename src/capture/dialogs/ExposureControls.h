#pragma once
// The exposure rows of the video settings dialog: the automatic-exposure mode (only
// the modes the camera lists) and the exposure time. Each is hidden when the camera
// lacks it and greyed while the camera does not take a value for it.
#include <functional>
#include <memory>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSlider;
class VideoProcAmp;

class ExposureControls {
public:
    // The grid rows they take: the mode, then the time.
    static constexpr int kRows = 2;
    using ProcAmpSource = std::function<std::shared_ptr<VideoProcAmp>()>;
    // Adds the rows to `grid` from `firstRow` on. `changed` runs after the user changed
    // the mode, as that may switch other controls on or off.
    ExposureControls(QGridLayout& grid, int firstRow, ProcAmpSource camera, std::function<void()> changed);

    void SetTexts();
    // Reads modes, values and ranges from the camera.
    void Fill();
    // Asks the camera again which rows take a value now.
    void RefreshAccess();

    QComboBox* ModeCombo() const { return m_mode; }
    QSlider* TimeSlider() const { return m_time; }

private:
    void OnMode();
    void OnTime();

    ProcAmpSource m_camera;
    std::function<void()> m_changed;
    QLabel* m_modeLabel = nullptr;
    QComboBox* m_mode = nullptr;
    QLabel* m_timeLabel = nullptr;
    QSlider* m_time = nullptr;
    QLineEdit* m_timeEdit = nullptr;
};
