#pragma once
// Full screen of the main window: the maximize request stretches the preview over
// the whole screen with every control hidden; restore (Escape) brings the window
// back at its place with its flags, title and controls.
#include <QRect>
#include <QString>
#include <Qt>

class CaptureSession;
class QMenuBar;
class QWidget;

// What the window does for its own controls around the switch.
class FullScreenHost {
public:
    virtual ~FullScreenHost() = default;
    // Tool buttons, edits, texts and the files strip.
    virtual void ShowControls(bool show) = 0;
    // Places the client area (and in full screen the preview) for the current mode.
    virtual void PlaceClient() = 0;
    // The normal window's size around its client area.
    virtual void FitToClient() = 0;
    // Tooltips off, latched tool looks and a measurement in progress dropped.
    virtual void EnteredFullScreen() = 0;
    // Tooltips back, files strip refreshed.
    virtual void LeftFullScreen() = 0;
};

class FullScreenController {
public:
    FullScreenController(QWidget& window, QMenuBar& menuBar, CaptureSession& session, FullScreenHost& host);

    bool IsFullScreen() const { return m_fullScreen; }
    // Where the normal window sits (after it was placed on the screen).
    void RememberNormalGeometry(const QRect& geometry) { m_savedGeometry = geometry; }
    void SetNormalTitle(const QString& title) { m_savedTitle = title; }

    void Enter();
    void Leave();

private:
    QWidget& m_window;
    QMenuBar& m_menuBar;
    CaptureSession& m_session;
    FullScreenHost& m_host;
    bool m_fullScreen = false;
    Qt::WindowFlags m_savedFlags;
    QRect m_savedGeometry;
    QString m_savedTitle;
};
