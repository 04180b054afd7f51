// The photo window's commands: tools, files, dialogs and the calibration.
#include "measure/CMeasureListDlg.h"
#include "measure/CPenSettingDlg.h"
#include "measure/CTextSettingDlg.h"
#include "measure/Calibration.h"
#include "measure/CalibrationFile.h"
#include "measure/DrawingFonts.h"
#include "measure/MeasureTexts.h"
#include "photo/CMeasureCanvas.h"
#include "photo/CPhotoMeasureDlg.h"
#include "photo/PhotoDialogs.h"
#include "photo/PhotoIds.h"
#include "photo/PhotoPicture.h"
#include "platform/desktop/MessageBox.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CMenuXP.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

using namespace photo;

namespace {

constexpr const char* kSaveFilter = "BMP Files(*.BMP)|*.BMP|JPG Files(*.JPG)|*.JPG||";
constexpr const char* kJpgFilter = "JPG Files(*.JPG)|*.JPG";
constexpr const char* kBmpOnlyFilter = "bmp Files(*.bmp)|*.bmp";
// Both picture types at once, ahead of the one-type filters: stills are JPEG by default.
constexpr const char* kPicturesFilter = "BMP/JPG Files(*.BMP;*.JPG)|*.bmp *.jpg *.BMP *.JPG|";
constexpr const char* kDefaultExtension = "bmp";
constexpr const char* kJpgExtension = "jpg";
constexpr int kMenuAboveBottom = 2;

// Tool, mode and the status text of each tool command.
struct ToolCommand {
    int id;
    MeasureTool tool;
    ToolMode mode;
    const char* status;
};

const ToolCommand kToolCommands[] = {
    {ID_M_LINE, MeasureTool::Line, ToolMode::Measuring, "Line"},
    {ID_M_CONTINUOUS, MeasureTool::ContinuousLine, ToolMode::Measuring, "Continue Line"},
    {ID_M_RECTANGLE, MeasureTool::Rectangle, ToolMode::Measuring, "Rectangle"},
    {ID_M_POLYGON, MeasureTool::Polygon, ToolMode::Measuring, "Ploygon"},
    {ID_M_RADIUS, MeasureTool::RadiusCircle, ToolMode::Measuring, "Radius circle"},
    {ID_M_DIAMETER, MeasureTool::DiameterCircle, ToolMode::Measuring, "Diameter circle"},
    {ID_M_THREE_CIRCLE, MeasureTool::ThreePointCircle, ToolMode::Measuring, "Three Point Circle"},
    {ID_M_ANGLE, MeasureTool::Angle, ToolMode::Measuring, "Angle"},
    {ID_M_FOUR_ANGLE, MeasureTool::FourPointAngle, ToolMode::Measuring, "Four point Angle"},
    {ID_D_LINE, MeasureTool::Line, ToolMode::DrawingOnly, "Line"},
    {ID_D_ANGLE, MeasureTool::Angle, ToolMode::DrawingOnly, "Angle"},
    {ID_D_RECTANGLE, MeasureTool::Rectangle, ToolMode::DrawingOnly, "Rectangle"},
    {ID_D_RADIUS, MeasureTool::RadiusCircle, ToolMode::DrawingOnly, "Radius Circle"},
    {ID_D_DIAMETER, MeasureTool::DiameterCircle, ToolMode::DrawingOnly, "Diameter Circle"},
    {ID_D_THREE_CIRCLE, MeasureTool::ThreePointCircle, ToolMode::DrawingOnly, "Three Point Circle"},
};

const ToolCommand* FindToolCommand(int id)
{
    for (const ToolCommand& command : kToolCommands) {
        if (command.id == id) {
            return &command;
        }
    }
    return nullptr;
}

int RunPenDialog(QWidget* parent, MeasureSettingsStore& store, PenSettings& pen)
{
    CPenSettingDlg dialog(PenDialogStart(pen, ReadLabelFont()), store, {}, parent);
    if (dialog.DoModal() != IDOK) {
        return IDCANCEL;
    }
    pen = dialog.values();
    return IDOK;
}

int RunTextDialog(QWidget* parent, MeasureSettingsStore& store, QString& text, ColorRef& color)
{
    CTextSettingDlg dialog(store, {}, parent);
    if (dialog.DoModal() != IDOK) {
        return IDCANCEL;
    }
    text = dialog.text();
    color = dialog.textColor();
    return IDOK;
}

} // namespace

CommandTable<CPhotoMeasureDlg>& CPhotoMeasureDlg::Commands()
{
    static CommandTable<CPhotoMeasureDlg> table = [] {
        CommandTable<CPhotoMeasureDlg> t;
        for (const ToolCommand& command : kToolCommands) {
            const int id = command.id;
            t.Add(id, [id](CPhotoMeasureDlg& w) { w.OnToolCommand(id); });
        }
        t.Add(IDC_SELECT, &CPhotoMeasureDlg::OnSelect);
        t.Add(IDC_MEASURE, [](CPhotoMeasureDlg& w) { w.OnMenuButton(IDC_MEASURE); });
        t.Add(IDC_PAINT, [](CPhotoMeasureDlg& w) { w.OnMenuButton(IDC_PAINT); });
        t.Add(IDC_DELETE, &CPhotoMeasureDlg::OnDelete);
        t.Add(IDC_MOVE, &CPhotoMeasureDlg::OnMove);
        t.Add(IDC_SAVE, [](CPhotoMeasureDlg& w) { w.OnSave(); });
        t.Add(IDC_OPEN, &CPhotoMeasureDlg::OnOpen);
        t.Add(IDC_PRINT, &CPhotoMeasureDlg::OnPrint);
        t.Add(IDC_LIST, &CPhotoMeasureDlg::OnMeasureList);
        t.Add(IDC_PEN, &CPhotoMeasureDlg::OnPenSetting);
        t.Add(IDC_TEXT, &CPhotoMeasureDlg::OnText);
        t.Add(IDC_CALIBRATE, &CPhotoMeasureDlg::OnCalibrate);
        t.Add(ID_M_SLIDE_CALIBRATION, &CPhotoMeasureDlg::OnCalibrateFromSlide);
        return t;
    }();
    return table;
}

bool CPhotoMeasureDlg::OnCommand(int id)
{
    return Commands().Dispatch(*this, id);
}

void CPhotoMeasureDlg::PressButton(int id, bool pressed)
{
    if (CBitmapButton* button = Button(id)) {
        button->SetActive(pressed);
    }
}

void CPhotoMeasureDlg::ReleaseToolButtons()
{
    for (const int id : {IDC_SELECT, IDC_PAINT, IDC_MEASURE}) {
        PressButton(id, false);
    }
}

void CPhotoMeasureDlg::SetStatus(const QString& text)
{
    m_status->setText(text);
    m_status->adjustSize();
}

int CPhotoMeasureDlg::ReadMagnification()
{
    const int read = ::ReadMagnification(this, m_calibratedEdit->text(), m_magnificationEdit->text(),
                                         m_useNominal, m_magnification);
    if (read && m_canvas != nullptr) {
        m_canvas->SetMagnification(m_magnification);
    }
    return read;
}

void CPhotoMeasureDlg::OnToolCommand(int id)
{
    const ToolCommand* command = FindToolCommand(id);
    if (command == nullptr) {
        return;
    }
    // Drawing needs no magnification; measuring does.
    if (command->mode == ToolMode::Measuring && !ReadMagnification()) {
        return;
    }
    if (m_canvas == nullptr) {
        return;
    }
    m_canvas->SetTool(command->tool, command->mode);
    if (command->tool == MeasureTool::FourPointAngle) {
        m_canvas->Editor().SetTwoLinePickMode(true);
    }
    SetStatus(QString::fromLatin1(command->status));
}

void CPhotoMeasureDlg::OnSelect()
{
    if (m_canvas == nullptr) {
        return;
    }
    SetStatus(QString());
    PressButton(IDC_SELECT, true);
    m_canvas->SetTool(MeasureTool::Select, ToolMode::Measuring);
    PressButton(IDC_MEASURE, false);
    PressButton(IDC_PAINT, false);
}

void CPhotoMeasureDlg::OnMenuButton(int pressedId)
{
    if (m_canvas == nullptr) {
        return;
    }
    const int otherId = pressedId == IDC_MEASURE ? IDC_PAINT : IDC_MEASURE;
    PressButton(pressedId, true);
    PressButton(IDC_SELECT, false);
    PressButton(otherId, false);
    m_canvas->SetTool(MeasureTool::None, ToolMode::Measuring);
    SetStatus(QString());
    m_canvas->Editor().SetTwoLinePickMode(false);
    CBitmapButton* button = Button(pressedId);
    CMenuXP* menu = pressedId == IDC_MEASURE ? m_measureMenu : m_paintMenu;
    menu->exec(button->mapToGlobal(QPoint(0, button->height() - kMenuAboveBottom)));
}

void CPhotoMeasureDlg::OnDelete()
{
    ReleaseToolButtons();
    if (m_canvas != nullptr) {
        m_canvas->Editor().DeleteSelected();
    }
}

void CPhotoMeasureDlg::OnMove()
{
    ReleaseToolButtons();
    if (m_canvas != nullptr) {
        m_canvas->Editor().MoveSelected();
    }
}

bool CPhotoMeasureDlg::HasUnsavedMeasurements() const
{
    return m_canvas != nullptr && SharedPhotoList().Count() > 0 && !m_saved;
}

bool CPhotoMeasureDlg::OnSave()
{
    ReleaseToolButtons();
    SetStatus(QString());
    if (m_canvas == nullptr) {
        return false;
    }
    PhotoFileRequest request;
    request.save = true;
    request.initialName = m_picturePath;
    request.defaultExtension = QString::fromLatin1(kDefaultExtension);
    request.filter = QString::fromLatin1(kSaveFilter);
    if (PictureTypeOf(m_picturePath) == CXIMAGE_FORMAT_JPG) {
        // The type shown follows the proposed name.
        request.defaultExtension = QString::fromLatin1(kJpgExtension);
        request.selectedFilter = QString::fromLatin1(kJpgFilter);
    }
    const QString path = AskPhotoFileName(this, request);
    if (path.isEmpty()) {
        return false;
    }
    const bool saved = m_canvas->SaveWithMeasurements(path) != 0;
    if (saved) {
        m_saved = true;
    }
    ShowMessage(this, LoadText(saved ? txt::SaveSuccessfull : txt::SaveFail), LoadText(txt::MsgTitle), MB_OK);
    return saved;
}

void CPhotoMeasureDlg::OnOpen()
{
    SetStatus(QString());
    ReleaseToolButtons();
    PhotoFileRequest request;
    request.folder = QFileInfo(m_picturePath).absolutePath();
    request.defaultExtension = QString::fromLatin1(kDefaultExtension);
    request.filter = QString::fromLatin1(kPicturesFilter) + QString::fromLatin1(kSaveFilter);
    if (HasUnsavedMeasurements()) {
        if (ShowMessage(this, LoadText(txt::SureOpen), LoadText(txt::MsgTitle), MB_YESNO | MB_ICONWARNING) ==
            IDYES) {
            OnSave();
            return;
        }
        request.filter = QString::fromLatin1(kPicturesFilter) + QString::fromLatin1(kBmpOnlyFilter);
    }
    const QString path = AskPhotoFileName(this, request);
    if (path.isEmpty() || m_canvas == nullptr) {
        return;
    }
    DestroyCanvas();
    CreateCanvas(path, FullFrame());
    m_saved = false;
    m_picturePath = path;
}

void CPhotoMeasureDlg::OnPrint()
{
    if (m_parts.print && m_canvas != nullptr) {
        m_parts.print(m_picturePath);
    }
}

void CPhotoMeasureDlg::OnMeasureList()
{
    if (!m_listDialog) {
        m_listDialog = new CMeasureListDlg(SharedPhotoList(), this);
        // A selection or deletion in the list shows on the picture.
        connect(m_listDialog, &CMeasureListDlg::listChanged, this, [this] {
            if (m_canvas != nullptr) {
                m_canvas->update();
            }
        });
    }
    m_listDialog->show();
    m_listDialog->raise();
}

void CPhotoMeasureDlg::OnPenSetting()
{
    if (m_canvas == nullptr || m_parts.store == nullptr || !m_parts.settings) {
        return;
    }
    const PhotoDrawingSettings stored = m_parts.settings();
    PenSettings pen{stored.penWidth, stored.penStyle, stored.lineColor, stored.labelColor};
    const int result =
        m_parts.penDialog ? m_parts.penDialog(this, pen) : RunPenDialog(this, *m_parts.store, pen);
    if (result != IDOK) {
        return;
    }
    if (m_parts.adoptPen) {
        m_parts.adoptPen(pen);
    }
    m_canvas->SetPen(pen.width, pen.style, pen.lineColor, pen.labelColor);
    const LogFontRecord& font = LabelFontRecord();
    m_canvas->SetLabelFont(font, StoreLabelFontSize(*m_parts.store, font));
}

void CPhotoMeasureDlg::OnText()
{
    if (m_canvas == nullptr || m_parts.store == nullptr) {
        return;
    }
    ReadTextFontOrDefault();
    QString text;
    ColorRef color = m_parts.store->textColor();
    const int result = m_parts.textDialog ? m_parts.textDialog(this, text, color)
                                          : RunTextDialog(this, *m_parts.store, text, color);
    if (result == IDOK) {
        m_canvas->SetTextStyle(color, TextFontRecord());
        m_canvas->Editor().TextEntry(text);
    }
    m_canvas->SetTool(MeasureTool::Text, ToolMode::Measuring);
}

void CPhotoMeasureDlg::OnCalibrate()
{
    m_useNominal = true;
    SetStatus(QString());
    ReleaseToolButtons();
    // A canvas without a picture takes no line, so the calibration could never end.
    if (!ReadMagnification() || m_canvas == nullptr || !m_canvas->HasPicture()) {
        return;
    }
    m_useNominal = false;
    m_canvas->SetCalibrationFlag();
    // One calibration per window.
    Button(IDC_CALIBRATE)->setEnabled(false);
    m_canvas->SetTool(MeasureTool::Line, ToolMode::Measuring);
    SetStatus(LoadText(txt::Straightline));
}

void CPhotoMeasureDlg::OnCalibrateFromSlide()
{
    m_useNominal = true;
    SetStatus(QString());
    const bool read = ReadMagnification();
    m_useNominal = false;
    if (!read || m_canvas == nullptr || !m_canvas->HasPicture()) {
        return;
    }
    // The scale a calibration line on the canvas would be measured with.
    const EditorSettings settings = m_canvas->CurrentSettings();
    const SlideScale scale{m_magnification, Calibration().current, 1.0, settings.values.scale,
                           settings.values.unit};
    if (RunSlideCalibration(this, QImage(m_picturePath), scale, m_parts.slideDialog)) {
        QCoreApplication::postEvent(this, new QEvent(WM_PHOTO_CALIBRATED));
    }
}

void CPhotoMeasureDlg::OnPhotoCalibrated()
{
    const double result = Calibration().lastResult;
    m_calibratedEdit->setText(CalibrationText(result));
    ReadMagnification();
    if (m_parts.mainWindow != nullptr) {
        QCoreApplication::postEvent(m_parts.mainWindow, new QEvent(WM_CALIBRATION_DONE));
    }
    CalibrationFile(m_parts.calibrationFile).Store(MagnificationText(m_magnificationEdit->text()), result);
}

void CPhotoMeasureDlg::OnNominalChanged()
{
    const QString nominal = MagnificationText(m_magnificationEdit->text());
    if (nominal.isEmpty()) {
        return;
    }
    QString stored;
    CalibrationFile(m_parts.calibrationFile).Lookup(nominal, stored);
    m_calibratedEdit->setText(stored);
}
