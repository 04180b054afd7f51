#include "photo/PhotoPicture.h"

#include "image/DibFormat.h"
#include "measure/Calibration.h"
#include "platform/files/RegularFile.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kExtensionChars = 3;
constexpr int kExtensionWithDot = 4;
constexpr int kMaxTagChars = 32;
constexpr QSize kTallPicture(1280, 1024);
constexpr QSize kFittedSize(kPreviewWidth, 480);
constexpr QSize kFittedTallSize(kPreviewWidth, 512);
// A complete JPEG ends with its end-of-image marker; a few bytes of padding after
// it are common, a cut-off file has none.
constexpr qsizetype kJpegTailSearch = 4096;

bool HasJpegEnd(const QByteArray& bytes)
{
    const qsizetype from = std::max<qsizetype>(0, bytes.size() - kJpegTailSearch);
    return bytes.indexOf("\xFF\xD9", from) >= 0;
}

// An uncompressed BMP must hold every row its header promises; a file cut short
// would otherwise show black rows as if they were the picture.
bool HasAllBmpRows(const QByteArray& bytes)
{
    if (bytes.size() < kBmpFileHeaderSize + kDibHeaderSize) {
        return false;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const uint32_t pixelOffset =
        uint32_t(data[10]) | uint32_t(data[11]) << 8 | uint32_t(data[12]) << 16 | uint32_t(data[13]) << 24;
    DibHeader header;
    if (!ParseDibHeader(data + kBmpFileHeaderSize, size_t(bytes.size() - kBmpFileHeaderSize), &header)) {
        return false;
    }
    if (header.compression != kBiRgb) {
        return true; // compressed data: the decoder checks it
    }
    const int64_t rows = header.height < 0 ? -int64_t(header.height) : int64_t(header.height);
    const int64_t needed = int64_t(pixelOffset) + DibStride(header.width, header.bitCount) * rows;
    return header.width > 0 && rows > 0 && needed <= bytes.size();
}

} // namespace

uint32_t PictureTypeOf(const QString& path)
{
    const QString ending = path.right(kExtensionChars);
    if (ending.compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0) {
        return CXIMAGE_FORMAT_BMP;
    }
    if (ending.compare(QLatin1String("jpg"), Qt::CaseInsensitive) == 0) {
        return CXIMAGE_FORMAT_JPG;
    }
    return CXIMAGE_FORMAT_UNKNOWN;
}

bool LoadPicture(const QString& path, CxImage& picture)
{
    const uint32_t type = PictureTypeOf(path);
    if (type == CXIMAGE_FORMAT_UNKNOWN) {
        return false;
    }
    QByteArray bytes;
    const bool complete = ReadRegularFile(path, &bytes) &&
                          (type == CXIMAGE_FORMAT_JPG ? HasJpegEnd(bytes) : HasAllBmpRows(bytes));
    if (!complete) {
        picture.Destroy();
        return false;
    }
    return picture.LoadScaled(path, type, {});
}

QString PictureBaseName(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return name.left(std::max<qsizetype>(0, name.size() - kExtensionWithDot));
}

QString PictureCaption(const QString& baseName)
{
    return baseName.mid(baseName.indexOf(QLatin1Char('_')) + 1);
}

QString PictureMagnificationTag(const QString& path)
{
    return MagnificationFromPictureName(path).left(kMaxTagChars);
}

QSize FittedDisplaySize(QSize picture)
{
    return picture == kTallPicture ? kFittedTallSize : kFittedSize;
}

double PictureSaveRatio(DisplayMode mode, QSize picture)
{
    if (mode == DisplayMode::ActualSize || picture.width() <= 0) {
        return 1.0;
    }
    // The listed sizes keep their stored ratios (2592 pixels: 4.05).
    const double listed = SaveRatio(mode, picture);
    const double ratio = double(picture.width()) / kPreviewWidth;
    return std::abs(listed - ratio) < 0.01 ? listed : ratio;
}

double PictureDisplayFactor(DisplayMode mode, QSize picture)
{
    if (mode != DisplayMode::ActualSize || picture.width() <= 0) {
        return 1.0;
    }
    const double listed = DisplayFactor(mode, picture);
    const double factor = double(kPreviewWidth) / picture.width();
    return std::abs(listed - factor) < 0.01 ? listed : factor;
}
