#pragma once
// A live measurement host over a bare window with its two magnification boxes, the
// settings of a class-2 camera at 1280 x 960 in millimetres with three decimals,
// and a scripted calibration dialog.
#include "common/TestSupport.h"
#include "liveview/CLiveMeasureHost.h"
#include "liveview/LiveCalibration.h"
#include "liveview/LivePreviewArea.h"

#include <QImage>
#include <QLineEdit>
#include <QWidget>
#include <memory>

namespace livetest {

inline constexpr ColorRef kBlue = 0xFF0000; // lines of finished objects
inline constexpr ColorRef kGreen = 0x00FF00;

// Counts the calibration-done messages it gets.
class DoneCountingWindow : public QWidget {
public:
    int done = 0;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == LiveCalibration::kDoneMessage) {
            ++done;
            return true;
        }
        return QWidget::event(event);
    }
};

class LiveHostFixture {
public:
    LiveHostFixture();
    ~LiveHostFixture();

    // Mouse events at preview positions.
    void Click(QPoint preview) { host->OnLeftButtonDown(preview + livearea::kOrigin); }
    void Move(QPoint preview) { host->OnMouseMove(preview + livearea::kOrigin); }
    void DoubleClick(QPoint preview) { host->OnLeftDoubleClick(preview + livearea::kOrigin); }
    void Clicks(std::initializer_list<QPoint> points);

    // The live drawings on a white picture of `size` at factor `scale`.
    QImage Still(QSize size, double scale);

    testsupport::TempHome home;
    DoneCountingWindow window;
    QLineEdit* nominal = nullptr;
    QLineEdit* calibrated = nullptr;
    LiveMeasureSettings settings;
    std::unique_ptr<LiveCalibration> calibration;
    std::unique_ptr<CLiveMeasureHost> host;
    QList<int> pressed; // every button look the host asked for
    QList<bool> confines;
    QStringList messages;
};

// Colour of a ColorRef as a picture pixel.
QRgb Pixel(ColorRef color);
// Pixels of `color` in the rectangle.
int CountColour(const QImage& image, const QRect& rect, ColorRef color);

} // namespace livetest
