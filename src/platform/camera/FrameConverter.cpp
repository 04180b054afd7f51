#include "platform/camera/FrameConverter.h"

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}
#include <turbojpeg.h>

namespace {
constexpr int kMaxSide = 16384;

bool SaneSize(int width, int height)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

// True when the JPEG data ends with its end-of-image marker. Drivers pad the buffer
// after it with zeros up to the bytes used; a frame cut short has none.
bool EndsWithEoi(const unsigned char* data, std::size_t size)
{
    while (size > 0 && data[size - 1] == 0) {
        --size;
    }
    return size >= 2 && data[size - 2] == 0xFF && data[size - 1] == 0xD9;
}
} // namespace

FrameConverter::FrameConverter() = default;

FrameConverter::~FrameConverter()
{
    sws_freeContext(m_sws);
    sws_freeContext(m_sampledSws);
    if (m_jpeg) {
        tjDestroy(static_cast<tjhandle>(m_jpeg));
    }
}

std::size_t FrameConverter::OutputSize(int width, int height)
{
    if (!SaneSize(width, height)) {
        return 0;
    }
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
}

bool FrameConverter::Convert(const CameraFrame& frame, std::uint8_t* out, std::size_t capacity)
{
    const std::size_t needed = OutputSize(frame.width, frame.height);
    if (needed == 0 || capacity < needed || !out || !frame.data || frame.length == 0) {
        return false;
    }
    if (frame.subtype == CameraSubtype::MJPG) {
        return ConvertJpeg(frame, out);
    }
    return ConvertPacked(frame, out);
}

bool FrameConverter::ConvertForPreview(const CameraFrame& frame, const PreviewPlan& plan, std::uint8_t* out,
                                       std::size_t capacity)
{
    if (plan.Full()) {
        return Convert(frame, out, capacity);
    }
    const std::size_t needed = OutputSize(frame.width, frame.height);
    const std::size_t planned = OutputSize(plan.width, plan.height);
    if (needed == 0 || planned == 0 || capacity < planned || !out || !frame.data || frame.length == 0) {
        return false;
    }
    if (frame.subtype == CameraSubtype::MJPG) {
        return plan.jpegDenominator > 1 && ConvertJpeg(frame, out, plan.jpegDenominator);
    }
    return plan.sampled && plan.width <= frame.width && plan.height <= frame.height &&
           ConvertSampled(frame, plan, out);
}

bool FrameConverter::PackedStrideOk(const CameraFrame& frame, std::size_t stride) const
{
    const auto rowBytes = static_cast<std::size_t>(frame.width) * 2;
    // The last row needs only its pixels, not its padding.
    return stride >= rowBytes && stride <= 0x7fffffff &&
           frame.length >= stride * (frame.height - 1) + rowBytes;
}

bool FrameConverter::ConvertPacked(const CameraFrame& frame, std::uint8_t* out)
{
    const int w = frame.width;
    const int h = frame.height;
    const std::size_t stride = frame.stride ? frame.stride : static_cast<std::size_t>(w) * 2;
    if (!PackedStrideOk(frame, stride)) {
        return false;
    }
    const AVPixelFormat source =
        frame.subtype == CameraSubtype::UYVY ? AV_PIX_FMT_UYVY422 : AV_PIX_FMT_YUYV422;
    m_sws = sws_getCachedContext(m_sws, w, h, source, w, h, AV_PIX_FMT_BGR24, SWS_POINT, nullptr, nullptr,
                                 nullptr);
    if (!m_sws) {
        return false;
    }
    const std::uint8_t* srcPlanes[4] = {frame.data, nullptr, nullptr, nullptr};
    const int srcStrides[4] = {static_cast<int>(stride), 0, 0, 0};
    // Bottom-up: start at the last row and walk upwards.
    std::uint8_t* dstPlanes[4] = {out + static_cast<std::size_t>(h - 1) * w * 3, nullptr, nullptr, nullptr};
    const int dstStrides[4] = {-w * 3, 0, 0, 0};
    return sws_scale(m_sws, srcPlanes, srcStrides, 0, h, dstPlanes, dstStrides) == h;
}

// `denominator` 2, 4 or 8 decodes at that fraction of the size (each side rounded up),
// which the decoder does inside its inverse DCT.
bool FrameConverter::ConvertJpeg(const CameraFrame& frame, std::uint8_t* out, int denominator)
{
    if (!m_jpeg) {
        m_jpeg = tjInitDecompress();
    }
    auto* handle = static_cast<tjhandle>(m_jpeg);
    if (!handle || frame.length > 0x7fffffffUL) {
        return false;
    }
    const auto* data = const_cast<unsigned char*>(frame.data);
    const auto size = static_cast<unsigned long>(frame.length);
    // A warning (stray bytes before a marker, as some cameras send) still gives the
    // whole picture; a frame cut short also only warns, but its lower part is grey.
    const auto usable = [handle, data, size](int result) {
        return result == 0 || (tjGetErrorCode(handle) == TJERR_WARNING && EndsWithEoi(data, size));
    };
    int w = 0, h = 0, subsampling = 0, colourspace = 0;
    if (!usable(tjDecompressHeader3(handle, data, size, &w, &h, &subsampling, &colourspace))) {
        return false;
    }
    if (w != frame.width || h != frame.height) {
        return false;
    }
    const tjscalingfactor factor{1, denominator};
    const int outW = TJSCALED(w, factor);
    const int outH = TJSCALED(h, factor);
    return usable(tjDecompress2(handle, data, size, out, outW, outW * 3, outH, TJPF_BGR,
                                TJFLAG_BOTTOMUP | TJFLAG_FASTDCT));
}
