#pragma once
// What new measurements are drawn with, read from the program's settings at the
// moment they are asked for (the pen dialog may have changed them since).
#include "liveview/CLiveMeasureHost.h"
#include "photo/PhotoSettings.h"

struct AppSettings;
struct CaptureFormat;
struct LogFontRecord;

PhotoDrawingSettings PhotoDrawingSettingsFrom(const AppSettings& settings, const LogFontRecord& labelFont,
                                              int cameraClass);
LiveMeasureSettings LiveMeasureSettingsFrom(const AppSettings& settings, const LogFontRecord& labelFont,
                                            const CaptureFormat& format);
