#include "app/CViewerApp.h"
#include "app/ProgramDataReport.h"
#include "app/StackCommandLine.h"
#include "measure/SlideMeasureReport.h"
#include "platform/camera/CameraReport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstring>

int main(int argc, char** argv)
{
    // The reports and the stacker need no display: answer them before a window system is opened.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], kListDataOption) == 0) {
            QCoreApplication core(argc, argv);
            return PrintProgramDataReport();
        }
        if (std::strcmp(argv[i], kMeasureSlideOption) == 0) {
            // Reading pictures wants a GUI application, but never a display.
            qputenv("QT_QPA_PLATFORM", "offscreen");
            QGuiApplication gui(argc, argv);
            return RunMeasureSlide(QGuiApplication::arguments().mid(i + 1));
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
