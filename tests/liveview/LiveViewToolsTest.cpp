// The effect and guide commands as the main window routes them: button looks,
// the connected check, and hooks that outlive the feature object.
#include "liveview/LiveViewTools.h"

#include "liveview/LiveViewIds.h"
#include "widgets/CBitmapButton.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <map>
#include <memory>

using namespace liveviewids;

namespace {

struct Window {
    std::map<int, std::unique_ptr<CBitmapButton>> buttons;
    int measureReleases = 0;
    int scaleReads = 0;
    bool connected = true;
    std::unique_ptr<LiveViewTools> tools;

    Window()
    {
        for (const EffectButtonId& effect : kEffectButtons) {
            buttons[effect.id] = std::make_unique<CBitmapButton>(effect.id, "button", QSize(25, 24));
        }
        LiveViewTools::Parts parts;
        parts.button = [this](int id) { return buttons.count(id) ? buttons[id].get() : nullptr; };
        parts.releaseMeasureButtons = [this] { ++measureReleases; };
        parts.connected = [this] { return connected; };
        parts.guideScale = [this] {
            ++scaleReads;
            return GuideScale{10.0, "mm", 2, QSize(2592, 1944)};
        };
        tools = std::make_unique<LiveViewTools>(parts);
    }
    bool Active(int id) { return buttons[id]->IsActive(); }
};

TEST(LiveViewTools, EffectButtonsLatchAsTheirRulesSay)
{
    Window w;
    w.tools->OnCommand(kMirrorButton);
    EXPECT_TRUE(w.Active(kMirrorButton));
    EXPECT_EQ(w.measureReleases, 1);
    w.tools->OnCommand(kHalfTurnButton);
    EXPECT_FALSE(w.Active(kMirrorButton));
    EXPECT_TRUE(w.Active(kHalfTurnButton));
    EXPECT_EQ(w.tools->Switches().rotateOn.load(), 1);

    w.tools->OnCommand(kRedButton);
    w.tools->OnCommand(kGreenButton);
    EXPECT_FALSE(w.Active(kHalfTurnButton));
    EXPECT_TRUE(w.Active(kRedButton));
    EXPECT_TRUE(w.Active(kGreenButton));
    w.tools->OnCommand(kRgbButton);
    for (const EffectButtonId& effect : kEffectButtons) {
        EXPECT_EQ(w.Active(effect.id), effect.id == kRgbButton) << effect.id;
    }
    EXPECT_EQ(w.tools->Switches().channelMask.load(), 0);
}

TEST(LiveViewTools, GuidesReleaseTheButtonsAndNeedAMicroscope)
{
    Window w;
    w.tools->OnCommand(kNegativeButton);
    w.connected = false;
    for (const int id : {kCrosshairCommand, kScaleLineCommand, kCircleGridCommand}) {
        w.tools->OnCommand(id);
    }
    EXPECT_FALSE(w.Active(kNegativeButton));
    EXPECT_EQ(w.tools->Switches().negativeOn.load(), 1); // the look goes, the effect stays
    EXPECT_EQ(w.measureReleases, 4);
    OverlayParams guides = w.tools->Guides();
    EXPECT_FALSE(guides.crosshairOn || guides.scaleLineOn || guides.circleGridOn);
    EXPECT_EQ(w.scaleReads, 0);

    w.connected = true;
    w.tools->OnCommand(kCrosshairCommand);
    w.tools->OnCommand(kScaleLineCommand);
    w.tools->OnCommand(kCircleGridCommand);
    guides = w.tools->Guides();
    EXPECT_TRUE(guides.crosshairOn && guides.scaleLineOn && guides.circleGridOn);
    EXPECT_NEAR(guides.pixelsPerUnit, 15.0, 1e-6);
    EXPECT_EQ(w.scaleReads, 2);
    // The other-tools menu's crosshair is the same switch.
    w.tools->OnCommand(kCrosshairToolsCommand);
    EXPECT_FALSE(w.tools->Guides().crosshairOn);
    EXPECT_FALSE(LiveViewTools::IsCommand(32791));
    EXPECT_TRUE(LiveViewTools::IsCommand(kCrosshairToolsCommand));
}

TEST(LiveViewTools, HooksOutliveTheFeatureAndStillsGetTheirOwnLayout)
{
    Window w;
    w.tools->OnCommand(kNegativeButton);
    w.tools->OnCommand(kCrosshairCommand);
    const LiveViewTools::EffectsHook effects = w.tools->Effects();
    const LiveViewTools::StillPainter still = w.tools->StillOverlays();
    w.tools.reset();

    std::uint8_t pixel[3] = {1, 2, 3};
    effects(pixel, 1, 1);
    EXPECT_EQ(pixel[0], 254);

    QImage picture(1280, 1024, QImage::Format_RGB32);
    picture.fill(Qt::black);
    {
        QPainter painter(&picture);
        still(painter, 2.0);
    }
    EXPECT_EQ(picture.pixel(10, 480), qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(10, 512), qRgb(0, 0, 0));
}

} // namespace
