#include "capture/LiveFrameCallback.h"

#include "capture/CCaptureGraph.h"
#include "capture/CaptureState.h"

void CLiveFrameCallback::SetSize(int width, int height)
{
    m_width = width;
    m_height = height;
}

int CLiveFrameCallback::BufferCB(double sampleTime, std::uint8_t* buffer, std::size_t length)
{
    const std::size_t expected = static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height) * 3;
    if (!buffer || m_width <= 0 || m_height <= 0 || length < expected) {
        return 0;
    }
    // Drops a frame that arrives while the previous one is still being processed.
    if (frameBusy.exchange(1)) {
        return 0;
    }
    const LiveFrameHooks& hooks = m_graph.hooks();
    if (hooks.applyEffects) {
        hooks.applyEffects(buffer, m_width, m_height);
    }
    StoreOrAnswerStill(sampleTime, buffer);
    if (hooks.recordFrame) {
        hooks.recordFrame(buffer, expected, m_width, m_height);
    }
    m_graph.PaintFrame(buffer, m_width, m_height);
    frameBusy = 0;
    return 0;
}

void CLiveFrameCallback::StoreOrAnswerStill(double sampleTime, const std::uint8_t* buffer)
{
    if (StillRequest.pending.load()) {
        const int origin = StillRequest.origin.exchange(StillOriginUser);
        StillRequest.pending = 0;
        m_graph.PostStillCaptured(origin);
        return;
    }
    if (!FrameStore.IsHeld()) {
        FrameStore.Store(buffer, m_width, m_height, sampleTime);
    }
}

int CStillTriggerCallback::BufferCB(double /*sampleTime*/, std::uint8_t* /*buffer*/, std::size_t /*length*/)
{
    if (frameShown.exchange(0) == 1) {
        StillRequest.Request(StillOriginCameraButton);
    }
    return 0;
}
