#pragma once
// Resource and control ids of the pen setting dialog and the text dialog.
inline constexpr int IDD_PEN_SETTING = 243;
inline constexpr int IDC_PEN_TYPE_GROUP = 1150;
inline constexpr int IDC_PEN_SOLID = 1154; // 1154..1158: solid, dash, dot, dash-dot, dash-dot-dot
inline constexpr int kPenTypeBoxes = 5;
inline constexpr int IDC_PEN_COLOR_GROUP = 1151;
inline constexpr int IDC_PEN_COLOR = 1159;
inline constexpr int IDC_PEN_WIDTH_GROUP = 1152;
inline constexpr int IDC_PEN_WIDTH = 1160;
inline constexpr int IDC_PEN_WIDTH_SPIN = 1162;
inline constexpr int IDC_PEN_PREVIEW = 1153;
inline constexpr int IDC_UNITS_GROUP = 1168;
inline constexpr int IDC_UNIT_MM = 1170;
inline constexpr int IDC_UNIT_CM = 1171;
inline constexpr int IDC_UNIT_INCH = 1172;
inline constexpr int IDC_UNIT_MIL = 1176;
inline constexpr int IDC_DECIMAL_GROUP = 1169;
inline constexpr int IDC_DECIMAL_2 = 1174;
inline constexpr int IDC_DECIMAL_3 = 1175;
inline constexpr int IDC_DECIMAL_4 = 399;
inline constexpr int IDC_DECIMAL_5 = 400;
inline constexpr int IDC_FORMAT_GROUP = 1173;
inline constexpr int IDC_FORMAT_BMP = 1187;
inline constexpr int IDC_FORMAT_JPG = 32840;
inline constexpr int IDC_PEN_FONT = 3;
inline constexpr int IDC_SETTING_OK = 1;     // IDOK
inline constexpr int IDC_SETTING_CANCEL = 2; // IDCANCEL

inline constexpr int IDD_TEXT_SETTING = 246;
inline constexpr int IDC_TEXT_PROMPT = 1163;
inline constexpr int IDC_TEXT_EDIT = 1121;
inline constexpr int IDC_TEXT_FONT = 1122;
inline constexpr int IDC_TEXT_PREVIEW = 1165;

// Pen width range of the width edit.
inline constexpr int kMinPenWidth = 1;
inline constexpr int kMaxPenWidth = 3;
// Longest annotation text, in characters.
inline constexpr int kMaxTextLength = 254;
