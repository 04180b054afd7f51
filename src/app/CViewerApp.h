#pragma once
// The application object: starts the process-wide services, shows the main window
// and runs the event loop until the user confirms closing it.
#include <QStringList>

class CViewerApp {
public:
    // `arguments` is the command line; "--virtual-microscope[=0|1|2]" picks the
    // virtual microscope instead of a real camera.
    explicit CViewerApp(const QStringList& arguments);

    // Runs the main window; the result is the process's exit code.
    int InitInstance();

private:
    QStringList m_arguments;
};
