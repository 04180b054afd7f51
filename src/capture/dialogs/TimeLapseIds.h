#pragma once
// Resource and control ids of the time-lapse dialog.

inline constexpr int IDD_TIMER_CAPTURE = 145;
// Start time edits (year .. second), interval edits, picture count.
inline constexpr int IDC_START_YEAR = 1017;
inline constexpr int IDC_START_MONTH = 1018;
inline constexpr int IDC_START_DAY = 1019;
inline constexpr int IDC_START_HOUR = 1020;
inline constexpr int IDC_START_MINUTE = 1021;
inline constexpr int IDC_START_SECOND = 1022;
inline constexpr int IDC_INTERVAL_MINUTES = 1023;
inline constexpr int IDC_INTERVAL_SECONDS = 1024;
inline constexpr int IDC_PICTURE_COUNT = 1025;
// Read-only texts.
inline constexpr int IDC_COMPLETED_COUNT = 1026;
inline constexpr int IDC_FILE_SIZE = 1080;
// Labels.
inline constexpr int IDC_YEAR_LABEL = 1185;
inline constexpr int IDC_MONTH_LABEL = 1120;
inline constexpr int IDC_DAY_LABEL = 1177;
inline constexpr int IDC_HOUR_LABEL = 1178;
inline constexpr int IDC_MINUTE_LABEL = 1179;
inline constexpr int IDC_SECOND_LABEL = 1180;
inline constexpr int IDC_INTERVAL_MINUTE_LABEL = 1037;
inline constexpr int IDC_INTERVAL_SECOND_LABEL = 1038;
inline constexpr int IDC_START_TIME_GROUP = 1030;
inline constexpr int IDC_INTERVAL_GROUP = 1031;
inline constexpr int IDC_CAPTURE_GROUP = 1032;
inline constexpr int IDC_COMPLETED_LABEL = 1033;
inline constexpr int IDC_COUNT_FRAME_LABEL = 1034;
inline constexpr int IDC_COMPLETED_FRAME_LABEL = 1035;
inline constexpr int IDC_FILE_SIZE_LABEL = 1081;
// Buttons.
inline constexpr int IDC_TIMER_START = 1015; // Start or Stop
inline constexpr int IDC_TIMER_CANCEL = 2;   // IDCANCEL
