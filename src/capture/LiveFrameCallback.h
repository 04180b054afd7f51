#pragma once
// The two buffer callbacks of the capture graph. Both run on the camera's streaming
// thread and are owned by the one capture graph.
#include <cstddef>
#include <cstdint>

class CCaptureGraph;
struct CameraFrame;
class CaptureState;

// Live branch: effects, frame store or still notice, recorder, preview painting.
class CLiveFrameCallback {
public:
    explicit CLiveFrameCallback(CCaptureGraph& graph) : m_graph(graph) {}
    // Size of the frames the branch delivers (set before the branch runs).
    void SetSize(int width, int height);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // One BGR bottom-up frame of Width() x Height(), processed in place. Returns 0.
    int BufferCB(double sampleTime, std::uint8_t* buffer, std::size_t length);
    // The same for a smaller picture of `frame` (width x height, BGR bottom-up) made
    // for the preview: the frame store keeps the camera's bytes and nothing is
    // recorded. Returns 0.
    int PreviewCB(const CameraFrame& frame, std::uint8_t* buffer, int width, int height);

private:
    // `coded` is the camera's frame when `buffer` is only the preview's picture of it.
    void Run(double sampleTime, std::uint8_t* buffer, int width, int height, const CameraFrame* coded);
    void StoreOrAnswerStill(double sampleTime, const std::uint8_t* buffer, const CameraFrame* coded);

    CCaptureGraph& m_graph;
    int m_width = 0;
    int m_height = 0;
};

// Snapshot branch: a press of the camera button becomes a still request (origin 1),
// at most once per painted frame.
class CStillTriggerCallback {
public:
    explicit CStillTriggerCallback(CaptureState& state) : m_state(state) {}
    int BufferCB(double sampleTime, std::uint8_t* buffer, std::size_t length);

private:
    CaptureState& m_state;
};
