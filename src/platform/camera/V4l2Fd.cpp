#include "platform/camera/V4l2Fd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

void V4l2Fd::Reset(int fd)
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = fd;
}

V4l2Fd OpenDeviceNode(const char* path)
{
    return V4l2Fd(::open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC));
}

int V4l2Ioctl(int fd, unsigned long request, void* argument)
{
    int result = 0;
    do {
        result = ::ioctl(fd, request, argument);
    } while (result == -1 && errno == EINTR);
    return result == -1 ? errno : 0;
}
