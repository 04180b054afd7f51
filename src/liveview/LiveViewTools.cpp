#include "liveview/LiveViewTools.h"

#include "liveview/LiveViewIds.h"
#include "widgets/CBitmapButton.h"

#include <QPaintDevice>
#include <QPainter>

using namespace liveviewids;

LiveViewTools::LiveViewTools(Parts parts) : m_parts(std::move(parts)) {}

bool LiveViewTools::IsCommand(int id)
{
    for (const EffectButtonId& effect : kEffectButtons) {
        if (effect.id == id) {
            return true;
        }
    }
    return id == kCrosshairCommand || (id >= kCrosshairToolsCommand && id <= kCircleGridCommand);
}

void LiveViewTools::OnCommand(int id)
{
    for (const EffectButtonId& effect : kEffectButtons) {
        if (effect.id == id) {
            OnEffectButton(effect.button);
            return;
        }
    }
    OnGuideCommand(id);
}

void LiveViewTools::ReleaseButtons()
{
    m_effects->ReleaseButtons();
    ShowEffectLooks();
}

void LiveViewTools::OnEffectButton(EffectButton button)
{
    if (m_parts.releaseMeasureButtons) {
        m_parts.releaseMeasureButtons();
    }
    m_effects->Press(button);
    ShowEffectLooks();
}

void LiveViewTools::OnGuideCommand(int id)
{
    if (m_parts.releaseMeasureButtons) {
        m_parts.releaseMeasureButtons();
    }
    ReleaseButtons();
    if (!m_parts.connected || !m_parts.connected()) {
        return;
    }
    switch (id) {
    case kCrosshairCommand:
    case kCrosshairToolsCommand:
        m_overlays->ToggleCrosshair();
        break;
    case kScaleLineCommand:
        m_overlays->ToggleScaleLine(m_parts.guideScale);
        break;
    case kCircleGridCommand:
        m_overlays->ToggleCircleGrid(m_parts.guideScale);
        break;
    default:
        break;
    }
}

void LiveViewTools::ShowEffectLooks()
{
    if (!m_parts.button) {
        return;
    }
    for (const EffectButtonId& effect : kEffectButtons) {
        if (CBitmapButton* button = m_parts.button(effect.id)) {
            button->SetActive(m_effects->IsLatched(effect.button));
        }
    }
}

LiveViewTools::EffectsHook LiveViewTools::Effects() const
{
    return [effects = m_effects](std::uint8_t* pixels, int width, int height) {
        effects->Apply(pixels, width, height);
    };
}

LiveViewTools::PreviewPainter LiveViewTools::PreviewOverlays() const
{
    return [overlays = m_overlays](QPainter& painter, const QSize& size) {
        overlays->PaintPreview(painter, size);
    };
}

LiveViewTools::StillPainter LiveViewTools::StillOverlays() const
{
    return [overlays = m_overlays](QPainter& painter, double /*scale*/) {
        if (const QPaintDevice* still = painter.device()) {
            overlays->PaintStill(painter, QSize(still->width(), still->height()));
        }
    };
}
