#include "app/FullScreenController.h"

#include "app/MainDlgIds.h"
#include "capture/CCaptureGraph.h"
#include "capture/CaptureState.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>

using namespace maindlg;

FullScreenController::FullScreenController(QWidget& window, QMenuBar& menuBar, CCaptureGraph& graph,
                                           FullScreenHost& host)
    : m_window(window), m_menuBar(menuBar), m_graph(graph), m_host(host)
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
    m_graph.EnterFullScreen();
    m_host.EnteredFullScreen();
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
    const bool sxga = captureWidth.load() == 1280 && captureHeight.load() == 1024;
    m_graph.SetMeasureScale(whole.width() * kFullScreenScaleX,
                            whole.height() / (sxga ? kFullScreenHeight1024 : kFullScreenHeightOther));
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
    m_graph.Preview()->setGeometry(kPreviewRect);
    // The tools are added back once the window is out of full screen, so the
    // buttons keep their tips.
    m_host.LeftFullScreen();
    m_host.ShowControls(true);
    m_window.activateWindow();
    m_graph.LeaveFullScreen();
    m_graph.SetMeasureScale(1.0, 1.0);
}
