// Measures focus stacks for the focus-stack journey and bench/stack/compare:
//   stack_probe write DIR [COUNT]   writes DIR/slice00.jpg ... and DIR/truth.png
//       (the depth slide at 2592 x 1944, near to far, with drift and breathing; the
//       truth is in the middle slice's geometry)
//   stack_probe ssim A B            prints the structural similarity of two pictures
//   stack_probe tiles A B...        prints, for a 4 x 4 grid, each tile's Tenengrad of A
//       over the largest of the B pictures' there, row by row, then the smallest
#include "image/JpegCodec.h"
#include "image/stack/PictureQuality.h"
#include "platform/camera/DepthSlide.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kWidth = 2592;
constexpr int kHeight = 1944;
constexpr int kDefaultCount = 10;
constexpr int kJpegQuality = 95;

int Write(const QString& dir, int count)
{
    QDir().mkpath(dir);
    const DepthSlide slide(kWidth, kHeight);
    const std::vector<FocusSeriesFrame> series = FocusSeries(slide, count);
    for (std::size_t i = 0; i < series.size(); ++i) {
        QByteArray jpeg;
        QFile file(QDir(dir).filePath(QString("slice%1.jpg").arg(i, 2, 10, QChar('0'))));
        if (!EncodeJpeg(series[i].picture, kJpegQuality, &jpeg) || !file.open(QIODevice::WriteOnly) ||
            file.write(jpeg) != jpeg.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return slide.Truth().save(QDir(dir).filePath("truth.png")) ? 0 : 1;
}

QImage Read(const QString& path)
{
    QImageReader reader(path);
    return reader.read();
}

// Each tile's Tenengrad of `stack` over the largest of `others` there.
int PrintTileRatios(const QString& stack, const QStringList& others)
{
    constexpr int kGrid = 4, kTiles = kGrid * kGrid;
    const QImage a = Read(stack);
    const auto tile = [&](int t) {
        const int tw = a.width() / kGrid, th = a.height() / kGrid;
        return QRect(t % kGrid * tw, t / kGrid * th, tw, th);
    };
    std::vector<double> best(kTiles, 1e-9);
    for (const QString& path : others) {
        const QImage b = Read(path);
        if (a.isNull() || a.size() != b.size()) {
            std::fprintf(stderr, "the pictures are missing or differ in size\n");
            return 1;
        }
        for (int t = 0; t < kTiles; ++t) {
            best[t] = std::max(best[t], Tenengrad(b, tile(t)));
        }
    }
    double smallest = 1e9;
    for (int t = 0; t < kTiles; ++t) {
        const double ratio = Tenengrad(a, tile(t)) / best[t];
        smallest = std::min(smallest, ratio);
        std::printf("%.3f%c", ratio, t % kGrid == kGrid - 1 ? '\n' : ' ');
    }
    std::printf("%.3f\n", smallest);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen"); // the ruler's figures need fonts, not a display
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == "write") {
        return Write(args[2], args.size() > 3 ? args[3].toInt() : kDefaultCount);
    }
    if (args.size() == 4 && args[1] == "ssim") {
        const double ssim = StructuralSimilarity(Read(args[2]), Read(args[3]));
        std::printf("%.4f\n", ssim);
        return ssim < 0 ? 1 : 0;
    }
    if (args.size() >= 4 && args[1] == "tiles") {
        return PrintTileRatios(args[2], args.mid(3));
    }
    std::fprintf(stderr, "usage: stack_probe write DIR [COUNT] | ssim A B | tiles A B...\n");
    return 2;
}
