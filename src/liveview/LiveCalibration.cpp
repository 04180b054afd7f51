#include "liveview/LiveCalibration.h"

#include "measure/CCalibrationDlg.h"
#include "measure/Calibration.h"
#include "measure/CalibrationFile.h"
#include "measure/MeasureTexts.h"
#include "measure/MeasureUnits.h"
#include "platform/desktop/MessageBox.h"

#include <QCoreApplication>
#include <QLineEdit>

namespace {

int RunCalibrationDialog(QWidget* parent, const QString& unit)
{
    CCalibrationDlg dialog(unit, parent);
    // The window behind it is disabled; the dialog itself must take input.
    dialog.setEnabled(true);
    return dialog.DoModal();
}

} // namespace

LiveCalibration::LiveCalibration(QWidget* window, QLineEdit* nominal, QLineEdit* calibrated,
                                 QString calibrationFile)
    : m_window(window), m_nominal(nominal), m_calibrated(calibrated), m_file(std::move(calibrationFile)),
      m_runDialog(RunCalibrationDialog)
{
}

int LiveCalibration::ReadMagnification()
{
    return ::ReadMagnification(m_window, m_calibrated->text(), m_nominal->text(), m_useNominal,
                               m_magnification);
}

int LiveCalibration::BeginCommand()
{
    m_useNominal = true;
    const int read = ReadMagnification();
    if (read == 0) {
        m_useNominal = false;
    }
    return read;
}

void LiveCalibration::EndCommand()
{
    m_useNominal = false;
    ReadMagnification();
}

void LiveCalibration::EnterCalibrationMode()
{
    m_useNominal = false;
    m_calibrating = true;
}

void LiveCalibration::Reset()
{
    m_calibrating = false;
    m_useNominal = false;
}

double LiveCalibration::CalibrateLine(double rawLength, const QString& unit)
{
    SharedCalibration& shared = Calibration();
    m_window->setEnabled(false);
    if (m_runDialog(m_window, unit) == IDOK) {
        double result = 0.0;
        if (CalibratedMagnification(rawLength, m_magnification, shared.actualDistance, shared.current,
                                    result)) {
            shared.current = result;
            shared.lastResult = result;
            QCoreApplication::postEvent(m_window, new QEvent(kDoneMessage));
        } else {
            ShowMessage(m_window,
                        LoadText(txt::CalibrationOutOfRange)
                            .arg(CalibrationText(kSmallestCalibratedMagnification),
                                 CalibrationText(kLargestCalibratedMagnification)),
                        LoadText(txt::MsgTitle), MB_OK | MB_ICONWARNING);
        }
    }
    m_calibrating = false;
    m_window->setEnabled(true);
    return rawLength / shared.current;
}

void LiveCalibration::CalibrateFromSlide(const QImage& frame, double previewPerPicturePixel, double scale,
                                         const QString& unit)
{
    if (!BeginCommand()) {
        return;
    }
    m_useNominal = false;
    if (frame.isNull()) {
        ShowMessage(m_window, LoadText(txt::SlideNoFrame), LoadText(txt::MsgTitle), MB_OK | MB_ICONWARNING);
        return;
    }
    const SlideScale slide{m_magnification, Calibration().current, previewPerPicturePixel, scale, unit};
    if (RunSlideCalibration(m_window, frame, slide, m_runSlideDialog)) {
        QCoreApplication::postEvent(m_window, new QEvent(kDoneMessage));
    }
}

void LiveCalibration::OnCalibrationDone()
{
    const double result = Calibration().lastResult;
    m_calibrated->setText(CalibrationText(result));
    ReadMagnification();
    CalibrationFile(m_file).Store(MagnificationText(m_nominal->text()), result);
}

void LiveCalibration::OnNominalChanged()
{
    const QString nominal = MagnificationText(m_nominal->text());
    if (nominal.isEmpty()) {
        return;
    }
    QString stored;
    CalibrationFile(m_file).Lookup(nominal, stored);
    m_calibrated->setText(stored);
}
