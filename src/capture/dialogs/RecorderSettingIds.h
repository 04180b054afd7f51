#pragma once
// Resource and control ids of the recorder setting dialog.
inline constexpr int IDD_RECORDER_SETTING = 375;
inline constexpr int IDC_RECORD_OK = 1;     // IDOK
inline constexpr int IDC_RECORD_CANCEL = 2; // IDCANCEL
inline constexpr int IDC_RECORD_COMPRESS = 3;
inline constexpr int IDC_RECORD_SECOND_LABEL = 1038;
inline constexpr int IDC_RECORD_RATE_LABEL = 1103;
inline constexpr int IDC_RECORD_FRAME_RATE = 1104;
inline constexpr int IDC_RECORD_LIMIT_CHECK = 1105;
inline constexpr int IDC_RECORD_TIME_LIMIT = 1106;
inline constexpr int IDC_RECORD_SIZE = 1210;

// Field ranges and their values at opening.
inline constexpr int kRecordRateMin = 1;
inline constexpr int kRecordRateMax = 30;
inline constexpr int kRecordRateInitial = 15;
inline constexpr int kRecordLimitMin = 1;
inline constexpr int kRecordLimitMax = 99999;
inline constexpr int kRecordLimitInitial = 10;

// The choose-compressor dialog.
inline constexpr int IDC_COMPRESSOR_LIST = 1220;
inline constexpr int IDC_COMPRESSOR_QUALITY = 1221;
