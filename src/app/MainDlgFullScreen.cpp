// Full screen: the maximize request stretches the preview over the whole screen;
// Escape or restore brings every control back.
#include "app/CMainDlg.h"
#include "app/MainDlgLayout.h"
#include "capture/CCaptureGraph.h"
#include "capture/CaptureState.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CToolTipCtrl.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>

using namespace maindlg;

namespace {
bool IsEffectOrMeasureButton(int id)
{
    return (id >= IDC_NEGATIVE && id <= IDC_HOR_MIRROR) || (id >= IDC_LINE && id <= IDC_THREE_ANGLE) ||
           id == IDC_FOUR_ANGLE;
}
} // namespace

void CMainDlg::OnSysCommand(int command)
{
    switch (command) {
    case SC_MAXIMIZE:
        if (!m_fullScreen) {
            EnterFullScreenMode();
        }
        break;
    case SC_RESTORE:
        if (m_fullScreen) {
            LeaveFullScreenMode();
        }
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
        !m_fullScreen && m_initialised) {
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
    if (m_initialised && !m_fullScreen && grownByHand) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!m_fullScreen && !(windowState() & Qt::WindowMaximized)) {
                    resize(NormalWindowSize());
                }
            },
            Qt::QueuedConnection);
    }
}

void CMainDlg::PlaceClient()
{
    if (m_client == nullptr) {
        return;
    }
    if (m_fullScreen) {
        m_client->setGeometry(rect());
        m_graph->Preview()->setGeometry(m_client->rect());
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
    if (m_fileList != nullptr) {
        m_fileList->setVisible(show);
    }
}

void CMainDlg::EnterFullScreenMode()
{
    m_savedFlags = windowFlags();
    m_savedTitle = windowTitle();
    if (!isMaximized()) {
        m_savedGeometry = geometry();
    }
    ShowControls(false);
    m_menuBar->hide();
    m_fullScreen = true;
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    const QRect whole = screen->geometry();
    setGeometry(whole);
    showFullScreen();
    PlaceClient();
    m_graph->EnterFullScreen();
    m_toolTips->DelAllTools();

    // Nothing half-measured or latched carries over into full screen.
    for (const auto& [id, button] : m_buttons) {
        if (IsEffectOrMeasureButton(id)) {
            button->SetActive(false);
        }
    }
    EndLiveMeasurement();
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }

    const bool sxga = captureWidth.load() == 1280 && captureHeight.load() == 1024;
    m_graph->SetMeasureScale(whole.width() * kFullScreenScaleX,
                             whole.height() / (sxga ? kFullScreenHeight1024 : kFullScreenHeightOther));
}

void CMainDlg::LeaveFullScreenMode()
{
    hide();
    m_fullScreen = false;
    setWindowFlags(m_savedFlags);
    setWindowTitle(m_savedTitle);
    m_menuBar->show();
    FitToClient();
    showNormal();
    setGeometry(m_savedGeometry);
    PlaceClient();
    m_graph->Preview()->setGeometry(kPreviewRect);
    // The tools are added back once the window is out of full screen, so the
    // buttons keep their tips.
    RefreshToolTips();
    ShowControls(true);
    activateWindow();
    RefreshFileList();
    m_graph->LeaveFullScreen();
    m_graph->SetMeasureScale(1.0, 1.0);
}

// The live measurement in progress ends with the live measurement work.
void CMainDlg::EndLiveMeasurement() {}
