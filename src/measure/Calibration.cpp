#include "measure/Calibration.h"

#include "measure/MeasureTexts.h"
#include "measure/MeasureUnits.h"
#include "measure/NumberText.h"
#include "platform/desktop/MessageBox.h"
#include "platform/text/TextCatalogue.h"

#include <QFileInfo>
#include <cmath>

namespace {

constexpr double kInchPerMillimetre = 0.03937007874015748;
// Mils are reached in two steps, in this order, so the result is exactly 39.37007874015748.
constexpr double kMilStep1 = 5000;
constexpr double kMilStep2 = 0.007874015748031496;
constexpr double kCentimetrePerMillimetre = 0.1;
constexpr int kExtensionLength = 4; // ".jpg", ".bmp"
constexpr int kCounterLength = 6;   // "_N0001"
constexpr double kTenths = 10.0;
// The nominal text has always been read into a 64-character buffer.
constexpr int kMagnificationTextChars = 63;

int FailRead(QWidget* owner)
{
    ShowMessage(owner, LoadText(txt::EnterRate), LoadText(txt::MsgTitle), MB_OK | MB_ICONWARNING);
    return 0;
}

} // namespace

SharedCalibration& Calibration()
{
    static SharedCalibration shared;
    return shared;
}

int ReadMagnification(QWidget* owner, const QString& calibratedText, const QString& nominalText,
                      bool useNominal, double& magnification)
{
    double value = ParseLeadingNumber(calibratedText);
    if (value != 0 && useNominal) {
        value = ParseLeadingNumber(nominalText);
    } else if (value == 0) {
        value = ParseLeadingNumber(nominalText);
    }
    // A zero magnification would divide every later value by zero, also when a
    // calibrated value is shown but the nominal one is asked for.
    if (value == 0) {
        magnification = 0;
        return FailRead(owner);
    }
    magnification = value;
    Calibration().current = value;
    return 1;
}

double MillimetresToUnit(double millimetres, const QString& unit)
{
    if (unit == QLatin1String(kUnitInch)) {
        return millimetres * kInchPerMillimetre;
    }
    if (unit == QLatin1String(kUnitMil)) {
        return millimetres * kMilStep1 * kMilStep2;
    }
    if (unit == QLatin1String(kUnitCentimetre)) {
        return millimetres * kCentimetrePerMillimetre;
    }
    return millimetres;
}

bool CalibratedMagnification(double rawLength, double windowMagnification, double actualDistance,
                             double current, double& result)
{
    const double value = (rawLength / windowMagnification) / actualDistance * current;
    // Compared as stored, to one decimal.
    const double stored = std::round(value * kTenths) / kTenths;
    if (!std::isfinite(value) || stored < kSmallestCalibratedMagnification ||
        stored > kLargestCalibratedMagnification) {
        return false;
    }
    result = value;
    return true;
}

QString MagnificationText(const QString& typed)
{
    return typed.left(kMagnificationTextChars).trimmed();
}

QString CalibrationText(double magnification)
{
    return QString::asprintf("%.1f", magnification);
}

QString MagnificationFromPictureName(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    if (name.size() < kExtensionLength) {
        return QString();
    }
    const QString base = name.left(name.size() - kExtensionLength);
    QString rest = base.mid(base.indexOf(QLatin1Char('_')) + 1);
    if (rest.size() < kCounterLength) {
        return QString();
    }
    rest.chop(kCounterLength);
    const qsizetype lastUnderscore = rest.lastIndexOf(QLatin1Char('_'));
    if (lastUnderscore < 0) {
        return QString();
    }
    const QString tag = rest.mid(lastUnderscore);
    if (tag.size() < 2 || !tag.endsWith(QLatin1Char('X'))) {
        return QString();
    }
    return MagnificationText(tag.mid(1, tag.size() - 2));
}
