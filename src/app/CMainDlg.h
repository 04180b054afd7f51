#pragma once
// The main window: live preview, captured-files strip, tool buttons with tooltips,
// the main menu, the file list's right-click menu, the five accelerator keys, the
// window timers and the private messages through which other code talks to it.
#include "app/LanguageTable.h"
#include "app/MainDlgIds.h"
#include "capture/StartFailureNotice.h"
#include "capture/StillSaver.h"
#include "platform/files/LogFont.h"
#include "platform/text/TextLookup.h"
#include "widgets/CommandTable.h"

#include <QCursor>
#include <QDialog>
#include <QIcon>
#include <QPointer>
#include <QRect>
#include <QString>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class CBitmapButton;
class CCaptureGraph;
class CMenuXP;
class CToolTipCtrl;
class DeviceMonitor;
class QLabel;
class QLineEdit;
class QMenuBar;
class QMouseEvent;
class QResizeEvent;
class WindowTimers;

class CMainDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Start-up of the window (runs once, before it is first shown).
    bool OnInitDialog();
    // Initialises the window when needed and runs it modally.
    int DoModal();

    // Every button, menu item and key reaches the window's commands here; false
    // when the id is not a command of this window.
    bool OnCommand(int id);
    // System commands: maximize enters full screen, restore leaves it, the about item.
    void OnSysCommand(int command);
    // Device-change notices (arrival, removal, nodes changed).
    void OnDeviceChange(int event, int deviceType);
    // Re-detects the microscope under the window's lock; 1 when it runs afterwards.
    int RedetectDevice();

    void SetTimer(int id, int ms);
    void KillTimer(int id);
    bool IsTimerActive(int id) const;
    void OnTimer(int id);

    // State the user sees.
    CCaptureGraph* CaptureGraph() const { return m_graph; }
    CBitmapButton* Button(int id) const;
    QMenuBar* MenuBar() const { return m_menuBar; }
    CMenuXP* Submenu(int index) const;
    CMenuXP* FileListMenu() const { return m_fileListMenu; }
    const CToolTipCtrl& ToolTips() const { return *m_toolTips; }
    QString ToolTipText(int controlId) const;
    QWidget* Client() const { return m_client; }
    QLineEdit* MagnificationEdit() const { return m_magnification; }
    QLineEdit* CalibrationValueEdit() const { return m_calibrationValue; }
    QLabel* ResolutionText() const { return m_resolutionText; }
    QWidget* FileListArea() const { return m_fileList; }
    bool IsConnected() const { return m_connected; }
    bool IsFullScreen() const { return m_fullScreen; }
    bool IsRecording() const { return m_recording; }
    int Page() const { return m_page; }
    lang::LanguagePair Language() const { return m_language; }
    QString PictureFolder() const { return m_pictureFolder; }
    QString VideoFolder() const { return m_videoFolder; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void reject() override;

private:
    friend class MainDlgClient;

    // Start-up steps.
    void CreateFolders();
    void ReadLanguage();
    void ReadSettings();
    void LayOut();
    void CreateButtons();
    void CreateEditsAndTexts();
    QWidget* CreateFileList(QWidget* parent);
    void StartDevice();

    // Menus, keys and tooltips.
    void BuildMenus();
    void BuildFileMenu(CMenuXP* menu, bool popup);
    void BuildSettingMenu(CMenuXP* menu);
    void BuildCaptureMenu(CMenuXP* menu);
    void BuildHelpMenu(CMenuXP* menu);
    void BuildFileListMenu();
    void RefreshToolTips();
    bool OfferAccelerators(int key);

    // Device state.
    int TryStartGraph();
    void ShowConnected();
    void ShowDisconnected();
    // After a failed start: the connect message, or why the camera did not start.
    void ShowNotRunning();
    void OnGraphEvent(int code);
    void EnableToolButtons(bool enable);
    void UpdateResolutionText();
    void NotifyVideoSettingsDialog();

    // Pre-translation steps.
    bool OnMouseEvent(QObject* watched, QMouseEvent& event);
    bool OnKeyDown(int key);
    void TrackPreviewHover(QPoint global);
    void OnLeftButtonDown(QObject* watched, QPoint global);
    void OnLeftDoubleClick(QObject* watched, QPoint global);
    void OnRightButtonDown(QObject* watched, QPoint global);
    void SwitchPage(int page);
    void PostOpenFor(const QString& path);

    // The captured-files strip.
    bool IsOnFileList(QObject* watched) const;
    bool FileListHitTest(QPoint global);
    void RefreshFileList();
    void ShowFileListPage(int page);

    // Private messages.
    void OnStillCaptured(int origin);
    void OnCalibrationDone();
    void OnShowPrompt();
    void OnOpenPicture();
    void OnOpenVideo();
    void OnRecordSecond();

    // Full screen.
    void EnterFullScreenMode();
    void LeaveFullScreenMode();
    void ShowControls(bool show);
    void PlaceClient();
    void FitToClient();
    void CenterOnScreen();
    QSize NormalWindowSize() const;
    void EndLiveMeasurement();

    // Commands built here.
    void RegisterCommands();
    bool PreviewOrRecording() const;
    // True when the preview or a recording runs; otherwise warns and gives false.
    bool NeedsPreview();
    void OnTakePicture();
    void OnTakeVideo();
    void OnTimeLapse();
    void OnPreviewOnOff();
    void OnHighSize();
    void OnLowSize();
    void SetCaptureSizeOfClass(bool high);
    void OnSnapshotSwitch();
    void OnLanguageItem();
    void OnHelpManual();
    void OnHelpUpdate();
    void OnAbout();
    // Commands that hand the selected file to the captured-files strip.
    void OnSaveAs();
    void OnEMail();
    void OnOpen();
    void OnDelete();
    void OnDeleteAll();
    void OnSaveAll();
    void OnPrint();
    // The selected file's path; warns with `warning` and gives "" when none is selected.
    QString NeedsSelection(const TextKey& warning);
    void RunPhotoMeasure(const QString& path);
    void RunVideoPlayer(const QString& path);
    void RunEMail(const QString& path);
    int ImageFormatSetting() const;
    // Commands whose features arrive with the live view, recording and settings work.
    void RunTimeLapse();
    void StopRecordingFile();
    void OnVideoSettings();
    void OnPenSettings();
    void OnCrosshair();
    void OnScaleLine();
    void OnCircleGrid();
    void OnMeasureExport();
    void OnMeasureUndo();
    void OnMeasureRedo();
    void OnMeasureDeleteAll();
    void OnImageEffect();
    void OnMeasureTool();
    void OnOtherTools();
    void OnCalibration();
    void OnMagnificationChanged();

    bool AskClose();
    void Shutdown();
    QString SelectedFilePath() const;

    static CommandTable<CMainDlg>& Commands();

    // Construction-time state.
    QIcon m_icon;
    QCursor m_previewCursor;
    std::recursive_mutex m_lock; // held for a whole device re-detection
    QString m_msgTitle;
    QString m_fullScreenHint;
    QString m_pictureFolder;
    QString m_videoFolder;
    QString m_calibrationFile;
    LogFontRecord m_measureFont;   // measurement labels, from "Measurefont.ini"
    StillPainters m_stillPainters; // overlays and live measurements burned into stills
    StartFailureNotice m_startFailureNotice;

    // Window parts.
    QWidget* m_client = nullptr;
    QMenuBar* m_menuBar = nullptr;
    std::vector<CMenuXP*> m_submenus;
    CMenuXP* m_fileListMenu = nullptr;
    CCaptureGraph* m_graph = nullptr;
    QWidget* m_fileList = nullptr;
    std::map<int, CBitmapButton*> m_buttons;
    QLineEdit* m_magnification = nullptr;
    QLineEdit* m_calibrationValue = nullptr;
    QLabel* m_resolutionText = nullptr;
    QLabel* m_statusText = nullptr;
    QLabel* m_recordSeconds = nullptr;
    CToolTipCtrl* m_toolTips = nullptr;
    WindowTimers* m_timers = nullptr;
    DeviceMonitor* m_deviceMonitor = nullptr;

    // Mode.
    bool m_initialised = false;
    bool m_connected = false;
    bool m_recording = false;
    bool m_fullScreen = false;
    bool m_previewHover = false;
    bool m_closing = false;
    bool m_redetecting = false;
    int m_page = maindlg::kPagePictures;
    lang::LanguagePair m_language;
    int m_commandInProgress = 0; // id of the command being run, for shared handlers

    // Saved when entering full screen.
    Qt::WindowFlags m_savedFlags;
    QRect m_savedGeometry;
    QString m_savedTitle;
};
