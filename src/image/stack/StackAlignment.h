#pragma once
// Aligning the frames of a focus series. A handheld microscope drifts and its
// focus "breathes" (the picture grows a little as the focus moves), so each frame
// is taken as the reference scaled about the picture's centre and shifted:
//     x_frame = cx + scale * (x_ref - cx) + dx      (likewise y)
// in full-size pixels. Neighbouring frames look most alike (their focus differs
// least), so each frame is aligned to its neighbour nearer the reference and the
// steps are chained.
//
// One step: an exhaustive shift search on the smallest level of a grey pyramid
// (1/32 size), then Gauss-Newton refinement of scale and shift on each larger level
// down to half size. The refinement linearises with the neighbour's gradients
// (which stay valid near the solution and need computing once per level), so each
// iteration is one pass of bilinear samples.
#include "image/stack/GreyPlane.h"

#include <vector>

struct FrameTransform {
    double scale = 1.0;
    double dx = 0.0;
    double dy = 0.0;
};

// `after` applied to the result of `first`.
FrameTransform Compose(const FrameTransform& first, const FrameTransform& after);

// Half-size luma and its smaller levels (each half the previous), down to about 64 pixels wide.
using GreyPyramid = std::vector<GreyPlane>;
GreyPyramid BuildPyramid(GreyPlane halfSize);

// The transform taking `reference` pixel positions to `moving` ones; pyramids of
// frames of equal size. `fullWidth`/`fullHeight` give the frame size they came from.
FrameTransform AlignPair(const GreyPyramid& reference, const GreyPyramid& moving, int fullWidth,
                         int fullHeight);
