#include "app/CViewerApp.h"

#include "app/CMainDlg.h"
#include "capture/CaptureLock.h"
#include "platform/camera/CameraBackendFactory.h"

#include <QCoreApplication>

CViewerApp::CViewerApp(const QStringList& arguments) : m_arguments(arguments) {}

int CViewerApp::InitInstance()
{
    QCoreApplication::setApplicationName(QStringLiteral("Pelora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELORA_VERSION));
    CreateCaptureLock();
    SetProcessCameraBackend(CreateCameraBackendFromArguments(m_arguments));
    int exitCode = 0;
    {
        CMainDlg dialog;
        exitCode = dialog.Run();
    }
    // The lock goes only after the dialog (and any recording it closed) has gone;
    // the camera is released before the process ends.
    DeleteCaptureLock();
    SetProcessCameraBackend(nullptr);
    return exitCode;
}
