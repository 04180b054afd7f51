#include "common/EmulatedUvc.h"

#include <QString>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <linux/input.h>
#include <linux/videodev2.h>
#include <thread>
#include <turbojpeg.h>

namespace emu {
namespace {
using Clock = std::chrono::steady_clock;
constexpr int kFirstFd = 100000;
constexpr long kBufferSpacing = 0x100000;
constexpr auto kFrameInterval = std::chrono::milliseconds(4);
constexpr std::uint32_t kFormats[] = {V4L2_PIX_FMT_MJPEG, V4L2_PIX_FMT_YUYV};

enum class Kind { Capture, Metadata, Input, Keyboard };

struct OpenFile {
    int camera;
    Kind kind;
};

struct Buffer {
    std::shared_ptr<std::vector<std::uint8_t>> memory;
    bool queued = false;
    std::uint32_t bytesused = 0, flags = 0, sequence = 0;
};

struct Queue {
    int owner = -1;
    std::vector<Buffer> buffers;
    bool streaming = false;
    std::deque<unsigned> queued, done;
    Clock::time_point nextFrame;
    std::uint32_t sequence = 0;
};

std::uint32_t BytesPerLine(const Camera& c)
{
    return c.pixelFormat == V4L2_PIX_FMT_YUYV ? std::uint32_t(c.width * 2 + c.rowPadding) : 0;
}

std::uint32_t SizeImage(const Camera& c)
{
    return c.pixelFormat == V4L2_PIX_FMT_YUYV ? BytesPerLine(c) * c.height
                                              : std::uint32_t(c.width * c.height * 2);
}

std::size_t BusBytesPerFrame(const Camera& c)
{
    const std::size_t whole = std::size_t(c.width) * c.height * 2;
    return c.pixelFormat == V4L2_PIX_FMT_YUYV ? whole : whole / 4;
}

Frame DefaultFrame(const Camera& c)
{
    if (c.pixelFormat == V4L2_PIX_FMT_MJPEG) {
        static std::map<std::pair<int, int>, std::vector<std::uint8_t>> cache;
        static std::mutex lock;
        std::lock_guard guard(lock);
        auto& jpeg = cache[{c.width, c.height}];
        if (jpeg.empty()) {
            jpeg = RedOverBlueJpeg(c.width, c.height);
        }
        return {jpeg, 0};
    }
    return {std::vector<std::uint8_t>(SizeImage(c), 128), 0};
}

bool Known(const Camera& c, std::uint32_t pixelFormat)
{
    return std::find(std::begin(kFormats), std::end(kFormats), pixelFormat) != std::end(kFormats) &&
           c.present;
}

// The driver's choice for a requested format: the nearest size it has.
void Adjust(const Camera& c, v4l2_pix_format& pix)
{
    if (!Known(c, pix.pixelformat)) {
        pix.pixelformat = kFormats[0];
    }
    auto best = c.sizes.front();
    for (const auto& size : c.sizes) {
        const long d =
            std::abs(long(size.first) - long(pix.width)) + std::abs(long(size.second) - long(pix.height));
        const long bestD =
            std::abs(long(best.first) - long(pix.width)) + std::abs(long(best.second) - long(pix.height));
        if (d < bestD) {
            best = size;
        }
    }
    Camera probe = c;
    probe.pixelFormat = pix.pixelformat, probe.width = best.first, probe.height = best.second;
    pix.width = best.first, pix.height = best.second, pix.field = V4L2_FIELD_NONE;
    pix.bytesperline = BytesPerLine(probe), pix.sizeimage = SizeImage(probe);
}

void SetBit(unsigned long* words, unsigned bit)
{
    constexpr unsigned bits = sizeof(unsigned long) * CHAR_BIT;
    words[bit / bits] |= 1UL << (bit % bits);
}
} // namespace

struct EmulatedUvc::Watcher : UdevWatch {
    Watcher(EmulatedUvc::State* state, std::function<void(const UdevNotice&)> handler);
    ~Watcher() override;
    EmulatedUvc::State* state;
    std::shared_ptr<std::function<void(const UdevNotice&)>> handler;
};

struct EmulatedUvc::State {
    std::mutex lock;
    std::vector<std::unique_ptr<Camera>> cameras;
    std::vector<std::unique_ptr<Queue>> queues;
    std::map<int, OpenFile> files;
    std::map<const void*, std::shared_ptr<std::vector<std::uint8_t>>> mappings;
    std::vector<std::shared_ptr<std::function<void(const UdevNotice&)>>> watchers;
    int nextFd = kFirstFd, nextVideo = 0, nextEvent = 0, stray = 0;
    int keyboardEvent = -1;

    void Produce(Camera& c, Queue& q)
    {
        while (q.streaming && c.present && !c.stalled && !c.broken && !q.queued.empty() &&
               Clock::now() >= q.nextFrame) {
            if (c.stallAfter == 0) {
                c.stalled = true;
                c.stallAfter = -1;
                return;
            }
            Frame frame;
            if (!c.script.empty()) {
                frame = std::move(c.script.front());
                c.script.pop_front();
            } else if (c.feed) {
                frame = c.feed();
            } else {
                frame = DefaultFrame(c);
            }
            const unsigned index = q.queued.front();
            q.queued.pop_front();
            Buffer& b = q.buffers[index];
            const std::size_t n = std::min(frame.bytes.size(), b.memory->size());
            std::copy_n(frame.bytes.begin(), n, b.memory->begin());
            b.bytesused = std::uint32_t(n), b.flags = frame.flags, b.sequence = q.sequence++,
            b.queued = false;
            q.done.push_back(index);
            ++c.framesDelivered;
            c.stallAfter = c.stallAfter > 0 ? c.stallAfter - 1 : c.stallAfter;
            q.nextFrame = Clock::now() + kFrameInterval;
        }
    }

    void StreamOff(Queue& q)
    {
        q.streaming = false;
        q.queued.clear();
        q.done.clear();
        for (Buffer& b : q.buffers) {
            b.queued = false;
        }
    }

    void FreeBuffers(Queue& q)
    {
        StreamOff(q);
        q.buffers.clear(); // mapped memory lives on in `mappings` until unmapped
        q.owner = -1;
    }

    std::vector<UdevRecord> Records(int index)
    {
        const Camera& c = *cameras[index];
        std::vector<UdevRecord> out;
        if (!c.present) {
            return out;
        }
        UdevRecord base;
        base.usbSysPath = c.usbSysPath, base.hardwareId = c.hardwareId, base.serial = c.serial;
        base.busPath = "pci-0000:00:14.0-usb-0:" + c.usbSysPath.section('-', -1) + ":1.0";
        UdevRecord usb = base;
        usb.subsystem = kSubsystemUsb;
        out.push_back(usb);
        for (int node = 0; node < (c.videoNodes ? 2 : 0); ++node) {
            UdevRecord video = base;
            video.subsystem = kSubsystemVideo;
            video.devNode = QString("/dev/video%1").arg(c.videoIndex + node);
            video.product = QString("Microscope class %1").arg(c.sensorClass);
            video.interfaceKey = c.usbSysPath + ":1.0#" + QString::number(node);
            video.v4lCapabilities = !c.udevProperties ? "" : node == 0 ? ":capture:" : ":";
            out.push_back(video);
        }
        if (c.eventIndex >= 0) {
            UdevRecord input = base;
            input.subsystem = kSubsystemInput;
            input.devNode = QString("/dev/input/event%1").arg(c.eventIndex);
            UdevRecord parent = input;
            parent.devNode.clear(); // the nodeless inputN device
            out.push_back(parent);
            out.push_back(input);
        }
        return out;
    }

    int Check(Camera& c, unsigned long request)
    {
        if (!c.present) {
            return ENODEV;
        }
        if (const auto once = c.refuseOnce.find(request); once != c.refuseOnce.end()) {
            const int err = once->second;
            c.refuseOnce.erase(once);
            return err;
        }
        const auto refusal = c.refuse.find(request);
        return refusal != c.refuse.end() ? refusal->second : 0;
    }

    int Video(int fd, const OpenFile& f, unsigned long request, void* arg);
    int Input(const OpenFile& f, unsigned long request, void* arg);
};

EmulatedUvc::Watcher::Watcher(EmulatedUvc::State* s, std::function<void(const UdevNotice&)> h)
    : state(s), handler(std::make_shared<std::function<void(const UdevNotice&)>>(std::move(h)))
{
    std::lock_guard guard(state->lock);
    state->watchers.push_back(handler);
}

EmulatedUvc::Watcher::~Watcher()
{
    std::lock_guard guard(state->lock);
    std::erase(state->watchers, handler);
}

EmulatedUvc::EmulatedUvc() : m_state(std::make_unique<State>()) {}

EmulatedUvc::~EmulatedUvc() = default;

void EmulatedUvc::Tell(const std::vector<UdevNotice>& notices)
{
    std::vector<std::shared_ptr<std::function<void(const UdevNotice&)>>> watchers;
    {
        std::lock_guard guard(m_state->lock);
        watchers = m_state->watchers;
    }
    for (const UdevNotice& notice : notices) {
        for (const auto& watcher : watchers) {
            (*watcher)(notice);
        }
    }
}

int EmulatedUvc::Plug(int sensorClass, const QString& port)
{
    static const std::vector<std::pair<int, int>> sizes[] = {
        {{1280, 1024}, {640, 480}, {320, 240}},
        {{1600, 1200}, {1280, 960}, {640, 480}, {320, 240}},
        {{2592, 1944}, {2048, 1536}, {640, 480}, {320, 240}},
    };
    int index = 0;
    std::vector<UdevNotice> notices;
    {
        std::lock_guard guard(m_state->lock);
        auto camera = std::make_unique<Camera>();
        camera->sensorClass = std::clamp(sensorClass, 0, 2);
        const QString where = port.isEmpty() ? QString::number(m_state->cameras.size() + 1) : port;
        camera->usbSysPath = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-" + where;
        camera->hardwareId = QString("vid_a16e&pid_%1").arg(0x3d00 + camera->sensorClass, 4, 16, QChar('0'));
        camera->videoIndex = m_state->nextVideo;
        m_state->nextVideo += 2;
        camera->sizes = sizes[camera->sensorClass];
        camera->pixelFormat = V4L2_PIX_FMT_MJPEG;
        camera->width = camera->sizes.front().first, camera->height = camera->sizes.front().second;
        for (std::uint32_t id : {V4L2_CID_BRIGHTNESS, V4L2_CID_CONTRAST, V4L2_CID_SATURATION, V4L2_CID_HUE,
                                 V4L2_CID_SHARPNESS, V4L2_CID_GAMMA}) {
            camera->controls[id] = Control{};
        }
        m_state->cameras.push_back(std::move(camera));
        m_state->queues.push_back(std::make_unique<Queue>());
        index = int(m_state->cameras.size()) - 1;
        for (const UdevRecord& record : m_state->Records(index)) {
            if (record.subsystem != kSubsystemInput) {
                notices.push_back({"add", record});
            }
        }
    }
    Tell(notices);
    return index;
}

void EmulatedUvc::PlugButton(int camera)
{
    std::vector<UdevNotice> notices;
    {
        std::lock_guard guard(m_state->lock);
        m_state->cameras[camera]->eventIndex = m_state->nextEvent++;
        for (const UdevRecord& record : m_state->Records(camera)) {
            if (record.subsystem == kSubsystemInput) {
                notices.push_back({"add", record});
            }
        }
    }
    Tell(notices);
}

void EmulatedUvc::PlugKeyboard()
{
    UdevRecord keyboard;
    {
        std::lock_guard guard(m_state->lock);
        m_state->keyboardEvent = m_state->nextEvent++;
        keyboard.subsystem = kSubsystemInput;
        keyboard.devNode = QString("/dev/input/event%1").arg(m_state->keyboardEvent);
        keyboard.usbSysPath = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-9";
        keyboard.hardwareId = "vid_046d&pid_c31c";
    }
    Tell({{"add", keyboard}});
}

void EmulatedUvc::Unplug(int camera)
{
    std::vector<UdevNotice> notices;
    {
        std::lock_guard guard(m_state->lock);
        Camera& c = *m_state->cameras[camera];
        // uvcvideo takes the nodes away before it cancels the transfers: the queued
        // buffers never come back, not even flagged as damaged (seen in the rig).
        std::vector<UdevRecord> records = m_state->Records(camera);
        std::reverse(records.begin(), records.end()); // input, video nodes, then the USB device
        std::stable_partition(records.begin(), records.end(),
                              [](const UdevRecord& r) { return r.subsystem == kSubsystemVideo; });
        for (const UdevRecord& record : records) {
            notices.push_back({"remove", record});
        }
        c.present = false;
    }
    Tell(notices);
}

void EmulatedUvc::With(int camera, const std::function<void(Camera&)>& change)
{
    std::lock_guard guard(m_state->lock);
    change(*m_state->cameras[camera]);
}

Camera EmulatedUvc::Snapshot(int camera)
{
    std::lock_guard guard(m_state->lock);
    return *m_state->cameras[camera];
}

void EmulatedUvc::Press(int camera)
{
    With(camera, [](Camera& c) {
        c.events.push_back({EV_KEY, {KEY_CAMERA, 1}});
        c.events.push_back({EV_SYN, {SYN_REPORT, 0}});
        c.keyDown = true;
    });
}

void EmulatedUvc::Release(int camera)
{
    With(camera, [](Camera& c) {
        c.events.push_back({EV_KEY, {KEY_CAMERA, 0}});
        c.events.push_back({EV_SYN, {SYN_REPORT, 0}});
        c.keyDown = false;
    });
}

void EmulatedUvc::DropWhilePressed(int camera)
{
    With(camera, [](Camera& c) {
        c.events.clear();
        c.events.push_back({EV_SYN, {SYN_DROPPED, 0}});
        c.events.push_back({EV_SYN, {SYN_REPORT, 0}});
        c.keyDown = true;
    });
}

QString EmulatedUvc::CaptureNode(int camera)
{
    return QString("/dev/video%1").arg(Snapshot(camera).videoIndex);
}

QString EmulatedUvc::MetadataNode(int camera)
{
    return QString("/dev/video%1").arg(Snapshot(camera).videoIndex + 1);
}

QString EmulatedUvc::ButtonNode(int camera)
{
    return QString("/dev/input/event%1").arg(Snapshot(camera).eventIndex);
}

int EmulatedUvc::StrayIoctls()
{
    std::lock_guard guard(m_state->lock);
    return m_state->stray;
}

int EmulatedUvc::OpenDescriptors()
{
    std::lock_guard guard(m_state->lock);
    return int(m_state->files.size());
}

int EmulatedUvc::Open(const char* path, int /*flags*/, int* err)
{
    std::lock_guard guard(m_state->lock);
    const QString node = QString::fromLocal8Bit(path);
    auto fail = [err](int e) {
        *err = e;
        return -1;
    };
    for (int i = 0; i < int(m_state->cameras.size()); ++i) {
        const Camera& c = *m_state->cameras[i];
        if (!c.present || !c.videoNodes) {
            continue;
        }
        Kind kind;
        if (node == QString("/dev/video%1").arg(c.videoIndex)) {
            kind = Kind::Capture;
        } else if (node == QString("/dev/video%1").arg(c.videoIndex + 1)) {
            kind = Kind::Metadata;
        } else if (c.eventIndex >= 0 && node == QString("/dev/input/event%1").arg(c.eventIndex)) {
            kind = Kind::Input;
        } else {
            continue;
        }
        if ((kind == Kind::Input && c.buttonDenied) || (kind != Kind::Input && c.nodeDenied)) {
            return fail(EACCES);
        }
        const int fd = m_state->nextFd++;
        m_state->files[fd] = {i, kind};
        return fd;
    }
    if (m_state->keyboardEvent >= 0 && node == QString("/dev/input/event%1").arg(m_state->keyboardEvent)) {
        const int fd = m_state->nextFd++;
        m_state->files[fd] = {-1, Kind::Keyboard};
        return fd;
    }
    return fail(ENOENT);
}

void EmulatedUvc::Close(int fd)
{
    std::lock_guard guard(m_state->lock);
    const auto file = m_state->files.find(fd);
    if (file == m_state->files.end()) {
        ++m_state->stray;
        return;
    }
    if (file->second.kind == Kind::Capture) {
        Queue& q = *m_state->queues[file->second.camera];
        if (q.owner == fd) {
            m_state->FreeBuffers(q);
            m_state->cameras[file->second.camera]->broken = false; // releasing the queue clears its error
        }
    }
    m_state->files.erase(file);
}

int EmulatedUvc::State::Input(const OpenFile& f, unsigned long request, void* arg)
{
    const bool keyboard = f.kind == Kind::Keyboard;
    if (!keyboard && !cameras[f.camera]->present) {
        return ENODEV;
    }
    if (_IOC_TYPE(request) != 'E') {
        return ENOTTY;
    }
    auto* words = static_cast<unsigned long*>(arg);
    const std::size_t size = _IOC_SIZE(request);
    if (_IOC_NR(request) == _IOC_NR(EVIOCGBIT(EV_KEY, 0))) {
        std::memset(words, 0, size);
        SetBit(words, keyboard ? KEY_A : KEY_CAMERA);
        return 0;
    }
    if (_IOC_NR(request) == _IOC_NR(EVIOCGKEY(0))) {
        std::memset(words, 0, size);
        if (!keyboard && cameras[f.camera]->keyDown) {
            SetBit(words, KEY_CAMERA);
        }
        return 0;
    }
    return EINVAL;
}

namespace {
// The flags a control has now: the driver marks a control inactive while the control
// that governs it is not at its manual value.
std::uint32_t FlagsNow(const std::map<std::uint32_t, Control>& controls, const Control& k)
{
    const auto master = k.master ? controls.find(k.master) : controls.end();
    const bool governed = master != controls.end() && master->second.value != k.masterManual;
    return k.flags | (governed ? V4L2_CTRL_FLAG_INACTIVE : 0u);
}

bool Listed(const Control& k, int value)
{
    return !k.menuMask || (value >= 0 && value < 32 && (k.menuMask >> value) & 1u);
}

int ControlIoctl(std::map<std::uint32_t, Control>& controls, unsigned long request, void* arg)
{
    const std::uint32_t id = request == VIDIOC_QUERYCTRL   ? static_cast<v4l2_queryctrl*>(arg)->id
                             : request == VIDIOC_QUERYMENU ? static_cast<v4l2_querymenu*>(arg)->id
                                                           : static_cast<v4l2_control*>(arg)->id;
    const auto control = controls.find(id);
    if (control == controls.end()) {
        return EINVAL;
    }
    Control& k = control->second;
    const std::uint32_t flags = FlagsNow(controls, k);
    if (request == VIDIOC_QUERYCTRL) {
        auto* query = static_cast<v4l2_queryctrl*>(arg);
        query->type = k.menuMask ? V4L2_CTRL_TYPE_MENU : V4L2_CTRL_TYPE_INTEGER;
        query->minimum = k.minimum, query->maximum = k.maximum, query->step = k.step;
        query->default_value = k.defaultValue, query->flags = flags;
        return 0;
    }
    if (request == VIDIOC_QUERYMENU) {
        // Only the items the camera has: the driver refuses the others.
        auto* item = static_cast<v4l2_querymenu*>(arg);
        const int index = int(item->index);
        if (!k.menuMask || index < k.minimum || index > k.maximum || !Listed(k, index)) {
            return EINVAL;
        }
        std::snprintf(reinterpret_cast<char*>(item->name), sizeof item->name, "Mode %d", index);
        return 0;
    }
    auto* value = static_cast<v4l2_control*>(arg);
    if (flags & V4L2_CTRL_FLAG_DISABLED) {
        return EINVAL;
    }
    if (request == VIDIOC_G_CTRL) {
        value->value = k.value;
        return 0;
    }
    if (flags & (V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_INACTIVE)) {
        return EACCES;
    }
    if (flags & V4L2_CTRL_FLAG_GRABBED) {
        return EBUSY;
    }
    if (!Listed(k, value->value)) {
        return EINVAL;
    }
    k.value = std::clamp(value->value, k.minimum, k.maximum);
    return 0;
}
} // namespace

int EmulatedUvc::State::Video(int fd, const OpenFile& f, unsigned long request, void* arg)
{
    Camera& c = *cameras[f.camera];
    Queue& q = *queues[f.camera];
    if (const int err = Check(c, request)) {
        return err;
    }
    if (request == VIDIOC_QUERYCAP) {
        auto* caps = static_cast<v4l2_capability*>(arg);
        *caps = {};
        std::strcpy(reinterpret_cast<char*>(caps->driver), "uvcvideo");
        std::snprintf(reinterpret_cast<char*>(caps->card), sizeof caps->card, "Microscope class %d",
                      c.sensorClass);
        caps->capabilities =
            V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING | V4L2_CAP_DEVICE_CAPS;
        caps->device_caps =
            (f.kind == Kind::Capture ? V4L2_CAP_VIDEO_CAPTURE : V4L2_CAP_META_CAPTURE) | V4L2_CAP_STREAMING;
        return 0;
    }
    if (f.kind != Kind::Capture) {
        return EINVAL;
    }
    const bool owner = q.owner == fd;
    const bool other = q.owner >= 0 && !owner;
    switch (request) {
    case VIDIOC_ENUM_FMT: {
        auto* desc = static_cast<v4l2_fmtdesc*>(arg);
        if (desc->type != V4L2_BUF_TYPE_VIDEO_CAPTURE || desc->index >= std::size(kFormats)) {
            return EINVAL;
        }
        desc->pixelformat = kFormats[desc->index];
        return 0;
    }
    case VIDIOC_ENUM_FRAMESIZES: {
        auto* size = static_cast<v4l2_frmsizeenum*>(arg);
        if (!Known(c, size->pixel_format) || size->index >= c.sizes.size()) {
            return EINVAL;
        }
        size->type = V4L2_FRMSIZE_TYPE_DISCRETE;
        size->discrete = {unsigned(c.sizes[size->index].first), unsigned(c.sizes[size->index].second)};
        return 0;
    }
    case VIDIOC_G_FMT: {
        auto* format = static_cast<v4l2_format*>(arg);
        format->fmt.pix = {};
        format->fmt.pix.pixelformat = c.pixelFormat;
        format->fmt.pix.width = c.width, format->fmt.pix.height = c.height;
        Adjust(c, format->fmt.pix);
        return 0;
    }
    case VIDIOC_TRY_FMT:
        Adjust(c, static_cast<v4l2_format*>(arg)->fmt.pix);
        return 0;
    case VIDIOC_S_FMT: {
        if (other || q.streaming || !q.buffers.empty()) {
            return EBUSY;
        }
        v4l2_pix_format& pix = static_cast<v4l2_format*>(arg)->fmt.pix;
        Adjust(c, pix);
        c.pixelFormat = pix.pixelformat, c.width = int(pix.width), c.height = int(pix.height);
        return 0;
    }
    case VIDIOC_G_PARM:
    case VIDIOC_S_PARM: {
        auto* parm = static_cast<v4l2_streamparm*>(arg);
        parm->parm.capture.timeperframe = {1, 100};
        return 0;
    }
    case VIDIOC_REQBUFS: {
        auto* req = static_cast<v4l2_requestbuffers*>(arg);
        if (other || q.streaming) {
            return EBUSY;
        }
        for (const Buffer& b : q.buffers) {
            if (mappings.count(b.memory->data())) {
                return EBUSY;
            }
        }
        FreeBuffers(q);
        req->count = std::min(req->count, c.maxBuffers);
        for (unsigned i = 0; i < req->count; ++i) {
            q.buffers.push_back({std::make_shared<std::vector<std::uint8_t>>(SizeImage(c)), false, 0, 0, 0});
        }
        q.owner = req->count ? fd : -1;
        return 0;
    }
    case VIDIOC_QUERYBUF: {
        auto* buf = static_cast<v4l2_buffer*>(arg);
        if (!owner || buf->index >= q.buffers.size() || int(buf->index) == c.queryBufFailsAt) {
            return EINVAL;
        }
        buf->length = std::uint32_t(q.buffers[buf->index].memory->size());
        buf->m.offset = std::uint32_t(buf->index * kBufferSpacing);
        return 0;
    }
    case VIDIOC_QBUF: {
        auto* buf = static_cast<v4l2_buffer*>(arg);
        if (c.broken) {
            return EIO;
        }
        if (!owner || buf->index >= q.buffers.size() || q.buffers[buf->index].queued) {
            return EINVAL;
        }
        q.buffers[buf->index].queued = true;
        q.queued.push_back(buf->index);
        return 0;
    }
    case VIDIOC_DQBUF: {
        auto* buf = static_cast<v4l2_buffer*>(arg);
        if (c.broken) {
            return EIO;
        }
        if (!owner || !q.streaming) {
            return EINVAL;
        }
        Produce(c, q);
        if (q.done.empty()) {
            return EAGAIN;
        }
        const unsigned index = q.done.front();
        q.done.pop_front();
        buf->index = index;
        buf->bytesused = q.buffers[index].bytesused;
        buf->flags = q.buffers[index].flags;
        buf->sequence = q.buffers[index].sequence;
        return 0;
    }
    case VIDIOC_STREAMON:
        if (!owner || q.buffers.empty()) {
            return EINVAL;
        }
        if (c.busBytesPerFrame != 0 && BusBytesPerFrame(c) > c.busBytesPerFrame) {
            return ENOSPC;
        }
        if (!q.streaming) {
            q.streaming = true;
            q.nextFrame = Clock::now();
            c.stalled = false;
            ++c.streamOns;
        }
        return 0;
    case VIDIOC_STREAMOFF:
        if (other) {
            return EBUSY;
        }
        StreamOff(q);
        c.broken = false;
        return 0;
    case VIDIOC_QUERYCTRL:
    case VIDIOC_QUERYMENU:
    case VIDIOC_G_CTRL:
    case VIDIOC_S_CTRL:
        return ControlIoctl(c.controls, request, arg);
    default:
        return ENOTTY;
    }
}

int EmulatedUvc::Ioctl(int fd, unsigned long request, void* argument)
{
    std::lock_guard guard(m_state->lock);
    const auto file = m_state->files.find(fd);
    if (file == m_state->files.end()) {
        ++m_state->stray;
        return EBADF;
    }
    const OpenFile f = file->second;
    if (f.kind == Kind::Input || f.kind == Kind::Keyboard) {
        return m_state->Input(f, request, argument);
    }
    return m_state->Video(fd, f, request, argument);
}

void* EmulatedUvc::Map(int fd, std::size_t length, long offset, int* err)
{
    std::lock_guard guard(m_state->lock);
    const auto file = m_state->files.find(fd);
    *err = EINVAL;
    if (file == m_state->files.end() || file->second.kind != Kind::Capture) {
        return nullptr;
    }
    const Camera& c = *m_state->cameras[file->second.camera];
    Queue& q = *m_state->queues[file->second.camera];
    const long index = offset / kBufferSpacing;
    if (!c.present) {
        *err = ENODEV;
        return nullptr;
    }
    if (q.owner != fd || index >= long(q.buffers.size()) || index == c.mapFailsAt ||
        length != q.buffers[index].memory->size()) {
        return nullptr;
    }
    m_state->mappings[q.buffers[index].memory->data()] = q.buffers[index].memory;
    return q.buffers[index].memory->data();
}

void EmulatedUvc::Unmap(void* address, std::size_t /*length*/)
{
    std::lock_guard guard(m_state->lock);
    m_state->mappings.erase(address);
}

int EmulatedUvc::Poll(pollfd* fds, unsigned count, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int ready = 0;
        std::vector<pollfd> real;
        {
            std::lock_guard guard(m_state->lock);
            for (unsigned i = 0; i < count; ++i) {
                pollfd& p = fds[i];
                p.revents = 0;
                if (p.fd < kFirstFd) {
                    real.push_back(p);
                    continue;
                }
                const auto file = m_state->files.find(p.fd);
                if (file == m_state->files.end()) {
                    p.revents = POLLNVAL;
                } else if (file->second.kind == Kind::Keyboard) {
                    p.revents = 0;
                } else if (!m_state->cameras[file->second.camera]->present) {
                    p.revents = POLLERR | POLLHUP;
                } else if (file->second.kind == Kind::Input) {
                    p.revents = m_state->cameras[file->second.camera]->events.empty() ? 0 : POLLIN;
                } else if (file->second.kind == Kind::Capture) {
                    Camera& c = *m_state->cameras[file->second.camera];
                    Queue& q = *m_state->queues[file->second.camera];
                    m_state->Produce(c, q);
                    if (c.broken || !q.streaming) {
                        p.revents = POLLERR;
                    } else if (!q.done.empty()) {
                        p.revents = POLLIN;
                    }
                }
                ready += p.revents ? 1 : 0;
            }
        }
        if (!real.empty() && ::poll(real.data(), real.size(), 0) > 0) {
            for (unsigned i = 0, r = 0; i < count; ++i) {
                if (fds[i].fd < kFirstFd) {
                    fds[i].revents = real[r++].revents;
                    ready += fds[i].revents ? 1 : 0;
                }
            }
        }
        if (ready > 0 || Clock::now() >= deadline) {
            return ready;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

long EmulatedUvc::Read(int fd, void* buffer, std::size_t size)
{
    std::lock_guard guard(m_state->lock);
    const auto file = m_state->files.find(fd);
    if (file == m_state->files.end()) {
        return -EBADF;
    }
    if (file->second.kind == Kind::Keyboard) {
        return -EAGAIN;
    }
    Camera& c = *m_state->cameras[file->second.camera];
    if (!c.present) {
        return -ENODEV;
    }
    if (c.events.empty()) {
        return -EAGAIN;
    }
    auto* out = static_cast<input_event*>(buffer);
    std::size_t n = 0;
    for (; n < size / sizeof(input_event) && !c.events.empty(); ++n) {
        out[n] = {};
        out[n].type = c.events.front().first;
        out[n].code = c.events.front().second.first;
        out[n].value = c.events.front().second.second;
        c.events.pop_front();
    }
    return long(n * sizeof(input_event));
}

std::vector<UdevRecord> EmulatedUvc::Devices(const QString& subsystem)
{
    std::lock_guard guard(m_state->lock);
    std::vector<UdevRecord> out;
    for (int i = 0; i < int(m_state->cameras.size()); ++i) {
        for (UdevRecord& record : m_state->Records(i)) {
            if (record.subsystem == subsystem) {
                out.push_back(std::move(record));
            }
        }
    }
    if (subsystem == kSubsystemInput && m_state->keyboardEvent >= 0) {
        UdevRecord keyboard;
        keyboard.subsystem = kSubsystemInput;
        keyboard.devNode = QString("/dev/input/event%1").arg(m_state->keyboardEvent);
        keyboard.usbSysPath = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-9";
        out.insert(out.begin(), keyboard);
    }
    return out;
}

std::unique_ptr<UdevWatch> EmulatedUvc::Watch(std::function<void(const UdevNotice&)> handler)
{
    return std::make_unique<Watcher>(m_state.get(), std::move(handler));
}

std::vector<std::uint8_t> RedOverBlueJpeg(int w, int h)
{
    std::vector<std::uint8_t> rgb(std::size_t(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &rgb[(std::size_t(y) * w + x) * 3];
            p[0] = y < h / 2 ? 255 : 0, p[1] = 0, p[2] = y < h / 2 ? 0 : 255;
        }
    }
    return JpegOfRgb(rgb, w, h, TJSAMP_422, 85);
}

std::vector<std::uint8_t> JpegOfRgb(const std::vector<std::uint8_t>& rgb, int w, int h, int subsampling,
                                    int quality)
{
    tjhandle tj = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(tj, rgb.data(), w, w * 3, h, TJPF_RGB, &jpeg, &size, subsampling, quality, 0);
    std::vector<std::uint8_t> out(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(tj);
    return out;
}

std::vector<std::uint8_t> WithoutHuffmanTables(const std::vector<std::uint8_t>& jpeg)
{
    std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + 2); // SOI
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
        const std::uint8_t marker = jpeg[at + 1];
        const std::size_t length = (std::size_t(jpeg[at + 2]) << 8) | jpeg[at + 3];
        if (marker == 0xDA) { // start of scan: the rest is image data
            out.insert(out.end(), jpeg.begin() + long(at), jpeg.end());
            return out;
        }
        if (marker != 0xC4) {
            out.insert(out.begin() + long(out.size()), jpeg.begin() + long(at),
                       jpeg.begin() + long(at + 2 + length));
        }
        at += 2 + length;
    }
    return jpeg;
}

} // namespace emu
