#pragma once
// The picture properties the user set in the video settings dialog, kept per
// camera identity. A UVC camera forgets them when it is unplugged, so they are
// written to it again each time it is opened. Stored in PictureSettings.ini in the
// writable program folder, one checked record per camera.
#include "capture/PicturePropertyTable.h"

#include <QString>

// Remembers the value of one dialog row (0..5) for the camera; false when the file
// could not be written.
bool StorePictureValue(const QString& identity, int row, int value);
// Forgets every value stored for the camera (Default in the dialog).
bool ForgetPictureValues(const QString& identity);
// Writes the camera's stored values to it, each checked against the camera's range
// and read back. Returns how many the camera now holds.
int ApplyPictureValues(const QString& identity, VideoProcAmp& camera);
