#pragma once
// The system calls the V4L2 layer makes on device nodes (video and input), behind one
// interface so the whole layer can run against an emulated driver. The program uses
// SystemV4l2Io(); errors come back as errno values, never through errno itself.
#include "platform/files/UniqueFd.h"

#include <cstddef>
#include <memory>
#include <poll.h>
#include <utility>

class V4l2Io : public FdCloser {
public:
    virtual ~V4l2Io() = default;
    // A descriptor, or -1 with `*err` set.
    virtual int Open(const char* path, int flags, int* err) = 0;
    void Close(int fd) override = 0;
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

// Opens `path` read-write (read-only for input nodes) and non-blocking.
UniqueFd OpenNode(V4l2Io& io, const char* path, bool readOnly, int* err);
