#pragma once
// Lighter modes for a USB bus that cannot carry the chosen one: the same size
// compressed, then the smaller sizes the camera offers, largest first.
#include "platform/camera/CameraBackend.h"

#include <QString>
#include <vector>

// The modes to try in turn after `from` was refused for bandwidth; each needs less
// than the one before it. Compressed (MJPG) is taken where the camera offers it.
std::vector<CameraFormat> LighterModes(const std::vector<CameraCapability>& offered,
                                       const CameraFormat& from);

// "1280 x 1024 MJPG", for telling the user which mode runs.
QString ModeName(const CameraFormat& mode);
