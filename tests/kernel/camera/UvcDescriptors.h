#pragma once
// USB descriptors of the rig's camera: a UVC 1.1 device with a bulk video endpoint
// (dummy_hcd has no isochronous endpoints) and an interrupt status endpoint for the
// camera button, laid out as GadgetFS wants them written to ep0.
#include <cstdint>
#include <vector>

namespace rig {

// Endpoints as dummy_hcd names them, and their addresses.
inline constexpr const char* kVideoEndpointName = "ep1in-bulk";
inline constexpr const char* kStatusEndpointName = "ep5in-int";
inline constexpr std::uint8_t kVideoEndpoint = 0x81;
inline constexpr std::uint8_t kStatusEndpoint = 0x85;
inline constexpr unsigned kHighSpeedBulkPacket = 512;
inline constexpr unsigned kMaxPayload = 32 * kHighSpeedBulkPacket; // one bulk transfer per payload
inline constexpr unsigned kFrameInterval = 333333;                 // 30 fps, 100-ns units

// Entities of the video control interface.
inline constexpr std::uint8_t kCameraTerminal = 1;
inline constexpr std::uint8_t kProcessingUnit = 2;
inline constexpr std::uint8_t kOutputTerminal = 3;
inline constexpr std::uint8_t kControlInterface = 0;
inline constexpr std::uint8_t kStreamingInterface = 1;

// Format indexes as the streaming descriptors number them (from 1).
inline constexpr int kFormatYuyv = 1;
inline constexpr int kFormatMjpg = 2;

// String descriptor indexes.
inline constexpr int kStringMaker = 1;
inline constexpr int kStringProduct = 2;
inline constexpr int kStringSerial = 3;

// Tag 0, full-speed configuration, high-speed configuration, device descriptor.
std::vector<std::uint8_t> GadgetDeviceSetup();
// Tag 1, full-speed and high-speed endpoint descriptors.
std::vector<std::uint8_t> GadgetEndpointSetup(std::uint8_t address, std::uint8_t type,
                                              unsigned fullSpeedPacket, unsigned highSpeedPacket,
                                              std::uint8_t fullSpeedInterval, std::uint8_t highSpeedInterval);
// Frame size of a format's frame index (from 1); false when there is none.
bool FrameSize(int format, int frame, int& width, int& height);

} // namespace rig
