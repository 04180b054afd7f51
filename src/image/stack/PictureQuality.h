#pragma once
// Measures of picture quality: how sharp a region is and how alike two pictures are.
#include <QImage>
#include <QRect>

// Tenengrad: the mean squared Sobel gradient of luma over `area` (whole picture when empty).
double Tenengrad(const QImage& picture, QRect area = {});

// Structural similarity of the lumas of two pictures of one size (1: identical),
// with 7 x 7 box windows and the usual constants for 8-bit values; -1 when the sizes differ.
double StructuralSimilarity(const QImage& a, const QImage& b);
