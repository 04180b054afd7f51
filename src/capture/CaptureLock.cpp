#include "capture/CaptureLock.h"

#include <atomic>
#include <memory>

namespace {
std::unique_ptr<std::mutex> g_lockOwner;
std::atomic<std::mutex*> g_lock{nullptr};
} // namespace

void CreateCaptureLock()
{
    if (g_lock.load()) {
        return;
    }
    g_lockOwner = std::make_unique<std::mutex>();
    g_lock.store(g_lockOwner.get());
}

void DeleteCaptureLock()
{
    g_lock.store(nullptr);
    g_lockOwner.reset();
}

std::mutex* CaptureLock()
{
    return g_lock.load();
}
