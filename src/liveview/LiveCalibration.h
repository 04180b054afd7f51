#pragma once
// Magnification and calibration of the main window: its magnification M and
// use-nominal flag, read from the nominal box (1147) and the calibrated box (1196);
// the calibration-mode flag of the live host; the calibration dialog on a
// calibration line's second click; and storing the result when the window gets
// the calibration-done message.
#include "measure/SlideCalibration.h"

#include <QEvent>
#include <QString>
#include <functional>

class QLineEdit;
class QWidget;

class LiveCalibration {
public:
    // Posted to the window after an accepted calibration; the window then calls
    // OnCalibrationDone.
    static constexpr QEvent::Type kDoneMessage = static_cast<QEvent::Type>(0x8009);

    // Runs the calibration dialog for a unit, owned by `parent`; IDOK or IDCANCEL.
    using DialogRunner = std::function<int(QWidget* parent, const QString& unit)>;

    // `window` owns the message boxes and the dialog, receives the done message and
    // is disabled while the dialog is up.
    LiveCalibration(QWidget* window, QLineEdit* nominal, QLineEdit* calibrated, QString calibrationFile);

    // Reads M from the boxes (the calibrated value unless the use-nominal flag is
    // set); 1 on success, else 0 after "Please input the zoomIn scale!".
    int ReadMagnification();
    double Magnification() const { return m_magnification; }

    // Start of the calibration command: reads M from the nominal box. The
    // use-nominal flag lasts only for this command: a failed read clears it, and so
    // does EnterCalibrationMode or EndCommand.
    int BeginCommand();
    // The calibration button released: the flag cleared and M read again, so the
    // tools measure with the value the boxes show.
    void EndCommand();
    // The calibration line is next: the nominal value has been read, so the flag is
    // cleared and calibration mode set.
    void EnterCalibrationMode();
    void LeaveCalibrationMode() { m_calibrating = false; }
    bool IsCalibrating() const { return m_calibrating; }
    bool UseNominal() const { return m_useNominal; }
    // Right-click in the preview: both flags cleared.
    void Reset();

    // Second click of a calibration line of raw length L (pixels x scale x 10):
    // asks for the real length with the window disabled; on OK the shared
    // magnification becomes (L / M) / A x G and the done message is posted. Leaves
    // calibration mode and returns the line's value, L / G.
    double CalibrateLine(double rawLength, const QString& unit);

    // The done message: shows the result in the calibrated box, reads M again and
    // stores the result under the nominal text in the calibration file.
    void OnCalibrationDone();
    // The nominal box changed: shows the value stored for it ("" when none; an
    // empty nominal text changes nothing).
    void OnNominalChanged();

    // The calibration-from-slide command on the last live frame: reads the nominal
    // M, asks to start the live picture when there is no frame, otherwise runs the
    // slide calibration; an accepted one posts the done message as a line would.
    void CalibrateFromSlide(const QImage& frame, double previewPerPicturePixel, double scale,
                            const QString& unit);

    void SetDialogRunner(DialogRunner runner) { m_runDialog = std::move(runner); }
    void SetSlideDialogRunner(SlideDialogRunner runner) { m_runSlideDialog = std::move(runner); }

private:
    QWidget* m_window;
    QLineEdit* m_nominal;
    QLineEdit* m_calibrated;
    QString m_file;
    double m_magnification = 0.0;
    bool m_useNominal = false;
    bool m_calibrating = false;
    DialogRunner m_runDialog;
    SlideDialogRunner m_runSlideDialog;
};
