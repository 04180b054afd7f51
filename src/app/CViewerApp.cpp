#include "app/CViewerApp.h"

#include "app/CMainDlg.h"
#include "platform/camera/CameraBackendFactory.h"

#include <QCoreApplication>

CViewerApp::CViewerApp(const QStringList& arguments) : m_arguments(arguments) {}

int CViewerApp::InitInstance()
{
    QCoreApplication::setApplicationName(QStringLiteral("Pelora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELORA_VERSION));
    SetProcessCameraBackend(CreateCameraBackendFromArguments(m_arguments));
    int exitCode = 0;
    {
        CMainDlg dialog;
        exitCode = dialog.Run();
    }
    // The camera is released before the process ends.
    SetProcessCameraBackend(nullptr);
    return exitCode;
}
