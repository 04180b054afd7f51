// The photo window's construction: controls, menus, tooltips, the canvas, and the
// window events (keys, close, maximize and restore, private messages).
#include "photo/CPhotoMeasureDlg.h"

#include "measure/CMeasureListDlg.h"
#include "measure/Calibration.h"
#include "measure/CalibrationFile.h"
#include "measure/MeasureTexts.h"
#include "photo/CMeasureCanvas.h"
#include "photo/PhotoIds.h"
#include "photo/PhotoPicture.h"
#include "platform/desktop/MessageBox.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CMenuXP.h"
#include "widgets/CToolTipCtrl.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWindowStateChangeEvent>

using namespace photo;

namespace {

constexpr int kButtonY = 4;
constexpr QSize kButtonSize(33, 24);
constexpr int kCanvasTop = 30;
constexpr QSize kClientSize(641, 515);
constexpr QSize kTallClientSize(641, 547);
constexpr QPoint kMagnificationPos(595, 3);
constexpr QPoint kMagnificationRestored(590, 4);
constexpr int kMagnificationFromRight = 51;
constexpr QSize kMagnificationSize(35, 22);
constexpr QRect kCalibratedRect(435, 2, 80, 26);
constexpr QPoint kStatusPos(410, 2);
constexpr QPoint kScaleLabelPos(515, 6);
constexpr int kScaleLabelFromRight = 130;

struct ButtonPlace {
    int id;
    int x;
    const TextKey* tip;
    bool hidden;
};

const ButtonPlace kButtonPlaces[] = {
    {IDC_OPEN, 8, &txt::TipOpen, false},         {IDC_SAVE, 45, &txt::TipSave_Photo, false},
    {IDC_PRINT, 82, &txt::Print, false},         {IDC_LIST, 117, &txt::TipProperty, false},
    {IDC_SELECT, 154, &txt::TipSelect, false},   {IDC_PAINT, 191, &txt::TipPaint, false},
    {IDC_MEASURE, 228, &txt::TipMeasure, false}, {IDC_PEN, 265, &txt::TipSetPen, false},
    {IDC_TEXT, 304, &txt::TipText, false},       {IDC_DELETE, 341, &txt::Delete, false},
    {IDC_MOVE, 378, &txt::TipMove, false},       {IDC_CALIBRATE, 365, &txt::Calibration, true},
};

struct MenuItem {
    int id;
    const TextKey* text;
    bool separatorAfter;
};

const MenuItem kMeasureItems[] = {
    {ID_M_LINE, &txt::TipStraightLine, false},   {ID_M_CONTINUOUS, &txt::TipContinuousLine, true},
    {ID_M_RECTANGLE, &txt::TiRectangle, false},  {ID_M_POLYGON, &txt::TipPolygon, true},
    {ID_M_RADIUS, &txt::TipRCircle, false},      {ID_M_DIAMETER, &txt::TipDCircle, false},
    {ID_M_THREE_CIRCLE, &txt::TipTCircle, true}, {ID_M_ANGLE, &txt::TipTAngle, false},
    {ID_M_FOUR_ANGLE, &txt::TipFAngle, false},
};

const MenuItem kPaintItems[] = {
    {ID_D_LINE, &txt::Straightline, false},
    {ID_D_ANGLE, &txt::Angle, false},
    {ID_D_RECTANGLE, &txt::Rectangle_PaintMenu, true},
    {ID_D_RADIUS, &txt::RadialCircle, false},
    {ID_D_DIAMETER, &txt::Diametercircle, false},
    {ID_D_THREE_CIRCLE, &txt::Threepointcircle, false},
};

} // namespace

CPhotoMeasureDlg::CPhotoMeasureDlg(const QString& picturePath, const PhotoWindowParts& parts, QWidget* parent)
    : QDialog(parent), m_picturePath(picturePath), m_parts(parts)
{
    setWindowTitle(LoadText(txt::PhotoMeasure));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    resize(kClientSize);
    BuildControls();
    BuildMenus();
    CxImage picture;
    if (!LoadPicture(m_picturePath, picture)) {
        // Nothing to measure on: the bare window, and the user is told why.
        ShowMessage(this, LoadText(txt::OpenFileFail), LoadText(txt::MsgTitle), MB_OK);
        return;
    }
    m_pictureSize = QSize(int(picture.GetWidth()), int(picture.GetHeight()));
    picture.Destroy();
    const QSize display = FittedDisplaySize(m_pictureSize);
    resize(display.height() > 480 ? kTallClientSize : kClientSize);
    CreateCanvas(m_picturePath, QRect(QPoint(0, kCanvasTop), display));
    const QString tag = MagnificationFromPictureName(m_picturePath);
    m_magnificationEdit->setText(tag);
    if (!tag.isEmpty()) {
        // When the picture opens, a magnification without a stored calibration is
        // shown as its own calibrated value.
        QString stored;
        m_calibratedEdit->setText(CalibrationFile(m_parts.calibrationFile).Lookup(tag, stored) ? stored
                                                                                               : tag);
    }
    connect(m_magnificationEdit, &QLineEdit::textChanged, this, [this] { OnNominalChanged(); });
    BuildToolTips();
    if (parent != nullptr) {
        move(parent->geometry().center() - rect().center());
    }
}

CPhotoMeasureDlg::~CPhotoMeasureDlg()
{
    delete m_listDialog;
    DestroyCanvas();
}

int CPhotoMeasureDlg::DoModal()
{
    return exec();
}

void CPhotoMeasureDlg::BuildControls()
{
    for (const ButtonPlace& place : kButtonPlaces) {
        auto* button =
            new CBitmapButton(place.id, QStringLiteral("photo_%1").arg(place.id), kButtonSize, this);
        button->move(place.x, kButtonY);
        button->setVisible(!place.hidden);
        // Moves without a button pressed reach the tooltip relay too: tips on hover.
        button->setMouseTracking(true);
        button->installEventFilter(this);
        connect(button, &CBitmapButton::commandClicked, this, [this](int id) { OnCommand(id); });
        m_buttons[place.id] = button;
    }
    m_buttons[IDC_PRINT]->setEnabled(static_cast<bool>(m_parts.print));
    m_frame = new QFrame(this);
    m_frame->setGeometry(QRect(QPoint(0, kCanvasTop), FittedDisplaySize(m_pictureSize)));
    m_magnificationEdit = new QLineEdit(this);
    m_magnificationEdit->setGeometry(QRect(kMagnificationPos, kMagnificationSize));
    m_calibratedEdit = new QLineEdit(this);
    m_calibratedEdit->setGeometry(kCalibratedRect);
    m_calibratedEdit->setReadOnly(true);
    m_calibratedEdit->setEnabled(false);
    // Status, "X" and "Scale:" are laid out but stay hidden.
    m_status = new QLabel(this);
    m_status->move(kStatusPos);
    m_status->hide();
    m_xLabel = new QLabel(QStringLiteral("X"), this);
    m_xLabel->hide();
    m_scaleLabel = new QLabel(LoadText(txt::Rate), this);
    m_scaleLabel->move(kScaleLabelPos);
    m_scaleLabel->hide();
}

void CPhotoMeasureDlg::BuildMenus()
{
    m_measureMenu = new CMenuXP(QString(), this);
    for (const MenuItem& item : kMeasureItems) {
        m_measureMenu->AppendItem(item.id, LoadText(*item.text));
        if (item.separatorAfter) {
            m_measureMenu->AppendSeparator();
        }
    }
    m_paintMenu = new CMenuXP(QString(), this);
    for (const MenuItem& item : kPaintItems) {
        m_paintMenu->AppendItem(item.id, LoadText(*item.text));
        if (item.separatorAfter) {
            m_paintMenu->AppendSeparator();
        }
    }
    m_measureMenu->AppendSeparator();
    QAction* slide = m_measureMenu->AppendItem(ID_M_SLIDE_CALIBRATION, LoadText(txt::SlideCalibrate));
    slide->setShortcut(QKeySequence(Qt::Key_F8));
    slide->setToolTip(LoadText(txt::SlideCalibrateTip));
    m_measureMenu->setToolTipsVisible(true);
    connect(m_measureMenu, &CMenuXP::commandChosen, this, [this](int id) { OnCommand(id); });
    connect(m_paintMenu, &CMenuXP::commandChosen, this, [this](int id) { OnCommand(id); });
}

void CPhotoMeasureDlg::BuildToolTips()
{
    m_toolTips = new CToolTipCtrl(this);
    for (const ButtonPlace& place : kButtonPlaces) {
        m_toolTips->AddTool(m_buttons[place.id], LoadText(*place.tip));
    }
}

QString CPhotoMeasureDlg::ToolTipText(int id) const
{
    return m_toolTips != nullptr ? m_toolTips->ToolText(Button(id)) : QString();
}

QString CPhotoMeasureDlg::ShownToolTip() const
{
    return m_toolTips != nullptr ? m_toolTips->ShownText() : QString();
}

CBitmapButton* CPhotoMeasureDlg::Button(int id) const
{
    const auto it = m_buttons.find(id);
    return it == m_buttons.end() ? nullptr : it->second;
}

QWidget* CPhotoMeasureDlg::Control(int id) const
{
    switch (id) {
    case IDC_MAGNIFICATION:
        return m_magnificationEdit;
    case IDC_CALIBRATED:
        return m_calibratedEdit;
    case IDC_FRAME:
        return m_frame;
    case IDC_STATUS:
        return m_status;
    case IDC_X_LABEL:
        return m_xLabel;
    case IDC_SCALE_LABEL:
        return m_scaleLabel;
    default:
        return Button(id);
    }
}

void CPhotoMeasureDlg::CreateCanvas(const QString& path, const QRect& frame)
{
    m_frame->setGeometry(frame);
    CanvasSetup setup;
    setup.path = path;
    setup.tool = MeasureTool::Select;
    setup.zoom = m_zoom;
    setup.magnification = m_magnification;
    setup.mode = m_mode;
    setup.settings = m_parts.settings;
    setup.calibrationDialog = m_parts.calibrationDialog;
    m_canvas = new CMeasureCanvas(setup, this);
    m_canvas->setGeometry(frame);
    m_canvas->show();
}

void CPhotoMeasureDlg::DestroyCanvas()
{
    if (m_canvas != nullptr && m_canvas->Editor().IsCalibrating()) {
        // Its line was never drawn: the calibration is offered again on the next picture.
        Button(IDC_CALIBRATE)->setEnabled(true);
    }
    delete m_canvas;
    m_canvas = nullptr;
}

QRect CPhotoMeasureDlg::FullFrame() const
{
    return QRect(0, kCanvasTop, width(), std::max(0, height() - kCanvasTop));
}

bool CPhotoMeasureDlg::event(QEvent* event)
{
    if (event->type() == WM_PHOTO_CALIBRATED) {
        OnPhotoCalibrated();
        return true;
    }
    if (event->type() == WM_CANVAS_CHANGED) {
        // Measurements added or changed after a save are unsaved again.
        m_saved = false;
        if (m_listDialog) {
            QCoreApplication::postEvent(m_listDialog, new QEvent(WM_MEASURE_LIST_REFRESH));
        }
        return true;
    }
    return QDialog::event(event);
}

bool CPhotoMeasureDlg::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (m_toolTips != nullptr && (type == QEvent::MouseMove || type == QEvent::MouseButtonPress ||
                                  type == QEvent::MouseButtonRelease)) {
        m_toolTips->TrackPosition(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    } else if (m_toolTips != nullptr && type == QEvent::Leave) {
        m_toolTips->Pop(); // off the button: the tip goes
    }
    return QDialog::eventFilter(watched, event);
}

void CPhotoMeasureDlg::keyPressEvent(QKeyEvent* event)
{
    // Escape and Enter neither close the window nor press a button.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F8 && event->modifiers() == Qt::NoModifier) {
        event->accept();
        OnCommand(ID_M_SLIDE_CALIBRATION);
        return;
    }
    QDialog::keyPressEvent(event);
}

void CPhotoMeasureDlg::reject()
{
    // Only a confirmed close ends the window (closeEvent).
}

void CPhotoMeasureDlg::closeEvent(QCloseEvent* event)
{
    if (ShowMessage(this, LoadText(txt::SureClose), LoadText(txt::MsgTitle), MB_YESNO) != IDYES) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_listDialog) {
        m_listDialog->close();
    }
    done(IDCANCEL);
}

void CPhotoMeasureDlg::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || m_undoingSizeChange) {
        return;
    }
    const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    const Qt::WindowStates now = windowState();
    if (now & Qt::WindowMinimized) {
        return;
    }
    const bool wasMaximized = (before & Qt::WindowMaximized) != 0;
    const bool isMaximized = (now & Qt::WindowMaximized) != 0;
    if (wasMaximized == isMaximized) {
        return;
    }
    const bool asked = m_sizeChangeAsked;
    m_sizeChangeAsked = false;
    if (!asked && HasUnsavedMeasurements()) {
        // The frame has already changed the size: put it back, and ask over the window
        // as the user sees it now. "No" then makes the change again, already asked.
        m_undoingSizeChange = true;
        setWindowState(before & ~Qt::WindowMinimized);
        m_undoingSizeChange = false;
        QMetaObject::invokeMethod(
            this, [this, isMaximized] { isMaximized ? RequestMaximize() : RequestRestore(); },
            Qt::QueuedConnection);
        return;
    }
    if (isMaximized) {
        OnMaximized();
    } else {
        OnRestored();
    }
}

void CPhotoMeasureDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_mode == DisplayMode::ActualSize) {
        m_magnificationEdit->move(width() - kMagnificationFromRight, kButtonY);
        m_scaleLabel->move(width() - kScaleLabelFromRight, kScaleLabelPos.y());
        m_frame->setGeometry(FullFrame());
        if (m_canvas != nullptr) {
            m_canvas->setGeometry(FullFrame());
        }
    }
}

bool CPhotoMeasureDlg::AskSaveFirst()
{
    if (!HasUnsavedMeasurements()) {
        return true;
    }
    if (ShowMessage(this, LoadText(txt::SureOpen), LoadText(txt::MsgTitle), MB_YESNO | MB_ICONWARNING) ==
        IDYES) {
        OnSave();
        return false;
    }
    return true;
}

void CPhotoMeasureDlg::RequestMaximize()
{
    // Already there: no change would come to clear the "asked" mark.
    if ((windowState() & Qt::WindowMaximized) || !AskSaveFirst()) {
        return;
    }
    m_sizeChangeAsked = true;
    showMaximized();
}

void CPhotoMeasureDlg::RequestRestore()
{
    if (!(windowState() & Qt::WindowMaximized)) {
        showNormal(); // from minimized: nothing of the canvas changes
        return;
    }
    if (!AskSaveFirst()) {
        return;
    }
    m_sizeChangeAsked = true;
    showNormal();
}

void CPhotoMeasureDlg::OnMaximized()
{
    m_magnificationEdit->move(width() - kMagnificationFromRight, kButtonY);
    RecreateCanvas(DisplayMode::ActualSize, FullFrame());
}

void CPhotoMeasureDlg::OnRestored()
{
    m_magnificationEdit->move(kMagnificationRestored);
    m_scaleLabel->move(kScaleLabelPos);
    RecreateCanvas(DisplayMode::Fitted, QRect(QPoint(0, kCanvasTop), FittedDisplaySize(m_pictureSize)));
}

void CPhotoMeasureDlg::RecreateCanvas(DisplayMode mode, const QRect& frame)
{
    if (m_canvas == nullptr) {
        return;
    }
    // A new canvas starts empty: the measurements of the old one are gone.
    DestroyCanvas();
    m_mode = mode;
    m_saved = false;
    CreateCanvas(m_picturePath, frame);
    update();
}
