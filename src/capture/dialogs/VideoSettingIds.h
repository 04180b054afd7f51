#pragma once
// Resource and control ids of the video settings dialog.
#include <QEvent>

inline constexpr int IDD_VIDEO_SETTING = 374;
inline constexpr int IDC_DEVICE_LABEL = 1101;
inline constexpr int IDC_DEVICE_COMBO = 1102;
inline constexpr int IDC_RESOLUTION_COMBO = 1096;
inline constexpr int IDC_RESOLUTION_LABEL = 1097;
inline constexpr int IDC_FORMAT_COMBO = 1099;
inline constexpr int IDC_FORMAT_LABEL = 1098;
inline constexpr int IDC_DEVICE_GROUP = 1100;
inline constexpr int IDC_SETTING_GROUP = 1095;
inline constexpr int IDC_PROPERTY_GROUP = 1092;
inline constexpr int IDC_VIDEO_DEFAULT = 1079;
inline constexpr int IDC_VIDEO_OK = 1;   // IDOK
inline constexpr int IDC_VIDEO_EXIT = 2; // IDCANCEL
// Step bars beside the value edits, one per picture property row.
inline constexpr int IDC_STEP_BAR_FIRST = 1086; // 1086..1091

// The Focus row, shown for cameras with a focus control.
inline constexpr int IDC_FOCUS_SLIDER = 1110;
inline constexpr int IDC_FOCUS_LABEL = 1111;
inline constexpr int IDC_FOCUS_EDIT = 1112;

// The main window's device notice (WM_DEVICE_NOTICE): the dialog refills itself.
inline constexpr QEvent::Type kDeviceNoticeEvent = static_cast<QEvent::Type>(0x8005);

// Format combo items.
inline constexpr int kFormatYuy2Item = 0;
inline constexpr int kFormatMjpegItem = 1;

// The exposure rows below the picture properties, shown when the camera has them.
inline constexpr int IDC_EXPOSURE_LABEL = 1103;
inline constexpr int IDC_EXPOSURE_COMBO = 1104;
inline constexpr int IDC_EXPOSURE_TIME_LABEL = 1105;
inline constexpr int IDC_EXPOSURE_TIME_SLIDER = 1106;
inline constexpr int IDC_EXPOSURE_TIME_EDIT = 1107;
