#pragma once
// First picture of a video file, for the strip's thumbnails.
#include <QImage>
#include <QString>

// Decodes the frame at the start of the first video stream. Any failure (no such
// file, not a video, no decoder) gives a null image.
QImage DecodeFirstVideoFrame(const QString& path);
