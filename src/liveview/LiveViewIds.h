#pragma once
// Commands of the main window that the effects and the guides take.
#include "liveview/ImageEffects.h"

namespace liveviewids {

// Effect buttons.
inline constexpr int kNegativeButton = 1188;
inline constexpr int kRgbButton = 1189; // never shown
inline constexpr int kRedButton = 1190;
inline constexpr int kGreenButton = 1191;
inline constexpr int kBlueButton = 1192;
inline constexpr int kThresholdButton = 1193;
inline constexpr int kHalfTurnButton = 1194;
inline constexpr int kMirrorButton = 1195;

// Guides: the Setting menu's crosshair, and the other-tools menu's three.
inline constexpr int kCrosshairCommand = 32798;
inline constexpr int kCrosshairToolsCommand = 32788;
inline constexpr int kScaleLineCommand = 32789;
inline constexpr int kCircleGridCommand = 32790;

struct EffectButtonId {
    int id;
    EffectButton button;
};
inline constexpr EffectButtonId kEffectButtons[] = {
    {kMirrorButton, EffectButton::Mirror},
    {kHalfTurnButton, EffectButton::HalfTurn},
    {kThresholdButton, EffectButton::Threshold},
    {kNegativeButton, EffectButton::Negative},
    {kRgbButton, EffectButton::Rgb},
    {kRedButton, EffectButton::Red},
    {kGreenButton, EffectButton::Green},
    {kBlueButton, EffectButton::Blue},
};

} // namespace liveviewids
