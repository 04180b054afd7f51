#include "capture/FrameStore.h"

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

// The caller holds the store's lock.
bool CopyLocked(const FrameStoreData& store, std::vector<std::uint8_t>& out, BitmapInfoHeader& outHeader)
{
    const std::size_t bytes = store.FrameBytes();
    if (!store.pixels || bytes == 0 || bytes > store.capacity) {
        return false;
    }
    out.assign(store.pixels.get(), store.pixels.get() + bytes);
    outHeader = store.header;
    return true;
}
} // namespace

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
    header = FrameHeader(frameWidth, frameHeight);
    width = frameWidth;
    height = frameHeight;
    sampleTime = time;
    return true;
}

bool FrameStoreData::TakeFrame(std::vector<std::uint8_t>& out, BitmapInfoHeader& outHeader)
{
    std::lock_guard guard(lock);
    held = false;
    return CopyLocked(*this, out, outHeader);
}

bool FrameStoreData::CopyFrame(std::vector<std::uint8_t>& out, BitmapInfoHeader& outHeader)
{
    std::lock_guard guard(lock);
    return CopyLocked(*this, out, outHeader);
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
    width = height = 0;
    held = false;
}
