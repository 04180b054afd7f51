#pragma once
// The Help menu's camera diagnostics: each camera the camera layer finds (identity,
// node, formats and sizes), then what the running preview did with its frames.
#include <QString>

class CCaptureGraph;

QString CaptureDiagnostics(const CCaptureGraph& graph);
