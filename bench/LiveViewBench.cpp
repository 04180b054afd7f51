// Each picture effect on a largest-sensor frame of the virtual slide, in place,
// against one plain copy of that frame. Each round starts from the camera's frame
// again (untimed), as the live picture does.
#include "liveview/ImageEffects.h"
#include "platform/camera/VirtualSlide.h"

#include <QImage>
#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;
constexpr int kLargestSensor = 2;

std::vector<std::uint8_t> TestFrame()
{
    const QImage slide =
        RenderSlide(kLargestSensor, kWidth, kHeight, {}).convertToFormat(QImage::Format_BGR888);
    std::vector<std::uint8_t> frame(std::size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y) {
        std::memcpy(frame.data() + std::size_t(y) * kWidth * 3, slide.constScanLine(kHeight - 1 - y),
                    std::size_t(kWidth) * 3);
    }
    return frame;
}

void BM_EffectPlainCopy(benchmark::State& state)
{
    const std::vector<std::uint8_t> frame = TestFrame();
    std::vector<std::uint8_t> copy(frame.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), frame.data(), frame.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
}

void Effect(benchmark::State& state, std::initializer_list<EffectButton> buttons)
{
    const std::vector<std::uint8_t> camera = TestFrame();
    std::vector<std::uint8_t> frame = camera;
    ImageEffects effects;
    for (const EffectButton button : buttons) {
        effects.Press(button);
    }
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(frame.data(), camera.data(), camera.size());
        state.ResumeTiming();
        effects.Apply(frame.data(), kWidth, kHeight);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
}

void BM_EffectMirror(benchmark::State& state)
{
    Effect(state, {EffectButton::Mirror});
}
void BM_EffectHalfTurn(benchmark::State& state)
{
    Effect(state, {EffectButton::HalfTurn});
}
void BM_EffectThreshold(benchmark::State& state)
{
    Effect(state, {EffectButton::Threshold});
}
void BM_EffectNegative(benchmark::State& state)
{
    Effect(state, {EffectButton::Negative});
}
void BM_EffectRed(benchmark::State& state)
{
    Effect(state, {EffectButton::Red});
}
// Two channel buttons: one channel cleared.
void BM_EffectRedGreen(benchmark::State& state)
{
    Effect(state, {EffectButton::Red, EffectButton::Green});
}

BENCHMARK(BM_EffectPlainCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EffectMirror)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EffectHalfTurn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EffectThreshold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EffectNegative)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EffectRed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EffectRedGreen)->Unit(benchmark::kMillisecond);

} // namespace
