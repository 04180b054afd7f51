#pragma once
// Magnification and calibration: the values both measuring windows share, reading a
// window's magnification boxes, and turning a calibration line into a corrected
// magnification.
#include <QString>

class QWidget;

// Shared by the main window and the photo window for the whole run.
struct SharedCalibration {
    double current = 0.0;          // G: magnification used by every new value
    double lastResult = 0.0;       // C: last accepted calibration, what the boxes and the file get
    double actualDistance = 0.0;   // A: last real length accepted, in the display unit
    double slideDivisionMm = 0.01; // length of a stage micrometer's division, as last confirmed
};
SharedCalibration& Calibration();

// Reads a window's magnification from its calibrated box (read-only, may be empty)
// and its nominal box. A calibrated value wins unless `useNominal` is set. On success
// sets `magnification` (the window's M) and the shared G and returns 1; with no
// usable value it shows "Please input the zoomIn scale!" and returns 0.
int ReadMagnification(QWidget* owner, const QString& calibratedText, const QString& nominalText,
                      bool useNominal, double& magnification);

// Real length typed in millimetres, in the display unit.
double MillimetresToUnit(double millimetres, const QString& unit);

// The calibrated magnifications kept, as "%.1f" texts: from 0.1 (a smaller one
// would read back as 0, no magnification) to five digits before the point, as many
// as the nominal box takes. The calibrated boxes show the widest whole.
inline constexpr double kSmallestCalibratedMagnification = 0.1;
inline constexpr double kLargestCalibratedMagnification = 99999.9;

// Corrected magnification after a calibration line of raw length `rawLength`
// (pixels x scale x 10) drawn at the window's magnification, whose real length is
// `actualDistance`: (L / M) / A x G. Returns false when the result is not a
// magnification kept (above); nothing is then changed.
bool CalibratedMagnification(double rawLength, double windowMagnification, double actualDistance,
                             double current, double& result);

// A nominal magnification as typed: the box's text (at most 63 characters) without
// blanks around it, so " 60", "60 " and "60" are one magnification. Every place
// that takes a magnification text from a box, a picture name or the calibration
// file goes through this.
QString MagnificationText(const QString& typed);

// "%.1f": how calibrated magnifications are shown and stored.
QString CalibrationText(double magnification);

// Nominal magnification in a picture name such as Still_2024-05-01_153045_60X_N0001.jpg
// ("60"); empty when the name has none.
QString MagnificationFromPictureName(const QString& fileName);
