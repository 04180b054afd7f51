#pragma once
// One row of a BGR frame (three bytes a pixel) into one row of the preview picture
// (0xffRRGGBB a pixel), as the nearest-neighbour stretch of the preview takes it.
#include <cstdint>

// Target pixel x takes source pixel columns[x] / 3 (byte offsets into `source`).
void StretchRow(const std::uint8_t* source, const int* columns, std::uint32_t* target, int targetWidth);

// The same row at its own width: target pixel x takes source pixel x. Gives what
// StretchRow gives with the identity table, without reading one.
void ConvertRow(const std::uint8_t* source, std::uint32_t* target, int width);
