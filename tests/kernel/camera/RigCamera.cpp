// The rig's USB camera: a UVC 1.1 device in user space on GadgetFS, so the kernel's own
// uvcvideo driver (through dummy_hcd) meets a camera without any hardware.
//
//   rig_camera -d DIR [-g /dev/gadget] [-v]
// YUYV frames show the rig pattern; an MJPG frame of WxH is DIR/mjpg-WxH.jpg as it is
// at the start of that frame (the test swaps it between streams). The brightness, the
// auto-exposure mode and the exposure time the host sets are written to files in DIR
// (RigPattern.h names them). SIGUSR1 presses the camera button, SIGTERM unplugs the
// camera. -v logs every control request.
#include "UvcDescriptors.h"
#include "kernel/RigPattern.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <linux/usb/ch9.h>
#include <linux/usb/gadgetfs.h>
#include <linux/usb/video.h>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <string>
#include <sys/signalfd.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {
using namespace rig;

constexpr int kPayloadHeader = 2;
constexpr int kEp0PollMs = 20;
constexpr int kEp0Priority = 50;
constexpr std::uint8_t kHeaderEoh = 0x80, kHeaderEof = 0x02;
constexpr std::uint8_t kInfoGet = 0x01, kInfoGetSet = 0x03;

bool g_verbose = false;

void NormalPriority()
{
    sched_param normal{};
    pthread_setschedparam(pthread_self(), SCHED_OTHER, &normal);
}

void Log(const std::string& text)
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "rig_camera %ld.%03ld: %s\n", long(now.tv_sec), now.tv_nsec / 1000000, text.c_str());
}

struct Stream {
    int format = kFormatYuyv, frame = 1;
};

// Everything the ep0 thread and the senders share.
struct Shared {
    std::mutex lock;
    std::condition_variable changed;
    bool stopping = false;
    bool streaming = false;
    unsigned generation = 0; // one more per COMMIT: a sender on an older one gives up
    Stream committed;
    int pressesWaiting = 0;
};

class Camera {
public:
    Camera(std::string gadgetDir, std::string dataDir)
        : m_gadgetDir(std::move(gadgetDir)), m_dataDir(std::move(dataDir))
    {
    }
    int Run();

private:
    bool OpenEp0();
    int OpenEndpoint(const char* name, const std::vector<std::uint8_t>& setup);
    void OnSetup(const usb_ctrlrequest& request);
    void OnStandard(const usb_ctrlrequest& request);
    void OnStreaming(const usb_ctrlrequest& request);
    void OnControl(const usb_ctrlrequest& request);
    void Reply(const void* data, unsigned length, unsigned asked);
    void Stall(const usb_ctrlrequest& request);
    void Ack();
    void FillProbe(uvc_streaming_control& probe, int format, int frame);
    void Send();
    std::vector<std::uint8_t> Picture(const Stream& stream);
    enum class Sent { Done, Restarted, Failed };
    Sent SendPicture(const std::vector<std::uint8_t>& picture, unsigned generation, std::uint8_t fid);
    Sent Write(const std::uint8_t* data, std::size_t length, unsigned generation);
    void PressButton();
    void SaveControl(const char* name, int value);

    std::string m_gadgetDir, m_dataDir;
    int m_ep0 = -1, m_video = -1, m_status = -1;
    Shared m_shared;
    pthread_t m_sender{};
    uvc_streaming_control m_probe{}, m_commit{};
    int m_brightness = kBrightnessDefault;
    int m_aeMode = kAeDefault;
    int m_exposure = kExposureDefault;
};

bool Camera::OpenEp0()
{
    // GadgetFS names ep0's file after the controller (dummy_udc).
    std::string path;
    if (DIR* dir = opendir(m_gadgetDir.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.' && std::strncmp(entry->d_name, "ep", 2) != 0) {
                path = m_gadgetDir + "/" + entry->d_name;
            }
        }
        closedir(dir);
    }
    m_ep0 = path.empty() ? -1 : open(path.c_str(), O_RDWR);
    if (m_ep0 < 0) {
        Log("no GadgetFS controller file in " + m_gadgetDir);
        return false;
    }
    const auto setup = GadgetDeviceSetup();
    if (write(m_ep0, setup.data(), setup.size()) != ssize_t(setup.size())) {
        Log(std::string("descriptors refused: ") + std::strerror(errno));
        return false;
    }
    return true;
}

int Camera::OpenEndpoint(const char* name, const std::vector<std::uint8_t>& setup)
{
    const std::string path = m_gadgetDir + "/" + name;
    const int fd = open(path.c_str(), O_RDWR);
    if (fd >= 0 && write(fd, setup.data(), setup.size()) == ssize_t(setup.size())) {
        return fd;
    }
    Log(path + ": " + std::strerror(errno));
    if (fd >= 0) {
        close(fd);
    }
    return -1;
}

void Camera::Reply(const void* data, unsigned length, unsigned asked)
{
    if (write(m_ep0, data, std::min(length, asked)) < 0) {
        Log(std::string("ep0 reply: ") + std::strerror(errno));
    }
}

// GadgetFS: reading on an IN request, or writing on an OUT request, stalls it.
void Camera::Stall(const usb_ctrlrequest& request)
{
    std::uint8_t none = 0;
    if (request.bRequestType & USB_DIR_IN) {
        [[maybe_unused]] const ssize_t n = read(m_ep0, &none, 0);
    } else {
        [[maybe_unused]] const ssize_t n = write(m_ep0, &none, 0);
    }
}

void Camera::Ack()
{
    std::uint8_t none = 0;
    [[maybe_unused]] const ssize_t n = read(m_ep0, &none, 0);
}

void Camera::OnStandard(const usb_ctrlrequest& request)
{
    if (request.bRequest == USB_REQ_GET_DESCRIPTOR && (request.wValue >> 8) == USB_DT_STRING) {
        const int index = request.wValue & 0xff;
        const char* texts[] = {nullptr, "Pelora", kProductName, kSerialNumber};
        std::uint8_t out[64] = {4, USB_DT_STRING, 0x09, 0x04}; // index 0: US English
        unsigned length = 4;
        if (index > 0 && index < int(std::size(texts))) {
            length = 2;
            for (const char* c = texts[index]; *c; ++c) {
                out[length++] = std::uint8_t(*c);
                out[length++] = 0;
            }
            out[0] = std::uint8_t(length);
        } else if (index != 0) {
            Stall(request);
            return;
        }
        Reply(out, length, request.wLength);
        return;
    }
    if (request.bRequest == USB_REQ_SET_CONFIGURATION) {
        if (m_video < 0) {
            m_video =
                OpenEndpoint(kVideoEndpointName, GadgetEndpointSetup(kVideoEndpoint, USB_ENDPOINT_XFER_BULK,
                                                                     64, kHighSpeedBulkPacket, 0, 0));
        }
        if (m_status < 0) {
            m_status =
                OpenEndpoint(kStatusEndpointName,
                             GadgetEndpointSetup(kStatusEndpoint, USB_ENDPOINT_XFER_INT, 16, 16, 16, 8));
        }
        Ack();
        return;
    }
    if (request.bRequest == USB_REQ_SET_INTERFACE) {
        Ack();
        return;
    }
    Stall(request);
}

void Camera::FillProbe(uvc_streaming_control& probe, int format, int frame)
{
    int width = 0, height = 0;
    if (!FrameSize(format, frame, width, height)) {
        format = kFormatYuyv, frame = 1;
        FrameSize(format, frame, width, height);
    }
    probe = {};
    probe.bmHint = 1;
    probe.bFormatIndex = std::uint8_t(format);
    probe.bFrameIndex = std::uint8_t(frame);
    probe.dwFrameInterval = kFrameInterval;
    probe.dwMaxVideoFrameSize = unsigned(width * height * 2);
    probe.dwMaxPayloadTransferSize = kMaxPayload;
    probe.dwClockFrequency = 48000000;
    probe.bmFramingInfo = 3;
    probe.bPreferedVersion = probe.bMinVersion = probe.bMaxVersion = 1;
}

void Camera::OnStreaming(const usb_ctrlrequest& request)
{
    const unsigned selector = request.wValue >> 8;
    if (selector != UVC_VS_PROBE_CONTROL && selector != UVC_VS_COMMIT_CONTROL) {
        Stall(request);
        return;
    }
    uvc_streaming_control& current = selector == UVC_VS_PROBE_CONTROL ? m_probe : m_commit;
    uvc_streaming_control asked{};
    const unsigned length = std::min<unsigned>(request.wLength, sizeof asked);
    switch (request.bRequest) {
    case UVC_SET_CUR: {
        if (read(m_ep0, &asked, length) < 0) {
            Log(std::string("probe data lost: ") + std::strerror(errno));
            return;
        }
        FillProbe(current, asked.bFormatIndex, asked.bFrameIndex);
        if (selector == UVC_VS_COMMIT_CONTROL) {
            std::lock_guard guard(m_shared.lock);
            m_shared.committed = {current.bFormatIndex, current.bFrameIndex};
            m_shared.streaming = true;
            ++m_shared.generation;
            m_shared.changed.notify_all();
            pthread_kill(m_sender, SIGUSR2); // ends a write the last stream left waiting
        }
        return;
    }
    case UVC_GET_CUR:
        Reply(&current, length, length);
        return;
    case UVC_GET_MIN:
    case UVC_GET_DEF:
    case UVC_GET_MAX:
        FillProbe(asked, request.bRequest == UVC_GET_MAX ? kFormatMjpg : kFormatYuyv, 1);
        Reply(&asked, length, length);
        return;
    case UVC_GET_LEN: {
        const std::uint8_t size[2] = {std::uint8_t(sizeof asked), 0};
        Reply(size, 2, request.wLength);
        return;
    }
    case UVC_GET_INFO:
        Reply(&kInfoGetSet, 1, request.wLength);
        return;
    default:
        Stall(request);
    }
}

void Camera::SaveControl(const char* name, int value)
{
    // Written whole and renamed, so the test never reads half a number.
    const std::string path = m_dataDir + "/" + name;
    std::ofstream(path + ".new") << value << "\n";
    std::rename((path + ".new").c_str(), path.c_str());
}

void Camera::OnControl(const usb_ctrlrequest& request)
{
    const unsigned entity = request.wIndex >> 8, selector = request.wValue >> 8;
    const bool in = request.bRequestType & USB_DIR_IN;
    struct Range {
        int* value;
        int min, max, res, def;
        std::uint8_t info;
        unsigned size;
        const char* file; // where a value the host sets is noted
    };
    int contrast = kContrastValue;
    Range range{};
    if (entity == kProcessingUnit && selector == UVC_PU_BRIGHTNESS_CONTROL) {
        range = {&m_brightness, 0, 255, 1, kBrightnessDefault, kInfoGetSet, 2, kBrightnessFile};
    } else if (entity == kProcessingUnit && selector == UVC_PU_CONTRAST_CONTROL) {
        range = {&contrast, 0, 95, 1, kContrastValue, kInfoGet, 2, nullptr};
    } else if (entity == kCameraTerminal && selector == UVC_CT_AE_MODE_CONTROL) {
        range = {&m_aeMode, kAeModes, kAeModes, kAeModes, kAeDefault, kInfoGetSet, 1, kAeModeFile};
    } else if (entity == kCameraTerminal && selector == UVC_CT_EXPOSURE_TIME_ABSOLUTE_CONTROL) {
        range = {&m_exposure, kExposureMin, kExposureMax, 1, kExposureDefault, kInfoGetSet, 4, kExposureFile};
    } else if (entity == 0 && selector == UVC_VC_REQUEST_ERROR_CODE_CONTROL && in) {
        const std::uint8_t noError = 0;
        Reply(&noError, 1, request.wLength);
        return;
    }
    if (!range.value || (!in && (request.bRequest != UVC_SET_CUR || range.info == kInfoGet))) {
        Stall(request);
        return;
    }
    std::uint8_t bytes[4] = {};
    if (!in) {
        const ssize_t got = read(m_ep0, bytes, std::min<unsigned>(request.wLength, sizeof bytes));
        if (got > 0) {
            int value = 0;
            for (ssize_t i = 0; i < std::min<ssize_t>(got, range.size); ++i) {
                value |= bytes[i] << (8 * i);
            }
            *range.value = value;
            if (range.file) {
                SaveControl(range.file, value);
            }
        }
        return;
    }
    int value = 0;
    switch (request.bRequest) {
    case UVC_GET_CUR:
        value = *range.value;
        break;
    case UVC_GET_MIN:
        value = range.min;
        break;
    case UVC_GET_MAX:
        value = range.max;
        break;
    case UVC_GET_RES:
        value = range.res;
        break;
    case UVC_GET_DEF:
        value = range.def;
        break;
    case UVC_GET_INFO:
        Reply(&range.info, 1, request.wLength);
        return;
    default:
        Stall(request);
        return;
    }
    for (unsigned i = 0; i < range.size; ++i) {
        bytes[i] = std::uint8_t(value >> (8 * i));
    }
    Reply(bytes, range.size, request.wLength);
}

void Camera::OnSetup(const usb_ctrlrequest& request)
{
    const unsigned type = request.bRequestType & USB_TYPE_MASK;
    if (type == USB_TYPE_STANDARD) {
        OnStandard(request);
    } else if (type == USB_TYPE_CLASS && (request.wIndex & 0xff) == kStreamingInterface) {
        OnStreaming(request);
    } else if (type == USB_TYPE_CLASS) {
        OnControl(request);
    } else {
        Stall(request);
    }
    if (g_verbose) {
        char text[80];
        std::snprintf(text, sizeof text, "setup %02x %02x %04x %04x %u", request.bRequestType,
                      request.bRequest, request.wValue, request.wIndex, request.wLength);
        Log(text);
    }
}

std::vector<std::uint8_t> Camera::Picture(const Stream& stream)
{
    int width = 0, height = 0;
    FrameSize(stream.format, stream.frame, width, height);
    if (stream.format == kFormatMjpg) {
        const std::string path =
            m_dataDir + "/mjpg-" + std::to_string(width) + "x" + std::to_string(height) + ".jpg";
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    std::vector<std::uint8_t> picture(std::size_t(width) * height * 2);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; x += 2) {
            const Yuv pair = YuyvPair(x, y, width, height);
            std::memcpy(&picture[(std::size_t(y) * width + x) * 2], &pair, sizeof pair);
        }
    }
    return picture;
}

Camera::Sent Camera::Write(const std::uint8_t* data, std::size_t length, unsigned generation)
{
    for (;;) {
        {
            std::lock_guard guard(m_shared.lock);
            if (m_shared.stopping || m_shared.generation != generation) {
                return Sent::Restarted;
            }
        }
        if (write(m_video, data, length) == ssize_t(length)) {
            return Sent::Done;
        }
        if (errno != EINTR) {
            return Sent::Failed;
        }
        std::lock_guard guard(m_shared.lock);
        if (m_shared.stopping || m_shared.generation != generation) {
            return Sent::Restarted; // GadgetFS took the unsent request back
        }
    }
}

Camera::Sent Camera::SendPicture(const std::vector<std::uint8_t>& picture, unsigned generation,
                                 std::uint8_t fid)
{
    std::vector<std::uint8_t> payload(kMaxPayload);
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(picture.size() - at, kMaxPayload - kPayloadHeader);
        const bool last = at + n == picture.size();
        payload[0] = kPayloadHeader;
        payload[1] = std::uint8_t(kHeaderEoh | fid | (last ? kHeaderEof : 0));
        std::copy_n(picture.begin() + long(at), n, payload.begin() + kPayloadHeader);
        const std::size_t size = n + kPayloadHeader;
        if (const Sent sent = Write(payload.data(), size, generation); sent != Sent::Done) {
            return sent;
        }
        // A short transfer that fills whole packets needs a zero-length packet to end it.
        if (size < kMaxPayload && size % kHighSpeedBulkPacket == 0) {
            Write(payload.data(), 0, generation);
        }
        at += n;
    } while (at < picture.size());
    return Sent::Done;
}

void Camera::Send()
{
    std::uint8_t fid = 0;
    auto next = std::chrono::steady_clock::now();
    for (;;) {
        Stream stream;
        unsigned generation = 0;
        {
            std::unique_lock guard(m_shared.lock);
            m_shared.changed.wait(guard, [this] { return m_shared.stopping || m_shared.streaming; });
            if (m_shared.stopping) {
                return;
            }
            stream = m_shared.committed;
            generation = m_shared.generation;
        }
        std::this_thread::sleep_until(next);
        next =
            std::max(next, std::chrono::steady_clock::now()) + std::chrono::microseconds(kFrameInterval / 10);
        const Sent sent = SendPicture(Picture(stream), generation, fid);
        fid ^= 1;
        if (sent == Sent::Failed) {
            Log(std::string("video endpoint: ") + std::strerror(errno));
            std::lock_guard guard(m_shared.lock);
            m_shared.streaming = m_shared.generation != generation && m_shared.streaming;
        }
    }
}

void Camera::PressButton()
{
    // A status packet from the streaming interface: button event, pressed then released.
    // The write waits until the host polls the endpoint, which it does while the video
    // node is open.
    const std::uint8_t press[4] = {2, kStreamingInterface, 0, 1}, release[4] = {2, kStreamingInterface, 0, 0};
    if (m_status < 0 || write(m_status, press, sizeof press) < 0 ||
        write(m_status, release, sizeof release) < 0) {
        Log("button press not sent");
    }
}

int Camera::Run()
{
    sigset_t owned;
    sigemptyset(&owned);
    for (int s : {SIGTERM, SIGINT, SIGUSR1}) {
        sigaddset(&owned, s);
    }
    pthread_sigmask(SIG_BLOCK, &owned, nullptr); // inherited by the threads below
    struct sigaction wake = {};
    wake.sa_handler = [](int) {}; // no SA_RESTART: the blocked write returns EINTR
    sigaction(SIGUSR2, &wake, nullptr);
    signal(SIGPIPE, SIG_IGN);
    const int signals = signalfd(-1, &owned, SFD_CLOEXEC);
    // GadgetFS takes an OUT request's data at once and the host goes on to its next
    // request; if that comes before we have read the data, GadgetFS drops both. With
    // one processor, only running ahead of the host's thread keeps the two in order.
    sched_param realtime{};
    realtime.sched_priority = kEp0Priority;
    if (sched_setscheduler(0, SCHED_FIFO, &realtime) != 0) {
        Log("no real-time priority: control requests may be lost under load");
    }
    FillProbe(m_probe, kFormatYuyv, 1);
    m_commit = m_probe;
    if (signals < 0 || !OpenEp0()) {
        return 1;
    }
    std::thread sender([this] {
        NormalPriority();
        Send();
    });
    m_sender = sender.native_handle();
    std::thread button([this] {
        NormalPriority();
        std::unique_lock guard(m_shared.lock);
        for (;;) {
            m_shared.changed.wait(guard, [this] { return m_shared.stopping || m_shared.pressesWaiting > 0; });
            if (m_shared.stopping) {
                return;
            }
            --m_shared.pressesWaiting;
            guard.unlock();
            PressButton();
            guard.lock();
        }
    });
    Log("plugged in");
    bool running = true;
    while (running) {
        // GadgetFS does not always wake a poll for a request that follows a data stage
        // at once; looking again every few milliseconds keeps the host from timing out.
        pollfd fds[2] = {{m_ep0, POLLIN, 0}, {signals, POLLIN, 0}};
        if (poll(fds, 2, kEp0PollMs) < 0) {
            continue;
        }
        if (fds[1].revents & POLLIN) {
            signalfd_siginfo info{};
            if (read(signals, &info, sizeof info) == sizeof info && info.ssi_signo == SIGUSR1) {
                std::lock_guard guard(m_shared.lock);
                ++m_shared.pressesWaiting;
                m_shared.changed.notify_all();
            } else {
                running = false;
            }
        }
        if (!(fds[0].revents & POLLIN)) {
            continue;
        }
        usb_gadgetfs_event events[5];
        const ssize_t n = read(m_ep0, events, sizeof events);
        for (ssize_t i = 0; i < n / ssize_t(sizeof events[0]); ++i) {
            if (events[i].type == GADGETFS_SETUP) {
                OnSetup(events[i].u.setup);
            } else if (events[i].type == GADGETFS_DISCONNECT) {
                std::lock_guard guard(m_shared.lock);
                m_shared.streaming = false;
            }
        }
    }
    // A sender or a button press may wait in a write the host no longer reads: wake
    // them before the files close (closing ep0 takes the device off the bus).
    {
        std::lock_guard guard(m_shared.lock);
        m_shared.stopping = true;
        m_shared.changed.notify_all();
    }
    pthread_kill(sender.native_handle(), SIGUSR2);
    pthread_kill(button.native_handle(), SIGUSR2);
    sender.join();
    button.join();
    close(m_video);
    close(m_status);
    close(m_ep0);
    Log("unplugged");
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    std::string gadgetDir = "/dev/gadget", dataDir;
    for (int opt; (opt = getopt(argc, argv, "g:d:v")) != -1;) {
        if (opt == 'v') {
            g_verbose = true;
        } else if (opt == 'g') {
            gadgetDir = optarg;
        } else if (opt == 'd') {
            dataDir = optarg;
        }
    }
    if (dataDir.empty()) {
        std::fprintf(stderr, "usage: %s -d DIR [-g GADGETFS_DIR]\n", argv[0]);
        return 2;
    }
    return Camera(gadgetDir, dataDir).Run();
}
