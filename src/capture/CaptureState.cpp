#include "capture/CaptureState.h"

#include <chrono>
#include <cstring>
#include <new>

std::atomic<int> CaptureDeviceClass{Class2592};
std::atomic<int> captureWidth{2592};
std::atomic<int> captureHeight{1944};
std::atomic<int> recordFrameRate{11};
std::atomic<int> useMjpg{1};
std::atomic<int> mjpgByClass[3] = {0, 0, 1};
std::atomic<int> snapshotEnabled{0};
std::atomic<int> frameShown{0};
std::atomic<int> frameBusy{0};

FrameStoreData FrameStore;
StillRequestData StillRequest;

const CaptureClassSizes& SizesOfClass(int deviceClass)
{
    static const CaptureClassSizes sizes[3] = {
        {1280, 1024, 640, 480},
        {1600, 1200, 1280, 960},
        {2592, 1944, 2048, 1536},
    };
    return sizes[(deviceClass >= Class1280 && deviceClass <= Class2592) ? deviceClass : Class2592];
}

void UpdateRecordFrameRate(int width)
{
    static const int table[][2] = {{320, 19}, {640, 11}, {1280, 5}, {1600, 4}, {2048, 3}, {2592, 2}};
    for (const auto& [w, rate] : table) {
        if (w == width) {
            recordFrameRate = rate;
            return;
        }
    }
}

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
    width = height = 0;
    held = false;
}
