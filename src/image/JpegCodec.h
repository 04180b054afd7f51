#pragma once
// JPEG through TurboJPEG: baseline 4:2:0 encoding straight from 24/32-bit rows,
// and decoding with DCT scaling when only a small picture is needed.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Decodes JPEG bytes into an RGB32 image. With a valid `atLeast`, the decoder
// scales down by the largest factor (down to 1/8) that still covers that size.
// Damaged data, or a picture too large to hold, gives a null image.
QImage DecodeJpeg(const QByteArray& data, QSize atLeast = {});
QImage DecodeJpegFile(const QString& path, QSize atLeast = {});

// Encodes the image (any format; BGR888, RGB888 and RGB32 without a copy).
bool EncodeJpeg(const QImage& image, int quality, QByteArray* out);

// Encodes 24-bit BGR rows as they come from the camera (bottom-up when asked).
bool EncodeJpegBgr(const unsigned char* pixels, int width, int height, int stride, bool bottomUp, int quality,
                   QByteArray* out);
