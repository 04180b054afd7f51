#include "app/MainWindowFrame.h"

#include "app/MainDlgIds.h"
#include "capture/CaptureSession.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>

using namespace maindlg;

MainWindowFrame::MainWindowFrame(Parts parts)
    : m_parts(std::move(parts)), m_fullScreen(*m_parts.window, *m_parts.menuBar, *m_parts.session, *this)
{
    m_parts.window->installEventFilter(this);
}

bool MainWindowFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_parts.window) {
        switch (event->type()) {
        case QEvent::WindowStateChange:
            OnStateChange();
            break;
        case QEvent::Resize:
            OnResize(static_cast<QResizeEvent*>(event)->size());
            break;
        case QEvent::Move:
            OnMove();
            break;
        default:
            break;
        }
    }
    return false;
}

void MainWindowFrame::OnStateChange()
{
    // The desktop's maximize button asks for full screen.
    if ((m_parts.window->windowState() & Qt::WindowMaximized) && !IsFullScreen()) {
        QMetaObject::invokeMethod(
            this, [this] { EnterFullScreen(); }, Qt::QueuedConnection);
    }
}

void MainWindowFrame::OnResize(QSize size)
{
    PlaceClient();
    // A window dragged larger springs back; only maximizing changes its size.
    QWidget& window = *m_parts.window;
    const bool grownByHand =
        !(window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) && size != NormalWindowSize();
    if (!IsFullScreen() && grownByHand) {
        QMetaObject::invokeMethod(
            this,
            [this, &window] {
                if (!IsFullScreen() && !(window.windowState() & Qt::WindowMaximized)) {
                    window.resize(NormalWindowSize());
                }
            },
            Qt::QueuedConnection);
    }
}

void MainWindowFrame::OnMove()
{
    // Where full screen brings the window back: its last place as a normal
    // window, once the desktop has framed it (the maximized place is not one).
    const QWidget& window = *m_parts.window;
    if (!IsFullScreen() && window.windowState() == Qt::WindowNoState && window.size() == NormalWindowSize()) {
        m_fullScreen.RememberNormalGeometry(window.geometry());
    }
}

void MainWindowFrame::PlaceClient()
{
    QWidget& client = *m_parts.client;
    if (IsFullScreen()) {
        client.setGeometry(m_parts.window->rect());
        m_parts.session->Graph().Preview()->setGeometry(client.rect());
        return;
    }
    QMenuBar& menuBar = *m_parts.menuBar;
    const int menuHeight = menuBar.isHidden() ? 0 : menuBar.sizeHint().height();
    menuBar.setGeometry(0, 0, kClientSize.width(), menuHeight);
    client.setGeometry(QRect(QPoint(0, menuHeight), kClientSize));
}

QSize MainWindowFrame::NormalWindowSize() const
{
    return {kClientSize.width(), kClientSize.height() + m_parts.menuBar->sizeHint().height()};
}

void MainWindowFrame::FitToClient()
{
    // The client area is exactly the background's size, below the menu. Only the
    // minimum is fixed: desktops offer "maximize" (our way into full screen) only to
    // windows that could grow.
    QWidget& window = *m_parts.window;
    window.setMinimumSize(NormalWindowSize());
    window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window.resize(NormalWindowSize());
    PlaceClient();
}

void MainWindowFrame::CenterOnScreen()
{
    QWidget& window = *m_parts.window;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frameRect = window.frameGeometry();
        frameRect.moveCenter(screen->availableGeometry().center());
        window.move(frameRect.topLeft());
    }
    m_fullScreen.RememberNormalGeometry(window.geometry());
}

void MainWindowFrame::ShowControls(bool show)
{
    m_parts.showControls(show);
}

void MainWindowFrame::EnteredFullScreen()
{
    m_parts.enteredFullScreen();
}

void MainWindowFrame::LeftFullScreen()
{
    m_parts.leftFullScreen();
}
