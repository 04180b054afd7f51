#pragma once
// The memory-mapped buffer set of a streaming V4L2 device.
#include "platform/camera/V4l2Io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class V4l2Buffers {
public:
    V4l2Buffers() = default;
    ~V4l2Buffers() { Release(); }
    // The mappings belong to one device; a copy would unmap them twice.
    V4l2Buffers(const V4l2Buffers&) = delete;
    V4l2Buffers& operator=(const V4l2Buffers&) = delete;
    // Requests, maps and queues up to `count` buffers (the driver may grant fewer);
    // 0 or an errno value. On failure nothing stays mapped or requested.
    int Allocate(V4l2Io& io, int fd, unsigned count);
    // Queues every buffer again (after STREAMOFF took them all back); 0 or an errno value.
    int QueueAll();
    // Unmaps and frees the driver's buffers (the stream must be off).
    void Release();
    const std::uint8_t* Data(unsigned index) const;
    std::size_t Size(unsigned index) const;
    unsigned Count() const { return static_cast<unsigned>(m_maps.size()); }

private:
    struct Map {
        void* address;
        std::size_t length;
    };
    int MapOne(unsigned index);

    V4l2Io* m_io = nullptr;
    int m_fd = -1;
    bool m_requested = false;
    std::vector<Map> m_maps;
};
