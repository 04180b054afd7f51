#include "app/CViewerApp.h"
#include "app/ProgramDataReport.h"
#include "app/StackCommandLine.h"
#include "platform/camera/CameraReport.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstring>

int main(int argc, char** argv)
{
    // The reports and the stacker need no display: answer them before a window system is opened.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], kListDataOption) == 0) {
            QCoreApplication core(argc, argv);
            return PrintProgramDataReport();
        }
        if (std::strcmp(argv[i], kListCamerasOption) == 0) {
            QCoreApplication core(argc, argv);
            return PrintCameraReport(QCoreApplication::arguments());
        }
        if (std::strcmp(argv[i], kStackOption) == 0) {
            QCoreApplication core(argc, argv);
            return RunStackCommand(QCoreApplication::arguments());
        }
    }
    QApplication app(argc, argv);
    CViewerApp viewer(QApplication::arguments());
    return viewer.InitInstance();
}
