#pragma once
// The effect kernels' wide paths: 32 pixels (96 bytes) at a time with byte
// shuffles (AVX2). Callers check Avx2Available() first; every function leaves the
// pixels that do not fill a whole step to the plain code and returns how many
// pixels it handled.
#include "liveview/EffectKernels.h"

bool Avx2Available();

// Swaps whole steps from both ends inwards (a single step left in the middle is
// reversed in place); returns the pixels now in place at each end.
std::size_t ReverseStepsAvx2(std::uint8_t* first, std::size_t count);
// `channelMask` as KeepChannels takes it; a mask that changes nothing handles nothing.
std::size_t KeepChannelsAvx2(std::uint8_t* pixels, std::size_t count, int channelMask);
// Counts all `count` values into `tables`.
void CountGreysAvx2(const std::uint8_t* grey, std::size_t count, GreyTables& tables);
std::size_t GreyStepsAvx2(const std::uint8_t* pixels, std::size_t count, std::uint8_t* grey);
// `grey`: one grey value per pixel.
std::size_t ThresholdStepsAvx2(std::uint8_t* pixels, const std::uint8_t* grey, std::size_t count,
                               int threshold);
