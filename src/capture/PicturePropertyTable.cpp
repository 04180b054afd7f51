#include "capture/PicturePropertyTable.h"

#include "capture/CaptureTexts.h"

PicturePropertyRows& PicturePropertyTable()
{
    static PicturePropertyRows rows = {{
        {1055, 1062, 1063, txt::Brightness, VideoProcAmp_Brightness, {}},
        {1064, 1065, 1066, txt::Contrast, VideoProcAmp_Contrast, {}},
        {1067, 1068, 1069, txt::Saturation, VideoProcAmp_Saturation, {}},
        {1070, 1071, 1072, txt::Sharpness, VideoProcAmp_Sharpness, {}},
        {1073, 1074, 1075, txt::Gamma, VideoProcAmp_Gamma, {}},
        {1076, 1077, 1078, txt::Hue, VideoProcAmp_Hue, {}},
    }};
    return rows;
}

void ReadPictureProperty(VideoProcAmp& camera, PictureProperty& row)
{
    int minimum = 0, maximum = 0, step = 0, defaultValue = 0, flags = 0;
    if (camera.GetRange(row.property, &minimum, &maximum, &step, &defaultValue, &flags) == 0 &&
        minimum <= maximum) {
        row.minimum = minimum, row.maximum = maximum, row.step = step;
        row.defaultValue = defaultValue, row.flags = flags;
    }
    int value = 0;
    if (camera.Get(row.property, &value, &flags) == 0) {
        row.value = value;
    }
}
