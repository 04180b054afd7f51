#pragma once
// Buttons of the live measuring tools on the main window's button bar.
#include "measure/MeasureKind.h"

namespace liveids {

inline constexpr int kFourPointAngleButton = 1136;
inline constexpr int kLineButton = 1138; // 1138 ... 1146: line to three-point angle, in code order
inline constexpr int kThreePointAngleButton = 1146;
inline constexpr int kCalibrationButton = 1197;
// Other-tools menu commands.
inline constexpr int kUndoCommand = 1114;
inline constexpr int kRedoCommand = 1115;
inline constexpr int kDeleteAllCommand = 1116;
inline constexpr int kSlideCalibrationCommand = 32850;

// Every button drawn pressed or released by the live tools.
inline constexpr int kLatchingButtons[] = {1136, 1138, 1139, 1140, 1141, 1142, 1143, 1144, 1145, 1146, 1197};

// Live kind code a tool button selects; 0 for any other id.
inline int ToolOfButton(int buttonId)
{
    if (buttonId == kFourPointAngleButton) {
        return static_cast<int>(LiveKind::FourPointAngle);
    }
    if (buttonId >= kLineButton && buttonId <= kThreePointAngleButton) {
        return buttonId - kLineButton + static_cast<int>(LiveKind::Line);
    }
    return 0;
}

// Button of a live kind code (1 ... 10); 0 for none.
inline int ButtonOfTool(int tool)
{
    if (tool == static_cast<int>(LiveKind::FourPointAngle)) {
        return kFourPointAngleButton;
    }
    if (tool >= static_cast<int>(LiveKind::Line) && tool < static_cast<int>(LiveKind::FourPointAngle)) {
        return kLineButton + tool - static_cast<int>(LiveKind::Line);
    }
    return 0;
}

} // namespace liveids
