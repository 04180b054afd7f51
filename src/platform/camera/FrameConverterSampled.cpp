// Packed frames for a preview smaller than them: only the pixels the preview shows
// are converted, with the same colour conversion as the whole frame.
#include "platform/camera/FrameConverter.h"

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace {
// Byte offsets inside a YUYV or UYVY pixel pair.
struct PairLayout {
    int luma; // first pixel's luma; the second's is two bytes on
    int blueDiff;
    int redDiff;
};
constexpr PairLayout kYuyv{0, 1, 3};
constexpr PairLayout kUyvy{1, 0, 2};
} // namespace

// Target column x takes source column x * width / plan.width and target row y (top
// down) source row y * height / plan.height: what the preview's stretch picks from a
// whole frame. Each chosen pixel keeps its own luma and its pair's colour, as the
// whole-frame conversion gives it.
bool FrameConverter::ConvertSampled(const CameraFrame& frame, const PreviewPlan& plan, std::uint8_t* out)
{
    const std::size_t stride = frame.stride ? frame.stride : static_cast<std::size_t>(frame.width) * 2;
    if (!PackedStrideOk(frame, stride)) {
        return false;
    }
    const int tw = plan.width;
    const int th = plan.height;
    const std::size_t plane = static_cast<std::size_t>(tw) * th;
    if (m_planes.size() < plane * 3) {
        m_planes.resize(plane * 3);
    }
    if (m_columnsKey[0] != frame.width || m_columnsKey[1] != tw) {
        m_columns.resize(tw);
        for (int x = 0; x < tw; ++x) {
            const int source = static_cast<int>(static_cast<long long>(x) * frame.width / tw);
            m_columns[x] = source * 2; // byte offset of the pixel; its pair starts at the even one
        }
        m_columnsKey[0] = frame.width;
        m_columnsKey[1] = tw;
    }
    const PairLayout layout = frame.subtype == CameraSubtype::UYVY ? kUyvy : kYuyv;
    std::uint8_t* luma = m_planes.data();
    std::uint8_t* blue = luma + plane;
    std::uint8_t* red = blue + plane;
    for (int y = 0; y < th; ++y) {
        const int sourceRow = static_cast<int>(static_cast<long long>(y) * frame.height / th);
        const std::uint8_t* row = frame.data + stride * sourceRow;
        const std::size_t base = static_cast<std::size_t>(y) * tw;
        for (int x = 0; x < tw; ++x) {
            const int offset = m_columns[x];
            const std::uint8_t* pair = row + (offset & ~3);
            luma[base + x] = row[(offset & ~3) + layout.luma + (offset & 2)];
            blue[base + x] = pair[layout.blueDiff];
            red[base + x] = pair[layout.redDiff];
        }
    }
    m_sampledSws = sws_getCachedContext(m_sampledSws, tw, th, AV_PIX_FMT_YUV444P, tw, th, AV_PIX_FMT_BGR24,
                                        SWS_POINT, nullptr, nullptr, nullptr);
    if (!m_sampledSws) {
        return false;
    }
    const std::uint8_t* srcPlanes[4] = {luma, blue, red, nullptr};
    const int srcStrides[4] = {tw, tw, tw, 0};
    std::uint8_t* dstPlanes[4] = {out + static_cast<std::size_t>(th - 1) * tw * 3, nullptr, nullptr, nullptr};
    const int dstStrides[4] = {-tw * 3, 0, 0, 0};
    return sws_scale(m_sampledSws, srcPlanes, srcStrides, 0, th, dstPlanes, dstStrides) == th;
}
