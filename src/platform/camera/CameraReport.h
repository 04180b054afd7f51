#pragma once
// "pelora --list-cameras": each camera the backend finds, with its identity, node,
// formats and sizes, for users and support when a camera is not picked up.
#include "platform/camera/CameraBackend.h"

#include <QStringList>
#include <QTextStream>

inline constexpr char kListCamerasOption[] = "--list-cameras";

// Writes the report and returns the number of cameras found.
int WriteCameraReport(CameraBackend& backend, QTextStream& out);
// The report of the backend the command line chooses, on standard output. Returns the
// process exit code: 0 when a camera was found, 1 otherwise.
int PrintCameraReport(const QStringList& arguments);
