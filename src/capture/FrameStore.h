#pragma once
// The last live frame and the still request it answers: both are filled on the
// camera's streaming thread and read on the window thread.
#include "platform/camera/CameraBackend.h"

#include <QImage>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class FrameConverter;

// The platform's 40-byte bitmap header (little-endian layout, no padding).
struct BitmapInfoHeader {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 24;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

// Header of an uncompressed 24-bit frame: size 40, 1 plane, 24 bits, image size
// width * height * 3, all other fields 0.
BitmapInfoHeader FrameHeader(int width, int height);

// The last live frame: 24-bit BGR, bottom-up, rows of width * 3 bytes.
//
// The live callback writes it on the streaming thread; the window thread reads it
// when it handles WM_STILL_CAPTURED. Readers should use TakeFrame (or hold `lock`
// while reading `pixels`): after a still notice is posted the store keeps the frame
// before it (`held`) until TakeFrame has copied it, so the saved picture is neither
// a newer frame nor torn.
//
// While the preview shows a smaller picture than the camera sends, the live
// callback keeps the camera's own bytes of the frame (StoreCoded) instead; TakeFrame
// then converts them in full and applies the effects (`finishFrame`) first, so what
// it hands out is the frame the full path would have stored.
struct FrameStoreData {
    FrameStoreData();
    ~FrameStoreData();

    std::mutex lock;
    std::unique_ptr<std::uint8_t[]> pixels; // grown on demand, never shrunk
    std::size_t capacity = 0;               // bytes
    BitmapInfoHeader header;
    std::atomic<int> width{0};
    std::atomic<int> height{0};
    double sampleTime = 0.0; // seconds
    std::atomic<bool> held{false};
    std::atomic<std::int64_t> heldSinceMs{0};

    // Live callback: copies a frame in (growing the buffer when needed) unless the
    // store is held; false when the buffer cannot grow.
    bool Store(const std::uint8_t* frame, int frameWidth, int frameHeight, double time);
    // Live callback: copies the camera's bytes of a frame in, unless the store is held;
    // false when the copy cannot grow.
    bool StoreCoded(const CameraFrame& frame);
    // True while the stored frame is the camera's bytes, not yet converted.
    bool HoldsCodedFrame();
    // What a frame converted from the camera's bytes gets before it is handed out
    // (the live effects); set by the capture graph, called under `lock`.
    void SetFinisher(std::function<void(std::uint8_t* pixels, int width, int height)> finisher);
    // Live callback: keep the current frame for the still notice being posted.
    void Hold();
    // True while a posted still notice has not been collected (released after a
    // few seconds in case nobody collects it).
    bool IsHeld();
    // Copies the stored frame and its header and lets the live callback store frames
    // again. False when no frame is stored.
    bool TakeFrame(std::vector<std::uint8_t>& out, BitmapInfoHeader& outHeader);
    // Copies the stored frame for a reader other than the still notice: a frame held
    // for a pending still stays held. False when no frame is stored.
    bool CopyFrame(std::vector<std::uint8_t>& out, BitmapInfoHeader& outHeader);
    // The same as a top-down RGB picture; null when no frame is stored.
    QImage CopyPicture();
    // Byte size of the stored frame (width * height * 3).
    std::size_t FrameBytes() const;
    // Frees the buffer (TearDown).
    void Free();

private:
    // Converts the kept camera bytes into `pixels` and finishes them; under `lock`.
    bool ConvertCoded();
    bool CopyLocked(std::vector<std::uint8_t>& out, BitmapInfoHeader& outHeader);

    std::vector<std::uint8_t> m_coded;           // the camera's bytes, grown on demand
    CameraFrame m_codedFormat;                   // their layout; data and length unused
    bool m_codedCurrent = false;                 // the stored frame is m_coded, not `pixels`
    std::unique_ptr<FrameConverter> m_converter; // made at the first conversion
    std::function<void(std::uint8_t*, int, int)> m_finisher;
};

// Origins of a still request.
enum StillOrigin : int { StillOriginUser = 0, StillOriginCameraButton = 1, StillOriginFocusStack = 2 };

// Ask for a still picture; answered by the next live frame with WM_STILL_CAPTURED.
struct StillRequestData {
    std::atomic<int> pending{0};
    std::atomic<int> origin{StillOriginUser};
    // Makes the request pending (user, timer: origin 0; camera button: origin 1).
    void Request(int fromOrigin)
    {
        origin.store(fromOrigin);
        pending.store(1);
    }
};
