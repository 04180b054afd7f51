#include "platform/camera/V4l2Buffers.h"

#include "platform/camera/V4l2Fd.h"

#include <cerrno>
#include <linux/videodev2.h>
#include <sys/mman.h>

int V4l2Buffers::Allocate(int fd, unsigned count)
{
    Release();
    m_fd = fd;
    v4l2_requestbuffers request{};
    request.count = count;
    request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    request.memory = V4L2_MEMORY_MMAP;
    if (const int err = V4l2Ioctl(fd, VIDIOC_REQBUFS, &request)) {
        return err;
    }
    if (request.count == 0) {
        return ENOMEM;
    }
    for (unsigned i = 0; i < request.count; ++i) {
        v4l2_buffer buffer{};
        buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buffer.memory = V4L2_MEMORY_MMAP;
        buffer.index = i;
        if (const int err = V4l2Ioctl(fd, VIDIOC_QUERYBUF, &buffer)) {
            return err;
        }
        void* address =
            ::mmap(nullptr, buffer.length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, buffer.m.offset);
        if (address == MAP_FAILED) {
            return errno;
        }
        m_maps.push_back({address, buffer.length});
        if (const int err = V4l2Ioctl(fd, VIDIOC_QBUF, &buffer)) {
            return err;
        }
    }
    return 0;
}

void V4l2Buffers::Release()
{
    for (const Map& map : m_maps) {
        ::munmap(map.address, map.length);
    }
    if (m_fd >= 0 && !m_maps.empty()) {
        v4l2_requestbuffers request{};
        request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        request.memory = V4L2_MEMORY_MMAP;
        V4l2Ioctl(m_fd, VIDIOC_REQBUFS, &request);
    }
    m_maps.clear();
    m_fd = -1;
}

const std::uint8_t* V4l2Buffers::Data(unsigned index) const
{
    return index < m_maps.size() ? static_cast<const std::uint8_t*>(m_maps[index].address) : nullptr;
}

std::size_t V4l2Buffers::Size(unsigned index) const
{
    return index < m_maps.size() ? m_maps[index].length : 0;
}
