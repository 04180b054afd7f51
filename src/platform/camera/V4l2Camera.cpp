#include "platform/camera/V4l2Camera.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {
constexpr unsigned kBufferCount = 4;
constexpr int kPollTimeoutMs = 2000;

void AddSizes(int fd, unsigned pixelFormat, CameraSubtype subtype, std::vector<CameraCapability>& caps)
{
    v4l2_frmsizeenum size{};
    size.pixel_format = pixelFormat;
    for (size.index = 0; V4l2Ioctl(fd, VIDIOC_ENUM_FRAMESIZES, &size) == 0; ++size.index) {
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

V4l2Camera::V4l2Camera(UniqueFd fd)
    : m_fd(std::move(fd)), m_wake(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), m_procAmp(m_fd.get())
{
}

std::unique_ptr<V4l2Camera> V4l2Camera::Open(const QString& devNode, const QString& buttonNode,
                                             CameraStatus* status)
{
    UniqueFd fd = OpenDeviceNode(devNode.toLocal8Bit().constData());
    int err = fd.valid() ? 0 : errno;
    v4l2_capability caps{};
    if (!err) {
        err = V4l2Ioctl(fd.get(), VIDIOC_QUERYCAP, &caps);
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
    std::unique_ptr<V4l2Camera> camera(new V4l2Camera(std::move(fd)));
    camera->m_hasButton = !buttonNode.isEmpty() && camera->m_button.Open(buttonNode);
    camera->m_format = camera->CurrentFormat();
    return camera;
}

V4l2Camera::~V4l2Camera()
{
    Stop();
}

std::vector<CameraCapability> V4l2Camera::Capabilities() const
{
    std::vector<CameraCapability> caps;
    v4l2_fmtdesc format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    for (format.index = 0; V4l2Ioctl(m_fd.get(), VIDIOC_ENUM_FMT, &format) == 0; ++format.index) {
        CameraSubtype subtype;
        if (SubtypeOfPixelFormat(format.pixelformat, subtype)) {
            AddSizes(m_fd.get(), format.pixelformat, subtype, caps);
        }
    }
    return caps;
}

CameraFormat V4l2Camera::CurrentFormat() const
{
    CameraFormat result = m_format;
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (V4l2Ioctl(m_fd.get(), VIDIOC_G_FMT, &format) == 0) {
        SubtypeOfPixelFormat(format.fmt.pix.pixelformat, result.subtype);
        result.width = int(format.fmt.pix.width);
        result.height = int(format.fmt.pix.height);
    }
    v4l2_streamparm parm{};
    parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    const v4l2_fract& tpf = parm.parm.capture.timeperframe;
    if (V4l2Ioctl(m_fd.get(), VIDIOC_G_PARM, &parm) == 0 && tpf.denominator > 0 && tpf.numerator > 0) {
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
    V4l2Ioctl(m_fd.get(), VIDIOC_S_PARM, &parm); // a camera that ignores it keeps its own rate
}

CameraStatus V4l2Camera::SetFormat(const CameraFormat& wanted)
{
    if (IsStreaming()) {
        return CameraStatus::Busy;
    }
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    format.fmt.pix.width = static_cast<unsigned>(std::max(0, wanted.width));
    format.fmt.pix.height = static_cast<unsigned>(std::max(0, wanted.height));
    format.fmt.pix.pixelformat = PixelFormatOf(wanted.subtype);
    format.fmt.pix.field = V4L2_FIELD_NONE;
    if (const int err = V4l2Ioctl(m_fd.get(), VIDIOC_S_FMT, &format)) {
        return CameraStatusFromErrno(err);
    }
    // The driver picks the nearest format it has; anything else than asked is a refusal.
    CameraSubtype got;
    if (!SubtypeOfPixelFormat(format.fmt.pix.pixelformat, got) || got != wanted.subtype ||
        int(format.fmt.pix.width) != wanted.width || int(format.fmt.pix.height) != wanted.height) {
        return CameraStatus::Refused;
    }
    SetFrameInterval(wanted.averageTimePerFrame);
    m_format = CurrentFormat();
    return CameraStatus::Ok;
}

CameraStatus V4l2Camera::Start(CameraStreamSinks sinks)
{
    Stop();
    if (!m_wake.valid()) {
        return CameraStatus::Failed;
    }
    if (const int err = m_buffers.Allocate(m_fd.get(), kBufferCount)) {
        m_buffers.Release();
        return CameraStatusFromErrno(err);
    }
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (const int err = V4l2Ioctl(m_fd.get(), VIDIOC_STREAMON, &type)) {
        m_buffers.Release();
        return CameraStatusFromErrno(err);
    }
    m_sinks = std::move(sinks);
    m_stopping = false;
    m_finished = false;
    m_format = CurrentFormat();
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
    }
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (m_buffers.Count() > 0) {
        V4l2Ioctl(m_fd.get(), VIDIOC_STREAMOFF, &type);
    }
    m_buffers.Release();
}

CameraStatus V4l2Camera::DeliverOne(double seconds)
{
    v4l2_buffer buffer{};
    buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buffer.memory = V4L2_MEMORY_MMAP;
    if (const int err = V4l2Ioctl(m_fd.get(), VIDIOC_DQBUF, &buffer)) {
        return err == EAGAIN ? CameraStatus::Ok : CameraStatusFromErrno(err);
    }
    const std::size_t used = std::min<std::size_t>(buffer.bytesused, m_buffers.Size(buffer.index));
    if (!(buffer.flags & V4L2_BUF_FLAG_ERROR) && used > 0 && m_sinks.frame) {
        const CameraFrame frame{
            m_format.subtype, m_format.width, m_format.height, m_buffers.Data(buffer.index), used, seconds};
        m_sinks.frame(frame);
    }
    return CameraStatusFromErrno(V4l2Ioctl(m_fd.get(), VIDIOC_QBUF, &buffer));
}

void V4l2Camera::Run()
{
    const auto start = std::chrono::steady_clock::now();
    CameraStatus status = CameraStatus::Ok;
    while (!m_stopping.load() && status == CameraStatus::Ok) {
        pollfd fds[3] = {{m_fd.get(), POLLIN, 0}, {m_wake.get(), POLLIN, 0}, {m_button.fd(), POLLIN, 0}};
        const int ready = ::poll(fds, m_button.IsOpen() ? 3 : 2, kPollTimeoutMs);
        if (ready < 0 && errno != EINTR) {
            status = CameraStatusFromErrno(errno);
        }
        if (ready <= 0 || m_stopping.load()) {
            continue;
        }
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            status = CameraStatus::Gone;
        } else if (fds[0].revents & POLLIN) {
            status =
                DeliverOne(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        if (fds[2].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            m_button.Close(); // the button went away; the picture may go on
        }
        const int presses = (fds[2].revents & POLLIN) ? m_button.ReadPresses() : 0;
        for (int i = 0; i < presses && m_sinks.button; ++i) {
            m_sinks.button();
        }
    }
    m_finished = true;
    if (!m_stopping.load() && m_sinks.streamEnded) {
        m_sinks.streamEnded(status);
    }
}
