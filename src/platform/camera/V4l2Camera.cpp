#include "platform/camera/V4l2Camera.h"

#include <algorithm>
#include <cerrno>
#include <linux/videodev2.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {
constexpr unsigned kBufferCount = 4;
constexpr std::int64_t kTicksPerMs = 10000; // 100-ns units

using Clock = std::chrono::steady_clock;

void AddSizes(V4l2Io& io, int fd, unsigned pixelFormat, CameraSubtype subtype,
              std::vector<CameraCapability>& caps)
{
    v4l2_frmsizeenum size{};
    size.pixel_format = pixelFormat;
    for (size.index = 0; io.Ioctl(fd, VIDIOC_ENUM_FRAMESIZES, &size) == 0; ++size.index) {
        if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
            caps.push_back({subtype, int(size.discrete.width), int(size.discrete.height)});
            continue;
        }
        // Stepwise or continuous: offer both ends.
        caps.push_back({subtype, int(size.stepwise.max_width), int(size.stepwise.max_height)});
        caps.push_back({subtype, int(size.stepwise.min_width), int(size.stepwise.min_height)});
        break;
    }
}

v4l2_format FormatRequest(const CameraFormat& wanted)
{
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    format.fmt.pix.width = static_cast<unsigned>(std::max(0, wanted.width));
    format.fmt.pix.height = static_cast<unsigned>(std::max(0, wanted.height));
    format.fmt.pix.pixelformat = PixelFormatOf(wanted.subtype);
    format.fmt.pix.field = V4L2_FIELD_NONE;
    return format;
}

// The driver picks the nearest format it has; anything else than asked is a refusal.
bool IsWhatWasAsked(const v4l2_format& format, const CameraFormat& wanted)
{
    CameraSubtype got;
    return SubtypeOfPixelFormat(format.fmt.pix.pixelformat, got) && got == wanted.subtype &&
           int(format.fmt.pix.width) == wanted.width && int(format.fmt.pix.height) == wanted.height;
}

// Errors that mean the device itself has gone, not just its stream.
bool IsGone(int err)
{
    return err == ENODEV || err == ENXIO;
}
} // namespace

bool SubtypeOfPixelFormat(unsigned pixelFormat, CameraSubtype& subtype)
{
    switch (pixelFormat) {
    case V4L2_PIX_FMT_YUYV:
        subtype = CameraSubtype::YUY2;
        return true;
    case V4L2_PIX_FMT_UYVY:
        subtype = CameraSubtype::UYVY;
        return true;
    case V4L2_PIX_FMT_MJPEG:
    case V4L2_PIX_FMT_JPEG:
        subtype = CameraSubtype::MJPG;
        return true;
    default:
        return false;
    }
}

unsigned PixelFormatOf(CameraSubtype subtype)
{
    switch (subtype) {
    case CameraSubtype::UYVY:
        return V4L2_PIX_FMT_UYVY;
    case CameraSubtype::MJPG:
        return V4L2_PIX_FMT_MJPEG;
    case CameraSubtype::YUY2:
        break;
    }
    return V4L2_PIX_FMT_YUYV;
}

V4l2Camera::V4l2Camera(std::shared_ptr<V4l2Io> io, UniqueFd fd, const QString& devNode,
                       const V4l2StreamTiming& timing)
    : m_io(std::move(io)), m_devNode(devNode), m_timing(timing),
      m_link(std::make_shared<V4l2NodeLink>(m_io.get())), m_wake(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      m_procAmp(std::make_shared<V4l2ProcAmp>(m_link))
{
    SetFd(std::move(fd));
}

std::unique_ptr<V4l2Camera> V4l2Camera::Open(std::shared_ptr<V4l2Io> io, const QString& devNode,
                                             const V4l2StreamTiming& timing, CameraStatus* status)
{
    int err = 0;
    UniqueFd fd = OpenNode(*io, devNode.toLocal8Bit().constData(), false, &err);
    v4l2_capability caps{};
    if (!err) {
        err = io->Ioctl(fd.get(), VIDIOC_QUERYCAP, &caps);
    }
    const unsigned deviceCaps =
        (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
    if (!err && (!(deviceCaps & V4L2_CAP_VIDEO_CAPTURE) || !(deviceCaps & V4L2_CAP_STREAMING))) {
        err = EINVAL;
    }
    if (status) {
        *status = CameraStatusFromErrno(err);
    }
    if (err) {
        return nullptr;
    }
    std::unique_ptr<V4l2Camera> camera(new V4l2Camera(std::move(io), std::move(fd), devNode, timing));
    camera->ReadFormat(camera->m_format, &camera->m_bytesPerLine);
    camera->m_format = camera->CurrentFormat();
    return camera;
}

V4l2Camera::~V4l2Camera()
{
    if (m_onClose) {
        m_onClose();
    }
    Stop();
    SetFd({});
}

void V4l2Camera::SetFd(UniqueFd fd)
{
    // The control handle must let go of the old descriptor before it is closed.
    std::lock_guard guard(m_link->lock);
    m_link->fd = fd.get();
    m_fdNumber = fd.get();
    m_fd = std::move(fd);
}

std::vector<CameraCapability> V4l2Camera::Capabilities() const
{
    std::vector<CameraCapability> caps;
    v4l2_fmtdesc format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    for (format.index = 0; m_io->Ioctl(Fd(), VIDIOC_ENUM_FMT, &format) == 0; ++format.index) {
        CameraSubtype subtype;
        if (SubtypeOfPixelFormat(format.pixelformat, subtype)) {
            AddSizes(*m_io, Fd(), format.pixelformat, subtype, caps);
        }
    }
    return caps;
}

bool V4l2Camera::ReadFormat(CameraFormat& result, std::size_t* bytesPerLine) const
{
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (m_io->Ioctl(Fd(), VIDIOC_G_FMT, &format) != 0) {
        return false;
    }
    SubtypeOfPixelFormat(format.fmt.pix.pixelformat, result.subtype);
    result.width = int(format.fmt.pix.width);
    result.height = int(format.fmt.pix.height);
    if (bytesPerLine) {
        *bytesPerLine = format.fmt.pix.bytesperline;
    }
    return true;
}

CameraFormat V4l2Camera::CurrentFormat() const
{
    CameraFormat result = m_format;
    ReadFormat(result, nullptr);
    v4l2_streamparm parm{};
    parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    const v4l2_fract& tpf = parm.parm.capture.timeperframe;
    if (m_io->Ioctl(Fd(), VIDIOC_G_PARM, &parm) == 0 && tpf.denominator > 0 && tpf.numerator > 0) {
        result.averageTimePerFrame = std::int64_t(10000000) * tpf.numerator / tpf.denominator;
    }
    return result;
}

void V4l2Camera::SetFrameInterval(std::int64_t averageTimePerFrame)
{
    if (averageTimePerFrame <= 0) {
        return;
    }
    v4l2_streamparm parm{};
    parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    parm.parm.capture.timeperframe = {
        static_cast<unsigned>(std::min<std::int64_t>(averageTimePerFrame, 0x7fffffff)), 10000000};
    m_io->Ioctl(Fd(), VIDIOC_S_PARM, &parm); // a camera that ignores it keeps its own rate
}

CameraStatus V4l2Camera::SetFormat(const CameraFormat& wanted)
{
    if (IsStreaming()) {
        return CameraStatus::Busy;
    }
    // Try first: a size the camera does not have must leave the device as it was.
    v4l2_format format = FormatRequest(wanted);
    if (const int err = m_io->Ioctl(Fd(), VIDIOC_TRY_FMT, &format); err && err != ENOTTY) {
        return CameraStatusFromErrno(err);
    } else if (!err && !IsWhatWasAsked(format, wanted)) {
        return CameraStatus::Refused;
    }
    format = FormatRequest(wanted);
    if (const int err = m_io->Ioctl(Fd(), VIDIOC_S_FMT, &format)) {
        return CameraStatusFromErrno(err);
    }
    if (!IsWhatWasAsked(format, wanted)) {
        return CameraStatus::Refused;
    }
    SetFrameInterval(wanted.averageTimePerFrame);
    m_format = CurrentFormat();
    m_bytesPerLine = format.fmt.pix.bytesperline;
    return CameraStatus::Ok;
}

CameraStatus V4l2Camera::StreamOn()
{
    if (const int err = m_buffers.Allocate(*m_io, Fd(), kBufferCount)) {
        return CameraStatusFromErrno(err);
    }
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (const int err = m_io->Ioctl(Fd(), VIDIOC_STREAMON, &type)) {
        m_buffers.Release();
        return CameraStatusFromErrno(err);
    }
    m_format = CurrentFormat();
    ReadFormat(m_format, &m_bytesPerLine);
    return CameraStatus::Ok;
}

CameraStatus V4l2Camera::Start(CameraStreamSinks sinks)
{
    Stop();
    if (!m_wake.valid()) {
        return CameraStatus::Failed;
    }
    if (const CameraStatus status = StreamOn(); status != CameraStatus::Ok) {
        return status;
    }
    {
        // Presses made while the picture was off are not stills anyone asked for.
        std::lock_guard guard(m_buttonLock);
        m_button.Discard();
    }
    m_sinks = std::move(sinks);
    m_stopping = false;
    m_finished = false;
    m_thread = std::thread([this] { Run(); });
    return CameraStatus::Ok;
}

void V4l2Camera::Stop()
{
    if (m_thread.joinable()) {
        m_stopping = true;
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wake.get(), &one, sizeof one);
        if (m_thread.get_id() == std::this_thread::get_id()) {
            return;
        }
        m_thread.join();
        std::uint64_t drained = 0;
        [[maybe_unused]] const ssize_t r = ::read(m_wake.get(), &drained, sizeof drained);
        TakeOfferedButton(); // offered while the thread was going
    }
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (m_buffers.Count() > 0) {
        m_io->Ioctl(Fd(), VIDIOC_STREAMOFF, &type);
    }
    m_buffers.Release();
}

void V4l2Camera::OfferButton(const QString& devNode)
{
    std::lock_guard guard(m_buttonLock);
    if (m_button.IsOpen()) {
        return;
    }
    if (IsStreaming()) {
        // The streaming thread owns the button now; hand the node over and wake it.
        m_offeredButton = devNode;
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wake.get(), &one, sizeof one);
        return;
    }
    const EvdevButton::OpenResult result = m_button.Open(*m_io, devNode);
    m_hasButton = result == EvdevButton::OpenResult::Opened;
    m_buttonDenied = m_buttonDenied.load() || result == EvdevButton::OpenResult::Denied;
}

bool V4l2Camera::TakeOfferedButton()
{
    std::lock_guard guard(m_buttonLock);
    if (m_offeredButton.isEmpty() || m_button.IsOpen()) {
        return false;
    }
    const EvdevButton::OpenResult result = m_button.Open(*m_io, std::exchange(m_offeredButton, {}));
    m_hasButton = result == EvdevButton::OpenResult::Opened;
    m_buttonDenied = m_buttonDenied.load() || result == EvdevButton::OpenResult::Denied;
    return m_hasButton.load();
}

void V4l2Camera::TellButtonDenied()
{
    if (m_buttonDenied.load() && !m_hasButton.load() && !std::exchange(m_deniedTold, true)) {
        Notify(CameraNotice::ButtonDenied);
    }
}

void V4l2Camera::Notify(CameraNotice notice)
{
    if (m_sinks.notice) {
        m_sinks.notice(notice);
    }
}

void V4l2Camera::ReadButton(short revents)
{
    int presses = 0;
    {
        std::lock_guard guard(m_buttonLock);
        if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
            m_button.Close(); // the button went away; the picture may go on
        } else if (revents & POLLIN) {
            presses = m_button.ReadPresses();
        }
        m_hasButton = m_button.IsOpen();
    }
    for (int i = 0; i < presses && m_sinks.button; ++i) {
        m_sinks.button();
    }
}

std::chrono::milliseconds V4l2Camera::SilenceBound() const
{
    const std::chrono::milliseconds frames{m_timing.silentFrames * m_format.averageTimePerFrame /
                                           kTicksPerMs};
    return std::max(m_timing.minSilence, frames);
}

V4l2Camera::Delivery V4l2Camera::DeliverOne(double seconds)
{
    v4l2_buffer buffer{};
    buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buffer.memory = V4L2_MEMORY_MMAP;
    if (const int err = m_io->Ioctl(Fd(), VIDIOC_DQBUF, &buffer)) {
        return err == EAGAIN ? Delivery::None : IsGone(err) ? Delivery::Gone : Delivery::Broken;
    }
    const std::size_t used = std::min<std::size_t>(buffer.bytesused, m_buffers.Size(buffer.index));
    const bool good = !(buffer.flags & V4L2_BUF_FLAG_ERROR) && used > 0;
    if (good && m_sinks.frame) {
        CameraFrame frame{
            m_format.subtype, m_format.width, m_format.height, m_buffers.Data(buffer.index), used, seconds};
        frame.stride = m_format.subtype == CameraSubtype::MJPG ? 0 : m_bytesPerLine;
        m_sinks.frame(frame);
    } else if (!good && m_sinks.damaged) {
        m_sinks.damaged();
    }
    if (const int err = m_io->Ioctl(Fd(), VIDIOC_QBUF, &buffer)) {
        return IsGone(err) ? Delivery::Gone : Delivery::Broken;
    }
    return good ? Delivery::Frame : Delivery::None;
}

CameraStatus V4l2Camera::Restart()
{
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    int err = m_io->Ioctl(Fd(), VIDIOC_STREAMOFF, &type);
    if (!err) {
        err = m_buffers.QueueAll();
    }
    if (!err) {
        err = m_io->Ioctl(Fd(), VIDIOC_STREAMON, &type);
    }
    if (IsGone(err)) {
        return CameraStatus::Gone;
    }
    return err ? Reopen() : CameraStatus::Ok;
}

CameraStatus V4l2Camera::Reopen()
{
    m_buffers.Release();
    SetFd({});
    int err = 0;
    UniqueFd fd = OpenNode(*m_io, m_devNode.toLocal8Bit().constData(), false, &err);
    if (!fd.valid()) {
        return CameraStatusFromErrno(err);
    }
    SetFd(std::move(fd));
    v4l2_format format = FormatRequest(m_format);
    if (const int failed = m_io->Ioctl(Fd(), VIDIOC_S_FMT, &format)) {
        return CameraStatusFromErrno(failed);
    }
    SetFrameInterval(m_format.averageTimePerFrame);
    return StreamOn();
}

void V4l2Camera::Run()
{
    const auto start = Clock::now();
    auto lastFrame = start;
    int restarts = 0;
    CameraStatus status = CameraStatus::Ok;
    TellButtonDenied();
    while (!m_stopping.load() && status == CameraStatus::Ok) {
        const auto silence = Clock::now() - lastFrame;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(SilenceBound() - silence);
        pollfd fds[3] = {{Fd(), POLLIN, 0}, {m_wake.get(), POLLIN, 0}, {m_button.fd(), POLLIN, 0}};
        const int ready = m_io->Poll(fds, m_button.IsOpen() ? 3 : 2, int(std::max<long>(1, left.count())));
        if (ready < 0) {
            status = CameraStatus::Failed;
            break;
        }
        if (m_stopping.load()) {
            break;
        }
        if (fds[1].revents & POLLIN) {
            std::uint64_t drained = 0;
            [[maybe_unused]] const ssize_t r = ::read(m_wake.get(), &drained, sizeof drained);
            if (TakeOfferedButton()) {
                Notify(CameraNotice::ButtonAttached);
            }
            TellButtonDenied();
        }
        if (m_button.IsOpen() && fds[2].revents) {
            ReadButton(fds[2].revents);
        }
        bool broken = false;
        if (fds[0].revents & (POLLHUP | POLLNVAL)) {
            status = CameraStatus::Gone; // the node was unregistered
        } else if (fds[0].revents & POLLERR) {
            broken = true; // the driver flagged the stream; a restart tells whether the device is still there
        } else if (fds[0].revents & POLLIN) {
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            switch (DeliverOne(seconds)) {
            case Delivery::Frame:
                lastFrame = Clock::now();
                restarts = 0;
                break;
            case Delivery::Broken:
                broken = true;
                break;
            case Delivery::Gone:
                status = CameraStatus::Gone;
                break;
            case Delivery::None:
                break;
            }
        }
        if (status != CameraStatus::Ok || (!broken && Clock::now() - lastFrame < SilenceBound())) {
            continue;
        }
        // Silent (a USB transfer error can stop the driver without a word) or broken:
        // start the stream again, and give up only when that keeps failing.
        status = ++restarts > m_timing.maxRestarts ? CameraStatus::Failed : Restart();
        lastFrame = Clock::now();
    }
    m_finished = true;
    if (!m_stopping.load() && m_sinks.streamEnded) {
        m_sinks.streamEnded(status);
    }
}
