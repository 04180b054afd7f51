// The capture session in the main window: what the live view draws into it, where
// its stills go, and what the window shows when it reports.
#include "app/CMainDlg.h"
#include "app/FocusStackControl.h"
#include "app/MainWindowControls.h"
#include "app/SettingsStore.h"
#include "capture/CaptureSession.h"
#include "files/FilesStripController.h"
#include "liveview/LiveMeasureFeature.h"
#include "measure/Calibration.h"
#include "platform/desktop/MessageBox.h"
#include "platform/media/SoundPlayer.h"

#include <QLineEdit>

void CMainDlg::WireSession()
{
    CaptureSession& session = *m_session;
    session.SetSnapshotSwitch(Settings().SWITCH != 0);
    session.SetLiveViewHooks(
        {m_liveTools->Effects(), m_liveMeasure->PreviewPainter(), m_liveTools->PreviewOverlays()});
    session.SetStillPainters({m_liveTools->StillOverlays(), m_liveMeasure->StillPainter()});
    session.SetStillTarget([this] {
        return StillTarget{m_pictureFolder, Settings().ImageFormat,
                           MagnificationText(m_controls->Magnification()->text())};
    });
    connect(&session, &CaptureSession::stillSaved, this, &CMainDlg::OnStillSaved);
    connect(&session, &CaptureSession::stillFailed, this, [this](const QString& text) {
        PlayProgramSound(kShutterSoundId);
        if (!text.isEmpty()) {
            ShowMessage(this, text, m_msgTitle, MB_ICONWARNING);
        }
    });
    connect(&session, &CaptureSession::notice, this, &CMainDlg::OnCaptureNotice);
    CreateRecording();
    m_focusStack = std::make_unique<FocusStackControl>(session, this, m_msgTitle);
}

void CMainDlg::OnStillSaved(const QString& path, int /*origin*/)
{
    m_strip->AddCapturedPicture(path);
    PlayProgramSound(kShutterSoundId);
}

void CMainDlg::OnCaptureNotice(const QString& text, CaptureNoticeLevel level)
{
    const unsigned icon = level == CaptureNoticeLevel::Error     ? MB_ICONERROR
                          : level == CaptureNoticeLevel::Warning ? MB_ICONWARNING
                                                                 : 0u;
    // The camera's notices come with no window of their own in front.
    ShowMessage(this, text, m_msgTitle, MB_OK | icon);
}
