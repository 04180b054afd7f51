#include "capture/StillSaver.h"

#include "image/CxImage.h"
#include "platform/files/NewFile.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

namespace {

const QString StillPrefix()
{
    return QStringLiteral("Still_");
}

QString ExtensionFor(int imageFormat)
{
    return imageFormat == kImageFormatBmp ? ".bmp" : ".jpg";
}

struct ScaleEntry {
    int width, height; // height 0: any height
    double factor;
};
constexpr ScaleEntry kScaleTable[] = {
    {320, 240, 0.5},   {640, 0, 1.0},     {1280, 960, 2.0},   {1280, 1024, 2.0},
    {1600, 1200, 2.5}, {2048, 1536, 3.2}, {2592, 1944, 4.05},
};

// Copies the frame unscaled to the top left of the still; what does not fit, or
// what the buffer does not hold, is left out.
void CopyFrame(const std::uint8_t* frame, std::size_t length, const BitmapInfoHeader& header, QImage* still)
{
    const int64_t width = std::max<int64_t>(header.biWidth, 0);
    const int64_t height = std::max<int64_t>(header.biHeight, 0);
    const int64_t stride = width * 3;
    const int rows = int(std::min<int64_t>(height, still->height()));
    const std::size_t rowBytes = std::size_t(std::min<int64_t>(width, still->width()) * 3);
    for (int y = 0; y < rows; ++y) {
        // Bottom-up: the last row of the buffer is the top of the picture.
        const int64_t offset = (height - 1 - y) * stride;
        if (offset < 0 || std::size_t(offset) + rowBytes > length) {
            continue;
        }
        std::memcpy(still->scanLine(y), frame + offset, rowBytes);
    }
}

void PaintLiveDrawings(const StillPainters& painters, double scale, QImage* still)
{
    if (!painters.overlays && !painters.measurements) {
        return;
    }
    QPainter painter(still);
    if (painters.overlays) {
        painter.save();
        painters.overlays(painter, scale);
        painter.restore();
    }
    if (painters.measurements) {
        painters.measurements(painter, scale, scale);
    }
}

} // namespace

int StillCounterOfName(const QString& fileName)
{
    const qsizetype n = fileName.lastIndexOf('N');
    if (n < 0) {
        return 0;
    }
    QString tail = fileName.mid(n + 1);
    const qsizetype dot = tail.lastIndexOf('.');
    if (dot >= 0) {
        tail.truncate(dot);
    }
    int64_t value = 0;
    for (QChar c : tail) {
        if (c < '0' || c > '9') {
            break;
        }
        value = std::min<int64_t>(value * 10 + (c.unicode() - '0'), INT_MAX - 1);
    }
    return int(value);
}

int NextStillCounter(const QString& pictureFolder, int imageFormat, bool* skippedFolder)
{
    QDir dir(pictureFolder);
    dir.setNameFilters({"*" + ExtensionFor(imageFormat)});
    dir.setFilter(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    int largest = 0;
    for (const QFileInfo& entry : dir.entryInfoList()) {
        if (entry.isDir()) {
            if (skippedFolder != nullptr) {
                *skippedFolder = true;
            }
            continue;
        }
        largest = std::max(largest, StillCounterOfName(entry.fileName()));
    }
    return largest + 1;
}

QString StillFileName(const QString& folder, const QDateTime& localTime, const QString& magnification,
                      int counter, int imageFormat)
{
    const QDate d = localTime.date();
    const QTime t = localTime.time();
    const QString stamp = QString::asprintf("%4d-%02d-%02d_%02d%02d%02d", d.year(), d.month(), d.day(),
                                            t.hour(), t.minute(), t.second());
    const QString number = QString::asprintf("%04d", counter);
    const QString mag = magnification.isEmpty() ? QString() : "_" + magnification + "X";
    return folder + "/" + StillPrefix() + stamp + mag + "_N" + number + ExtensionFor(imageFormat);
}

double StillScaleFactor(int width, int height)
{
    for (const ScaleEntry& e : kScaleTable) {
        if (e.width == width && (e.height == 0 || e.height == height)) {
            return e.factor;
        }
    }
    return 1.0;
}

StillResult SaveStill(const StillJob& job, const std::uint8_t* frame, std::size_t length,
                      const BitmapInfoHeader& header, QString* savedPath, bool* skippedFolder)
{
    if (savedPath) {
        savedPath->clear();
    }
    const int counter = NextStillCounter(job.pictureFolder, job.imageFormat, skippedFolder);
    const QDateTime now = QDateTime::currentDateTime();
    const double scale = StillScaleFactor(job.captureWidth, job.captureHeight);

    if (!frame || job.captureWidth <= 0 || job.captureHeight <= 0) {
        return StillResult::NoMemory;
    }
    // 24-bit rows keep the copy from the camera's BGR rows a plain memcpy.
    QImage still(job.captureWidth, job.captureHeight, QImage::Format_BGR888);
    if (still.isNull()) {
        return StillResult::NoMemory;
    }
    const bool covers = header.biWidth >= job.captureWidth && header.biHeight >= job.captureHeight &&
                        length >= std::size_t(header.biWidth) * std::size_t(header.biHeight) * 3;
    if (!covers) {
        still.fill(Qt::black);
    }
    CopyFrame(frame, length, header, &still);
    PaintLiveDrawings(job.painters, scale, &still);

    CxImage image(CXIMAGE_FORMAT_UNKNOWN);
    image.CreateFromBitmap(still);
    const uint32_t type = job.imageFormat == kImageFormatBmp ? CXIMAGE_FORMAT_BMP : CXIMAGE_FORMAT_JPG;
    if (type == CXIMAGE_FORMAT_JPG) {
        image.SetJpegQuality(kStillJpegQuality);
    }
    const auto nameOf = [&](int number) {
        return StillFileName(job.pictureFolder, now, job.magnification, number, job.imageFormat);
    };
    QByteArray bytes;
    QString path;
    if (!image.Encode(type, &bytes) || !WriteNumberedFile(job.pictureFolder, bytes, counter, nameOf, &path)) {
        return StillResult::NotWritten;
    }
    if (savedPath) {
        *savedPath = path;
    }
    return StillResult::Saved;
}
