#include "app/MainWindowControls.h"

#include "app/MainDlgClient.h"
#include "app/MainDlgLayout.h"
#include "capture/CaptureState.h"
#include "measure/Calibration.h"
#include "widgets/CBitmapButton.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>

using namespace maindlg;

namespace {
// The widest number the magnification box must show whole; the calibrated box
// shows the largest calibration the file keeps.
const char* const kWidestMagnification = "1000";
// The edit's own margins (2 each side), its 1-pixel border and the text cursor's
// pixel (a text filling the rest scrolls by it).
constexpr int kEditInnerMargins = 2 * 2 + 2 * 1 + 1;
constexpr qreal kSmallestEditPoints = 6.0;
constexpr qreal kEditPointStep = 0.5;

// A small number box: a thin border and no padding, and a font no larger than the
// desktop's that shows `widest` whole in it.
QLineEdit* NewNumberEdit(QWidget* parent, const QRect& place, const QString& widest)
{
    auto* edit = new QLineEdit(parent);
    edit->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid #7f7f7f; padding: 0px; "
                                       "background-color: white; color: black; }"));
    edit->setGeometry(place);
    QFont font = edit->font();
    const int room = place.width() - kEditInnerMargins;
    while (font.pointSizeF() > kSmallestEditPoints && QFontMetrics(font).horizontalAdvance(widest) > room) {
        font.setPointSizeF(font.pointSizeF() - kEditPointStep);
    }
    edit->setFont(font);
    return edit;
}

// Static texts: black on the window brush.
QLabel* NewStaticText(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setStyleSheet(QStringLiteral("QLabel { color: black; background-color: %1; }")
                             .arg(QColor(kStatusBrushColour).name()));
    return label;
}
} // namespace

MainWindowControls::MainWindowControls(QWidget& client, std::function<void(int)> command) : m_client(client)
{
    CreateButtons(command);
    CreateEditsAndTexts();
    QObject::connect(m_magnification, &QLineEdit::textChanged, &client,
                     [command] { command(IDC_MAGNIFICATION); });
}

void MainWindowControls::CreateButtons(const std::function<void(int)>& command)
{
    for (const ButtonPlace& place : kButtons) {
        auto* button =
            new CBitmapButton(place.id, QStringLiteral("button_%1").arg(place.id), place.size, &m_client);
        button->move(place.pos);
        button->setVisible(!place.neverShown);
        QObject::connect(button, &CBitmapButton::commandClicked, &m_client, command);
        m_buttons[place.id] = button;
    }
}

void MainWindowControls::CreateEditsAndTexts()
{
    m_magnification = NewNumberEdit(&m_client, kMagnificationRect, QString::fromLatin1(kWidestMagnification));
    m_magnification->setMaxLength(kMagnificationMaxChars);
    m_calibrationValue =
        NewNumberEdit(&m_client, kCalibrationValueRect, CalibrationText(kLargestCalibratedMagnification));
    m_calibrationValue->setReadOnly(true);

    m_resolutionText = NewStaticText(&m_client);
    // "2592*1944" reads left to right in every language.
    m_resolutionText->setLayoutDirection(Qt::LeftToRight);
    m_resolutionText->move(kResolutionTextPos);
    m_statusText = NewStaticText(&m_client);
    m_statusText->hide();
    m_recordSeconds = NewStaticText(&m_client);
    m_recordSeconds->setGeometry(kRecordSecondsRect);
    m_recordSeconds->hide();
}

CBitmapButton* MainWindowControls::Button(int id) const
{
    const auto it = m_buttons.find(id);
    return it == m_buttons.end() ? nullptr : it->second;
}

QWidget* MainWindowControls::Control(int id) const
{
    switch (id) {
    case IDC_MAGNIFICATION:
        return m_magnification;
    case IDC_CALIBRATION_VALUE:
        return m_calibrationValue;
    default:
        return Button(id);
    }
}

void MainWindowControls::Show(bool show)
{
    for (const ButtonPlace& place : kButtons) {
        Button(place.id)->setVisible(show && !place.neverShown);
    }
    m_magnification->setVisible(show);
    m_calibrationValue->setVisible(show);
    for (QLabel* text : {m_statusText, m_recordSeconds, m_resolutionText}) {
        text->setVisible(show && !text->text().isEmpty());
    }
}

void MainWindowControls::EnableButtons(bool enabled)
{
    for (const auto& [id, button] : m_buttons) {
        button->setEnabled(enabled);
    }
}

void MainWindowControls::ShowCaptureSize(const CaptureFormat& format, bool statusShown, bool fullScreen)
{
    if (!statusShown) {
        m_resolutionText->setText(QStringLiteral("%1*%2").arg(format.captureWidth).arg(format.captureHeight));
        m_resolutionText->adjustSize();
    }
    m_resolutionText->setVisible(!fullScreen && !m_resolutionText->text().isEmpty());
    // Where it is shown already: moving it back and forth here would paint again.
    m_resolutionText->move(
        MirroredInClient(m_client, QRect(kResolutionTextPos, m_resolutionText->size())).topLeft());
}
