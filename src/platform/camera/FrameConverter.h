#pragma once
// Camera frames (YUYV, UYVY, MJPG) to 24-bit BGR bottom-up rows of width * 3 bytes,
// the layout of the frame store. One converter per streaming thread: it keeps its
// scaler and decoder between frames so nothing is allocated per frame.
#include "platform/camera/CameraBackend.h"

#include <cstddef>
#include <cstdint>

struct SwsContext;

class FrameConverter {
public:
    FrameConverter();
    ~FrameConverter();
    FrameConverter(const FrameConverter&) = delete;
    FrameConverter& operator=(const FrameConverter&) = delete;

    // Bytes of the BGR result for a frame of that size.
    static std::size_t OutputSize(int width, int height);
    // False when the frame is short, corrupt or of another size than it claims, or
    // `capacity` is too small; the frame must then be dropped.
    bool Convert(const CameraFrame& frame, std::uint8_t* out, std::size_t capacity);

private:
    bool ConvertPacked(const CameraFrame& frame, std::uint8_t* out);
    bool ConvertJpeg(const CameraFrame& frame, std::uint8_t* out);

    SwsContext* m_sws = nullptr;
    void* m_jpeg = nullptr; // TurboJPEG decompressor
};
