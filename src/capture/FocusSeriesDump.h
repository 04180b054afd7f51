#pragma once
// For the focus-stack journey: when PELORA_FOCUS_SERIES_DIR names a folder, the frames
// of each collected focus series are written there as frame00.jpg, frame01.jpg, ...
// (at the stills' JPEG quality), so the fused still can be measured against every
// frame it was made from. Does nothing otherwise.
#include <QImage>
#include <vector>

void DumpFocusSeriesIfAsked(const std::vector<QImage>& frames);
