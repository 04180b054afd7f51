// pelora_sustained: the live path of a large camera held at its streaming rate,
// 20 frames a second of 2592 x 1944 MJPG with real texture for a while, with the
// preview in the window (640 x 480). A camera thread hands the frames to the capture
// graph at their times, as the camera's streaming thread does, and drops a frame
// whose successor is already due; the window thread paints the repaints.
//
//   pelora_sustained [--seconds N] [--warmup N] [--path scaled|whole|both]
//
// Prints one line per path (scaled: the preview's small pictures; whole: every
// frame converted whole, as before):
//   SustainedMjpg2592 path NAME cpu_per_wall X frames_sent N frames_shown N
//       dropped N latency_p95_ms X
// CPU is the process's CPU time over the wall time of the measured part (after the
// warm-up); latency runs from a frame's due time to the moment the preview has its
// picture composed and the repaint asked for (the live callback's last step).
#include "../LiveRig.h"

#include <QApplication>
#include <QEventLoop>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;
constexpr int kFramesPerSecond = 20;
constexpr Clock::duration kInterval = std::chrono::microseconds(1000000 / kFramesPerSecond);
constexpr int kDefaultSeconds = 120;
constexpr int kDefaultWarmupSeconds = 2;
constexpr double kPercentile = 0.95;
constexpr int kUsageError = 2;

struct Options {
    int seconds = kDefaultSeconds;
    int warmupSeconds = kDefaultWarmupSeconds;
    bool scaled = true;
    bool whole = true;
};

struct Figures {
    double cpuPerWall = 0.0;
    std::int64_t sent = 0;
    std::int64_t shown = 0;
    double latencyP95Ms = 0.0;
};

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Percentile(std::vector<double>& values, double fraction)
{
    if (values.empty()) {
        return 0.0;
    }
    const auto at = values.begin() + std::ptrdiff_t(fraction * double(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

// The camera's streaming thread: frame k is due at start + k intervals and is handed
// over then; when the thread comes to it only after the next one is due, the camera
// has already overwritten it.
class CameraThread {
public:
    CameraThread(LiveRig& rig, const CameraFrame& frame, const Options& options)
        : m_rig(rig), m_frame(frame), m_warmupFrames(std::int64_t(options.warmupSeconds) * kFramesPerSecond),
          m_totalFrames(std::int64_t(options.seconds + options.warmupSeconds) * kFramesPerSecond)
    {
        m_latenciesMs.reserve(std::size_t(m_totalFrames - m_warmupFrames));
    }

    Figures Run(QEventLoop& windowLoop)
    {
        std::thread camera([this, &windowLoop] {
            Stream();
            QMetaObject::invokeMethod(&windowLoop, "quit", Qt::QueuedConnection);
        });
        windowLoop.exec();
        camera.join();
        return m_figures;
    }

private:
    void Stream()
    {
        const Clock::time_point start = Clock::now();
        Clock::time_point measuredFrom{};
        double cpuFrom = 0.0;
        std::int64_t shownFrom = 0;
        for (std::int64_t k = 0; k < m_totalFrames; ++k) {
            const Clock::time_point due = start + k * kInterval;
            if (k == m_warmupFrames) {
                std::this_thread::sleep_until(due);
                measuredFrom = Clock::now();
                cpuFrom = CpuSeconds();
                shownFrom = m_rig.graph.Counters().shown.load();
            }
            if (Clock::now() >= due + kInterval) {
                continue;
            }
            std::this_thread::sleep_until(due);
            m_rig.graph.OnCameraFrame(m_frame);
            if (k >= m_warmupFrames) {
                m_latenciesMs.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - due).count());
            }
        }
        std::this_thread::sleep_until(start + m_totalFrames * kInterval);
        const double wall = std::chrono::duration<double>(Clock::now() - measuredFrom).count();
        m_figures.cpuPerWall = wall > 0 ? (CpuSeconds() - cpuFrom) / wall : 0.0;
        m_figures.sent = m_totalFrames - m_warmupFrames;
        m_figures.shown = m_rig.graph.Counters().shown.load() - shownFrom;
        m_figures.latencyP95Ms = Percentile(m_latenciesMs, kPercentile);
    }

    LiveRig& m_rig;
    const CameraFrame& m_frame;
    const std::int64_t m_warmupFrames;
    const std::int64_t m_totalFrames;
    std::vector<double> m_latenciesMs;
    Figures m_figures;
};

Figures RunPath(const std::vector<std::uint8_t>& bytes, const Options& options, bool whole)
{
    LiveRig rig(kWidth, kHeight, CameraSubtype::MJPG);
    if (whole) {
        rig.graph.SetLiveFrameHooks(WholeFrameHooks({}));
    }
    // Shown at the window's size, so the repaints the frames ask for are painted.
    CapturePreview* preview = rig.graph.Preview();
    preview->resize(kLivePreviewWidth, kLivePreviewHeight);
    preview->show();
    const CameraFrame frame{CameraSubtype::MJPG, kWidth, kHeight, bytes.data(), bytes.size(), 0.0};
    CameraThread camera(rig, frame, options);
    QEventLoop windowLoop;
    return camera.Run(windowLoop);
}

void Print(const char* path, const Figures& f)
{
    std::printf("SustainedMjpg2592 path %s cpu_per_wall %.3f frames_sent %lld frames_shown %lld dropped %lld "
                "latency_p95_ms %.1f (target cpu <= 0.6, dropped 0, p95 <= 75 ms)\n",
                path, f.cpuPerWall, static_cast<long long>(f.sent), static_cast<long long>(f.shown),
                static_cast<long long>(f.sent - f.shown), f.latencyP95Ms);
    std::fflush(stdout);
}

bool ParseArguments(const QStringList& args, Options* options)
{
    bool ok = true;
    for (int i = 1; ok && i + 1 < args.size(); i += 2) {
        const QString& name = args[i];
        const QString& value = args[i + 1];
        if (name == "--seconds") {
            options->seconds = value.toInt(&ok);
        } else if (name == "--warmup") {
            options->warmupSeconds = value.toInt(&ok);
        } else if (name == "--path") {
            options->scaled = value == "scaled" || value == "both";
            options->whole = value == "whole" || value == "both";
            ok = options->scaled || options->whole;
        } else {
            ok = false;
        }
    }
    return ok && args.size() % 2 == 1 && options->seconds > 0 && options->warmupSeconds >= 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Options options;
    if (!ParseArguments(app.arguments(), &options)) {
        std::fprintf(stderr,
                     "usage: pelora_sustained [--seconds N] [--warmup N] [--path scaled|whole|both]\n");
        return kUsageError;
    }
    const std::vector<std::uint8_t> bytes = TexturedCameraBytes(kWidth, kHeight, CameraSubtype::MJPG);
    if (options.scaled) {
        Print("scaled", RunPath(bytes, options, false));
    }
    if (options.whole) {
        Print("whole", RunPath(bytes, options, true));
    }
    return 0;
}
