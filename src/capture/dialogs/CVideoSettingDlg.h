#pragma once
// Capture device, capture size, camera format and the camera's six picture
// properties. Every change is applied at once: properties go straight to the
// camera, device, size and format through the capture session.
#include <QDialog>
#include <QPointer>
#include <array>
#include <memory>

class CaptureSession;
class ExposureControls;
class QComboBox;
class QLabel;
class QLineEdit;
class QScrollBar;
class QSlider;
class FocusRow;
class VideoProcAmp;

class CVideoSettingDlg : public QDialog {
    Q_OBJECT
public:
    explicit CVideoSettingDlg(CaptureSession& session, QWidget* parent = nullptr);
    ~CVideoSettingDlg() override;

    // Runs modally; IDOK or IDCANCEL.
    int DoModal();
    // Command entry of the buttons and combos (selection changes), by control id.
    void OnCommand(int id);
    // A slider's notice (released, or repainted): send its position to the camera.
    void OnSliderNotice(int row);
    // A click on a step bar's arrow: line-up raises the value by the control's step.
    void OnStepBar(int barId, bool lineUp);
    // Refills every control from the graph's current state.
    void FillDialog();

    // The open dialog, for the device re-detection's notice; null when none is open.
    static CVideoSettingDlg* OpenDialog();

    QComboBox* DeviceCombo() const { return m_device; }
    QComboBox* FormatCombo() const { return m_format; }
    QComboBox* ResolutionCombo() const { return m_resolution; }
    QSlider* Slider(int row) const { return m_rows[size_t(row)].slider; }
    QLineEdit* ValueEdit(int row) const { return m_rows[size_t(row)].edit; }
    ExposureControls& Exposure() const { return *m_exposure; }
    FocusRow* Focus() const { return m_focus; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct RowControls {
        QSlider* slider = nullptr;
        QLabel* label = nullptr;
        QLineEdit* edit = nullptr;
        QScrollBar* stepBar = nullptr;
    };
    // The camera's properties, asked of the graph at each use: a camera the graph
    // has since torn down is never reached. Empty without a capture filter.
    std::shared_ptr<VideoProcAmp> ProcAmp() const;
    void BuildControls();
    void SetTexts();
    void FillProperties(VideoProcAmp& camera);
    void FillDevices();
    void FillFormats();
    void FillResolutions();
    void SetRowValue(int row, int value, int flags);
    // Greys the rows the camera takes no value for now; asked again after each change.
    void RefreshAccess();
    void OnDeviceChanged();
    void OnFormatChanged();
    void ApplyResolution();
    void OnDefault();

    CaptureSession& m_session;
    QComboBox* m_device = nullptr;
    QComboBox* m_format = nullptr;
    QComboBox* m_resolution = nullptr;
    std::array<RowControls, 6> m_rows;
    std::unique_ptr<ExposureControls> m_exposure;
    FocusRow* m_focus = nullptr;
};
