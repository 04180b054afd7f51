#pragma once
// What every capture graph test sets up around its graph: program folders in a
// temporary home, the supported-id list read from there, message boxes recorded
// instead of shown, and a fresh capture session; undone when it goes.
#include "CaptureTestSupport.h"
#include "capture/CaptureSession.h"
#include "common/TestSupport.h"
#include "platform/camera/CameraHardwareIds.h"
#include "platform/desktop/MessageBox.h"
#include "platform/files/ProgramFolder.h"

#include <QStringList>

class GraphTestEnvironment {
public:
    GraphTestEnvironment()
    {
        OverrideProgramFolders(home.path(), home.path());
        ReloadSupportedHardwareIds();
        SetMessageResponder([this](const QString& text, const QString&, unsigned) {
            messages << text;
            return IDOK;
        });
        // The graph's notices are shown by the window; here they are recorded with the boxes.
        QObject::connect(&graph, &CCaptureGraph::notice,
                         [this](const QString& text, CaptureNoticeLevel) { messages << text; });
    }
    ~GraphTestEnvironment()
    {
        SetMessageResponder(nullptr);
        OverrideProgramFolders({}, {});
        ReloadSupportedHardwareIds();
    }
    GraphTestEnvironment(const GraphTestEnvironment&) = delete;
    GraphTestEnvironment& operator=(const GraphTestEnvironment&) = delete;

    testsupport::TempHome home;
    QStringList messages;
    CaptureSession session{nullptr};
    CCaptureGraph& graph = session.Graph();
    CaptureState& state = session.State();
};

// The start-up order of the main window: 1 when the preview runs.
inline bool StartGraph(CCaptureGraph& graph, NotifySink& sink)
{
    graph.SetNotifyWindow(&sink);
    graph.CreateDeviceEnumerator();
    return graph.FindDevices() && graph.InitCaptureFilters() && graph.BuildGraph() && graph.StartPreview();
}
