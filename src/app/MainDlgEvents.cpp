// Pre-translation of the main window's input, its timers and private messages.
#include "app/CMainDlg.h"
#include "app/CPromptDlg.h"
#include "app/FocusStackControl.h"
#include "app/MainDlgClient.h"
#include "app/RecordingControl.h"
#include "app/SettingsStore.h"
#include "capture/CaptureSession.h"
#include "files/FilesStripController.h"
#include "liveview/LiveMeasureFeature.h"
#include "measure/Calibration.h"
#include "widgets/CMenuXP.h"
#include "widgets/CToolTipCtrl.h"
#include "widgets/WindowTimers.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

using namespace maindlg;

namespace {
// Ignored mouse events travel up to the parents and reach the filter again; the
// window acts on each input event once.
struct SeenEvent {
    QEvent::Type type = QEvent::None;
    quint64 timestamp = 0;
    QPointF global;
};

bool AlreadySeen(const QSinglePointEvent& event)
{
    static SeenEvent last;
    const SeenEvent now{event.type(), event.timestamp(), event.globalPosition()};
    const bool seen = now.type == last.type && now.timestamp == last.timestamp && now.global == last.global;
    last = now;
    return seen;
}
} // namespace

void CMainDlg::SetTimer(int id, int ms)
{
    m_timers->SetTimer(id, ms);
}

void CMainDlg::KillTimer(int id)
{
    m_timers->KillTimer(id);
}

bool CMainDlg::IsTimerActive(int id) const
{
    return m_timers->IsActive(id);
}

void CMainDlg::OnTimer(int id)
{
    switch (id) {
    case IDT_DEVICE_CHECK:
        KillTimer(IDT_DEVICE_CHECK);
        RedetectDevice();
        break;
    case IDT_RECORD_SECONDS:
        m_recording->OnSecondsTimer();
        break;
    case IDT_STARTUP_PROMPT:
        KillTimer(IDT_STARTUP_PROMPT);
        Settings().ReadSysDate();
        if (Settings().sys_date == 1) {
            QCoreApplication::postEvent(this, new QEvent(WM_SHOW_PROMPT));
        }
        break;
    default:
        break;
    }
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this || m_closing) {
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return OnMouseEvent(watched, static_cast<QMouseEvent&>(*event));
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        return OfferAccelerators(key->key(), key->modifiers()) || OnKeyDown(key->key());
    }
    default:
        return QDialog::eventFilter(watched, event);
    }
}

bool CMainDlg::OnMouseEvent(QObject* watched, QMouseEvent& event)
{
    if (AlreadySeen(event)) {
        return false;
    }
    // The preview area exists only in the framed window.
    if (!IsFullScreen()) {
        m_liveMeasure->OnMouseEvent(event);
    }
    const QPoint global = event.globalPosition().toPoint();
    if (event.type() != QEvent::MouseButtonDblClick) {
        m_toolTips->TrackPosition(global);
    }
    if (event.type() == QEvent::MouseMove) {
        TrackPreviewHover(global);
    } else if (event.type() == QEvent::MouseButtonPress && event.button() == Qt::LeftButton) {
        OnLeftButtonDown(watched, global);
    } else if (event.type() == QEvent::MouseButtonDblClick && event.button() == Qt::LeftButton) {
        OnLeftDoubleClick(watched, global);
    } else if (event.type() == QEvent::MouseButtonPress && event.button() == Qt::RightButton) {
        OnRightButtonDown(watched, global);
    }
    return false;
}

bool CMainDlg::OnKeyDown(int key)
{
    if (key == Qt::Key_Escape) {
        if (m_focusStack && m_focusStack->Cancel()) {
            return true;
        }
        if (IsFullScreen()) {
            QMetaObject::invokeMethod(
                this, [this] { OnSysCommand(SC_RESTORE); }, Qt::QueuedConnection);
        }
        return true;
    }
    // Enter never closes the window either.
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void CMainDlg::TrackPreviewHover(QPoint global)
{
    QWidget* preview = m_session->Graph().Preview();
    const bool inside = preview->rect().contains(preview->mapFromGlobal(global));
    if (inside != m_previewHover) {
        m_previewHover = inside;
        preview->setCursor(inside ? m_previewCursor : QCursor());
    }
}

void CMainDlg::OnLeftButtonDown(QObject* watched, QPoint global)
{
    if (m_strip->Contains(watched)) {
        m_strip->HitTest(global);
    }
    // The page tabs are painted on the window's background.
    if (watched != m_client) {
        return;
    }
    const QPoint client = MirroredInClient(*m_client, m_client->mapFromGlobal(global));
    if (kPicturesTab.contains(client)) {
        SwitchPage(kPagePictures);
        m_strip->Refresh();
    } else if (kVideosTab.contains(client)) {
        SwitchPage(kPageVideos);
        m_strip->Refresh();
    }
}

void CMainDlg::SwitchPage(int page)
{
    if (m_strip->SwitchPage(page)) {
        m_client->update(MirroredInClient(*m_client, QRect(kPageBitmapPos, kPageBitmapSize)));
        RefreshToolTips();
    }
}

int CMainDlg::Page() const
{
    return m_strip->Page();
}

void CMainDlg::OnLeftDoubleClick(QObject* watched, QPoint global)
{
    if (m_strip->Contains(watched) && m_strip->HitTest(global)) {
        m_strip->RequestOpen(m_strip->SelectedPath());
    }
}

void CMainDlg::OnRightButtonDown(QObject* watched, QPoint global)
{
    if (m_strip->Contains(watched) && m_strip->HitTest(global)) {
        FileListMenu()->popup(global);
    }
}

bool CMainDlg::event(QEvent* event)
{
    switch (static_cast<int>(event->type())) {
    case WM_OPEN_PICTURE:
        m_strip->OpenPicture();
        return true;
    case WM_OPEN_VIDEO:
        m_strip->OpenVideo();
        return true;
    case WM_CALIBRATION_DONE:
        OnCalibrationDone();
        return true;
    case WM_SHOW_PROMPT:
        OnShowPrompt();
        return true;
    default:
        return QDialog::event(event);
    }
}

void CMainDlg::OnShowPrompt()
{
    CPromptDlg prompt(this);
    prompt.exec();
}
