#include "platform/camera/V4l2Io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {
class SystemIo : public V4l2Io {
public:
    int Open(const char* path, int flags, int* err) override
    {
        const int fd = ::open(path, flags | O_CLOEXEC);
        if (fd < 0 && err) {
            *err = errno;
        }
        return fd;
    }

    void Close(int fd) override { ::close(fd); }

    int Ioctl(int fd, unsigned long request, void* argument) override
    {
        int result = 0;
        do {
            result = ::ioctl(fd, request, argument);
        } while (result == -1 && errno == EINTR);
        return result == -1 ? errno : 0;
    }

    void* Map(int fd, std::size_t length, long offset, int* err) override
    {
        void* address = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, offset);
        if (address == MAP_FAILED) {
            if (err) {
                *err = errno;
            }
            return nullptr;
        }
        return address;
    }

    void Unmap(void* address, std::size_t length) override { ::munmap(address, length); }

    int Poll(pollfd* fds, unsigned count, int timeoutMs) override
    {
        const int ready = ::poll(fds, count, timeoutMs);
        if (ready < 0) {
            return errno == EINTR ? 0 : -errno;
        }
        return ready;
    }

    long Read(int fd, void* buffer, std::size_t size) override
    {
        const ssize_t n = ::read(fd, buffer, size);
        return n < 0 ? -errno : static_cast<long>(n);
    }
};
} // namespace

std::shared_ptr<V4l2Io> SystemV4l2Io()
{
    static const std::shared_ptr<V4l2Io> io = std::make_shared<SystemIo>();
    return io;
}

IoFd OpenNode(V4l2Io& io, const char* path, bool readOnly, int* err)
{
    int error = 0;
    const int fd = io.Open(path, (readOnly ? O_RDONLY : O_RDWR) | O_NONBLOCK, &error);
    if (err) {
        *err = fd < 0 ? error : 0;
    }
    return IoFd(&io, fd);
}
