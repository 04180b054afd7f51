#include "LiveHostTestSupport.h"

#include "measure/MeasurePainting.h"
#include "measure/MeasureUnits.h"
#include "platform/desktop/MessageBox.h"

#include <QPainter>

namespace livetest {

namespace {
constexpr int kClass2592 = 2;
constexpr uint8_t kNoAntialias = 3;
} // namespace

LiveHostFixture::LiveHostFixture()
{
    nominal = new QLineEdit(QStringLiteral("10"), &window);
    calibrated = new QLineEdit(&window);
    settings.style.lineColor = kBlue;
    settings.style.labelColor = kGreen;
    settings.style.penWidth = 1;
    settings.style.labelFont = DefaultMeasureFont();
    settings.style.labelFont.quality = kNoAntialias;
    settings.unit = QStringLiteral("mm");
    settings.decimals = 3;
    settings.unitsPerPixel = unitsPerPixel(settings.unit, kClass2592, QSize(1280, 960));
    SetMessageResponder([this](const QString& text, const QString&, unsigned) {
        messages.append(text);
        return int(IDOK);
    });
    calibration =
        std::make_unique<LiveCalibration>(&window, nominal, calibrated, home.sub("CalibrationIni.ini"));
    LiveHostHooks hooks;
    hooks.settings = [this] { return settings; };
    hooks.showPressedButton = [this](int id) { pressed.append(id); };
    hooks.confineCursor = [this](bool on) { confines.append(on); };
    host = std::make_unique<CLiveMeasureHost>(*calibration, hooks);
}

LiveHostFixture::~LiveHostFixture()
{
    SetMessageResponder(nullptr);
}

void LiveHostFixture::Clicks(std::initializer_list<QPoint> points)
{
    for (const QPoint& p : points) {
        Move(p);
        Click(p);
    }
}

QImage LiveHostFixture::Still(QSize size, double scale)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    host->PaintStill(painter, scale, scale);
    return image;
}

QRgb Pixel(ColorRef color)
{
    return ColorFromRef(color).rgb();
}

int CountColour(const QImage& image, const QRect& rect, ColorRef color)
{
    int count = 0;
    const QRect inside = rect & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            count += image.pixel(x, y) == Pixel(color) ? 1 : 0;
        }
    }
    return count;
}

} // namespace livetest
