#pragma once
// The memory-mapped buffer set of a streaming V4L2 device.
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
    // Requests, maps and queues `count` buffers; 0 or an errno value.
    int Allocate(int fd, unsigned count);
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
    int m_fd = -1;
    std::vector<Map> m_maps;
};
