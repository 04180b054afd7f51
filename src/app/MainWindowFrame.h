#pragma once
// The main window's frame: its size around the client area below the menu, its
// place on the screen, the desktop's maximize and restore (full screen, with
// every control hidden), and a size dragged by hand springing back.
#include "app/FullScreenController.h"

#include <QObject>
#include <QSize>
#include <functional>
#include <memory>

class CaptureSession;
class QMenuBar;
class QWidget;

class MainWindowFrame : public QObject, private FullScreenHost {
public:
    struct Parts {
        QWidget* window = nullptr;
        QMenuBar* menuBar = nullptr;
        QWidget* client = nullptr;
        CaptureSession* session = nullptr;
        // The controls of the client area, shown or hidden.
        std::function<void(bool show)> showControls;
        std::function<void()> enteredFullScreen;
        std::function<void()> leftFullScreen;
    };
    // Watches the window's own resize, move and state changes.
    explicit MainWindowFrame(Parts parts);

    bool IsFullScreen() const { return m_fullScreen.IsFullScreen(); }
    void EnterFullScreen() { m_fullScreen.Enter(); }
    void LeaveFullScreen() { m_fullScreen.Leave(); }
    void SetNormalTitle(const QString& title) { m_fullScreen.SetNormalTitle(title); }
    // The normal window's size around its client area.
    void FitToClient() override;
    void CenterOnScreen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowControls(bool show) override;
    void PlaceClient() override;
    void EnteredFullScreen() override;
    void LeftFullScreen() override;
    QSize NormalWindowSize() const;
    void OnStateChange();
    void OnResize(QSize size);
    void OnMove();

    Parts m_parts;
    FullScreenController m_fullScreen;
};
