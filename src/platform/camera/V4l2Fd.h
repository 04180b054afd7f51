#pragma once
// Small owners for the V4L2 layer: a file descriptor, and ioctl with EINTR retry.
#include <utility>

class V4l2Fd {
public:
    V4l2Fd() = default;
    explicit V4l2Fd(int fd) : m_fd(fd) {}
    ~V4l2Fd() { Reset(); }
    V4l2Fd(V4l2Fd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    V4l2Fd& operator=(V4l2Fd&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    V4l2Fd(const V4l2Fd&) = delete;
    V4l2Fd& operator=(const V4l2Fd&) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void Reset(int fd = -1);

private:
    int m_fd = -1;
};

// Opens a device node read-write and non-blocking; the result is invalid on
// failure with errno set.
V4l2Fd OpenDeviceNode(const char* path);
// ioctl that retries on EINTR; returns 0 or the errno value.
int V4l2Ioctl(int fd, unsigned long request, void* argument);
