#pragma once
// The picture effects of the live view: their switches, the rules of the effect
// buttons, and applying them to each live frame.
//
// Threads: the buttons run on the window thread; Apply runs on the camera's
// streaming thread (one frame at a time). The switches are atomics read once per
// step, so a frame may see a switch change half-way through its steps.
#include <atomic>
#include <cstdint>
#include <vector>

// The effect buttons of the main window.
enum class EffectButton : int { Mirror, HalfTurn, Threshold, Negative, Rgb, Red, Green, Blue };
inline constexpr int kEffectButtonCount = 8;

// 1 = on; channelMask holds the channel buttons' bits (kChannelRed, ...).
struct EffectSwitches {
    std::atomic<int> mirrorOn{0};
    std::atomic<int> rotateOn{0};
    std::atomic<int> thresholdOn{0};
    std::atomic<int> negativeOn{0};
    std::atomic<int> channelMask{0};
};

class ImageEffects {
public:
    // A click on an effect button. Releasing the measurement tool buttons, which
    // every effect button also does, is the caller's part.
    void Press(EffectButton button);
    // Releases every latched effect button; the effects themselves stay as they are.
    void ReleaseButtons();
    // Whether the button shows its latched (active) look.
    bool IsLatched(EffectButton button) const;

    const EffectSwitches& switches() const { return m_switches; }

    // The switched-on effects, in place, in the order mirror, half-turn, threshold,
    // negative, channel.
    void Apply(std::uint8_t* pixels, int width, int height);

private:
    void PressEffect(EffectButton button, std::atomic<int>& effectSwitch);
    void PressRgb();
    void PressChannel(EffectButton button, int bit);
    void SetEffectSwitches(int mirror, int rotate, int threshold, int negative);
    void Threshold(std::uint8_t* pixels, int width, int height);

    bool& Latch(EffectButton button) { return m_latched[static_cast<int>(button)]; }

    EffectSwitches m_switches;
    bool m_latched[kEffectButtonCount] = {};
    // The threshold's grey value of each pixel, kept between its two passes; the
    // buffer stays from frame to frame.
    std::vector<std::uint8_t> m_grey;
};
