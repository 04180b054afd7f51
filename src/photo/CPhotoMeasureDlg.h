#pragma once
// The photo measure window: one stored picture on the measurement canvas under a
// row of tool buttons. It chooses the canvas's tool and mode, holds the picture's
// magnification, opens another picture, saves the picture with its measurements
// burned in, hands it to the printer, and recreates the canvas when the window is
// maximized or restored.
#include "measure/CMeasureListDlg.h"
#include "measure/MeasureKind.h"
#include "measure/MeasureSettingsStore.h"
#include "measure/MeasureUnits.h"
#include "measure/SlideCalibration.h"
#include "photo/PhotoSettings.h"
#include "widgets/CommandTable.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <map>

class CBitmapButton;
class CMeasureCanvas;

class CMenuXP;
class CToolTipCtrl;
class QLabel;
class QLineEdit;
class QFrame;

// What the opener hands the window.
struct PhotoWindowParts {
    QWidget* mainWindow = nullptr; // gets the calibration-done message
    QString calibrationFile;
    // The stored drawing settings of the moment.
    std::function<PhotoDrawingSettings()> settings;
    // The pen and text dialogs store through it; may be null (the dialogs then stay shut).
    MeasureSettingsStore* store = nullptr;
    // After the pen dialog's OK: the program's pen width, style and colours.
    std::function<void(const PenSettings& pen)> adoptPen;
    // Prints the picture at a path; while unset the print button is greyed.
    std::function<void(const QString& path)> print;
    // Dialogs, for tests; empty: the real ones. Each returns IDOK or IDCANCEL.
    std::function<int(QWidget* parent, const QString& unit)> calibrationDialog;
    std::function<int(QWidget* parent, PenSettings& pen)> penDialog;
    std::function<int(QWidget* parent, QString& text, ColorRef& color)> textDialog;
    SlideDialogRunner slideDialog;
};

class CPhotoMeasureDlg : public QDialog {
    Q_OBJECT
public:
    CPhotoMeasureDlg(const QString& picturePath, const PhotoWindowParts& parts, QWidget* parent = nullptr);
    ~CPhotoMeasureDlg() override;

    // Runs the window modally.
    int DoModal();
    // Buttons, menu items and tests enter here; false for an id that is not a command.
    bool OnCommand(int id);

    // Maximize and restore requests as the window's frame makes them.
    void RequestMaximize();
    void RequestRestore();

    CMeasureCanvas* Canvas() const { return m_canvas; }
    CBitmapButton* Button(int id) const;
    QLineEdit* MagnificationEdit() const { return m_magnificationEdit; }
    QLineEdit* CalibratedEdit() const { return m_calibratedEdit; }
    QLabel* StatusText() const { return m_status; }
    QWidget* Control(int id) const;
    CMenuXP* MeasureMenu() const { return m_measureMenu; }
    CMenuXP* PaintMenu() const { return m_paintMenu; }
    QString ToolTipText(int id) const;
    QString ShownToolTip() const;
    QString PicturePath() const { return m_picturePath; }
    DisplayMode Mode() const { return m_mode; }
    double Magnification() const { return m_magnification; }
    bool IsSaved() const { return m_saved; }
    CMeasureListDlg* MeasureList() const { return m_listDialog; }

    // Reads the magnification from the boxes into the window and its canvas; 1 on success.
    int ReadMagnification();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void reject() override;

private:
    static CommandTable<CPhotoMeasureDlg>& Commands();
    void BuildControls();
    void BuildMenus();
    void BuildToolTips();
    void CreateCanvas(const QString& path, const QRect& frame);
    void DestroyCanvas();
    QRect FullFrame() const;

    // Tools.
    void OnToolCommand(int id);
    void OnSelect();
    void OnMenuButton(int pressedId);
    void OnDelete();
    void OnMove();
    void PressButton(int id, bool pressed);
    void ReleaseToolButtons();
    void SetStatus(const QString& text);

    // Files.
    bool OnSave();
    void OnOpen();
    void OnPrint();
    void OnMeasureList();
    bool HasUnsavedMeasurements() const;

    // Dialogs.
    void OnPenSetting();
    void OnText();

    // Calibration.
    void OnCalibrate();
    void OnPhotoCalibrated();
    void OnCalibrateFromSlide();
    void OnNominalChanged();

    // Size changes.
    void OnMaximized();
    void OnRestored();
    void RecreateCanvas(DisplayMode mode, const QRect& frame);
    bool AskSaveFirst();

    QString m_picturePath;
    PhotoWindowParts m_parts;
    CMeasureCanvas* m_canvas = nullptr;
    QSize m_pictureSize;
    DisplayMode m_mode = DisplayMode::Fitted;
    double m_zoom = 1.0;
    double m_magnification = 1.0;
    bool m_useNominal = false;
    bool m_saved = false;
    bool m_sizeChangeAsked = false; // a maximize or restore request already asked
    bool m_undoingSizeChange = false;
    std::map<int, CBitmapButton*> m_buttons;
    QFrame* m_frame = nullptr;
    QLineEdit* m_magnificationEdit = nullptr;
    QLineEdit* m_calibratedEdit = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_xLabel = nullptr;
    QLabel* m_scaleLabel = nullptr;
    CMenuXP* m_measureMenu = nullptr;
    CMenuXP* m_paintMenu = nullptr;
    CToolTipCtrl* m_toolTips = nullptr;
    QPointer<CMeasureListDlg> m_listDialog; // deletes itself when closed
};
