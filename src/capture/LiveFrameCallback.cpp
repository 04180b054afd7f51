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
    Run(sampleTime, buffer, m_width, m_height, nullptr);
    return 0;
}

int CLiveFrameCallback::PreviewCB(const CameraFrame& frame, std::uint8_t* buffer, int width, int height)
{
    if (!buffer || width <= 0 || height <= 0 || frame.width != m_width || frame.height != m_height) {
        return 0;
    }
    Run(frame.sampleTime, buffer, width, height, &frame);
    return 0;
}

void CLiveFrameCallback::Run(double sampleTime, std::uint8_t* buffer, int width, int height,
                             const CameraFrame* coded)
{
    CaptureState& state = m_graph.State();
    // Drops a frame that arrives while the previous one is still being processed.
    if (state.frameBusy.exchange(1)) {
        return;
    }
    m_graph.ApplyEffects(buffer, width, height);
    StoreOrAnswerStill(sampleTime, buffer, coded);
    const LiveFrameHooks& hooks = m_graph.hooks();
    if (!coded && hooks.recordFrame) {
        hooks.recordFrame(buffer, static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3,
                          width, height);
    }
    m_graph.PaintFrame(buffer, width, height, QSize(m_width, m_height));
    state.frameBusy = 0;
}

void CLiveFrameCallback::StoreOrAnswerStill(double sampleTime, const std::uint8_t* buffer,
                                            const CameraFrame* coded)
{
    CaptureState& state = m_graph.State();
    if (state.StillRequest.pending.load()) {
        const int origin = state.StillRequest.origin.exchange(StillOriginUser);
        state.StillRequest.pending = 0;
        m_graph.PostStillCaptured(origin);
        return;
    }
    if (state.FrameStore.IsHeld()) {
        return;
    }
    if (coded) {
        state.FrameStore.StoreCoded(*coded);
    } else {
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
