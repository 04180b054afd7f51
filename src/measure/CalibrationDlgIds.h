#pragma once
// Resource and control ids of the calibration dialog.
inline constexpr int IDD_CALIBRATION = 229;
inline constexpr int IDC_CALIBRATION_PROMPT = 1148;
inline constexpr int IDC_CALIBRATION_DISTANCE = 1149;
inline constexpr int IDC_CALIBRATION_OK = 1;     // IDOK
inline constexpr int IDC_CALIBRATION_CANCEL = 2; // IDCANCEL
