#pragma once
// How much of each camera frame the live preview needs. The preview shows at most
// its own size (640 x 480 in the window, the screen in full screen); converting
// more of a large frame than that costs time nobody sees.
#include "platform/camera/FrameConverter.h"

#include <QSize>

// Rows a frame of that size is stretched to in a preview picture of that height:
// 1280 x 1024 frames a little taller, cutting the bottom.
int StretchedHeight(int frameWidth, int frameHeight, int pictureHeight);

// The picture to convert for a preview picture of `picture` size:
// - MJPG: the smallest decoding scale (1/8, 1/4, 1/2) whose picture is at least as
//   wide as the preview and at least as tall as the frame shows at that width (a
//   4:3 frame in a 5:4 picture is stretched taller anyway);
// - YUY2, UYVY: the preview's own width and stretched height, when it is smaller;
// - otherwise the full frame.
PreviewPlan PlanPreview(CameraSubtype subtype, int frameWidth, int frameHeight, QSize picture);
