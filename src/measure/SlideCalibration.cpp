#include "measure/SlideCalibration.h"

#include "measure/CSlideCalibrationDlg.h"
#include "measure/Calibration.h"
#include "measure/MeasureTexts.h"
#include "platform/desktop/MessageBox.h"

bool SlideMagnification(const SlideScale& scale, double pitch, double divisionMm, double& result)
{
    const double rawLength = pitch * scale.previewPerPicturePixel * scale.scale * 10;
    return CalibratedMagnification(rawLength, scale.magnification, MillimetresToUnit(divisionMm, scale.unit),
                                   scale.current, result);
}

bool RunSlideCalibration(QWidget* window, const QImage& picture, const SlideScale& scale,
                         const SlideDialogRunner& runDialog)
{
    const RulerFinding finding = FindRuler(picture);
    if (finding.status == RulerStatus::NoRuler) {
        ShowMessage(window, LoadText(txt::SlideNoRuler), LoadText(txt::MsgTitle), MB_OK | MB_ICONWARNING);
        return false;
    }
    if (finding.status == RulerStatus::TooUncertain) {
        const QString text = LoadText(txt::SlideTooUncertain)
                                 .arg(finding.RelativeUncertainty() * 100, 0, 'f', 2)
                                 .arg(kRulerMaxRelativeUncertainty * 100, 0, 'f', 1);
        ShowMessage(window, text, LoadText(txt::MsgTitle), MB_OK | MB_ICONWARNING);
        return false;
    }
    SharedCalibration& shared = Calibration();
    CSlideCalibrationDlg dialog(picture, finding, scale, shared.slideDivisionMm, window);
    const int answer = runDialog ? runDialog(dialog) : dialog.DoModal();
    double result = 0.0;
    if (answer != IDOK || !SlideMagnification(scale, finding.pitch, dialog.DivisionMm(), result)) {
        return false;
    }
    shared.slideDivisionMm = dialog.DivisionMm();
    shared.actualDistance = MillimetresToUnit(dialog.DivisionMm(), scale.unit);
    shared.current = result;
    shared.lastResult = result;
    return true;
}
