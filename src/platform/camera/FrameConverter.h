#pragma once
// Camera frames (YUYV, UYVY, MJPG) to 24-bit BGR bottom-up rows of width * 3 bytes,
// the layout of the frame store. One converter per streaming thread: it keeps its
// scaler and decoder between frames so nothing is allocated per frame.
#include "platform/camera/CameraBackend.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct SwsContext;

// What the live preview needs of a frame larger than itself: a picture of width x
// height, either decoded from MJPG at 1/jpegDenominator of its size or, for packed
// frames, only the pixels nearest to a width x height grid (the pixels the preview's
// own nearest-neighbour stretch would pick). A plan that is neither is the full frame.
struct PreviewPlan {
    int width = 0;
    int height = 0;
    int jpegDenominator = 1;
    bool sampled = false;
    bool Full() const { return !sampled && jpegDenominator == 1; }
};

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
    // The smaller picture of `plan` (a full plan converts the whole frame), in the
    // same layout; the same checks as Convert.
    bool ConvertForPreview(const CameraFrame& frame, const PreviewPlan& plan, std::uint8_t* out,
                           std::size_t capacity);

private:
    bool ConvertPacked(const CameraFrame& frame, std::uint8_t* out);
    bool ConvertJpeg(const CameraFrame& frame, std::uint8_t* out, int denominator = 1);
    bool ConvertSampled(const CameraFrame& frame, const PreviewPlan& plan, std::uint8_t* out);
    bool PackedStrideOk(const CameraFrame& frame, std::size_t stride) const;

    SwsContext* m_sws = nullptr;
    SwsContext* m_sampledSws = nullptr;
    void* m_jpeg = nullptr; // TurboJPEG decompressor
    // The sampled pixels as three full planes, and the source byte offset of each
    // sampled column's pixel pair; grown, never shrunk.
    std::vector<std::uint8_t> m_planes;
    std::vector<int> m_columns;
    int m_columnsKey[2] = {0, 0}; // source width, sampled width of the table
};
