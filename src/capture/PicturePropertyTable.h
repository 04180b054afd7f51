#pragma once
// The six camera picture properties of the video settings dialog, in dialog order:
// their controls, their names and the last numbers read from a camera.
#include "platform/camera/CameraBackend.h"
#include "platform/text/TextLookup.h"

#include <QString>
#include <array>

inline constexpr int kPicturePropertyRows = 6;
inline constexpr int kPropertyTextChars = 64;

struct PictureProperty {
    int sliderId;
    int labelId;
    int editId;
    TextKey key;  // localized-text key and its English default
    int property; // VideoProcAmpProperty
    QString label;
    int minimum = 0;
    int maximum = 0;
    int step = 0;
    int defaultValue = 0;
    int flags = 0;
    int value = 0;
};

using PicturePropertyRows = std::array<PictureProperty, kPicturePropertyRows>;
PicturePropertyRows& PicturePropertyTable();

// Reads the row's range and value from the camera; a call that fails leaves the
// row's numbers as they were.
void ReadPictureProperty(VideoProcAmp& camera, PictureProperty& row);
