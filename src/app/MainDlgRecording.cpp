// Recording in the main window: the AVI command (button, Capture menu, F3/F4),
// the seconds timer 1002 and what the window shows when a recording ends. The
// capture session records; every way a recording ends reaches OnRecordingEnded.
#include "app/CMainDlg.h"
#include "capture/CaptureSession.h"
#include "capture/CaptureTexts.h"
#include "capture/dialogs/CChooseCompressorDlg.h"
#include "capture/dialogs/CRecorderSettingDlg.h"
#include "files/CFileListView.h"
#include "files/FilesStripController.h"
#include "platform/desktop/MessageBox.h"
#include "platform/media/SoundPlayer.h"
#include "widgets/CBitmapButton.h"

#include <QLabel>
#include <cstring>

using namespace maindlg;

namespace {
constexpr int kRecordStartStopSound = 180;
constexpr int kRecordEndSound = 182;
constexpr int kRecordSecondsMs = 1000;
constexpr int kRecordLastTickMs = 500;
constexpr int kSecondsUnitChars = 24;
} // namespace

void CMainDlg::OnRecord()
{
    PlayProgramSound(kRecordStartStopSound);
    KillTimer(IDT_RECORD_SECONDS);
    if (m_session->IsRecording()) {
        m_session->StopRecording(RecordingEnd::User);
        return;
    }
    m_client->update(kResolutionStrip);
    CRecorderSettingDlg::Parts parts;
    parts.setCaptureSize = [this](int width, int height) {
        return m_session->SetCaptureSize(width, height) == SizeChange::Done;
    };
    parts.chooseCompressor = [](AviCompressOptions* options) { return ChooseCompressor(nullptr, options); };
    parts.format = [this] { return m_session->Format(); };
    CRecorderSettingDlg dialog(m_session->Recorder(), m_videoFolder, std::move(parts), this);
    if (dialog.DoModal() != IDOK) {
        UpdateResolutionText();
        return;
    }
    const int timeLimit = dialog.timeLimitTicked() ? dialog.timeLimitSeconds() : kNoTimeLimit;
    const RecorderOpenResult opened = m_session->StartRecording(m_videoFolder, timeLimit);
    if (!opened.ok()) {
        ShowMessage(this, opened.message, QString::fromLatin1(kAviCaptureCaption), MB_OK | MB_ICONERROR);
        return;
    }
    SetTimer(IDT_RECORD_SECONDS, kRecordSecondsMs);
}

void CMainDlg::OnRecordingChanged(bool recording)
{
    Button(IDC_AVI)->SetActive(recording);
    Button(IDC_PREVIEW)->SetActive(!recording && m_session->Graph().running());
    RefreshToolTips();
}

void CMainDlg::OnRecordSecondsTimer()
{
    switch (m_session->TickRecordSeconds()) {
    case SecondsStep::Done:
        PlayProgramSound(kRecordEndSound);
        KillTimer(IDT_RECORD_SECONDS);
        update();
        HideRecordSeconds();
        return;
    case SecondsStep::LastTick:
        // The limit is shown for half a second more, then the end sound.
        SetTimer(IDT_RECORD_SECONDS, kRecordLastTickMs);
        break;
    case SecondsStep::Count:
        break;
    }
}

void CMainDlg::ShowRecordSeconds(int seconds)
{
    if (IsFullScreen()) {
        return;
    }
    const QString unit = LoadText(txt::Second_Counter, kSecondsUnitChars);
    m_recordSeconds->setText(QString::asprintf("%2d ", seconds) + unit);
    m_recordSeconds->show();
}

void CMainDlg::HideRecordSeconds()
{
    m_recordSeconds->clear();
    m_recordSeconds->hide();
}

void CMainDlg::OnRecordingEnded(RecordingEnd reason, const RecordingResult& result)
{
    if (reason != RecordingEnd::TimeLimit) {
        // At the time limit the timer still shows the last second, then plays the end sound.
        KillTimer(IDT_RECORD_SECONDS);
        HideRecordSeconds();
    }
    if (!result.path.isEmpty()) {
        m_strip->View()->AddRecordedVideo(result.path);
    }
    if (reason == RecordingEnd::Closing) {
        return;
    }
    // Back to the picture at the high size, unless the Preview button asked for the
    // preview as it is or the camera is gone.
    if (reason != RecordingEnd::Preview && m_session->Graph().running()) {
        SetCaptureSizeOfClass(true);
    }
    if (reason == RecordingEnd::WriteFailed || reason == RecordingEnd::CameraGone) {
        ShowRecordingFailure(reason == RecordingEnd::WriteFailed ? LoadText(txt::RecordWriteFail)
                                                                 : LoadText(txt::RecordCameraGone),
                             result);
    }
}

void CMainDlg::ShowRecordingFailure(const QString& why, const RecordingResult& result)
{
    QString text = why;
    if (result.ioError != 0) {
        text += "\n" + QString::fromLocal8Bit(std::strerror(result.ioError));
    }
    if (!result.path.isEmpty()) {
        text += "\n" + result.path;
    }
    ShowMessage(this, text, m_msgTitle, MB_OK | MB_ICONWARNING);
}
