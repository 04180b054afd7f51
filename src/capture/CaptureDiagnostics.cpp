#include "capture/CaptureDiagnostics.h"

#include "capture/CCaptureGraph.h"
#include "capture/CaptureTexts.h"
#include "platform/camera/CameraReport.h"

#include <QTextStream>

QString CaptureDiagnostics(const CCaptureGraph& graph)
{
    QString text;
    QTextStream out(&text);
    if (const std::shared_ptr<CameraBackend> backend = graph.Backend()) {
        WriteCameraReport(*backend, out);
    }
    out << '\n';
    if (!graph.running()) {
        out << LoadText(txt::DiagnosticsNoPreview);
        return text;
    }
    const FrameCounters& counters = graph.Counters();
    out << LoadText(txt::DiagnosticsPreview)
               .arg(graph.cameraIdentity())
               .arg(counters.received.load())
               .arg(counters.shown.load())
               .arg(counters.damaged.load())
               .arg(counters.ShownPerSecond(), 0, 'f', 1);
    return text;
}
