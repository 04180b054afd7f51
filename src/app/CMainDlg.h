#pragma once
// The main window: live preview, captured-files strip, tool buttons with tooltips,
// the main menu, the file list's right-click menu, the five accelerator keys, the
// window timers and the private messages through which other code talks to it.
// It routes each command to the object that owns the feature and keeps the
// window's layout; the features keep their own state.
#include "app/LanguageTable.h"
#include "app/MainDlgIds.h"
#include "app/MainWindowControls.h"
#include "capture/CaptureNotice.h"
#include "capture/CaptureState.h"
#include "liveview/LiveViewTools.h"
#include "platform/files/LogFont.h"
#include "platform/text/TextLookup.h"
#include "widgets/CommandTable.h"

#include <QDialog>
#include <QIcon>
#include <QString>
#include <memory>

class CCaptureGraph;
class CaptureSession;
class CMenuXP;
class CToolTipCtrl;
class CameraConnection;
class RecordingControl;
class FocusStackControl;
class FilesStripController;
class MainMenus;
class MainWindowFrame;
class MainWindowInput;
class QMenuBar;
class LiveMeasureFeature;
class WindowTimers;

class CMainDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Start-up of the window (runs once, before it is first shown).
    bool OnInitDialog();
    // Initialises the window when needed and shows it; the program's event loop
    // then runs it until the user confirms closing. Hiding, re-flagging and
    // showing it again (full screen) never end the program.
    bool Open();
    // Open, then run the application's event loop until the confirmed close; the
    // result is the loop's exit code (0 when the window could not start).
    int Run();

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
    CaptureSession& Session() const { return *m_session; }
    CaptureFormat Format() const;
    CCaptureGraph* CaptureGraph() const;
    CBitmapButton* Button(int id) const;
    // A button or one of the two magnification boxes, by control id.
    QWidget* Control(int id) const;
    QMenuBar* MenuBar() const { return m_menuBar; }
    CMenuXP* Submenu(int index) const;
    CMenuXP* FileListMenu() const;
    CMenuXP* OtherToolsMenu() const;
    const LiveViewTools& LiveView() const { return *m_liveTools; }
    const CToolTipCtrl& ToolTips() const { return *m_toolTips; }
    QString ToolTipText(int controlId) const;
    QWidget* Client() const { return m_client; }
    QLineEdit* MagnificationEdit() const { return m_controls->Magnification(); }
    QLineEdit* CalibrationValueEdit() const { return m_controls->CalibrationValue(); }
    QLabel* ResolutionText() const { return m_controls->ResolutionText(); }
    QWidget* FileListArea() const { return m_fileList; }
    LiveMeasureFeature& LiveMeasuring() const { return *m_liveMeasure; }
    bool IsConnected() const;
    bool IsFullScreen() const;
    bool IsRecording() const;
    int Page() const;
    lang::LanguagePair Language() const { return m_language; }
    QString PictureFolder() const { return m_pictureFolder; }
    QString VideoFolder() const { return m_videoFolder; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    friend class MainDlgClient;

    // Start-up steps.
    void LayOut();
    void CreateFrame();
    void CreateInput();
    void StartDevice();

    // Menus, keys and tooltips.
    void BuildMenus();
    void RefreshToolTips();
    bool OfferAccelerators(int key, Qt::KeyboardModifiers modifiers);

    // Device state.
    void ShowConnection(bool connected);
    void UpdateResolutionText();

    // Private messages and the capture session's signals.
    void WireSession();
    void OnStillSaved(const QString& path, int origin);
    void OnCaptureNotice(const QString& text, CaptureNoticeLevel level);
    void OnCalibrationDone();
    void OnShowPrompt();

    // Commands done by the window itself.
    static CommandTable<CMainDlg>& Commands();
    bool PreviewOrRecording() const;
    // True when the preview or a recording runs; otherwise warns and gives false.
    bool NeedsPreview();
    void OnTakePicture();
    void OnPreviewOnOff();
    void SetCaptureSizeOfClass(bool high);
    void OnSnapshotSwitch();
    void OnLanguageItem();
    void OnHelpDiagnostics();
    void OnVideoSettings();
    void OnPenSettings();
    void OnTimeLapse();
    void OnPrint();
    void OnEmail();
    void OnMagnificationChanged();
    // The video player, run modally on a video of the files strip.
    void RunPlayer(const QString& path);

    // Effects, guides and the other-tools menu (the live view's tools).
    void WireLiveView();
    void OnOtherTools();

    // Photo measuring.
    void OpenPhotoWindow(const QString& path);

    // Live measuring.
    void CreateLiveMeasuring();
    void OnLiveMeasure();
    void OnMeasureExport();

    // Recording (1006, timer 1002).
    void CreateRecording();

    bool AskClose();
    void CloseConfirmed();
    void Shutdown();

    // Construction-time state.
    QIcon m_icon;
    QString m_msgTitle;
    QString m_pictureFolder;
    QString m_videoFolder;
    QString m_calibrationFile;
    LogFontRecord m_measureFont; // measurement labels, from "Measurefont.ini"

    // Window parts and the features they route to.
    QWidget* m_client = nullptr;
    QMenuBar* m_menuBar = nullptr;
    MainMenus* m_menus = nullptr;
    std::unique_ptr<CaptureSession> m_session;
    std::unique_ptr<CameraConnection> m_camera; // goes before the session it uses
    std::unique_ptr<RecordingControl> m_recording;
    std::unique_ptr<FocusStackControl> m_focusStack;
    FilesStripController* m_strip = nullptr;
    QWidget* m_fileList = nullptr;            // the strip's view
    std::unique_ptr<MainWindowFrame> m_frame; // goes before the session it places
    std::unique_ptr<LiveViewTools> m_liveTools;
    std::unique_ptr<MainWindowControls> m_controls;
    CToolTipCtrl* m_toolTips = nullptr;
    WindowTimers* m_timers = nullptr;
    std::unique_ptr<LiveMeasureFeature> m_liveMeasure;
    std::unique_ptr<MainWindowInput> m_input;

    // Mode.
    bool m_initialised = false;
    bool m_closing = false;
    lang::LanguagePair m_language;
    int m_commandInProgress = 0; // id of the command being run, for shared handlers
};
