// The photo measure window as the main window opens it: for the picture selected
// in the files strip, modally, with the program's drawing settings.
#include "app/CMainDlg.h"
#include "app/MeasureSettingsAdapter.h"
#include "app/SettingsStore.h"
#include "files/PicturePrint.h"
#include "measure/DrawingFonts.h"
#include "photo/CPhotoMeasureDlg.h"

#include <QApplication>

PhotoDrawingSettings CMainDlg::PhotoSettingsNow() const
{
    const AppSettings& settings = Settings();
    PhotoDrawingSettings photo;
    photo.penWidth = settings.Linewidth;
    photo.penStyle = settings.Linetype;
    photo.lineColor = ColorRef(settings.LineColor) & 0xFFFFFF;
    photo.labelColor = ColorRef(settings.MeasureTxtColor) & 0xFFFFFF;
    photo.labelFont = m_measureFont;
    photo.labelFontSize = settings.fontsize;
    photo.textColor = ColorRef(settings.fontcolor);
    photo.textFont = TextFontRecord();
    photo.unit = settings.unit;
    photo.decimals = settings.decimal;
    photo.cameraClass = Format().CaptureDeviceClass;
    return photo;
}

void CMainDlg::OpenPhotoWindow(const QString& path)
{
    MeasureSettingsAdapter store(Settings());
    ReadTextFontOrDefault();
    PhotoWindowParts parts;
    parts.mainWindow = this;
    parts.calibrationFile = m_calibrationFile;
    parts.settings = [this] { return PhotoSettingsNow(); };
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
