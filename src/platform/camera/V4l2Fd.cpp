#include "platform/camera/V4l2Fd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

UniqueFd OpenDeviceNode(const char* path)
{
    return UniqueFd(::open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC));
}

int V4l2Ioctl(int fd, unsigned long request, void* argument)
{
    int result = 0;
    do {
        result = ::ioctl(fd, request, argument);
    } while (result == -1 && errno == EINTR);
    return result == -1 ? errno : 0;
}
