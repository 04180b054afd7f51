#pragma once
// Scale of measurement values: from pixels to the display unit, and the texts the
// values are written with.
#include <QSize>
#include <QString>

inline constexpr const char* kUnitMillimetre = "mm";
inline constexpr const char* kUnitCentimetre = "cm";
inline constexpr const char* kUnitMil = "mil";
inline constexpr const char* kUnitInch = "inch";
inline constexpr const char* kDegreeUnit = "\u00B0";

// How the photo canvas shows its picture.
enum class DisplayMode : int { Fitted = 1, ActualSize = 2 };

// Width of the preview that all scales refer to.
inline constexpr int kPreviewWidth = 640;

// Display units per micrometre; any unknown unit counts as millimetres.
double unitsPerMicrometre(const QString& unit);

// Micrometres per preview pixel at magnification 10, by camera class and frame size.
double BasePixelPitch(int cameraClass, QSize frame);

// Display units per preview pixel at magnification 10.
double unitsPerPixel(const QString& unit, int cameraClass, QSize frame);

// Picture pixels to preview pixels: 1 in fitted display, by picture size in actual size.
double DisplayFactor(DisplayMode mode, QSize picture);

// Stored points to picture pixels when a picture is saved with its measurements.
double SaveRatio(DisplayMode mode, QSize picture);

// Pixel distance to length and pixel count to area, with s = units per pixel and M the
// magnification.
double LengthFromPixels(double pixels, double scale, double magnification);
double AreaFromPixels(double pixels, double scale, double magnification);

// "%.*f" with the decimals setting, and "%.2f" for angles. Values that are not finite
// are never written as such: they read 0.
QString FormatValue(double value, int decimals);
// An area with the decimals setting, but never a non-zero area read as zero: more
// decimals when the setting would show fewer than three significant digits.
QString FormatArea(double value, int decimals);
QString FormatAngle(double degrees);

// Unit text of an area: the unit with "2" appended ("mm2").
QString AreaUnit(const QString& unit);
