#include "measure/CSlideCalibrationDlg.h"

#include "measure/Calibration.h"
#include "measure/MeasureTexts.h"
#include "measure/NumberText.h"
#include "measure/SlideCalibrationIds.h"
#include "platform/desktop/MessageBox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr int kPreviewWidth = 600;
// The preview shows this many divisions around the ruler's middle, or this many pixels.
constexpr double kPreviewDivisions = 24;
constexpr double kPreviewMinPixels = 160;
const QColor kTickColour(230, 30, 30);

QLabel* NewLabel(const QString& text, int id, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::number(id));
    return label;
}

QString Number(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

} // namespace

QImage SlidePreview(const QImage& picture, const RulerFinding& finding, int width)
{
    if (finding.ticks.empty()) {
        return {};
    }
    const QPointF middle = finding.ticks[finding.ticks.size() / 2];
    const double side = std::max(kPreviewDivisions * finding.pitch, kPreviewMinPixels);
    const QRect area = QRectF(middle.x() - side / 2, middle.y() - side / 5, side, side * 2 / 5)
                           .toAlignedRect()
                           .intersected(picture.rect());
    if (area.isEmpty()) {
        return {};
    }
    const double zoom = double(width) / area.width();
    QImage shown = picture.copy(area)
                       .scaled(width, std::max(1, int(area.height() * zoom)), Qt::IgnoreAspectRatio,
                               Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_RGB32);
    QPainter p(&shown);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kTickColour, 1.5));
    p.scale(zoom, zoom);
    p.translate(-area.topLeft());
    p.setPen(QPen(kTickColour, 1.5 / zoom));
    for (const QPointF& t : finding.ticks) {
        if (area.contains(t.toPoint())) {
            p.drawLine(t - finding.tickHalfLength, t + finding.tickHalfLength);
        }
    }
    return shown;
}

CSlideCalibrationDlg::CSlideCalibrationDlg(const QImage& picture, const RulerFinding& finding,
                                           const SlideScale& scale, double divisionMm, QWidget* parent)
    : QDialog(parent), m_finding(finding), m_scale(scale)
{
    setObjectName(QString::number(IDD_SLIDE_CALIBRATION));
    setWindowTitle(LoadText(txt::SlideCaption));
    QLabel* preview = NewLabel(QString(), IDC_SLIDE_PICTURE, this);
    preview->setPixmap(QPixmap::fromImage(SlidePreview(picture, finding, kPreviewWidth)));
    const QString pitch =
        LoadText(txt::SlidePitch)
            .arg(Number(finding.pitch, 3), Number(finding.pitchLow, 3), Number(finding.pitchHigh, 3));
    QLabel* prompt = NewLabel(LoadText(txt::SlideDivisionLength), IDC_SLIDE_DIVISION_PROMPT, this);
    m_division = new QLineEdit(QString::number(divisionMm, 'g', 10), this);
    m_division->setObjectName(QString::number(IDC_SLIDE_DIVISION));
    prompt->setBuddy(m_division);
    m_magnification = NewLabel(QString(), IDC_SLIDE_MAGNIFICATION, this);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(LoadText(txt::OK), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(LoadText(txt::Cancel), QDialogButtonBox::RejectRole);
    ok->setObjectName(QString::number(IDC_SLIDE_OK));
    cancel->setObjectName(QString::number(IDC_SLIDE_CANCEL));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { OnCommand(IDC_SLIDE_OK); });
    connect(cancel, &QPushButton::clicked, this, [this] { OnCommand(IDC_SLIDE_CANCEL); });
    connect(m_division, &QLineEdit::textChanged, this, [this] { ShowMagnification(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(preview);
    layout->addWidget(NewLabel(pitch, IDC_SLIDE_PITCH, this));
    layout->addWidget(
        NewLabel(LoadText(txt::SlideDivisions).arg(finding.divisions), IDC_SLIDE_DIVISIONS, this));
    layout->addWidget(prompt);
    layout->addWidget(m_division);
    layout->addWidget(m_magnification);
    layout->addWidget(buttons);
    ShowMagnification();
    m_division->setFocus();
    m_division->selectAll();
}

int CSlideCalibrationDlg::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CSlideCalibrationDlg::OnCommand(int id)
{
    if (id == IDC_SLIDE_CANCEL) {
        reject();
        return;
    }
    if (id != IDC_SLIDE_OK) {
        return;
    }
    double result = 0.0;
    if (!SlideMagnification(m_scale, m_finding.pitch, DivisionMm(), result)) {
        ShowMessage(this, LoadText(txt::EnterDigital), LoadText(txt::MsgTitle), MB_OK);
        return;
    }
    accept();
}

double CSlideCalibrationDlg::DivisionMm() const
{
    return ParseLeadingNumber(m_division->text());
}

QString CSlideCalibrationDlg::MagnificationText() const
{
    return m_magnification->text();
}

void CSlideCalibrationDlg::ShowMagnification()
{
    double result = 0.0, low = 0.0, high = 0.0;
    const double mm = DivisionMm();
    if (!SlideMagnification(m_scale, m_finding.pitch, mm, result) ||
        !SlideMagnification(m_scale, m_finding.pitchLow, mm, low) ||
        !SlideMagnification(m_scale, m_finding.pitchHigh, mm, high)) {
        m_magnification->clear();
        return;
    }
    m_magnification->setText(
        LoadText(txt::SlideMagnification)
            .arg(Number(m_scale.magnification, 1), CalibrationText(result), Number(low, 2), Number(high, 2)));
}
