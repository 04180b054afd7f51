#pragma once
// The threshold's wide paths for processors with 512-bit byte permutes and byte
// dot products (AVX-512 VBMI and VNNI): 64 pixels at a time. Callers check
// Avx512Available() first; every function leaves the pixels that do not fill a
// whole step to the narrower code and returns how many pixels it handled.
#include "liveview/GreyTables.h"

#include <cstddef>
#include <cstdint>

bool Avx512Available();

// The grey value of each of `count` pixels, as GreyOf gives it.
std::size_t GreyStepsAvx512(const std::uint8_t* pixels, std::size_t count, std::uint8_t* grey);
// Counts all `count` values into `tables`.
void CountGreysAvx512(const std::uint8_t* grey, std::size_t count, GreyTables& tables);
// Pixels whose grey value is at least `threshold` become white, the others black.
std::size_t ThresholdStepsAvx512(std::uint8_t* pixels, const std::uint8_t* grey, std::size_t count,
                                 int threshold);
