#pragma once
// A USB video class driver in a box: answers the V4L2, evdev and udev calls of the
// V4L2 layer the way the kernel's UVC driver and udev do, so tests run the real
// backend against microscopes of each sensor class, with the faults real cameras show.
#include "platform/camera/UdevDevices.h"
#include "platform/camera/V4l2Io.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace emu {

struct Frame {
    std::vector<std::uint8_t> bytes;
    std::uint32_t flags = 0; // V4L2_BUF_FLAG_ERROR for a frame the driver flags as damaged
};

struct Control {
    int minimum = 0, maximum = 255, step = 1, defaultValue = 128, value = 128;
    std::uint32_t flags = 0;
    std::uint32_t menuMask = 0; // a menu: bit i set when the camera has item i
    // Inactive while the control `master` is not at `masterManual` (exposure under an
    // automatic exposure mode).
    std::uint32_t master = 0;
    int masterManual = 0;
};

// One microscope as the driver sees it. Tests change the knobs through
// EmulatedUvc::With(), which holds the driver's lock.
struct Camera {
    int sensorClass = 0;
    QString usbSysPath, hardwareId;
    QString serial;      // empty: the device has no serial number
    int videoIndex = 0;  // /dev/video<videoIndex> captures, <videoIndex + 1> is the metadata node
    int eventIndex = -1; // /dev/input/event<eventIndex> once the button is there
    bool present = true;
    bool videoNodes = true;     // false: the USB device is there but no driver made nodes
    bool udevProperties = true; // false: no udev daemon filled in ID_V4L_* and ID_PATH (containers, small
                                // systems): what a node is must be asked of the node itself
    bool nodeDenied = false;    // the video nodes' permissions keep the user out
    bool buttonDenied = false;  // the input node's permissions keep the user out

    // Formats: MJPG and YUYV, each at these sizes (largest first).
    std::vector<std::pair<int, int>> sizes;
    std::uint32_t pixelFormat = 0;
    int width = 0, height = 0;
    int rowPadding = 0; // bytes after each YUYV row
    std::map<std::uint32_t, Control> controls;

    // Refusals: the ioctl request gives this errno (until cleared).
    std::map<unsigned long, int> refuse;
    std::map<unsigned long, int> refuseOnce; // the next such call only
    unsigned maxBuffers = 8;                 // REQBUFS grants at most this many
    // What the bus carries per frame (0: no limit): STREAMON gives ENOSPC for a mode
    // that needs more. YUYV needs its whole frame, MJPG a quarter of that.
    std::size_t busBytesPerFrame = 0;
    int queryBufFailsAt = -1, mapFailsAt = -1;

    // The stream. Frames come from `script` first, then from `feed` (null: silence).
    std::deque<Frame> script;
    std::function<Frame()> feed;
    int stallAfter = -1;  // frames until the driver falls silent (-1: never)
    bool stalled = false; // silent until the stream is switched off and on again
    bool broken = false;  // the stream died: POLLERR, DQBUF EIO, until STREAMOFF
    int framesDelivered = 0;
    int streamOns = 0;

    // The button's input queue.
    std::deque<std::pair<std::uint16_t, std::pair<std::uint16_t, std::int32_t>>> events;
    bool keyDown = false;
};

class EmulatedUvc : public V4l2Io, public UdevSource, public std::enable_shared_from_this<EmulatedUvc> {
public:
    EmulatedUvc();
    ~EmulatedUvc() override;

    // Plugs a microscope of the sensor class (0, 1, 2) and returns its number. Its
    // button's input device comes later (PlugButton), as the driver registers it.
    int Plug(int sensorClass, const QString& port = {});
    void PlugButton(int camera);
    // Unplugs in the kernel's order: every call ENODEV (queued buffers are not handed
    // back), poll POLLERR|POLLHUP, then the udev removes.
    void Unplug(int camera);
    // A device that is not a camera but has an input node (a keyboard on another port).
    void PlugKeyboard();

    void With(int camera, const std::function<void(Camera&)>& change);
    Camera Snapshot(int camera);
    void Press(int camera);
    void Release(int camera);
    // The kernel's event queue overflowed while the key went down.
    void DropWhilePressed(int camera);

    QString CaptureNode(int camera);
    QString MetadataNode(int camera);
    QString ButtonNode(int camera);
    // Ioctls issued on descriptors that were closed (or never opened here).
    int StrayIoctls();
    int OpenDescriptors();

    // V4l2Io
    int Open(const char* path, int flags, int* err) override;
    void Close(int fd) override;
    int Ioctl(int fd, unsigned long request, void* argument) override;
    void* Map(int fd, std::size_t length, long offset, int* err) override;
    void Unmap(void* address, std::size_t length) override;
    int Poll(pollfd* fds, unsigned count, int timeoutMs) override;
    long Read(int fd, void* buffer, std::size_t size) override;

    // UdevSource
    std::vector<UdevRecord> Devices(const QString& subsystem) override;
    std::unique_ptr<UdevWatch> Watch(std::function<void(const UdevNotice&)> handler) override;

private:
    struct State;
    struct Watcher;
    void Tell(const std::vector<UdevNotice>& notices);
    std::unique_ptr<State> m_state;
};

// A JPEG of that size: top half red, bottom half blue.
std::vector<std::uint8_t> RedOverBlueJpeg(int width, int height);
// A JPEG of packed RGB rows; `subsampling` is a TurboJPEG TJSAMP_ value.
std::vector<std::uint8_t> JpegOfRgb(const std::vector<std::uint8_t>& rgb, int width, int height,
                                    int subsampling, int quality);
// The same JPEG without its Huffman tables (the driver's usual MJPG frame).
std::vector<std::uint8_t> WithoutHuffmanTables(const std::vector<std::uint8_t>& jpeg);

} // namespace emu
