#pragma once
// Where each tool button of the main window sits, its picture size, and the fixed
// order of the tooltip table.
#include "app/MainDlgIds.h"

#include <array>

namespace maindlg {

struct ButtonPlace {
    int id;
    QPoint pos;
    QSize size;
    bool neverShown; // hidden in the template and by every show step
};

inline constexpr QSize kBigButton(29, 29);
inline constexpr QSize kToolButton(25, 24);
inline constexpr QSize kOtherToolsButton(14, 24);
inline constexpr QSize kPreviewButton(7, 7);
inline constexpr QSize kSettingButton(9, 9);
inline constexpr int kMeasureToolCount = 9;
inline constexpr int kMeasureToolX = 413;
inline constexpr int kMeasureToolStep = 30;
inline constexpr int kEffectRowY = 6;

// In tooltip-table order; the other-tools button (no tooltip) comes last.
inline constexpr std::array<ButtonPlace, 27> kButtons{{
    {IDC_PREVIEW, {6, 1}, kPreviewButton, true},
    {IDC_CAMERA, {11, 8}, kBigButton, false},
    {IDC_AVI, {45, 8}, kBigButton, false},
    {IDC_CLOCK, {79, 8}, kBigButton, false},
    {IDC_SETTING, {425, 0}, kSettingButton, true},
    {IDC_SAVE, {147, 8}, kBigButton, false},
    {IDC_EMAIL, {113, 8}, kBigButton, false},
    {IDC_HOR_MIRROR, {193, kEffectRowY}, kToolButton, false},
    {IDC_VER_MIRROR, {223, kEffectRowY}, kToolButton, false},
    {IDC_NEGATIVE, {253, kEffectRowY}, kToolButton, false},
    {IDC_BINARY, {283, kEffectRowY}, kToolButton, false},
    {IDC_RGB, {313, kEffectRowY}, kToolButton, true}, // lies under the red button
    {IDC_RED, {313, kEffectRowY}, kToolButton, false},
    {IDC_GREEN, {343, kEffectRowY}, kToolButton, false},
    {IDC_BLUE, {373, kEffectRowY}, kToolButton, false},
    {IDC_LINE + 0, {kMeasureToolX + 0 * kMeasureToolStep, kEffectRowY}, kToolButton, false},
    {IDC_LINE + 1, {kMeasureToolX + 1 * kMeasureToolStep, kEffectRowY}, kToolButton, false},
    {IDC_LINE + 2, {kMeasureToolX + 2 * kMeasureToolStep, kEffectRowY}, kToolButton, false},
    {IDC_LINE + 3, {kMeasureToolX + 3 * kMeasureToolStep, kEffectRowY}, kToolButton, false},
    {IDC_LINE + 4, {kMeasureToolX + 4 * kMeasureToolStep, kEffectRowY}, kToolButton, false},
    {IDC_LINE + 5, {kMeasureToolX + 5 * kMeasureToolStep, kEffectRowY}, kToolButton, false},
    {IDC_LINE + 6, {kMeasureToolX + 6 * kMeasureToolStep, kEffectRowY}, kToolButton, false},
    {IDC_LINE + 7, {kMeasureToolX + 7 * kMeasureToolStep, kEffectRowY}, kToolButton, false},
    {IDC_LINE + 8, {kMeasureToolX + 8 * kMeasureToolStep, kEffectRowY}, kToolButton, false},
    {IDC_FOUR_ANGLE, {683, kEffectRowY}, kToolButton, false},
    {IDC_CALIBRATION, {788, kEffectRowY}, kToolButton, false},
    {IDC_OTHER_TOOLS, {820, kEffectRowY}, kOtherToolsButton, false},
}};

inline constexpr int kToolTipCount = 26;

} // namespace maindlg
