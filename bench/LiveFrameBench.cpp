// The live callback of a busy preview: twenty live measurements of every kind and
// all three guides drawn over each largest-sensor MJPG frame, against the bare
// decode plus one copy of the frame (BM_CaptureBaselineMjpg/2592/1944, and
// BM_PreviewBaselineMjpgTextured for the textured frame).
#include "LiveRig.h"
#include "liveview/ImageEffects.h"
#include "liveview/LiveDrawing.h"
#include "liveview/LiveOverlays.h"
#include "measure/MeasureKind.h"
#include "measure/MeasurePainting.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;
constexpr int kMeasurements = 20;
constexpr double kMagnification = 10.0;
constexpr ColorRef kBlue = 0xFF0000;

struct ShapeLayout {
    LiveKind kind;
    QList<QPoint> points; // relative to the shape's origin, label anchor last
    QStringList values;
    QStringList units;
};

// One finished object of each kind, laid out as the live tools leave them.
std::vector<ShapeLayout> Layouts()
{
    const QStringList mm{QStringLiteral("mm")};
    const QStringList round{QStringLiteral("mm"), QStringLiteral("mm"), QStringLiteral("mm2")};
    const QStringList arc{QStringLiteral("mm"), QString(), QStringLiteral("mm")};
    return {
        {LiveKind::Line, {{0, 0}, {80, 30}, {40, 40}}, {QStringLiteral("1.234")}, mm},
        {LiveKind::ContinuousLine,
         {{0, 0}, {40, 10}, {20, 20}, {80, 40}, {60, 50}},
         {QStringLiteral("0.412"), QStringLiteral("0.447")},
         mm},
        {LiveKind::PointToLine,
         {{0, 0}, {90, 0}, {45, 0}, {45, 40}, {50, 50}},
         {QStringLiteral("0.667")},
         mm},
        {LiveKind::Polygon,
         {{0, 0}, {60, 5}, {50, 60}, {5, 40}, {0, 0}, {30, 30}},
         {QStringLiteral("0.845")},
         {QStringLiteral("mm2")}},
        {LiveKind::RadiusCircle,
         {{30, 30}, {55, 30}, {60, 60}},
         {QStringLiteral("0.417"), QStringLiteral("2.618"), QStringLiteral("0.545")},
         round},
        {LiveKind::DiameterCircle,
         {{0, 30}, {60, 30}, {65, 60}},
         {QStringLiteral("1.000"), QStringLiteral("3.142"), QStringLiteral("0.785")},
         round},
        {LiveKind::ThreePointCircle,
         {{30, 30}, {30, 0}, {65, 65}},
         {QStringLiteral("0.500"), QStringLiteral("3.142"), QStringLiteral("0.785")},
         round},
        {LiveKind::Arc,
         {{0, 30}, {30, 0}, {60, 30}, {30, 30}, {40, 45}},
         {QStringLiteral("0.500"), QStringLiteral("180.00"), QStringLiteral("1.571")},
         arc},
        {LiveKind::ThreePointAngle,
         {{0, 0}, {40, 40}, {90, 10}, {45, 50}},
         {QStringLiteral("59.04")},
         {QString()}},
        {LiveKind::FourPointAngle,
         {{0, 0}, {80, 0}, {10, 10}, {70, 60}, {40, 65}},
         {QStringLiteral("39.81")},
         {QString()}},
    };
}

std::shared_ptr<const LiveSnapshot> BusySnapshot()
{
    const std::vector<ShapeLayout> layouts = Layouts();
    auto finished = std::make_shared<std::vector<LiveShapeCopy>>();
    for (int i = 0; i < kMeasurements; ++i) {
        const ShapeLayout& layout = layouts[size_t(i) % layouts.size()];
        const QPoint origin(10 + (i * 97) % 520, 10 + (i * 61) % 380);
        CMeasureShape shape;
        shape.kind = static_cast<int32_t>(layout.kind);
        shape.lineColor = kBlue;
        shape.labelFont = DefaultMeasureFont();
        shape.serial = i + 1;
        shape.namePrefix = QLatin1String(InfoOf(layout.kind)->namePrefix);
        for (const QPoint& p : layout.points) {
            shape.points.append(origin + p);
        }
        shape.valueTexts = layout.values;
        shape.unitTexts = layout.units;
        shape.labelShown = 1;
        finished->push_back(LiveShapeCopy{layout.kind, std::move(shape)});
    }
    auto snapshot = std::make_shared<LiveSnapshot>();
    snapshot->finished = std::move(finished);
    return snapshot;
}

// The hooks the main window wires: effects (none on), measurements, guides.
struct BusyLiveView {
    std::shared_ptr<ImageEffects> effects = std::make_shared<ImageEffects>();
    std::shared_ptr<LiveDrawing> drawing = std::make_shared<LiveDrawing>();
    std::shared_ptr<LiveOverlays> overlays = std::make_shared<LiveOverlays>();

    BusyLiveView()
    {
        drawing->Publish(BusySnapshot());
        const GuideScaleReader scale = [] {
            return GuideScale{kMagnification, QStringLiteral("mm"), Class2592, QSize(kWidth, kHeight)};
        };
        overlays->ToggleCrosshair();
        overlays->ToggleScaleLine(scale);
        overlays->ToggleCircleGrid(scale);
    }

    LiveViewHooks Hooks() const
    {
        LiveViewHooks hooks;
        hooks.applyEffects = [e = effects](std::uint8_t* pixels, int w, int h) { e->Apply(pixels, w, h); };
        hooks.paintMeasurements = [d = drawing](QPainter& painter, double fx, double fy) {
            d->PaintPreview(painter, fx, fy);
        };
        hooks.paintOverlays = [o = overlays](QPainter& painter, const QSize& size) {
            o->PaintPreview(painter, size);
        };
        return hooks;
    }
};

void BM_CaptureLiveBusyMjpg(benchmark::State& state)
{
    LiveRig rig(kWidth, kHeight, CameraSubtype::MJPG);
    const BusyLiveView view;
    rig.session.SetLiveViewHooks(view.Hooks());
    const std::vector<std::uint8_t> bytes = CameraBytes(kWidth, kHeight, CameraSubtype::MJPG);
    const CameraFrame frame{CameraSubtype::MJPG, kWidth, kHeight, bytes.data(), bytes.size(), 0.0};
    if (!FeedLive(rig, frame, state)) {
        state.SkipWithError("frames did not reach the frame store");
    }
}
BENCHMARK(BM_CaptureLiveBusyMjpg)->Unit(benchmark::kMillisecond);

// The same on a frame of real texture; range(0) 1 converts every frame whole, as
// the live path did before the preview had its small pictures.
void BM_CaptureLiveBusyMjpgTextured(benchmark::State& state)
{
    LiveRig rig(kWidth, kHeight, CameraSubtype::MJPG);
    const BusyLiveView view;
    rig.session.SetLiveViewHooks(view.Hooks());
    if (state.range(0) == 1) {
        rig.graph.SetLiveFrameHooks(WholeFrameHooks(view.Hooks()));
    }
    const std::vector<std::uint8_t> bytes = TexturedCameraBytes(kWidth, kHeight, CameraSubtype::MJPG);
    const CameraFrame frame{CameraSubtype::MJPG, kWidth, kHeight, bytes.data(), bytes.size(), 0.0};
    if (!FeedLive(rig, frame, state)) {
        state.SkipWithError("frames did not reach the frame store");
    }
}
BENCHMARK(BM_CaptureLiveBusyMjpgTextured)->ArgName("whole")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
