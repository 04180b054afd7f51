#include "UvcDescriptors.h"

#include "kernel/RigPattern.h"

#include <iterator>
#include <linux/usb/ch9.h>
#include <linux/usb/video.h>

namespace rig {
namespace {
constexpr std::uint8_t kCsInterface = 0x24;
constexpr std::uint8_t kCsEndpoint = 0x25;
constexpr std::uint8_t kClassVideo = 0x0e;
constexpr unsigned kClockHz = 48000000;
// Processing unit controls: brightness and contrast. Camera terminal: auto-exposure mode
// and exposure time (absolute).
constexpr std::uint8_t kPuControls = 0x03;
constexpr std::uint8_t kCtControls = 0x0A;
// GUID of the YUY2 format.
constexpr std::uint8_t kYuy2Guid[16] = {'Y',  'U',  'Y',  '2',  0x00, 0x00, 0x10, 0x00,
                                        0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71};

class Writer {
public:
    std::vector<std::uint8_t> bytes;
    void Put(std::initializer_list<unsigned> values)
    {
        for (unsigned v : values) {
            bytes.push_back(std::uint8_t(v));
        }
    }
    void Put16(unsigned v) { Put({v & 0xff, v >> 8}); }
    void Put32(unsigned v) { Put({v & 0xff, (v >> 8) & 0xff, (v >> 16) & 0xff, v >> 24}); }
    std::size_t Mark() const { return bytes.size(); }
    void Patch16(std::size_t at, unsigned v)
    {
        bytes[at] = std::uint8_t(v & 0xff);
        bytes[at + 1] = std::uint8_t(v >> 8);
    }
};

template <std::size_t N> void FrameDescriptors(Writer& w, std::uint8_t subtype, const Size (&sizes)[N])
{
    for (std::size_t i = 0; i < N; ++i) {
        const unsigned maxBytes = unsigned(sizes[i].width * sizes[i].height * 2);
        w.Put({30, kCsInterface, subtype, unsigned(i + 1), 0});
        w.Put16(unsigned(sizes[i].width));
        w.Put16(unsigned(sizes[i].height));
        w.Put32(maxBytes * 8 * 30); // min and max bit rate
        w.Put32(maxBytes * 8 * 30);
        w.Put32(maxBytes);
        w.Put32(kFrameInterval);
        w.Put({1}); // one discrete interval
        w.Put32(kFrameInterval);
    }
}

void ControlInterface(Writer& w, bool highSpeed)
{
    w.Put({9, USB_DT_INTERFACE, kControlInterface, 0, 1, kClassVideo, UVC_SC_VIDEOCONTROL, 0, 0});
    const std::size_t header = w.Mark();
    w.Put({13, kCsInterface, UVC_VC_HEADER, 0x10, 0x01, 0, 0});
    w.Put32(kClockHz);
    w.Put({1, kStreamingInterface});
    w.Put({18, kCsInterface, UVC_VC_INPUT_TERMINAL, kCameraTerminal, 0x01, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 3,
           kCtControls, 0, 0});
    w.Put({11, kCsInterface, UVC_VC_PROCESSING_UNIT, kProcessingUnit, kCameraTerminal, 0, 0, 2, kPuControls,
           0, 0});
    w.Put({9, kCsInterface, UVC_VC_OUTPUT_TERMINAL, kOutputTerminal, 0x01, 0x01, 0, kProcessingUnit, 0});
    w.Patch16(header + 5, unsigned(w.Mark() - header));
    w.Put({7, USB_DT_ENDPOINT, kStatusEndpoint, USB_ENDPOINT_XFER_INT, 16, 0, highSpeed ? 8u : 16u});
    w.Put({5, kCsEndpoint, USB_ENDPOINT_XFER_INT, 16, 0});
}

void StreamingInterface(Writer& w, bool highSpeed)
{
    w.Put({9, USB_DT_INTERFACE, kStreamingInterface, 0, 1, kClassVideo, UVC_SC_VIDEOSTREAMING, 0, 0});
    const std::size_t header = w.Mark();
    // Input header: two formats, still method 0, hardware trigger for the button.
    w.Put({15, kCsInterface, UVC_VS_INPUT_HEADER, 2, 0, 0, kVideoEndpoint, 0, kOutputTerminal, 0, 1, 0, 1, 0,
           0});
    w.Put({27, kCsInterface, UVC_VS_FORMAT_UNCOMPRESSED, kFormatYuyv, unsigned(std::size(kYuyvSizes))});
    for (std::uint8_t b : kYuy2Guid) {
        w.Put({b});
    }
    w.Put({16, 1, 0, 0, 0, 0});
    FrameDescriptors(w, UVC_VS_FRAME_UNCOMPRESSED, kYuyvSizes);
    w.Put({11, kCsInterface, UVC_VS_FORMAT_MJPEG, kFormatMjpg, unsigned(std::size(kMjpgSizes)), 0, 1, 0, 0, 0,
           0});
    FrameDescriptors(w, UVC_VS_FRAME_MJPEG, kMjpgSizes);
    w.Put({6, kCsInterface, UVC_VS_COLORFORMAT, 1, 1, 4});
    w.Patch16(header + 4, unsigned(w.Mark() - header));
    w.Put({7, USB_DT_ENDPOINT, kVideoEndpoint, USB_ENDPOINT_XFER_BULK});
    w.Put16(highSpeed ? kHighSpeedBulkPacket : 64);
    w.Put({0});
}

std::vector<std::uint8_t> Configuration(bool highSpeed)
{
    Writer w;
    w.Put({9, USB_DT_CONFIG, 0, 0, 2, 1, 0, 0x80, 250});
    w.Put({8, USB_DT_INTERFACE_ASSOCIATION, kControlInterface, 2, kClassVideo,
           UVC_SC_VIDEO_INTERFACE_COLLECTION, 0, 0});
    ControlInterface(w, highSpeed);
    StreamingInterface(w, highSpeed);
    w.Patch16(2, unsigned(w.bytes.size()));
    return w.bytes;
}
} // namespace

std::vector<std::uint8_t> GadgetDeviceSetup()
{
    Writer w;
    w.Put32(0);
    for (bool highSpeed : {false, true}) {
        const auto config = Configuration(highSpeed);
        w.bytes.insert(w.bytes.end(), config.begin(), config.end());
    }
    // Miscellaneous class with an interface association, as UVC devices are.
    w.Put({18, USB_DT_DEVICE, 0x00, 0x02, 0xef, 0x02, 0x01, 64});
    w.Put16(kVendorId);
    w.Put16(kProductId);
    w.Put16(0x0100);
    w.Put({kStringMaker, kStringProduct, kStringSerial, 1});
    return w.bytes;
}

std::vector<std::uint8_t> GadgetEndpointSetup(std::uint8_t address, std::uint8_t type,
                                              unsigned fullSpeedPacket, unsigned highSpeedPacket,
                                              std::uint8_t fullSpeedInterval, std::uint8_t highSpeedInterval)
{
    Writer w;
    w.Put32(1);
    w.Put({7, USB_DT_ENDPOINT, address, type});
    w.Put16(fullSpeedPacket);
    w.Put({fullSpeedInterval});
    w.Put({7, USB_DT_ENDPOINT, address, type});
    w.Put16(highSpeedPacket);
    w.Put({highSpeedInterval});
    return w.bytes;
}

bool FrameSize(int format, int frame, int& width, int& height)
{
    const Size* sizes = format == kFormatMjpg ? kMjpgSizes : kYuyvSizes;
    const int count = format == kFormatMjpg ? int(std::size(kMjpgSizes)) : int(std::size(kYuyvSizes));
    if ((format != kFormatYuyv && format != kFormatMjpg) || frame < 1 || frame > count) {
        return false;
    }
    width = sizes[frame - 1].width;
    height = sizes[frame - 1].height;
    return true;
}

} // namespace rig
