// The main window's timers, private messages and input.
#include "app/CMainDlg.h"
#include "app/CPromptDlg.h"
#include "app/FocusStackControl.h"
#include "app/MainWindowInput.h"
#include "app/RecordingControl.h"
#include "app/SettingsStore.h"
#include "capture/CaptureSession.h"
#include "files/FilesStripController.h"
#include "liveview/LiveMeasureFeature.h"
#include "widgets/CMenuXP.h"
#include "widgets/WindowTimers.h"

#include <QCoreApplication>

using namespace maindlg;

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

void CMainDlg::CreateInput()
{
    MainWindowInput::Parts parts;
    parts.window = this;
    parts.client = m_client;
    parts.preview = m_session->Graph().Preview();
    parts.strip = m_strip;
    parts.liveMeasure = m_liveMeasure.get();
    parts.toolTips = m_toolTips;
    parts.fullScreen = [this] { return IsFullScreen(); };
    parts.closing = [this] { return m_closing; };
    parts.offerKey = [this](int key, Qt::KeyboardModifiers modifiers) {
        return OfferAccelerators(key, modifiers);
    };
    parts.leaveFullScreen = [this] { OnSysCommand(SC_RESTORE); };
    parts.cancelRunning = [this] { return m_focusStack && m_focusStack->Cancel(); };
    parts.fileListMenu = [this] { return FileListMenu(); };
    parts.pageSwitched = [this] { RefreshToolTips(); };
    m_input = std::make_unique<MainWindowInput>(std::move(parts));
}

int CMainDlg::Page() const
{
    return m_strip->Page();
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
