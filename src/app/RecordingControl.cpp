#include "app/RecordingControl.h"

#include "app/MainDlgIds.h"
#include "capture/CaptureSession.h"
#include "capture/CaptureTexts.h"
#include "capture/dialogs/CChooseCompressorDlg.h"
#include "capture/dialogs/CRecorderSettingDlg.h"
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

RecordingControl::RecordingControl(CaptureSession& session, Host host)
    : m_session(session), m_host(std::move(host))
{
    connect(&session, &CaptureSession::recordingChanged, this, &RecordingControl::OnChanged);
    connect(&session, &CaptureSession::recordingSeconds, this, &RecordingControl::ShowSeconds);
    connect(&session, &CaptureSession::recordingEnded, this, &RecordingControl::OnEnded);
}

void RecordingControl::OnCommand()
{
    PlayProgramSound(kRecordStartStopSound);
    m_host.killTimer(IDT_RECORD_SECONDS);
    if (m_session.IsRecording()) {
        m_session.StopRecording(RecordingEnd::User);
        return;
    }
    CRecorderSettingDlg::Parts parts;
    parts.setCaptureSize = [this](int width, int height) {
        return m_session.SetCaptureSize(width, height) == SizeChange::Done;
    };
    parts.chooseCompressor = [](AviCompressOptions* options) { return ChooseCompressor(nullptr, options); };
    parts.format = [this] { return m_session.Format(); };
    CRecorderSettingDlg dialog(m_session.Recorder(), m_host.videoFolder, std::move(parts), m_host.window);
    const bool confirmed = dialog.DoModal() == IDOK;
    m_host.sizeChanged();
    if (!confirmed) {
        return;
    }
    const int timeLimit = dialog.timeLimitTicked() ? dialog.timeLimitSeconds() : kNoTimeLimit;
    const RecorderOpenResult opened = m_session.StartRecording(m_host.videoFolder, timeLimit);
    if (!opened.ok()) {
        ShowMessage(m_host.window, opened.message, QString::fromLatin1(kAviCaptureCaption),
                    MB_OK | MB_ICONERROR);
        return;
    }
    m_host.setTimer(IDT_RECORD_SECONDS, kRecordSecondsMs);
}

void RecordingControl::OnChanged(bool recording)
{
    m_host.button(IDC_AVI)->SetActive(recording);
    m_host.button(IDC_PREVIEW)->SetActive(!recording && m_session.Graph().running());
    m_host.refreshToolTips();
}

void RecordingControl::OnSecondsTimer()
{
    switch (m_session.TickRecordSeconds()) {
    case SecondsStep::Done:
        PlayProgramSound(kRecordEndSound);
        m_host.killTimer(IDT_RECORD_SECONDS);
        m_host.window->update();
        HideSeconds();
        return;
    case SecondsStep::LastTick:
        // The limit is shown for half a second more, then the end sound.
        m_host.setTimer(IDT_RECORD_SECONDS, kRecordLastTickMs);
        break;
    case SecondsStep::Count:
        break;
    }
}

void RecordingControl::ShowSeconds(int seconds)
{
    if (m_host.fullScreen()) {
        return;
    }
    const QString unit = LoadText(txt::Second_Counter, kSecondsUnitChars);
    m_host.seconds->setText(QString::asprintf("%2d ", seconds) + unit);
    m_host.seconds->show();
}

void RecordingControl::HideSeconds()
{
    m_host.seconds->clear();
    m_host.seconds->hide();
}

void RecordingControl::OnEnded(RecordingEnd reason, const RecordingResult& result)
{
    if (reason != RecordingEnd::TimeLimit) {
        // At the time limit the timer still shows the last second, then plays the end sound.
        m_host.killTimer(IDT_RECORD_SECONDS);
        HideSeconds();
    }
    if (!result.path.isEmpty()) {
        m_host.addVideo(result.path);
    }
    if (reason == RecordingEnd::Closing) {
        return;
    }
    // Back to the picture at the high size, unless the Preview button asked for the
    // preview as it is or the camera is gone.
    if (reason != RecordingEnd::Preview && m_session.Graph().running()) {
        m_host.setSizeOfClass(true);
    }
    if (reason == RecordingEnd::WriteFailed || reason == RecordingEnd::CameraGone) {
        ShowFailure(reason == RecordingEnd::WriteFailed ? LoadText(txt::RecordWriteFail)
                                                        : LoadText(txt::RecordCameraGone),
                    result);
    }
}

void RecordingControl::ShowFailure(const QString& why, const RecordingResult& result)
{
    QString text = why;
    if (result.ioError != 0) {
        text += "\n" + QString::fromLocal8Bit(std::strerror(result.ioError));
    }
    if (!result.path.isEmpty()) {
        text += "\n" + result.path;
    }
    ShowMessage(m_host.window, text, m_host.caption, MB_OK | MB_ICONWARNING);
}
