#include "platform/camera/V4l2Buffers.h"

#include <cerrno>
#include <linux/videodev2.h>

namespace {
v4l2_buffer BufferAt(unsigned index)
{
    v4l2_buffer buffer{};
    buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buffer.memory = V4L2_MEMORY_MMAP;
    buffer.index = index;
    return buffer;
}
} // namespace

int V4l2Buffers::Allocate(V4l2Io& io, int fd, unsigned count)
{
    Release();
    m_io = &io;
    m_fd = fd;
    v4l2_requestbuffers request{};
    request.count = count;
    request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    request.memory = V4L2_MEMORY_MMAP;
    if (const int err = io.Ioctl(fd, VIDIOC_REQBUFS, &request)) {
        return err;
    }
    m_requested = true;
    int err = request.count == 0 ? ENOMEM : 0;
    for (unsigned i = 0; i < request.count && !err; ++i) {
        err = MapOne(i);
    }
    if (err) {
        Release(); // a half-built set would keep the device's buffers allocated
    }
    return err;
}

int V4l2Buffers::MapOne(unsigned index)
{
    v4l2_buffer buffer = BufferAt(index);
    if (const int err = m_io->Ioctl(m_fd, VIDIOC_QUERYBUF, &buffer)) {
        return err;
    }
    int err = 0;
    void* address = m_io->Map(m_fd, buffer.length, long(buffer.m.offset), &err);
    if (!address) {
        return err ? err : ENOMEM;
    }
    m_maps.push_back({address, buffer.length});
    return m_io->Ioctl(m_fd, VIDIOC_QBUF, &buffer);
}

int V4l2Buffers::QueueAll()
{
    for (unsigned i = 0; i < Count(); ++i) {
        v4l2_buffer buffer = BufferAt(i);
        if (const int err = m_io->Ioctl(m_fd, VIDIOC_QBUF, &buffer)) {
            return err;
        }
    }
    return 0;
}

void V4l2Buffers::Release()
{
    for (const Map& map : m_maps) {
        m_io->Unmap(map.address, map.length);
    }
    if (m_requested) {
        v4l2_requestbuffers request{};
        request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        request.memory = V4L2_MEMORY_MMAP;
        m_io->Ioctl(m_fd, VIDIOC_REQBUFS, &request);
    }
    m_maps.clear();
    m_requested = false;
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
