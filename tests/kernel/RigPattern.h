#pragma once
// What the rig's camera shows, shared by the camera program (which sends it) and the
// test inside the VM (which checks what the V4L2 layer made of it).
#include <cstdint>

namespace rig {

// USB identity of the rig's camera.
inline constexpr std::uint16_t kVendorId = 0x1d6b;
inline constexpr std::uint16_t kProductId = 0x0102;
inline constexpr const char* kHardwareId = "vid_1d6b&pid_0102";
inline constexpr const char* kProductName = "Pelora rig camera";
inline constexpr const char* kSerialNumber = "RIG-0001";

// Frame sizes, per format, in the order the camera lists them. GadgetFS serves a
// configuration descriptor of at most 256 bytes, which leaves room for three sizes.
struct Size {
    int width, height;
};
inline constexpr Size kYuyvSizes[] = {{320, 240}, {160, 120}};
inline constexpr Size kMjpgSizes[] = {{320, 240}};

// Picture controls as the camera keeps them.
inline constexpr int kBrightnessDefault = 128;
inline constexpr int kContrastValue = 32; // read-only on this camera
// Auto-exposure modes (the UVC bitmap): manual (bit 0) and aperture priority (bit 3),
// no fully automatic mode, as on many cameras. Aperture priority at start.
inline constexpr int kAeModes = 0x09, kAeDefault = 0x08;
inline constexpr int kExposureMin = 1, kExposureMax = 10000, kExposureDefault = 166; // 100 us units
// The files in the camera's folder that hold the last value the host set.
inline constexpr const char* kBrightnessFile = "brightness";
inline constexpr const char* kAeModeFile = "ae-mode";
inline constexpr const char* kExposureFile = "exposure";

// One pixel pair of the YUYV picture at column pair `x / 2`, row `y`: a brightness ramp
// along the diagonal, blue-ish on the right half, red-ish in the bottom half.
struct Yuv {
    std::uint8_t y0, u, y1, v;
};
inline Yuv YuyvPair(int x, int y, int width, int height)
{
    const auto luma = [y](int column) { return std::uint8_t(16 + (column + y) % 220); };
    return {luma(x), std::uint8_t(x < width / 2 ? 128 : 170), luma(x + 1),
            std::uint8_t(y < height / 2 ? 128 : 190)};
}

// The RGB picture the MJPG frames are made of: smooth ramps, so JPEG loses little.
struct Rgb {
    std::uint8_t r, g, b;
};
inline Rgb MjpgPixel(int x, int y, int width, int height)
{
    return {std::uint8_t(x * 255 / width), std::uint8_t(y * 255 / height),
            std::uint8_t((x + y) * 255 / (width + height))};
}

} // namespace rig
