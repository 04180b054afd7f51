#pragma once
// The video settings dialog's Focus row: a slider and its value for cameras with a
// focus control, hidden for the others. Moving it sets the camera's focus at once.
#include "platform/camera/CameraBackend.h"

#include <QObject>
#include <functional>
#include <memory>

class QGridLayout;
class QLabel;
class QLineEdit;
class QSlider;
class QWidget;

class FocusRow : public QObject {
public:
    using CameraSource = std::function<std::shared_ptr<VideoProcAmp>()>;
    FocusRow(QWidget* parent, QGridLayout* layout, int row, CameraSource camera);
    // Reads the camera's focus range and value; hides the row when it has none.
    void Fill(VideoProcAmp* camera);
    bool IsShown() const;
    QSlider* Slider() const { return m_slider; }

private:
    void Apply(int value);

    CameraSource m_camera;
    QLabel* m_label = nullptr;
    QSlider* m_slider = nullptr;
    QLineEdit* m_edit = nullptr;
};
