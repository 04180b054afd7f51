#pragma once
// The system calls the V4L2 layer makes on device nodes (video and input), behind one
// interface so the whole layer can run against an emulated driver. The program uses
// SystemV4l2Io(); errors come back as errno values, never through errno itself.
#include <cstddef>
#include <memory>
#include <poll.h>
#include <utility>

class V4l2Io {
public:
    virtual ~V4l2Io() = default;
    // A descriptor, or -1 with `*err` set.
    virtual int Open(const char* path, int flags, int* err) = 0;
    virtual void Close(int fd) = 0;
    // 0 or the errno value; EINTR is retried.
    virtual int Ioctl(int fd, unsigned long request, void* argument) = 0;
    // The mapping, or nullptr with `*err` set.
    virtual void* Map(int fd, std::size_t length, long offset, int* err) = 0;
    virtual void Unmap(void* address, std::size_t length) = 0;
    // Number of ready descriptors, 0 on timeout, or -errno.
    virtual int Poll(pollfd* fds, unsigned count, int timeoutMs) = 0;
    // Bytes read, or -errno.
    virtual long Read(int fd, void* buffer, std::size_t size) = 0;
};

std::shared_ptr<V4l2Io> SystemV4l2Io();

// Owner of a descriptor opened through a V4l2Io: closed through it, moved but never copied.
class IoFd {
public:
    IoFd() = default;
    IoFd(V4l2Io* io, int fd) : m_io(io), m_fd(fd) {}
    ~IoFd() { Reset(); }
    IoFd(IoFd&& other) noexcept : m_io(other.m_io), m_fd(std::exchange(other.m_fd, -1)) {}
    IoFd& operator=(IoFd&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_io = other.m_io;
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    IoFd(const IoFd&) = delete;
    IoFd& operator=(const IoFd&) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void Reset()
    {
        if (m_fd >= 0 && m_io) {
            m_io->Close(m_fd);
        }
        m_fd = -1;
    }

private:
    V4l2Io* m_io = nullptr;
    int m_fd = -1;
};

// Opens `path` read-write (read-only for input nodes) and non-blocking.
IoFd OpenNode(V4l2Io& io, const char* path, bool readOnly, int* err);
