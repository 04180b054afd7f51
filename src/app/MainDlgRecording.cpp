// Recording in the main window: the AVI command (button, Capture menu, F3/F4),
// the seconds timer 1002 and the ways a recording ends (the user, the time
// limit, the Preview command, a failed write, an unplugged microscope, closing).
#include "app/CMainDlg.h"
#include "capture/CCaptureGraph.h"
#include "capture/CChooseCompressorDlg.h"
#include "capture/CRecorderSettingDlg.h"
#include "capture/CaptureState.h"
#include "capture/CaptureTexts.h"
#include "capture/VideoRecorder.h"
#include "files/CFileListView.h"
#include "files/FilesStripController.h"
#include "platform/desktop/MessageBox.h"
#include "platform/media/SoundPlayer.h"
#include "widgets/CBitmapButton.h"

#include <QLabel>
#include <QThread>
#include <cstring>

using namespace maindlg;

namespace {
constexpr int kRecordStartStopSound = 180;
constexpr int kRecordEndSound = 182;
constexpr int kRecordSecondsMs = 1000;
constexpr int kRecordLastTickMs = 500;
// The stream gets this long to deliver its last frames before the file closes.
constexpr int kStopSettleMs = 500;
constexpr int kSecondsUnitChars = 24;
} // namespace

void CMainDlg::WireRecorder()
{
    m_recorder = std::make_unique<VideoRecorder>();
    m_recorder->ClearCompressorOptions();
    m_recorder->SetWriteFailedHandler([this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_recording) {
                    EndRecordingWithMessage(LoadText(txt::RecordWriteFail));
                }
            },
            Qt::QueuedConnection);
    });
    VideoRecorder* recorder = m_recorder.get();
    LiveFrameHooks hooks = m_graph->hooks();
    hooks.recordFrame = [recorder](const std::uint8_t* pixels, std::size_t length, int width, int height) {
        recorder->WriteFrame(pixels, length, width, height);
    };
    m_graph->SetLiveFrameHooks(std::move(hooks));
}

void CMainDlg::OnRecord()
{
    PlayProgramSound(kRecordStartStopSound);
    KillTimer(IDT_RECORD_SECONDS);
    m_recorder->StopSeconds();
    if (m_recording) {
        m_graph->StopPreview();
        QThread::msleep(kStopSettleMs);
        CloseRecording();
        Button(IDC_AVI)->SetActive(false);
        Button(IDC_PREVIEW)->SetActive(true);
        m_graph->StartPreview();
        SetCaptureSizeOfClass(true);
        m_recordSeconds->clear();
        m_recordSeconds->hide();
        m_recording = false;
        RefreshToolTips();
        return;
    }
    m_client->update(kResolutionStrip);
    CRecorderSettingDlg::Parts parts;
    parts.setCaptureSize = [this](int width, int height) { return m_graph->SetCaptureSize(width, height); };
    parts.chooseCompressor = [](AviCompressOptions* options) { return ChooseCompressor(nullptr, options); };
    parts.frameSize = [] { return QSize(captureWidth.load(), captureHeight.load()); };
    CRecorderSettingDlg dialog(*m_recorder, m_videoFolder, std::move(parts), this);
    if (dialog.DoModal() != IDOK) {
        return;
    }
    const int timeLimit = dialog.timeLimitTicked() ? dialog.timeLimitSeconds() : kNoTimeLimit;
    m_graph->StopPreview();
    m_graph->StartPreview();
    if (m_recorder->Open(m_videoFolder, recordFrameRate.load(), captureWidth.load(), captureHeight.load()) !=
        0) {
        return;
    }
    m_recorder->StartSeconds(timeLimit);
    SetTimer(IDT_RECORD_SECONDS, kRecordSecondsMs);
    Button(IDC_AVI)->SetActive(true);
    Button(IDC_PREVIEW)->SetActive(false);
    m_recording = true;
    RefreshToolTips();
}

void CMainDlg::OnRecordSecondsTimer()
{
    switch (m_recorder->Tick()) {
    case SecondsStep::Done:
        PlayProgramSound(kRecordEndSound);
        KillTimer(IDT_RECORD_SECONDS);
        update();
        m_recordSeconds->clear();
        m_recordSeconds->hide();
        return;
    case SecondsStep::LastTick:
        SetTimer(IDT_RECORD_SECONDS, kRecordLastTickMs);
        EndRecordingAsPreview();
        SetCaptureSizeOfClass(true);
        break;
    case SecondsStep::Count:
        break;
    }
    ShowRecordSeconds();
}

void CMainDlg::ShowRecordSeconds()
{
    if (IsFullScreen()) {
        return;
    }
    const QString unit = LoadText(txt::Second_Counter, kSecondsUnitChars);
    m_recordSeconds->setText(QString::asprintf("%2d ", m_recorder->seconds()) + unit);
    m_recordSeconds->show();
}

RecordingResult CMainDlg::CloseRecording()
{
    RecordingResult result = m_recorder->Close();
    if (!result.path.isEmpty()) {
        m_strip->View()->AddRecordedVideo(result.path);
    }
    return result;
}

void CMainDlg::EndRecordingAsPreview()
{
    CloseRecording();
    m_recording = false;
    Button(IDC_AVI)->SetActive(false);
    Button(IDC_PREVIEW)->SetActive(true);
    m_graph->StartPreview();
    RefreshToolTips();
}

void CMainDlg::EndRecordingWithMessage(const QString& why)
{
    KillTimer(IDT_RECORD_SECONDS);
    m_recorder->StopSeconds();
    const RecordingResult result = CloseRecording();
    m_recording = false;
    Button(IDC_AVI)->SetActive(false);
    m_recordSeconds->clear();
    m_recordSeconds->hide();
    if (m_graph->running()) {
        // The camera still runs (the file could not be written): back to the preview.
        Button(IDC_PREVIEW)->SetActive(true);
        SetCaptureSizeOfClass(true);
    }
    RefreshToolTips();
    QString text = why;
    if (result.ioError != 0) {
        text += "\n" + QString::fromLocal8Bit(std::strerror(result.ioError));
    }
    if (!result.path.isEmpty()) {
        text += "\n" + result.path;
    }
    ShowMessage(this, text, m_msgTitle, MB_OK | MB_ICONWARNING);
}
