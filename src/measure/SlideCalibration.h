#pragma once
// Calibration from a stage micrometer: the ruler finder on a picture, its result
// shown for the user to accept, and the corrected magnification that a manual
// calibration over the same divisions would give.
#include "measure/RulerFinder.h"

#include <QImage>
#include <QString>
#include <functional>

class QWidget;
class CSlideCalibrationDlg;

// A window's measuring scale at the moment the command starts.
struct SlideScale {
    double magnification = 0.0; // M, read from the nominal box
    double current = 0.0;       // G
    double previewPerPicturePixel = 1.0;
    double scale = 0.0; // display units per preview pixel at magnification 10
    QString unit;
};

// The corrected magnification for divisions `pitch` picture pixels apart and
// `divisionMm` long: (L / M) / A x G with L one division's raw length and A its
// length in the display unit. False when no finite positive value results.
bool SlideMagnification(const SlideScale& scale, double pitch, double divisionMm, double& result);

// Runs the dialog modally; IDOK or IDCANCEL. Tests replace it.
using SlideDialogRunner = std::function<int(CSlideCalibrationDlg& dialog)>;

// Finds the ruler in `picture`; refuses with a message box over `window` when there
// is none or it is too uncertain; otherwise shows the preview dialog. On OK the
// shared G and C become the corrected magnification and A the division's length,
// and true is returned: the caller then posts its calibration message.
bool RunSlideCalibration(QWidget* window, const QImage& picture, const SlideScale& scale,
                         const SlideDialogRunner& runDialog = {});
