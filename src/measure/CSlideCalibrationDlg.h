#pragma once
// Shows what the ruler finder found before it is kept: the ticks it used drawn over
// the middle of the ruler, the pitch and its 95 % interval, the divisions used, and
// the calibrated magnification for the division length the user confirms.
#include "measure/RulerFinder.h"
#include "measure/SlideCalibration.h"

#include <QDialog>

class QLabel;
class QLineEdit;

class CSlideCalibrationDlg : public QDialog {
    Q_OBJECT
public:
    CSlideCalibrationDlg(const QImage& picture, const RulerFinding& finding, const SlideScale& scale,
                         double divisionMm, QWidget* parent = nullptr);

    // Runs modally; IDOK with a usable division length, or IDCANCEL.
    int DoModal();
    // Command entry of the dialog's buttons (IDC_SLIDE_OK, IDC_SLIDE_CANCEL).
    void OnCommand(int id);

    double DivisionMm() const;
    QLineEdit* DivisionEdit() const { return m_division; }
    QString MagnificationText() const;

private:
    void ShowMagnification();

    RulerFinding m_finding;
    SlideScale m_scale;
    QLineEdit* m_division = nullptr;
    QLabel* m_magnification = nullptr;
};

// The middle of the ruler, enlarged to about `width` pixels, with the ticks used
// drawn over it.
QImage SlidePreview(const QImage& picture, const RulerFinding& finding, int width);
