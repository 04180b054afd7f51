#include "app/CMainDlg.h"

#include "app/AppTexts.h"
#include "app/CameraConnection.h"
#include "app/FocusStackControl.h"
#include "app/LanguageTable.h"
#include "app/MainWindowControls.h"
#include "app/MainWindowFrame.h"
#include "app/MainWindowInput.h"
#include "app/ProgramStart.h"
#include "app/RecordingControl.h"
#include "app/SettingsStore.h"
#include "capture/CaptureSession.h"
#include "liveview/LiveMeasureFeature.h"
#include "measure/MeasureTexts.h"
#include "platform/camera/DeviceMonitor.h"
#include "platform/desktop/MessageBox.h"
#include "platform/desktop/TerminationSignals.h"
#include "platform/files/LogFont.h"
#include "platform/files/ProgramFolder.h"
#include "widgets/Art.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CToolTipCtrl.h"
#include "widgets/WindowTimers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLineEdit>

using namespace maindlg;

CMainDlg::CMainDlg(QWidget* parent) : QDialog(parent)
{
    m_icon = AppIcon();
    m_timers = new WindowTimers(this, [this](int id) { OnTimer(id); });
    m_toolTips = new CToolTipCtrl(this);
    Settings().ReadFontSize();
    LogFontRecord measureFont;
    ReadFontFile(WritableProgramFolder() + "/" + kMeasureFontFile, measureFont);
    m_measureFont = measureFont;
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
}

CMainDlg::~CMainDlg()
{
    m_input.reset();
    if (m_initialised && !m_closing) {
        Shutdown();
    }
}

bool CMainDlg::Open()
{
    if (!m_initialised && !OnInitDialog()) {
        return false;
    }
    // The program ends only through the confirmed close, not when its last
    // window is hidden for a moment.
    QApplication::setQuitOnLastWindowClosed(false);
    show();
    return true;
}

int CMainDlg::Run()
{
    if (!Open()) {
        return 0;
    }
    // Ended from outside (logout, kill, Ctrl+C): close as if the user confirmed,
    // so a recording in progress is finished.
    InstallTerminationSignals([this] { CloseConfirmed(); });
    return QApplication::exec();
}

bool CMainDlg::OnInitDialog()
{
    if (m_initialised) {
        return true;
    }
    m_initialised = true;
    m_calibrationFile = WritableProgramFolder() + "/CalibrationIni.ini";
    const UserFolders folders = CreateUserFolders();
    m_pictureFolder = folders.pictures;
    m_videoFolder = folders.videos;
    setWindowIcon(m_icon);
    m_msgTitle = LoadText(txt::MsgTitle);
    AppSettings::WriteFirstStartDefaults();
    m_language = ReadStartupLanguage(Settings());
    ReadStartupSettings(Settings());
    LayOut();
    CreateLiveMeasuring();
    WireSession();
    BuildMenus();
    m_frame->CenterOnScreen();
    // The recorder's settings dialog leaves a trial clip behind.
    QFile::remove(m_videoFolder + "/test.avi");
    m_session->Graph().SetFullScreenHint(LoadText(txt::EscRestore, kStatusTextCapacity));
    setWindowTitle(LoadText(txt::MsgTitle));
    m_frame->SetNormalTitle(windowTitle());
    CreateInput();
    StartDevice();
    RefreshToolTips();
    m_controls->Magnification()->setText(QStringLiteral("60"));
    m_input->SetPreviewCursor(ArtCursor(QStringLiteral("cursor_258")));
    SetTimer(IDT_STARTUP_PROMPT, kStartupPromptMs);
    return true;
}

CCaptureGraph* CMainDlg::CaptureGraph() const
{
    return &m_session->Graph();
}

CaptureFormat CMainDlg::Format() const
{
    return m_session->Format();
}

bool CMainDlg::IsRecording() const
{
    return m_session->IsRecording();
}

QString CMainDlg::ToolTipText(int controlId) const
{
    return m_toolTips->ToolText(Control(controlId));
}

bool CMainDlg::AskClose()
{
    return ShowMessage(this, LoadText(txt::SureClose), m_msgTitle, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void CMainDlg::closeEvent(QCloseEvent* event)
{
    if (m_closing) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    if (AskClose()) {
        CloseConfirmed();
    }
}

void CMainDlg::CloseConfirmed()
{
    if (m_closing) {
        return;
    }
    Shutdown();
    m_closing = true;
    QDialog::reject();
    QCoreApplication::quit();
}

void CMainDlg::reject()
{
    // Escape and the window's own close requests come through closeEvent; the
    // dialog never closes by itself.
    if (m_closing) {
        QDialog::reject();
    }
}

void CMainDlg::Shutdown()
{
    m_timers->KillTimer(IDT_DEVICE_CHECK);
    m_timers->KillTimer(IDT_RECORD_SECONDS);
    m_timers->KillTimer(IDT_STARTUP_PROMPT);
    if (m_camera != nullptr) {
        m_camera->Stop();
    }
    m_toolTips->DelAllTools();
}
