#pragma once
// The effect buttons and the guides as the main window sees them: one object that
// owns the effects and the overlays, takes the window's commands, sets the effect
// buttons' latched look, and hands out the hooks for live frames, preview painting
// and stills. The hooks share ownership of the state they use, so they stay valid
// however long the capture graph keeps them.
#include "liveview/ImageEffects.h"
#include "liveview/LiveOverlays.h"

#include <QSize>
#include <cstdint>
#include <functional>
#include <memory>

class CBitmapButton;
class QPainter;

class LiveViewTools {
public:
    struct Parts {
        std::function<CBitmapButton*(int id)> button;
        // Draws the measuring tool buttons released (every effect and guide command
        // releases all latched tool buttons first).
        std::function<void()> releaseMeasureButtons;
        std::function<bool()> connected;
        // Read when a spaced guide is switched on.
        GuideScaleReader guideScale;
    };
    using EffectsHook = std::function<void(std::uint8_t* pixels, int width, int height)>;
    using PreviewPainter = std::function<void(QPainter& painter, const QSize& size)>;
    using StillPainter = std::function<void(QPainter& painter, double scale)>;

    explicit LiveViewTools(Parts parts);

    // Effect buttons 1188 ... 1195 and guide commands 32788 ... 32790, 32798.
    static bool IsCommand(int id);
    void OnCommand(int id);
    // Draws every effect button released; the effects stay as they are.
    void ReleaseButtons();

    EffectsHook Effects() const;
    PreviewPainter PreviewOverlays() const;
    // The guides at the size of the still the painter draws on.
    StillPainter StillOverlays() const;

    const EffectSwitches& Switches() const { return m_effects->switches(); }
    OverlayParams Guides() const { return m_overlays->Snapshot(); }

private:
    void OnEffectButton(EffectButton button);
    void OnGuideCommand(int id);
    void ShowEffectLooks();

    Parts m_parts;
    std::shared_ptr<ImageEffects> m_effects = std::make_shared<ImageEffects>();
    std::shared_ptr<LiveOverlays> m_overlays = std::make_shared<LiveOverlays>();
};
