#include "app/FullScreenController.h"

#include "app/MainDlgIds.h"
#include "capture/CaptureSession.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>

using namespace maindlg;

FullScreenController::FullScreenController(QWidget& window, QMenuBar& menuBar, CaptureSession& session,
                                           FullScreenHost& host)
    : m_window(window), m_menuBar(menuBar), m_session(session), m_host(host)
{
}

void FullScreenController::Enter()
{
    if (m_fullScreen) {
        return;
    }
    m_savedFlags = m_window.windowFlags();
    m_savedTitle = m_window.windowTitle();
    m_host.ShowControls(false);
    m_menuBar.hide();
    m_fullScreen = true;
    m_window.setMinimumSize(0, 0);
    m_window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // Re-flagging hides the window for a moment; the program's event loop does
    // not depend on it being shown.
    m_window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    const QScreen* screen =
        m_window.screen() != nullptr ? m_window.screen() : QGuiApplication::primaryScreen();
    const QRect whole = screen->geometry();
    m_window.setGeometry(whole);
    m_window.showFullScreen();
    m_host.PlaceClient();
    m_session.Graph().EnterFullScreen();
    m_host.EnteredFullScreen();
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
    const CaptureFormat format = m_session.Format();
    const bool sxga = format.captureWidth == 1280 && format.captureHeight == 1024;
    m_session.Graph().SetMeasureScale(whole.width() * kFullScreenScaleX,
                                      whole.height() /
                                          (sxga ? kFullScreenHeight1024 : kFullScreenHeightOther));
}

void FullScreenController::Leave()
{
    if (!m_fullScreen) {
        return;
    }
    // Moves on the way back must not replace the place the window returns to.
    const QRect normal = m_savedGeometry;
    m_window.hide();
    m_fullScreen = false;
    m_window.setWindowFlags(m_savedFlags);
    m_window.setWindowTitle(m_savedTitle);
    m_menuBar.show();
    m_host.FitToClient();
    m_window.showNormal();
    m_window.setGeometry(normal);
    m_savedGeometry = normal;
    m_host.PlaceClient();
    m_session.Graph().Preview()->setGeometry(kPreviewRect);
    // The tools are added back once the window is out of full screen, so the
    // buttons keep their tips.
    m_host.LeftFullScreen();
    m_host.ShowControls(true);
    m_window.activateWindow();
    m_session.Graph().LeaveFullScreen();
    m_session.Graph().SetMeasureScale(1.0, 1.0);
}
