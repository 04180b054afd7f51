#pragma once
// Control ids, commands, timers and private messages of the photo measure window
// (template 185) and its canvas (template 186).
#include "measure/MeasureListIds.h"

#include <QEvent>

namespace photo {

// Buttons of the window's tool row.
inline constexpr int IDC_OPEN = 1133;
inline constexpr int IDC_SAVE = 1113;
inline constexpr int IDC_PRINT = 1123;
inline constexpr int IDC_LIST = 1124;
inline constexpr int IDC_SELECT = 1137;
inline constexpr int IDC_PAINT = 1135;
inline constexpr int IDC_MEASURE = 1138;
inline constexpr int IDC_PEN = 1134;
inline constexpr int IDC_TEXT = 1122;
inline constexpr int IDC_DELETE = 1127;
inline constexpr int IDC_MOVE = 1128;
inline constexpr int IDC_CALIBRATE = 383;

// Boxes and labels.
inline constexpr int IDC_MAGNIFICATION = 1130;
inline constexpr int IDC_CALIBRATED = 1132;
inline constexpr int IDC_FRAME = 1129;
inline constexpr int IDC_STATUS = 1167;
inline constexpr int IDC_X_LABEL = 1166;
inline constexpr int IDC_SCALE_LABEL = 1181;

// Measuring menu.
inline constexpr int ID_M_LINE = 32806;
inline constexpr int ID_M_CONTINUOUS = 32807;
inline constexpr int ID_M_RECTANGLE = 32808;
inline constexpr int ID_M_POLYGON = 32809;
inline constexpr int ID_M_RADIUS = 32811;
inline constexpr int ID_M_DIAMETER = 32812;
inline constexpr int ID_M_THREE_CIRCLE = 32813;
inline constexpr int ID_M_ANGLE = 32814;
inline constexpr int ID_M_FOUR_ANGLE = 32815;
inline constexpr int ID_M_SLIDE_CALIBRATION = 32850; // calibration from a stage micrometer (also F8)
// Drawing menu.
inline constexpr int ID_D_LINE = 32816;
inline constexpr int ID_D_ANGLE = 32818;
inline constexpr int ID_D_RECTANGLE = 32819;
inline constexpr int ID_D_RADIUS = 32820;
inline constexpr int ID_D_DIAMETER = 32821;
inline constexpr int ID_D_THREE_CIRCLE = 396;

// Rectangle adjust buttons on the canvas and their timers.
inline constexpr int IDC_ADJUST_FIRST = 36864;
inline constexpr int IDC_ADJUST_LAST = 36869;
inline constexpr int kAdjustButtons = IDC_ADJUST_LAST - IDC_ADJUST_FIRST + 1;
inline constexpr int kAdjustTimerFirst = 2007;
inline constexpr int kAdjustTimerLast = 2012;

// Private messages (the measurement list's two are in measure/MeasureListIds.h).
inline constexpr QEvent::Type WM_PHOTO_CALIBRATED = static_cast<QEvent::Type>(0x8006);
inline constexpr QEvent::Type WM_CALIBRATION_DONE = static_cast<QEvent::Type>(0x8009);
inline constexpr QEvent::Type WM_CANVAS_CHANGED = static_cast<QEvent::Type>(0x800C);

} // namespace photo
