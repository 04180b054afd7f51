#pragma once
// Counting grey values into a histogram fast. Counts go to several tables in
// turn, so that neighbouring equal values (most of a picture) do not each wait
// for the previous count to be stored; the tables are added up at the end.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

using GreyHistogram = std::array<std::uint32_t, 256>;

struct GreyTables {
    static constexpr int kTables = 8;
    // Spare counters before and after each table's 256: a window of values around a
    // grey value near 0 or 255 may be counted without a bounds check (its counts
    // outside 0 … 255 are always zero). The spare line after each table also keeps
    // the same value's counters of neighbouring tables from lying a multiple of
    // 4 KiB apart, which the processor would take for the same address.
    static constexpr int kBefore = 8;
    static constexpr int kStride = kBefore + 256 + 16;

    alignas(64) std::uint32_t counts[kTables][kStride] = {};

    // The counter of `value` (kBefore below 0 … 255 + 16) in table `table`.
    std::uint32_t* Bin(int table, int value) { return &counts[table][kBefore + value]; }

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
                histogram[v] += counts[k][kBefore + v];
            }
        }
    }
};
