#pragma once
// The still picture format the user chose (stored as "ImageFormat").
inline constexpr int kImageFormatBmp = 1;
inline constexpr int kImageFormatJpeg = 2;
