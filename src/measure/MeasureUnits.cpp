#include "measure/MeasureUnits.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kInchPerMicrometre = 0.0000394;
constexpr double kMilPerMicrometre = 0.0394;
constexpr double kCentimetrePerMicrometre = 0.0001;
constexpr double kMillimetrePerMicrometre = 0.001;

constexpr double kPitchClass2592 = 66.666667;
constexpr double kPitchClass1600 = 80.0;
constexpr double kPitchClass1280 = 63.829787234;
constexpr int kClass1600 = 1;
constexpr int kClass2592 = 2;

struct SizeFactor {
    int width;
    int height;
    double factor;
};

constexpr SizeFactor kDisplayFactors[] = {
    {640, 480, 1.0},   {1280, 1024, 0.5},    {1280, 960, 0.5},
    {1600, 1200, 0.4}, {2048, 1536, 0.3125}, {2592, 1944, 0.2469135802469136},
};
constexpr double kOtherDisplayFactor = 2.0;

constexpr SizeFactor kSaveRatios[] = {
    {2592, 1944, 4.05}, {2048, 1536, 3.2}, {1600, 1200, 2.5},
    {1280, 1024, 2.0},  {1280, 960, 2.0},  {640, 480, 1.0},
};
constexpr double kOtherSaveRatio = 0.5;

// Beyond this the texts only grow, they gain nothing.
constexpr int kMaxDecimals = 10;

template <size_t N> double FactorFor(const SizeFactor (&table)[N], QSize size, double other)
{
    for (const SizeFactor& entry : table) {
        if (entry.width == size.width() && entry.height == size.height()) {
            return entry.factor;
        }
    }
    return other;
}

} // namespace

double unitsPerMicrometre(const QString& unit)
{
    if (unit == QLatin1String(kUnitInch)) {
        return kInchPerMicrometre;
    }
    if (unit == QLatin1String(kUnitMil)) {
        return kMilPerMicrometre;
    }
    if (unit == QLatin1String(kUnitCentimetre)) {
        return kCentimetrePerMicrometre;
    }
    return kMillimetrePerMicrometre;
}

double BasePixelPitch(int cameraClass, QSize frame)
{
    if (cameraClass == kClass2592) {
        return kPitchClass2592;
    }
    if (cameraClass == kClass1600) {
        return frame == QSize(1280, 960) ? kPitchClass1280 : kPitchClass1600;
    }
    return kPitchClass1280;
}

double unitsPerPixel(const QString& unit, int cameraClass, QSize frame)
{
    return unitsPerMicrometre(unit) * BasePixelPitch(cameraClass, frame);
}

double DisplayFactor(DisplayMode mode, QSize picture)
{
    return mode == DisplayMode::ActualSize ? FactorFor(kDisplayFactors, picture, kOtherDisplayFactor) : 1.0;
}

double SaveRatio(DisplayMode mode, QSize picture)
{
    return mode == DisplayMode::ActualSize ? 1.0 : FactorFor(kSaveRatios, picture, kOtherSaveRatio);
}

double LengthFromPixels(double pixels, double scale, double magnification)
{
    return pixels * scale * 10 / magnification;
}

double AreaFromPixels(double pixels, double scale, double magnification)
{
    return scale * (pixels * scale) * 100 / (magnification * magnification);
}

QString FormatValue(double value, int decimals)
{
    const int places = decimals < 0 ? 0 : (decimals > kMaxDecimals ? kMaxDecimals : decimals);
    return QString::asprintf("%.*f", places, std::isfinite(value) ? value : 0.0);
}

QString FormatArea(double value, int decimals)
{
    constexpr int kSignificant = 3;
    constexpr int kMostPlaces = 15; // beyond this a double has nothing more to show
    int places = std::clamp(decimals, 0, kMaxDecimals);
    if (std::isfinite(value) && value != 0.0) {
        const int firstDigit = int(std::floor(std::log10(std::fabs(value))));
        places = std::max(places, std::min(kSignificant - 1 - firstDigit, kMostPlaces));
    }
    return QString::asprintf("%.*f", places, std::isfinite(value) ? value : 0.0);
}

QString FormatAngle(double degrees)
{
    return QString::asprintf("%.2f", std::isfinite(degrees) ? degrees : 0.0);
}

QString AreaUnit(const QString& unit)
{
    return unit + QLatin1Char('2');
}
