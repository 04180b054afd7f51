#pragma once
// Saving a still picture: the next counter of the picture folder, the dated name,
// the frame copied at capture size with the overlays and live measurements drawn
// in, encoded as BMP or JPEG.
#include "capture/FrameStore.h"
#include "image/ImageFormat.h" // kImageFormatBmp for BMP; anything else is JPEG

#include <QDateTime>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

class QPainter;

inline constexpr int kStillJpegQuality = 90;
// The magnification text is copied into a buffer of this many characters.
inline constexpr int kMagnificationBufferChars = 32;

// Painters that burn the live view's drawings into a still. The overlays and the
// measurements are laid out for the 640-pixel preview; `scale` brings them to the
// capture size.
struct StillPainters {
    std::function<void(QPainter& painter, double scale)> overlays;
    std::function<void(QPainter& painter, double scaleX, double scaleY)> measurements;
};

struct StillJob {
    QString pictureFolder;
    int imageFormat = 0;   // kImageFormatBmp or JPEG
    QString magnification; // empty: names without the magnification
    int captureWidth = 0;
    int captureHeight = 0;
    StillPainters painters;
};

// Shown for a folder named like a picture; a fixed text of the program.
inline constexpr const char* kPictureErrorText = "Picture Error";

// Next counter for the format: one more than the largest number after the last
// capital N of the folder's ".bmp" or ".jpg" names, 1 when there is none. Folders
// named like a picture are skipped, and `skippedFolder` is then set.
int NextStillCounter(const QString& pictureFolder, int imageFormat, bool* skippedFolder = nullptr);

// The number after the last capital N of a file name, up to its last '.'.
int StillCounterOfName(const QString& fileName);

// "<folder>/Still_YYYY-MM-DD_HHMMSS[_<mag>X]_N<counter>.<bmp|jpg>"
QString StillFileName(const QString& folder, const QDateTime& localTime, const QString& magnification,
                      int counter, int imageFormat);

// Scale from the preview's layout to the capture size.
double StillScaleFactor(int width, int height);

enum class StillResult {
    Saved,      // the picture is in the folder, under `savedPath`
    NoMemory,   // no frame or no work memory: nothing was tried
    NotWritten, // encoding or writing failed
};

// Saves the frame (24-bit BGR bottom-up rows of header.biWidth x header.biHeight,
// `length` bytes) as the next still. The picture never replaces a file: when its
// name is taken (two stills in one second with the same counter) the next free
// number is used.
StillResult SaveStill(const StillJob& job, const std::uint8_t* frame, std::size_t length,
                      const BitmapInfoHeader& header, QString* savedPath, bool* skippedFolder = nullptr);
