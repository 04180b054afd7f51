// The main window's frame: its size around the client area, the desktop's
// maximize and restore requests (full screen) and what the window does for its
// controls around them.
#include "app/CMainDlg.h"
#include "app/MainDlgLayout.h"
#include "capture/CaptureSession.h"
#include "files/FilesStripController.h"
#include "liveview/LiveMeasureFeature.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CToolTipCtrl.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>

using namespace maindlg;

void CMainDlg::OnSysCommand(int command)
{
    switch (command) {
    case SC_MAXIMIZE:
        m_fullScreenMode->Enter();
        break;
    case SC_RESTORE:
        m_fullScreenMode->Leave();
        break;
    case IDM_ABOUTBOX:
        OnCommand(ID_ABOUT);
        break;
    default:
        break;
    }
}

void CMainDlg::changeEvent(QEvent* event)
{
    // The desktop's maximize button asks for full screen.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized) &&
        !IsFullScreen() && m_initialised) {
        QMetaObject::invokeMethod(
            this, [this] { OnSysCommand(SC_MAXIMIZE); }, Qt::QueuedConnection);
    }
    QDialog::changeEvent(event);
}

void CMainDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    PlaceClient();
    // A window dragged larger springs back; only maximizing changes its size.
    const bool grownByHand = !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) &&
                             event->size() != NormalWindowSize();
    if (m_initialised && !IsFullScreen() && grownByHand) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!IsFullScreen() && !(windowState() & Qt::WindowMaximized)) {
                    resize(NormalWindowSize());
                }
            },
            Qt::QueuedConnection);
    }
}

void CMainDlg::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    // Where full screen brings the window back: its last place as a normal
    // window, once the desktop has framed it (the maximized place is not one).
    if (m_initialised && !IsFullScreen() && windowState() == Qt::WindowNoState &&
        size() == NormalWindowSize()) {
        m_fullScreenMode->RememberNormalGeometry(geometry());
    }
}

void CMainDlg::PlaceClient()
{
    if (m_client == nullptr) {
        return;
    }
    if (IsFullScreen()) {
        m_client->setGeometry(rect());
        m_session->Graph().Preview()->setGeometry(m_client->rect());
        return;
    }
    const int menuHeight = m_menuBar->isHidden() ? 0 : m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, kClientSize.width(), menuHeight);
    m_client->setGeometry(QRect(QPoint(0, menuHeight), kClientSize));
}

QSize CMainDlg::NormalWindowSize() const
{
    return {kClientSize.width(), kClientSize.height() + m_menuBar->sizeHint().height()};
}

void CMainDlg::FitToClient()
{
    // The client area is exactly the background's size, below the menu. Only the
    // minimum is fixed: desktops offer "maximize" (our way into full screen) only to
    // windows that could grow.
    setMinimumSize(NormalWindowSize());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(NormalWindowSize());
    PlaceClient();
}

void CMainDlg::CenterOnScreen()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frameRect = frameGeometry();
        frameRect.moveCenter(screen->availableGeometry().center());
        move(frameRect.topLeft());
    }
    m_fullScreenMode->RememberNormalGeometry(geometry());
}

void CMainDlg::ShowControls(bool show)
{
    for (const ButtonPlace& place : kButtons) {
        Button(place.id)->setVisible(show && !place.neverShown);
    }
    m_magnification->setVisible(show);
    m_calibrationValue->setVisible(show);
    m_statusText->setVisible(show && !m_statusText->text().isEmpty());
    m_recordSeconds->setVisible(show && !m_recordSeconds->text().isEmpty());
    m_resolutionText->setVisible(show && !m_resolutionText->text().isEmpty());
    m_fileList->setVisible(show);
}

void CMainDlg::EnteredFullScreen()
{
    m_toolTips->DelAllTools();
    // Nothing latched carries over into full screen: the reset releases the tool
    // and effect buttons alike.
    m_liveMeasure->Reset();
}

void CMainDlg::LeftFullScreen()
{
    RefreshToolTips();
    m_strip->Refresh();
}
