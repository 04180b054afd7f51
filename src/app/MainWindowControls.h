#pragma once
// The main window's controls on its client area: the tool buttons at their
// places, the magnification and calibrated-magnification boxes, and the texts
// under the preview (capture size, recording seconds). Built once; each button's
// click goes to the command function it was given.
#include <QString>
#include <functional>
#include <map>

class CBitmapButton;
class QLabel;
class QLineEdit;
class QWidget;
struct CaptureFormat;

class MainWindowControls {
public:
    MainWindowControls(QWidget& client, std::function<void(int)> command);

    CBitmapButton* Button(int id) const;
    // A button or one of the two magnification boxes, by control id.
    QWidget* Control(int id) const;
    QLineEdit* Magnification() const { return m_magnification; }
    QLineEdit* CalibrationValue() const { return m_calibrationValue; }
    QLabel* ResolutionText() const { return m_resolutionText; }
    QLabel* RecordSeconds() const { return m_recordSeconds; }

    // Every control as the framed window shows it, or none (full screen).
    void Show(bool show);
    void EnableButtons(bool enabled);
    // "2592*1944" under the preview, unless the camera's status text is shown
    // there; hidden in full screen.
    void ShowCaptureSize(const CaptureFormat& format, bool statusShown, bool fullScreen);

private:
    void CreateButtons(const std::function<void(int)>& command);
    void CreateEditsAndTexts();

    QWidget& m_client;
    std::map<int, CBitmapButton*> m_buttons;
    QLineEdit* m_magnification = nullptr;
    QLineEdit* m_calibrationValue = nullptr;
    QLabel* m_resolutionText = nullptr;
    QLabel* m_statusText = nullptr;
    QLabel* m_recordSeconds = nullptr;
};
