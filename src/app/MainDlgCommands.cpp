// The main window's command table and the commands done by the window itself.
#include "app/AppTexts.h"
#include "app/CAboutDlg.h"
#include "app/CMainDlg.h"
#include "app/SettingsStore.h"
#include "capture/CCaptureGraph.h"
#include "capture/CaptureState.h"
#include "measure/Calibration.h"
#include "measure/CalibrationFile.h"
#include "platform/desktop/MessageBox.h"
#include "widgets/CBitmapButton.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QUrl>

using namespace maindlg;

namespace {
// Where "Update" sends the user.
const char* const kProjectWebPage = "https://pelora.example.org/";
} // namespace

CommandTable<CMainDlg>& CMainDlg::Commands()
{
    static CommandTable<CMainDlg> table = [] {
        CommandTable<CMainDlg> t;
        t.Add(IDC_CAMERA, &CMainDlg::OnTakePicture);
        t.Add(IDC_AVI, &CMainDlg::OnTakeVideo);
        t.Add(IDC_CLOCK, &CMainDlg::OnTimeLapse);
        t.Add(IDC_SAVE, &CMainDlg::OnSaveAs);
        t.Add(ID_SAVE_AS, &CMainDlg::OnSaveAs);
        t.Add(IDC_EMAIL, &CMainDlg::OnEMail);
        t.Add(ID_EMAIL, &CMainDlg::OnEMail);
        t.Add(IDC_PREVIEW, &CMainDlg::OnPreviewOnOff);
        t.Add(IDC_SETTING, &CMainDlg::OnVideoSettings);
        t.Add(ID_OPEN, &CMainDlg::OnOpen);
        t.Add(ID_DELETE, &CMainDlg::OnDelete);
        t.Add(ID_DELETE_ALL, &CMainDlg::OnDeleteAll);
        t.Add(ID_SAVE_ALL, &CMainDlg::OnSaveAll);
        t.Add(ID_PRINT, &CMainDlg::OnPrint);
        t.Add(ID_HIGH_SIZE, &CMainDlg::OnHighSize);
        t.Add(ID_LOW_SIZE, &CMainDlg::OnLowSize);
        t.Add(ID_PEN_SETTINGS, &CMainDlg::OnPenSettings);
        t.Add(ID_CROSSHAIR, &CMainDlg::OnCrosshair);
        t.Add(ID_CROSSHAIR_TOOLS, &CMainDlg::OnCrosshair);
        t.Add(ID_SCALE_LINE, &CMainDlg::OnScaleLine);
        t.Add(ID_CIRCLE_GRID, &CMainDlg::OnCircleGrid);
        t.Add(ID_SNAPSHOT, &CMainDlg::OnSnapshotSwitch);
        t.Add(ID_LANG_ENGLISH, &CMainDlg::OnLanguageItem);
        t.Add(ID_LANG_SIMPLIFIED, &CMainDlg::OnLanguageItem);
        t.AddRange(ID_LANG_FIRST_RANGE, ID_LANG_LAST_RANGE, &CMainDlg::OnLanguageItem);
        t.Add(ID_LANG_ITALIAN, &CMainDlg::OnLanguageItem);
        t.Add(ID_HELP_MANUAL, &CMainDlg::OnHelpManual);
        t.Add(ID_HELP_UPDATE, &CMainDlg::OnHelpUpdate);
        t.Add(ID_ABOUT, &CMainDlg::OnAbout);
        t.Add(ID_MEASURE_EXPORT, &CMainDlg::OnMeasureExport);
        t.Add(ID_MEASURE_UNDO, &CMainDlg::OnMeasureUndo);
        t.Add(ID_MEASURE_REDO, &CMainDlg::OnMeasureRedo);
        t.Add(ID_MEASURE_DELETE_ALL, &CMainDlg::OnMeasureDeleteAll);
        t.AddRange(IDC_NEGATIVE, IDC_HOR_MIRROR, &CMainDlg::OnImageEffect);
        t.Add(IDC_FOUR_ANGLE, &CMainDlg::OnMeasureTool);
        t.AddRange(IDC_LINE, IDC_THREE_ANGLE, &CMainDlg::OnMeasureTool);
        t.Add(IDC_OTHER_TOOLS, &CMainDlg::OnOtherTools);
        t.Add(IDC_CALIBRATION, &CMainDlg::OnCalibration);
        t.Add(IDC_MAGNIFICATION, &CMainDlg::OnMagnificationChanged);
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
        StillRequest.Request(StillOriginUser);
    }
}

void CMainDlg::OnTimeLapse()
{
    if (NeedsPreview()) {
        RunTimeLapse();
    }
}

void CMainDlg::OnPreviewOnOff()
{
    CBitmapButton* preview = Button(IDC_PREVIEW);
    if (preview->IsActive()) {
        preview->SetActive(false);
        m_graph->StopPreview();
        m_graph->Preview()->update();
    } else {
        if (m_recording) {
            StopRecordingFile();
            m_recording = false;
            Button(IDC_AVI)->SetActive(false);
        }
        preview->SetActive(true);
        m_graph->StartPreview();
    }
    RefreshToolTips();
}

void CMainDlg::OnHighSize()
{
    SetCaptureSizeOfClass(true);
}

void CMainDlg::OnLowSize()
{
    SetCaptureSizeOfClass(false);
}

void CMainDlg::SetCaptureSizeOfClass(bool high)
{
    const CaptureClassSizes& sizes = SizesOfClass(CaptureDeviceClass.load());
    if (high) {
        m_graph->SetCaptureSize(sizes.defaultWidth, sizes.defaultHeight);
    } else {
        m_graph->SetCaptureSize(sizes.lowWidth, sizes.lowHeight);
    }
    UpdateResolutionText();
    m_client->update(kResolutionStrip);
}

void CMainDlg::OnSnapshotSwitch()
{
    AppSettings& settings = Settings();
    const int switched = settings.SWITCH == 1 ? 0 : 1;
    m_graph->SetSnapshot(switched);
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

void CMainDlg::OnHelpManual()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(lang::HelpFilePath()));
}

void CMainDlg::OnHelpUpdate()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kProjectWebPage)));
}

void CMainDlg::OnAbout()
{
    CAboutDlg about(this);
    about.exec();
}

void CMainDlg::OnMagnificationChanged()
{
    const QString nominal = MagnificationText(m_magnification->text());
    if (nominal.isEmpty()) {
        return;
    }
    QString stored;
    CalibrationFile(m_calibrationFile).Lookup(nominal, stored);
    m_calibrationValue->setText(stored);
}

void CMainDlg::OnCalibrationDone()
{
    const double calibrated = Calibration().lastResult;
    m_calibrationValue->setText(CalibrationText(calibrated));
    double magnification = 0.0;
    ReadMagnification(this, m_calibrationValue->text(), m_magnification->text(), false, magnification);
    CalibrationFile(m_calibrationFile).Store(MagnificationText(m_magnification->text()), calibrated);
}

// Commands whose work comes with the recorder, time-lapse, video settings, live
// view and measurement features; they are routed here so every id already reaches
// its handler.
void CMainDlg::OnTakeVideo() {}
void CMainDlg::RunTimeLapse() {}
void CMainDlg::StopRecordingFile() {}
void CMainDlg::OnVideoSettings() {}
void CMainDlg::OnPenSettings() {}
void CMainDlg::OnCrosshair() {}
void CMainDlg::OnScaleLine() {}
void CMainDlg::OnCircleGrid() {}
void CMainDlg::OnMeasureExport() {}
void CMainDlg::OnMeasureUndo() {}
void CMainDlg::OnMeasureRedo() {}
void CMainDlg::OnMeasureDeleteAll() {}
void CMainDlg::OnImageEffect() {}
void CMainDlg::OnMeasureTool() {}
void CMainDlg::OnOtherTools() {}
void CMainDlg::OnCalibration() {}
void CMainDlg::OnPrint() {}
