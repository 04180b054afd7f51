#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_count{0};
} // namespace

void StartCountingAllocations()
{
    g_count = 0;
    g_counting = true;
}

long StopCountingAllocations()
{
    g_counting = false;
    return g_count.load();
}

void* operator new(std::size_t size)
{
    if (g_counting.load(std::memory_order_relaxed)) {
        ++g_count;
    }
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

// The library's temporary buffers (stable sort and partition) come from the
// non-throwing form and go back through the plain delete above: both must use malloc.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (g_counting.load(std::memory_order_relaxed)) {
        ++g_count;
    }
    return std::malloc(size ? size : 1);
}
