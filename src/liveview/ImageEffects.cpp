#include "liveview/ImageEffects.h"

#include "liveview/EffectKernels.h"

namespace {

struct ChannelButton {
    EffectButton button;
    int bit;
};
constexpr ChannelButton kChannelButtons[] = {
    {EffectButton::Red, kChannelRed},
    {EffectButton::Green, kChannelGreen},
    {EffectButton::Blue, kChannelBlue},
};
constexpr EffectButton kSingleEffectButtons[] = {EffectButton::Mirror, EffectButton::HalfTurn,
                                                 EffectButton::Threshold, EffectButton::Negative,
                                                 EffectButton::Rgb};

} // namespace

void ImageEffects::Press(EffectButton button)
{
    switch (button) {
    case EffectButton::Mirror:
        PressEffect(button, m_switches.mirrorOn);
        break;
    case EffectButton::HalfTurn:
        PressEffect(button, m_switches.rotateOn);
        break;
    case EffectButton::Threshold:
        PressEffect(button, m_switches.thresholdOn);
        break;
    case EffectButton::Negative:
        PressEffect(button, m_switches.negativeOn);
        break;
    case EffectButton::Rgb:
        PressRgb();
        break;
    case EffectButton::Red:
    case EffectButton::Green:
    case EffectButton::Blue:
        for (const ChannelButton& channel : kChannelButtons) {
            if (channel.button == button) {
                PressChannel(button, channel.bit);
            }
        }
        break;
    }
}

void ImageEffects::ReleaseButtons()
{
    for (bool& latched : m_latched) {
        latched = false;
    }
}

bool ImageEffects::IsLatched(EffectButton button) const
{
    const int index = static_cast<int>(button);
    return index >= 0 && index < kEffectButtonCount && m_latched[index];
}

void ImageEffects::SetEffectSwitches(int mirror, int rotate, int threshold, int negative)
{
    m_switches.mirrorOn = mirror;
    m_switches.rotateOn = rotate;
    m_switches.thresholdOn = threshold;
    m_switches.negativeOn = negative;
}

// One effect at a time: the pressed one toggles with its button's look, every
// other effect and channel goes off.
void ImageEffects::PressEffect(EffectButton button, std::atomic<int>& effectSwitch)
{
    const bool wasLatched = Latch(button);
    ReleaseButtons();
    SetEffectSwitches(0, 0, 0, 0);
    m_switches.channelMask = 0;
    if (!wasLatched) {
        Latch(button) = true;
        effectSwitch = 1;
    }
}

void ImageEffects::PressRgb()
{
    const bool wasLatched = Latch(EffectButton::Rgb);
    ReleaseButtons();
    Latch(EffectButton::Rgb) = !wasLatched;
    SetEffectSwitches(0, 0, 0, 0);
    m_switches.channelMask = 0;
}

// One or two channels at a time: a third one pressed replaces the other two.
void ImageEffects::PressChannel(EffectButton button, int bit)
{
    for (const EffectButton single : kSingleEffectButtons) {
        Latch(single) = false;
    }
    int otherBits = 0;
    bool othersLatched = true;
    for (const ChannelButton& channel : kChannelButtons) {
        if (channel.button != button) {
            otherBits |= channel.bit;
            othersLatched = othersLatched && Latch(channel.button);
        }
    }
    if (othersLatched) {
        for (const ChannelButton& channel : kChannelButtons) {
            if (channel.button != button) {
                Latch(channel.button) = false;
            }
        }
    }
    SetEffectSwitches(0, 0, 0, 0);
    int mask = m_switches.channelMask.load();
    if (Latch(button)) {
        Latch(button) = false;
        mask &= ~bit;
    } else {
        Latch(button) = true;
        mask |= bit;
        if ((mask & otherBits) == otherBits) {
            mask &= ~otherBits;
        }
    }
    m_switches.channelMask = mask;
}

void ImageEffects::Apply(std::uint8_t* pixels, int width, int height)
{
    if (!pixels || width <= 0 || height <= 0) {
        return;
    }
    if (m_switches.mirrorOn.load(std::memory_order_relaxed) == 1) {
        MirrorRows(pixels, width, height);
    }
    if (m_switches.rotateOn.load(std::memory_order_relaxed) == 1) {
        HalfTurn(pixels, width, height);
    }
    if (m_switches.thresholdOn.load(std::memory_order_relaxed) == 1) {
        Threshold(pixels, width, height);
    }
    if (m_switches.negativeOn.load(std::memory_order_relaxed) == 1) {
        Negative(pixels, width, height);
    }
    KeepChannels(pixels, width, height, m_switches.channelMask.load(std::memory_order_relaxed));
}

void ImageEffects::Threshold(std::uint8_t* pixels, int width, int height)
{
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (m_grey.size() < count) {
        m_grey.resize(count);
    }
    GreyHistogram histogram{};
    CountGreys(pixels, count, histogram, m_grey.data());
    ApplyThreshold(pixels, m_grey.data(), count, OtsuThreshold(histogram));
}
