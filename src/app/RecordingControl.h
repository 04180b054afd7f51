#pragma once
// Recording as the main window shows it: the AVI command (button, Capture menu,
// F3/F4) with its settings dialog, the seconds counter of timer 1002 and what the
// window shows when a recording ends. The capture session records; every way a
// recording ends reaches OnEnded.
#include <QObject>
#include <QString>
#include <functional>

class CBitmapButton;
class CaptureSession;
class QLabel;
class QWidget;
struct RecordingResult;
enum class RecordingEnd;

class RecordingControl : public QObject {
    Q_OBJECT
public:
    // What the window lends the control.
    struct Host {
        QWidget* window = nullptr; // parent of the settings dialog and the boxes
        QLabel* seconds = nullptr; // the seconds counter
        QString caption;           // of the boxes
        QString videoFolder;
        std::function<CBitmapButton*(int id)> button;
        std::function<void(int id, int ms)> setTimer;
        std::function<void(int id)> killTimer;
        std::function<bool()> fullScreen;
        std::function<void()> refreshToolTips;
        std::function<void()> sizeChanged;             // the size text and the strip under it
        std::function<void(bool high)> setSizeOfClass; // the window's F11/F12
        std::function<void(const QString& path)> addVideo;
    };
    RecordingControl(CaptureSession& session, Host host);

    // The AVI command: starts a recording after its dialog, or stops the one running.
    void OnCommand();
    // Timer 1002.
    void OnSecondsTimer();

private:
    void OnChanged(bool recording);
    void OnEnded(RecordingEnd reason, const RecordingResult& result);
    void ShowSeconds(int seconds);
    void HideSeconds();
    void ShowFailure(const QString& why, const RecordingResult& result);

    CaptureSession& m_session;
    Host m_host;
};
