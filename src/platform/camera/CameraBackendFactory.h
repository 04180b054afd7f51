#pragma once
// Chooses the camera backend of the process from the command line:
// "--virtual-microscope[=0|1|2][,magnification=M]" gives the virtual microscope of
// that sensor class (default 2) with its slide seen at nominal magnification M
// (default 60), anything else the V4L2 backend. "--virtual-slide=depth" puts the
// slide with depth (DepthSlide.h) under the virtual microscope instead of the ruler.
#include "platform/camera/CameraBackend.h"

#include <QStringList>
#include <memory>

std::shared_ptr<CameraBackend> CreateCameraBackendFromArguments(const QStringList& arguments);

// The backend the capture graph uses when it was not given one; V4L2 until set.
std::shared_ptr<CameraBackend> ProcessCameraBackend();
void SetProcessCameraBackend(std::shared_ptr<CameraBackend> backend);
