#include "capture/FrameStore.h"

#include "platform/camera/FrameConverter.h"

#include <chrono>
#include <cstring>
#include <new>

BitmapInfoHeader FrameHeader(int width, int height)
{
    BitmapInfoHeader h;
    h.biWidth = width;
    h.biHeight = height;
    h.biSizeImage = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height) * 3;
    return h;
}

namespace {
std::int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
// A still notice nobody collects must not freeze the store for good.
constexpr std::int64_t kHoldLimitMs = 5000;
} // namespace

FrameStoreData::FrameStoreData() = default;
FrameStoreData::~FrameStoreData() = default;

void FrameStoreData::Hold()
{
    heldSinceMs = NowMs();
    held = true;
}

bool FrameStoreData::IsHeld()
{
    if (!held.load()) {
        return false;
    }
    if (NowMs() - heldSinceMs.load() < kHoldLimitMs) {
        return true;
    }
    held = false;
    return false;
}

bool FrameStoreData::Store(const std::uint8_t* frame, int frameWidth, int frameHeight, double time)
{
    const std::size_t bytes =
        static_cast<std::size_t>(frameWidth) * static_cast<std::size_t>(frameHeight) * 3;
    std::lock_guard guard(lock);
    if (capacity < bytes) {
        pixels.reset(new (std::nothrow) std::uint8_t[bytes]);
        capacity = pixels ? bytes : 0;
        if (!pixels) {
            width = height = 0;
            return false;
        }
    }
    std::memcpy(pixels.get(), frame, bytes);
    m_codedCurrent = false;
    header = FrameHeader(frameWidth, frameHeight);
    width = frameWidth;
    height = frameHeight;
    sampleTime = time;
    return true;
}

bool FrameStoreData::StoreCoded(const CameraFrame& frame)
{
    std::lock_guard guard(lock);
    if (m_coded.capacity() < frame.length) {
        // Compressed frames vary in size: room to spare keeps later ones from growing it.
        try {
            m_coded.reserve(frame.length + frame.length / 2);
        } catch (const std::bad_alloc&) {
            m_codedCurrent = false;
            width = height = 0;
            return false;
        }
    }
    m_coded.assign(frame.data, frame.data + frame.length);
    m_codedFormat = frame;
    m_codedFormat.data = nullptr;
    m_codedCurrent = true;
    header = FrameHeader(frame.width, frame.height);
    width = frame.width;
    height = frame.height;
    sampleTime = frame.sampleTime;
    return true;
}

bool FrameStoreData::HoldsCodedFrame()
{
    std::lock_guard guard(lock);
    return m_codedCurrent;
}

void FrameStoreData::SetFinisher(std::function<void(std::uint8_t*, int, int)> finisher)
{
    std::lock_guard guard(lock);
    m_finisher = std::move(finisher);
}

bool FrameStoreData::ConvertCoded()
{
    const std::size_t bytes = FrameBytes();
    if (capacity < bytes) {
        pixels.reset(new (std::nothrow) std::uint8_t[bytes]);
        capacity = pixels ? bytes : 0;
    }
    if (!m_converter) {
        m_converter.reset(new (std::nothrow) FrameConverter);
    }
    if (!pixels || !m_converter) {
        return false;
    }
    CameraFrame frame = m_codedFormat;
    frame.data = m_coded.data();
    frame.length = m_coded.size();
    if (!m_converter->Convert(frame, pixels.get(), capacity)) {
        return false;
    }
    if (m_finisher) {
        m_finisher(pixels.get(), frame.width, frame.height);
    }
    m_codedCurrent = false;
    return true;
}

bool FrameStoreData::TakeFrame(std::vector<std::uint8_t>& out, BitmapInfoHeader& outHeader)
{
    std::lock_guard guard(lock);
    held = false;
    return CopyLocked(out, outHeader);
}

bool FrameStoreData::CopyFrame(std::vector<std::uint8_t>& out, BitmapInfoHeader& outHeader)
{
    std::lock_guard guard(lock);
    return CopyLocked(out, outHeader);
}

QImage FrameStoreData::CopyPicture()
{
    std::vector<std::uint8_t> pixels;
    BitmapInfoHeader header;
    if (!CopyFrame(pixels, header) || header.biWidth <= 0 || header.biHeight <= 0) {
        return {};
    }
    // The store keeps bottom-up BGR rows.
    const QImage rows(pixels.data(), header.biWidth, header.biHeight, header.biWidth * 3,
                      QImage::Format_BGR888);
    return rows.mirrored(false, true).convertToFormat(QImage::Format_RGB888);
}

bool FrameStoreData::CopyLocked(std::vector<std::uint8_t>& out, BitmapInfoHeader& outHeader)
{
    if (m_codedCurrent && !ConvertCoded()) {
        return false;
    }
    const std::size_t bytes = FrameBytes();
    if (!pixels || bytes == 0 || bytes > capacity) {
        return false;
    }
    out.assign(pixels.get(), pixels.get() + bytes);
    outHeader = header;
    return true;
}

std::size_t FrameStoreData::FrameBytes() const
{
    return static_cast<std::size_t>(width.load()) * static_cast<std::size_t>(height.load()) * 3;
}

void FrameStoreData::Free()
{
    std::lock_guard guard(lock);
    pixels.reset();
    capacity = 0;
    m_coded = std::vector<std::uint8_t>();
    m_codedCurrent = false;
    m_converter.reset();
    width = height = 0;
    held = false;
}
