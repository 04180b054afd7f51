#pragma once
// A stored picture as the photo canvas sees it: which codec its name asks for,
// loading it, the names drawn from its file name, and the sizes and ratios that
// depend on its pixel size.
#include "image/CxImage.h"
#include "measure/MeasureUnits.h"

#include <QSize>
#include <QString>

// Codec by the last three characters of the path, without regard to case: "bmp"
// BMP, "jpg" JPEG, anything else (also "jpeg") none.
uint32_t PictureTypeOf(const QString& path);

// Loads the picture whose name asks for BMP or JPEG. A file that is damaged or cut
// short does not load, so nothing is ever measured on a half-decoded picture.
bool LoadPicture(const QString& path, CxImage& picture);

// File name without folder and without its last four characters.
QString PictureBaseName(const QString& path);
// The base name after its first "_" (all of it when there is none).
QString PictureCaption(const QString& baseName);
// Magnification tag of the name ("200" in ..._200X_N0001.bmp), at most 32 characters.
QString PictureMagnificationTag(const QString& path);

// The fitted display: 640 x 512 for a 1280 x 1024 picture, else 640 x 480.
QSize FittedDisplaySize(QSize picture);

// Stored points to picture pixels when saving: 1 in actual size; in fitted display
// the picture's width over the fitted 640 pixels.
double PictureSaveRatio(DisplayMode mode, QSize picture);
// Picture pixels to preview pixels for the values: 1 in fitted display; in actual
// size 640 over the picture's width.
double PictureDisplayFactor(DisplayMode mode, QSize picture);
