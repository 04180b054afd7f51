// Recording in the main window: the recording control gets the window's buttons,
// timer 1002 and seconds counter.
#include "app/CMainDlg.h"
#include "app/MainWindowControls.h"
#include "app/RecordingControl.h"
#include "files/CFileListView.h"
#include "files/FilesStripController.h"

void CMainDlg::CreateRecording()
{
    RecordingControl::Host host;
    host.window = this;
    host.seconds = m_controls->RecordSeconds();
    host.caption = m_msgTitle;
    host.videoFolder = m_videoFolder;
    host.button = [this](int id) { return Button(id); };
    host.setTimer = [this](int id, int ms) { SetTimer(id, ms); };
    host.killTimer = [this](int id) { KillTimer(id); };
    host.fullScreen = [this] { return IsFullScreen(); };
    host.refreshToolTips = [this] { RefreshToolTips(); };
    host.sizeChanged = [this] {
        UpdateResolutionText();
        m_client->update(maindlg::kResolutionStrip);
    };
    host.setSizeOfClass = [this](bool high) { SetCaptureSizeOfClass(high); };
    host.addVideo = [this](const QString& path) { m_strip->View()->AddRecordedVideo(path); };
    m_recording = std::make_unique<RecordingControl>(*m_session, std::move(host));
}
