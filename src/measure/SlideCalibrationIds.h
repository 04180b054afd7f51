#pragma once
// Ids of the calibration-from-slide dialog.
inline constexpr int IDD_SLIDE_CALIBRATION = 2250;
inline constexpr int IDC_SLIDE_PICTURE = 2251;
inline constexpr int IDC_SLIDE_PITCH = 2252;
inline constexpr int IDC_SLIDE_DIVISIONS = 2253;
inline constexpr int IDC_SLIDE_DIVISION_PROMPT = 2254;
inline constexpr int IDC_SLIDE_DIVISION = 2255;
inline constexpr int IDC_SLIDE_MAGNIFICATION = 2256;
inline constexpr int IDC_SLIDE_OK = 1;     // IDOK
inline constexpr int IDC_SLIDE_CANCEL = 2; // IDCANCEL
