#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_THREAD__)
// ThreadSanitizer brings its own allocator: a replacement here would hide from it
// the hand-over of memory between threads, and every such hand-over through Qt
// (whose locks it cannot see) would be reported as a race in this file.
void StartCountingAllocations() {}
long StopCountingAllocations()
{
    return kAllocationsNotCounted;
}
#else
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
#endif
