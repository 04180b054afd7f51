#include "capture/LiveFrameCallback.h"

#include "capture/CCaptureGraph.h"

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
    CaptureState& state = m_graph.State();
    // Drops a frame that arrives while the previous one is still being processed.
    if (state.frameBusy.exchange(1)) {
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
    state.frameBusy = 0;
    return 0;
}

void CLiveFrameCallback::StoreOrAnswerStill(double sampleTime, const std::uint8_t* buffer)
{
    CaptureState& state = m_graph.State();
    if (state.StillRequest.pending.load()) {
        const int origin = state.StillRequest.origin.exchange(StillOriginUser);
        state.StillRequest.pending = 0;
        m_graph.PostStillCaptured(origin);
        return;
    }
    if (!state.FrameStore.IsHeld()) {
        state.FrameStore.Store(buffer, m_width, m_height, sampleTime);
    }
}

int CStillTriggerCallback::BufferCB(double /*sampleTime*/, std::uint8_t* /*buffer*/, std::size_t /*length*/)
{
    if (m_state.frameShown.exchange(0) == 1) {
        m_state.StillRequest.Request(StillOriginCameraButton);
    }
    return 0;
}
