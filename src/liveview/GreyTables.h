#pragma once
// Counting grey values into a histogram fast. Counts go to several tables in
// turn, so that neighbouring equal values (most of a picture) do not each wait
// for the previous count to be stored; the tables are added up at the end.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

using GreyHistogram = std::array<std::uint32_t, 256>;

// The first of `window` grey levels around `value`, kept within 0 … 255 so that
// level offsets computed in bytes cannot wrap round from one end to the other.
constexpr int WindowStart(int value, int window)
{
    const int start = value - window / 2;
    return start < 0 ? 0 : start > 256 - window ? 256 - window : start;
}

struct GreyTables {
    static constexpr int kTables = 8;
    // A spare cache line after each table's 256 keeps the same value's counters of
    // neighbouring tables from lying a multiple of 4 KiB apart, which the processor
    // would take for the same address.
    static constexpr int kStride = 256 + 16;

    alignas(64) std::uint32_t counts[kTables][kStride] = {};

    std::uint32_t* Bin(int table, int value) { return &counts[table][value]; }

    // Counts `count` grey values, a table per value in turn.
    void Count(const std::uint8_t* grey, std::size_t count)
    {
        std::size_t i = 0;
        for (; i + kTables <= count; i += kTables) {
            std::uint64_t eight;
            std::memcpy(&eight, grey + i, sizeof eight);
            for (int k = 0; k < kTables; ++k) {
                ++*Bin(k, (eight >> (8 * k)) & 0xff);
            }
        }
        for (; i < count; ++i) {
            ++*Bin(0, grey[i]);
        }
    }

    // Adds the counts of all tables to `histogram`.
    void AddTo(GreyHistogram& histogram) const
    {
        for (int v = 0; v < 256; ++v) {
            for (int k = 0; k < kTables; ++k) {
                histogram[v] += counts[k][v];
            }
        }
    }
};
