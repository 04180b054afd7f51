// Drawing measurements: the canvas repaint of a busy picture against decoding one
// preview frame, and saving at full size against plain lines.
#include "measure/MeasureGeometry.h"
#include "measure/MeasureRenderer.h"
#include "measure/MeasureUnits.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <turbojpeg.h>
#include <vector>

namespace {

constexpr QSize kPreview(640, 480);
constexpr QSize kFullPicture(2592, 1944);
constexpr PhotoKind kMix[] = {PhotoKind::Line,           PhotoKind::RadiusCircle,
                              PhotoKind::Rectangle,      PhotoKind::ThreePointAngle,
                              PhotoKind::ContinuousLine, PhotoKind::Polygon,
                              PhotoKind::DiameterCircle, PhotoKind::ThreePointCircle,
                              PhotoKind::FourPointAngle};

QList<QPoint> PointsFor(PhotoKind kind, QPoint o)
{
    switch (kind) {
    case PhotoKind::Line: {
        const QPoint end = o + QPoint(80, 30);
        const EndBar a = EndBarAt(end, o), b = EndBarAt(o, end);
        return {o, end, a.p, a.q, b.p, b.q, o + QPoint(20, 40)};
    }
    case PhotoKind::RadiusCircle:
        return {o, o + QPoint(30, 10), o + QPoint(35, 20)};
    case PhotoKind::Rectangle:
        return {o, o + QPoint(70, 50), o + QPoint(75, 55)};
    case PhotoKind::ThreePointAngle:
        return {o, o + QPoint(40, 40), o + QPoint(90, 10), o + QPoint(45, 50)};
    case PhotoKind::ContinuousLine:
        return {o, o + QPoint(40, 10), o + QPoint(20, 20), o + QPoint(80, 40), o + QPoint(60, 50)};
    case PhotoKind::Polygon:
        return {o, o + QPoint(60, 5), o + QPoint(50, 60), o + QPoint(5, 40), o + QPoint(5, 40)};
    case PhotoKind::DiameterCircle:
        return {o + QPoint(30, 0), o, o + QPoint(60, 0), o + QPoint(30, 35)};
    case PhotoKind::ThreePointCircle:
        return {o + QPoint(30, 30), o + QPoint(30, 0), o + QPoint(0, 30), o + QPoint(60, 30),
                o + QPoint(30, 65)};
    case PhotoKind::FourPointAngle:
        return {o, o + QPoint(80, 0), o + QPoint(10, 10), o + QPoint(70, 60), o + QPoint(40, 65)};
    case PhotoKind::Text:
        break;
    }
    return {};
}

void Fill(PhotoMeasureList& list, int count)
{
    const LogFontRecord font = DefaultMeasureFont();
    for (int i = 0; i < count; ++i) {
        const PhotoKind kind = kMix[size_t(i) % std::size(kMix)];
        const QPoint origin(10 + (i * 97) % 520, 10 + (i * 61) % 380);
        auto shape = std::make_unique<CMeasureShape>();
        shape->penWidth = 1 + i % 3;
        shape->penStyle = i % 5;
        shape->lineColor = 0x0000FF;
        shape->labelColor = 0xFF8000;
        shape->labelFont = font;
        shape->labelLineHeight = 15;
        shape->selected = i % 7 == 0;
        shape->serial = i + 1;
        shape->namePrefix = InfoOf(kind)->namePrefix;
        shape->points = PointsFor(kind, origin);
        shape->valueTexts = {"12.345", "67.890", "123.456"};
        shape->unitTexts = {"mm", "mm", "mm2"};
        shape->labelShown = 1;
        list.Append(kind, std::move(shape));
    }
}

void BM_MeasureScreenRender(benchmark::State& state)
{
    PhotoMeasureList list;
    Fill(list, 50);
    QImage surface(kPreview, QImage::Format_RGB32);
    surface.fill(Qt::darkGray);
    ScreenRenderInput input;
    input.clientSize = kPreview;
    input.caption = "2024-05-01_153045_60X_N0001";
    MeasureRenderer renderer;
    for (auto _ : state) {
        QPainter painter(&surface);
        renderer.DrawScreen(painter, list, input);
    }
}
BENCHMARK(BM_MeasureScreenRender);

void BM_MeasureJpegDecode640(benchmark::State& state)
{
    // A smooth picture with some texture, like a slide under the microscope.
    QImage frame(kPreview, QImage::Format_RGB888);
    for (int y = 0; y < frame.height(); ++y) {
        uchar* row = frame.scanLine(y);
        for (int x = 0; x < frame.width() * 3; ++x) {
            row[x] = uchar(60 + x / 12 + y / 5 + ((x / 3 + y) % 16 < 2 ? 40 : 0));
        }
    }
    tjhandle encoder = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long jpegSize = 0;
    tjCompress2(encoder, frame.constBits(), frame.width(), int(frame.bytesPerLine()), frame.height(),
                TJPF_RGB, &jpeg, &jpegSize, TJSAMP_422, 90, 0);
    tjDestroy(encoder);
    tjhandle decoder = tjInitDecompress();
    std::vector<unsigned char> bgr(size_t(kPreview.width() * kPreview.height() * 3));
    for (auto _ : state) {
        tjDecompress2(decoder, jpeg, jpegSize, bgr.data(), kPreview.width(), kPreview.width() * 3,
                      kPreview.height(), TJPF_BGR, 0);
        benchmark::DoNotOptimize(bgr.data());
    }
    tjDestroy(decoder);
    tjFree(jpeg);
}
BENCHMARK(BM_MeasureJpegDecode640);

void BM_MeasureSaveRender(benchmark::State& state)
{
    PhotoMeasureList list;
    Fill(list, 200);
    QImage picture(kFullPicture, QImage::Format_RGB32);
    picture.fill(Qt::darkGray);
    SaveRenderInput input;
    input.ratio = SaveRatio(DisplayMode::Fitted, kFullPicture);
    input.pictureSize = kFullPicture;
    MeasureRenderer renderer;
    for (auto _ : state) {
        QPainter painter(&picture);
        renderer.DrawSaved(painter, list, input);
    }
}
BENCHMARK(BM_MeasureSaveRender);

void BM_MeasurePlainLines2592(benchmark::State& state)
{
    QImage picture(kFullPicture, QImage::Format_RGB32);
    picture.fill(Qt::darkGray);
    for (auto _ : state) {
        QPainter painter(&picture);
        painter.setPen(QPen(Qt::red, 1));
        for (int i = 0; i < 200; ++i) {
            const QPoint from(40 + (i * 97 * 4) % 2100, 40 + (i * 61 * 4) % 1540);
            painter.drawLine(from, from + QPoint(320, 120));
        }
    }
}
BENCHMARK(BM_MeasurePlainLines2592);

} // namespace
