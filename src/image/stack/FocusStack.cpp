#include "image/stack/FocusStack.h"

#include "image/JpegCodec.h"
#include "image/stack/FocusFusion.h"
#include "image/stack/StackAlignment.h"
#include "platform/threads/ParallelRows.h"

#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>

namespace {
constexpr int kMinFrameSide = 64;

// Progress and cancelling of one run.
class StackRun {
public:
    StackRun(const StackOptions& options, int frames) : m_options(options), m_total(4 * frames + 1) {}
    bool Canceled() const { return m_options.cancel && m_options.cancel->load(); }
    void Step()
    {
        ++m_done;
        if (m_options.progress) {
            m_options.progress(m_done, m_total);
        }
    }

private:
    const StackOptions& m_options;
    int m_total;
    int m_done = 0;
};

StackResult Failure(StackStatus status, int frame = -1)
{
    return {status, frame, {}};
}

StackResult CheckFrames(const std::vector<QImage>& frames)
{
    if (frames.size() < kMinStackFrames) {
        return Failure(StackStatus::TooFewFrames);
    }
    if (frames.size() > kMaxStackFrames) {
        return Failure(StackStatus::TooManyFrames);
    }
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].isNull()) {
            return Failure(StackStatus::Unreadable, static_cast<int>(i));
        }
        if (frames[i].size() != frames.front().size()) {
            return Failure(StackStatus::SizeMismatch, static_cast<int>(i));
        }
    }
    if (frames.front().width() < kMinFrameSide || frames.front().height() < kMinFrameSide) {
        return Failure(StackStatus::TooSmall);
    }
    return {};
}

// Each frame's transform from the middle frame, chained through the neighbours.
std::vector<FrameTransform> AlignSeries(const std::vector<GreyPyramid>& pyramids, int reference, QSize size,
                                        StackRun& run)
{
    const int n = static_cast<int>(pyramids.size());
    std::vector<FrameTransform> toFrame(n);
    std::vector<FrameTransform> steps(n);
    ParallelEach(n, [&](int i) {
        if (i != reference && !run.Canceled()) {
            const int nearer = i < reference ? i + 1 : i - 1;
            steps[i] = AlignPair(pyramids[nearer], pyramids[i], size.width(), size.height());
        }
    });
    for (int i = reference + 1; i < n; ++i) {
        toFrame[i] = Compose(toFrame[i - 1], steps[i]);
    }
    for (int i = reference - 1; i >= 0; --i) {
        toFrame[i] = Compose(toFrame[i + 1], steps[i]);
    }
    for (int i = 0; i < n; ++i) {
        run.Step();
    }
    return toFrame;
}

StackResult Stack(std::vector<QImage> frames, StackRun& run)
{
    const int n = static_cast<int>(frames.size());
    const int reference = n / 2;
    std::vector<GreyPlane> lumas(n);
    for (int i = 0; i < n; ++i) {
        frames[i] = frames[i].convertToFormat(QImage::Format_RGB32);
        lumas[i] = HalfSizeLuma(frames[i]);
    }
    if (run.Canceled()) {
        return Failure(StackStatus::Canceled);
    }
    std::vector<GreyPyramid> pyramids(n);
    for (int i = 0; i < n; ++i) {
        pyramids[i] = BuildPyramid(lumas[i]);
    }
    const std::vector<FrameTransform> toFrame = AlignSeries(pyramids, reference, frames.front().size(), run);
    pyramids.clear();
    if (run.Canceled()) {
        return Failure(StackStatus::Canceled);
    }
    DepthAccumulator depth(lumas.front().width, lumas.front().height);
    for (int i = 0; i < n; ++i) {
        depth.Add(FocusMeasure(lumas[i], toFrame[i]));
        lumas[i] = {};
        run.Step();
        if (run.Canceled()) {
            return Failure(StackStatus::Canceled);
        }
    }
    StackResult result;
    result.image = Composite(frames, toFrame, depth.DepthMap(static_cast<float>(reference)), reference);
    run.Step();
    return result;
}
} // namespace

StackResult FocusStackImages(std::vector<QImage> frames, const StackOptions& options)
{
    if (StackResult check = CheckFrames(frames); check.status != StackStatus::Ok) {
        return check;
    }
    StackRun run(options, static_cast<int>(frames.size()));
    for (std::size_t i = 0; i < frames.size(); ++i) {
        run.Step(); // already read
    }
    return Stack(std::move(frames), run);
}

StackResult FocusStackFiles(const QStringList& paths, const StackOptions& options)
{
    if (paths.size() < kMinStackFrames) {
        return Failure(StackStatus::TooFewFrames);
    }
    if (paths.size() > kMaxStackFrames) {
        return Failure(StackStatus::TooManyFrames);
    }
    StackRun run(options, static_cast<int>(paths.size()));
    std::vector<QImage> frames(paths.size());
    ParallelEach(static_cast<int>(paths.size()), [&](int i) {
        if (run.Canceled()) {
            return;
        }
        QImage img = DecodeJpegFile(paths[i]);
        if (img.isNull()) {
            QImageReader reader(paths[i]);
            reader.setAutoTransform(false);
            img = reader.read();
        }
        frames[i] = std::move(img);
    });
    if (run.Canceled()) {
        return Failure(StackStatus::Canceled);
    }
    if (StackResult check = CheckFrames(frames); check.status != StackStatus::Ok) {
        return check;
    }
    for (std::size_t i = 0; i < frames.size(); ++i) {
        run.Step();
    }
    return Stack(std::move(frames), run);
}

StackResult FocusStackToFile(const QStringList& paths, const QString& output, int quality,
                             const StackOptions& options)
{
    StackResult result = FocusStackFiles(paths, options);
    if (result.status != StackStatus::Ok) {
        return result;
    }
    const QString suffix = QFileInfo(output).suffix().toLower();
    QSaveFile file(output);
    bool written = file.open(QIODevice::WriteOnly);
    if (written && (suffix == "jpg" || suffix == "jpeg")) {
        QByteArray jpeg;
        written = EncodeJpeg(result.image, quality, &jpeg) && file.write(jpeg) == jpeg.size();
    } else if (written) {
        written = result.image.save(&file, suffix.isEmpty() ? "PNG" : suffix.toLatin1().constData());
    }
    if (!written || (options.cancel && options.cancel->load()) || !file.commit()) {
        file.cancelWriting();
        return Failure(options.cancel && options.cancel->load() ? StackStatus::Canceled
                                                                : StackStatus::NotWritten);
    }
    return result;
}
