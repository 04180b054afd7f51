// The main window's command table and the commands done by the window itself.
#include "app/AppTexts.h"
#include "app/CAboutDlg.h"
#include "app/CMainDlg.h"
#include "app/FocusStackControl.h"
#include "app/HelpCommands.h"
#include "app/MeasureSettingsAdapter.h"
#include "app/RecordingControl.h"
#include "app/SettingsStore.h"
#include "capture/CaptureDiagnostics.h"
#include "capture/CaptureSession.h"
#include "capture/CaptureTexts.h"
#include "capture/dialogs/CVideoSettingDlg.h"
#include "files/FilesStripController.h"
#include "files/FilesTexts.h"
#include "liveview/LiveMeasureFeature.h"
#include "platform/desktop/MessageBox.h"
#include "widgets/CBitmapButton.h"

#include <QLineEdit>

using namespace maindlg;

CommandTable<CMainDlg>& CMainDlg::Commands()
{
    static CommandTable<CMainDlg> table = [] {
        CommandTable<CMainDlg> t;
        t.Add(IDC_CAMERA, &CMainDlg::OnTakePicture);
        t.Add(IDC_PREVIEW, &CMainDlg::OnPreviewOnOff);
        t.Add(IDC_AVI, [](CMainDlg& w) { w.m_recording->OnCommand(); });
        t.Add(IDC_SAVE, [](CMainDlg& w) { w.m_strip->SaveAs(); });
        t.Add(ID_SAVE_AS, [](CMainDlg& w) { w.m_strip->SaveAs(); });
        t.Add(ID_OPEN, [](CMainDlg& w) { w.m_strip->Open(); });
        t.Add(ID_DELETE, [](CMainDlg& w) { w.m_strip->Delete(); });
        t.Add(ID_DELETE_ALL, [](CMainDlg& w) { w.m_strip->DeleteAll(); });
        t.Add(ID_SAVE_ALL, [](CMainDlg& w) { w.m_strip->SaveAll(); });
        t.Add(ID_HIGH_SIZE, [](CMainDlg& w) { w.SetCaptureSizeOfClass(true); });
        t.Add(ID_LOW_SIZE, [](CMainDlg& w) { w.SetCaptureSizeOfClass(false); });
        t.Add(ID_SNAPSHOT, &CMainDlg::OnSnapshotSwitch);
        t.Add(ID_LANG_ENGLISH, &CMainDlg::OnLanguageItem);
        t.Add(ID_LANG_SIMPLIFIED, &CMainDlg::OnLanguageItem);
        t.AddRange(ID_LANG_FIRST_RANGE, ID_LANG_LAST_RANGE, &CMainDlg::OnLanguageItem);
        t.Add(ID_LANG_ITALIAN, &CMainDlg::OnLanguageItem);
        t.Add(ID_HELP_MANUAL, [](CMainDlg& w) { OpenHelpManual(&w, w.m_msgTitle); });
        t.Add(ID_HELP_UPDATE,
              [](CMainDlg& w) { ShowUpdateInfo(&w, w.m_msgTitle, QStringLiteral(PELORA_VERSION)); });
        t.Add(ID_HELP_DIAGNOSTICS, &CMainDlg::OnHelpDiagnostics);
        t.Add(ID_ABOUT, [](CMainDlg& w) { CAboutDlg(&w).exec(); });
        t.Add(IDC_SETTING, &CMainDlg::OnVideoSettings);
        t.Add(ID_PEN_SETTINGS, &CMainDlg::OnPenSettings);
        t.Add(IDC_CLOCK, &CMainDlg::OnTimeLapse);
        t.Add(ID_PRINT, &CMainDlg::OnPrint);
        t.Add(IDC_EMAIL, &CMainDlg::OnEmail);
        t.Add(ID_EMAIL, &CMainDlg::OnEmail);
        t.Add(IDC_MAGNIFICATION, &CMainDlg::OnMagnificationChanged);
        t.Add(IDC_FOUR_ANGLE, &CMainDlg::OnLiveMeasure);
        t.AddRange(IDC_LINE, IDC_THREE_ANGLE, &CMainDlg::OnLiveMeasure);
        t.Add(IDC_CALIBRATION, &CMainDlg::OnLiveMeasure);
        t.AddRange(ID_MEASURE_UNDO, ID_MEASURE_DELETE_ALL, &CMainDlg::OnLiveMeasure);
        t.Add(ID_MEASURE_EXPORT, &CMainDlg::OnMeasureExport);
        t.Add(ID_SLIDE_CALIBRATION, [](CMainDlg& w) { w.m_liveMeasure->OnCommand(w.m_commandInProgress); });
        const auto liveView = [](CMainDlg& w) { w.m_liveTools->OnCommand(w.m_commandInProgress); };
        t.AddRange(IDC_NEGATIVE, IDC_HOR_MIRROR, liveView);
        t.Add(ID_CROSSHAIR, liveView);
        t.AddRange(ID_CROSSHAIR_TOOLS, ID_CIRCLE_GRID, liveView);
        t.Add(IDC_OTHER_TOOLS, &CMainDlg::OnOtherTools);
        t.Add(ID_FOCUS_STACK, [](CMainDlg& w) { w.m_focusStack->OnCommand(); });
        t.Add(ID_FOCUS_STEPS, [](CMainDlg& w) { w.m_focusStack->AskSteps(); });
        return t;
    }();
    return table;
}

bool CMainDlg::OnCommand(int id)
{
    const int outer = m_commandInProgress;
    m_commandInProgress = id;
    const bool known = Commands().Dispatch(*this, id);
    m_commandInProgress = outer;
    return known;
}

bool CMainDlg::PreviewOrRecording() const
{
    return Button(IDC_PREVIEW)->IsActive() || Button(IDC_AVI)->IsActive();
}

bool CMainDlg::NeedsPreview()
{
    if (PreviewOrRecording()) {
        return true;
    }
    ShowMessage(this, LoadText(txt::BrowseToCamera), m_msgTitle, MB_OK | MB_ICONWARNING);
    return false;
}

void CMainDlg::OnTakePicture()
{
    if (NeedsPreview()) {
        m_session->RequestStill(StillOriginUser);
    }
}

void CMainDlg::OnPreviewOnOff()
{
    CBitmapButton* preview = Button(IDC_PREVIEW);
    CCaptureGraph& graph = m_session->Graph();
    if (preview->IsActive()) {
        preview->SetActive(false);
        graph.StopPreview();
        graph.Preview()->update();
    } else if (m_session->IsRecording()) {
        m_session->StopRecording(RecordingEnd::Preview);
    } else {
        preview->SetActive(true);
        graph.StartPreview();
    }
    RefreshToolTips();
}

void CMainDlg::SetCaptureSizeOfClass(bool high)
{
    if (m_session->SetCaptureSizeOfClass(high) == SizeChange::RefusedWhileRecording) {
        // Every frame of a recording has the size it started with.
        ShowMessage(this, LoadText(txt::RecordSizeLocked), m_msgTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    UpdateResolutionText();
    m_client->update(kResolutionStrip);
}

void CMainDlg::OnSnapshotSwitch()
{
    AppSettings& settings = Settings();
    const int switched = settings.SWITCH == 1 ? 0 : 1;
    m_session->Graph().SetSnapshot(switched);
    settings.SWITCH = switched;
    settings.WriteSwitch();
    BuildMenus();
}

void CMainDlg::OnLanguageItem()
{
    if (lang::ApplyLanguageItem(m_commandInProgress, Settings(), m_language)) {
        BuildMenus();
    }
}

void CMainDlg::OnHelpDiagnostics()
{
    ShowMessage(this, CaptureDiagnostics(m_session->Graph()), LoadText(txt::CameraDiagnostics),
                MB_OK | MB_ICONINFORMATION);
}

void CMainDlg::OnVideoSettings()
{
    CVideoSettingDlg dialog(*m_session, this);
    dialog.DoModal();
}

void CMainDlg::OnPenSettings()
{
    RunPenSettings(Settings(), m_measureFont, this);
}

void CMainDlg::OnMagnificationChanged()
{
    if (m_liveMeasure) {
        m_liveMeasure->OnNominalChanged();
    }
}

void CMainDlg::OnCalibrationDone()
{
    m_liveMeasure->OnCalibrationDone();
}
