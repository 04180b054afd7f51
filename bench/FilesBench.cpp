// Captured-files strip and still saving against the plain codec work they wrap.
#include "capture/StillSaver.h"
#include "files/CFileListView.h"
#include "image/CxImage.h"
#include "image/JpegCodec.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <turbojpeg.h>
#include <vector>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;
constexpr int kPictures = 12;

// A microscope-like picture: shading, the dark lines of a stage micrometer and a
// little sensor noise (about 1 MB as a quality-90 JPEG, like real stills).
QImage SamplePicture(int seed)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            const int noise = int((uint32_t(x * 7919 + y * 104729 + seed * 31) * 2654435761u) >> 28) & 7;
            const bool tick = (x + seed * 5) % 64 < 3 && y > kHeight / 2 - 200 - (x % 320 == 0 ? 100 : 0) &&
                              y < kHeight / 2 + 40;
            const int shade = tick ? 40 : 170;
            line[x] = qRgb(std::min(255, shade + (x / 40 + seed) % 60 + noise),
                           std::min(255, shade + y / 40 % 50 + noise), std::min(255, shade / 2 + noise));
        }
    }
    return image;
}

struct PictureFolder {
    QTemporaryDir root;
    QString pictures = root.filePath("Picture");
    QString videos = root.filePath("Video");
    QStringList files;
    PictureFolder()
    {
        QDir().mkpath(pictures);
        QDir().mkpath(videos);
        for (int i = 0; i < kPictures; ++i) {
            CxImage image;
            image.CreateFromBitmap(SamplePicture(i));
            image.SetJpegQuality(kStillJpegQuality);
            const QString path = pictures + QString::asprintf("/Still_2024-01-05_101230_N%04d.jpg", i + 1);
            image.Save(path, CXIMAGE_FORMAT_JPG);
            files << path;
        }
    }
};

PictureFolder& Folder()
{
    static PictureFolder folder;
    return folder;
}

std::vector<std::uint8_t> BottomUpFrame()
{
    const QImage picture = SamplePicture(99).convertToFormat(QImage::Format_BGR888);
    std::vector<std::uint8_t> frame(size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y) {
        std::memcpy(&frame[size_t(kHeight - 1 - y) * kWidth * 3], picture.constScanLine(y),
                    size_t(kWidth) * 3);
    }
    return frame;
}

void BM_FilesFullDecodeTwelve(benchmark::State& state)
{
    const QStringList& files = Folder().files;
    for (auto _ : state) {
        for (const QString& path : files) {
            CxImage image(path, CXIMAGE_FORMAT_JPG);
            benchmark::DoNotOptimize(image.GetWidth());
        }
    }
}
BENCHMARK(BM_FilesFullDecodeTwelve)->Unit(benchmark::kMillisecond);

void BM_FilesStripFirstShow(benchmark::State& state)
{
    PictureFolder& folder = Folder();
    for (auto _ : state) {
        CFileListView view(folder.pictures, folder.videos);
        view.resize(162, 460);
        view.Refresh();
        benchmark::DoNotOptimize(view.Offscreen().constBits());
    }
}
BENCHMARK(BM_FilesStripFirstShow)->Unit(benchmark::kMillisecond);

void BM_FilesStripRedraw(benchmark::State& state)
{
    PictureFolder& folder = Folder();
    CFileListView view(folder.pictures, folder.videos);
    view.resize(162, 460);
    view.Refresh();
    for (auto _ : state) {
        view.Refresh();
        benchmark::DoNotOptimize(view.Offscreen().constBits());
    }
}
BENCHMARK(BM_FilesStripRedraw)->Unit(benchmark::kMillisecond);

void BM_FilesTurboJpegEncode(benchmark::State& state)
{
    const std::vector<std::uint8_t> frame = BottomUpFrame();
    tjhandle tj = tjInitCompress();
    for (auto _ : state) {
        unsigned char* jpeg = nullptr;
        unsigned long size = 0;
        tjCompress2(tj, frame.data(), kWidth, kWidth * 3, kHeight, TJPF_BGR, &jpeg, &size, TJSAMP_420, 90,
                    TJFLAG_BOTTOMUP);
        benchmark::DoNotOptimize(size);
        tjFree(jpeg);
    }
    tjDestroy(tj);
}
BENCHMARK(BM_FilesTurboJpegEncode)->Unit(benchmark::kMillisecond);

void BM_FilesSaveStillJpeg(benchmark::State& state)
{
    const std::vector<std::uint8_t> frame = BottomUpFrame();
    QTemporaryDir dir;
    StillJob job;
    job.pictureFolder = dir.path();
    job.magnification = "60";
    job.captureWidth = kWidth;
    job.captureHeight = kHeight;
    QString saved;
    for (auto _ : state) {
        SaveStill(job, frame.data(), frame.size(), FrameHeader(kWidth, kHeight), &saved);
        state.PauseTiming();
        QFile::remove(saved);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FilesSaveStillJpeg)->Unit(benchmark::kMillisecond);

} // namespace
