#include "platform/threads/ParallelRows.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {
constexpr unsigned kMaxThreads = 8;
constexpr int kMinRowsPerBand = 16;

int ThreadCount(int work)
{
    const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
    return std::max(1, std::min(static_cast<int>(cores), work));
}
} // namespace

void ParallelRows(int rows, const std::function<void(int begin, int end)>& fn)
{
    if (rows <= 0) {
        return;
    }
    const int bands = ThreadCount(std::max(1, rows / kMinRowsPerBand));
    std::vector<std::thread> helpers;
    helpers.reserve(bands - 1);
    for (int b = 1; b < bands; ++b) {
        helpers.emplace_back([&, b] { fn(rows * b / bands, rows * (b + 1) / bands); });
    }
    fn(0, rows / bands);
    for (std::thread& t : helpers) {
        t.join();
    }
}

void ParallelEach(int count, const std::function<void(int index)>& fn)
{
    std::atomic<int> next{0};
    const auto worker = [&] {
        for (int i = next++; i < count; i = next++) {
            fn(i);
        }
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < ThreadCount(count); ++t) {
        helpers.emplace_back(worker);
    }
    worker();
    for (std::thread& t : helpers) {
        t.join();
    }
}
