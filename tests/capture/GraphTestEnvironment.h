#pragma once
// What every capture graph test sets up around its graph: program folders in a
// temporary home, the supported-id list read from there, message boxes recorded
// instead of shown, fresh process-wide capture values; undone when it goes.
#include "CaptureTestSupport.h"
#include "capture/CCaptureGraph.h"
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
        ResetCaptureGlobals();
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
};

// The start-up order of the main window: 1 when the preview runs.
inline bool StartGraph(CCaptureGraph& graph, NotifySink& sink)
{
    graph.SetNotifyWindows(&sink, nullptr);
    graph.CreateDeviceEnumerator();
    return graph.FindDevices() && graph.InitCaptureFilters() && graph.BuildGraph() && graph.StartPreview();
}
