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
} // namespace

FrameConverter::FrameConverter() = default;

FrameConverter::~FrameConverter()
{
    sws_freeContext(m_sws);
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

bool FrameConverter::ConvertPacked(const CameraFrame& frame, std::uint8_t* out)
{
    const int w = frame.width;
    const int h = frame.height;
    if (frame.length < static_cast<std::size_t>(w) * h * 2) {
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
    const int srcStrides[4] = {w * 2, 0, 0, 0};
    // Bottom-up: start at the last row and walk upwards.
    std::uint8_t* dstPlanes[4] = {out + static_cast<std::size_t>(h - 1) * w * 3, nullptr, nullptr, nullptr};
    const int dstStrides[4] = {-w * 3, 0, 0, 0};
    return sws_scale(m_sws, srcPlanes, srcStrides, 0, h, dstPlanes, dstStrides) == h;
}

bool FrameConverter::ConvertJpeg(const CameraFrame& frame, std::uint8_t* out)
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
    int w = 0, h = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(handle, data, size, &w, &h, &subsampling, &colourspace) != 0) {
        return false;
    }
    if (w != frame.width || h != frame.height) {
        return false;
    }
    // Any error or warning (truncated or damaged data) drops the whole frame.
    return tjDecompress2(handle, data, size, out, w, w * 3, h, TJPF_BGR, TJFLAG_BOTTOMUP | TJFLAG_FASTDCT) ==
           0;
}
