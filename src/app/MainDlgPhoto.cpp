// The photo measure window as the main window opens it: for the picture selected
// in the files strip, modally, with the program's drawing settings.
#include "app/CMainDlg.h"
#include "app/DrawingSettings.h"
#include "app/MeasureSettingsAdapter.h"
#include "app/SettingsStore.h"
#include "files/PicturePrint.h"
#include "measure/DrawingFonts.h"
#include "photo/CPhotoMeasureDlg.h"

#include <QApplication>

void CMainDlg::OpenPhotoWindow(const QString& path)
{
    MeasureSettingsAdapter store(Settings());
    ReadTextFontOrDefault();
    PhotoWindowParts parts;
    parts.mainWindow = this;
    parts.calibrationFile = m_calibrationFile;
    parts.settings = [this] {
        return PhotoDrawingSettingsFrom(Settings(), m_measureFont, Format().CaptureDeviceClass);
    };
    parts.store = &store;
    parts.adoptPen = [this](const PenSettings& pen) {
        AppSettings& settings = Settings();
        settings.Linewidth = pen.width;
        settings.Linetype = pen.style;
        settings.LineColor = int(pen.lineColor);
        settings.MeasureTxtColor = int(pen.labelColor);
        m_measureFont = LabelFontRecord();
    };
    // Print failures are told over the photo window, the modal window on top.
    parts.print = [](const QString& picture) { PrintPicture(picture, QApplication::activeModalWidget()); };
    CPhotoMeasureDlg window(path, parts, this);
    window.DoModal();
}
