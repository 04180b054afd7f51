#pragma once
// The main window's answer to WM_STILL_CAPTURED: save the stored frame, list the
// picture, restart the preview where the camera needs it, and play the shutter.
#include "capture/StillSaver.h"

#include <functional>

struct StillCapturedContext {
    StillJob job; // folder, format, capture size, painters
    bool recording = false;
    int origin = 0;                                       // the notice's first parameter (1: camera button)
    std::function<void(const QString& path)> listPicture; // e.g. CFileListView::AddCapturedPicture
    std::function<void()> restartPreview;                 // CCaptureGraph::RestartPreview
};

// Runs the whole answer; returns SaveStill's result. The magnification text is
// cut to what its 32-character buffer holds.
StillResult OnStillCaptured(StillCapturedContext context);
