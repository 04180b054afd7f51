// Layout of the main window at its documented client positions.
#include "app/MainDlgLayout.h"

#include "app/CMainDlg.h"
#include "app/MainDlgClient.h"
#include "app/MainMenus.h"
#include "capture/CaptureSession.h"
#include "files/CFileListView.h"
#include "files/FilesStripController.h"
#include "measure/Calibration.h"
#include "widgets/Art.h"
#include "widgets/CBitmapButton.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

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
} // namespace

MainDlgClient::MainDlgClient(CMainDlg& owner) : QWidget(&owner), m_owner(owner)
{
    resize(kClientSize);
}

void MainDlgClient::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect dirty = event->rect();
    if (m_owner.IsFullScreen()) {
        painter.fillRect(dirty, Qt::black);
        return;
    }
    QPixmap background = ArtPixmap(QStringLiteral("background_main"), kClientSize);
    if (background.isNull()) {
        painter.fillRect(dirty, QColor(0x2b, 0x31, 0x3a));
    } else {
        if (isRightToLeft()) {
            background = background.transformed(QTransform::fromScale(-1, 1));
        }
        painter.drawPixmap(dirty, background, dirty);
    }
    const QString page =
        m_owner.Page() == kPagePictures ? QStringLiteral("page_147") : QStringLiteral("page_146");
    painter.drawPixmap(MirroredInClient(*this, QRect(kPageBitmapPos, kPageBitmapSize)),
                       ArtPixmap(page, kPageBitmapSize));
    // Whoever changed the capture size (keys, recording, video settings), the
    // next repaint shows it.
    m_owner.UpdateResolutionText();
}

void CMainDlg::LayOut()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false);
    m_menuBar->setStyleSheet(QStringLiteral("QMenuBar { background-color: %1; color: black; }"
                                            "QMenuBar::item:selected { background-color: #c6d9f0; }")
                                 .arg(QColor(kMenuBackground).name()));
    m_client = new MainDlgClient(*this);
    m_menus = new MainMenus(*this, *m_menuBar, [this](int id) { OnCommand(id); });

    m_session = std::make_unique<CaptureSession>(m_client);
    CapturePreview* preview = m_session->Graph().Preview();
    preview->setObjectName(QStringLiteral("preview"));
    preview->setGeometry(kPreviewRect);
    FullScreenHost& host = *this;
    m_fullScreenMode = std::make_unique<FullScreenController>(*this, *m_menuBar, *m_session, host);
    m_strip = new FilesStripController(*this, m_pictureFolder, m_videoFolder, m_client, kFileListRect);
    m_strip->SetCaption(m_msgTitle);
    m_strip->SetHandOffs({[this] { QCoreApplication::postEvent(this, new QEvent(WM_OPEN_PICTURE)); },
                          [this] { QCoreApplication::postEvent(this, new QEvent(WM_OPEN_VIDEO)); },
                          [this](const QString& path) { OpenPhotoWindow(path); },
                          [this](const QString& path) { RunPlayer(path); }});
    m_fileList = m_strip->View();
    CreateButtons();
    CreateEditsAndTexts();
    WireLiveView();

    FitToClient();
}

void CMainDlg::CreateButtons()
{
    for (const ButtonPlace& place : kButtons) {
        auto* button =
            new CBitmapButton(place.id, QStringLiteral("button_%1").arg(place.id), place.size, m_client);
        button->move(place.pos);
        button->setVisible(!place.neverShown);
        connect(button, &CBitmapButton::commandClicked, this, [this](int id) { OnCommand(id); });
        m_buttons[place.id] = button;
    }
}

void CMainDlg::CreateEditsAndTexts()
{
    m_magnification = NewNumberEdit(m_client, kMagnificationRect, QString::fromLatin1(kWidestMagnification));
    m_magnification->setMaxLength(kMagnificationMaxChars);
    connect(m_magnification, &QLineEdit::textChanged, this, [this] { OnCommand(IDC_MAGNIFICATION); });

    m_calibrationValue =
        NewNumberEdit(m_client, kCalibrationValueRect, CalibrationText(kLargestCalibratedMagnification));
    m_calibrationValue->setReadOnly(true);

    // Static texts: black on the window brush.
    const QString textStyle = QStringLiteral("QLabel { color: black; background-color: %1; }")
                                  .arg(QColor(kStatusBrushColour).name());
    m_resolutionText = new QLabel(m_client);
    m_resolutionText->setStyleSheet(textStyle);
    // "2592*1944" reads left to right in every language.
    m_resolutionText->setLayoutDirection(Qt::LeftToRight);
    m_resolutionText->move(kResolutionTextPos);
    m_statusText = new QLabel(m_client);
    m_statusText->setStyleSheet(textStyle);
    m_statusText->hide();
    m_recordSeconds = new QLabel(m_client);
    m_recordSeconds->setStyleSheet(textStyle);
    m_recordSeconds->setGeometry(kRecordSecondsRect);
    m_recordSeconds->hide();
}

CBitmapButton* CMainDlg::Button(int id) const
{
    const auto it = m_buttons.find(id);
    return it == m_buttons.end() ? nullptr : it->second;
}

void CMainDlg::UpdateResolutionText()
{
    if (m_session->Graph().statusMessage().isEmpty()) {
        const CaptureFormat format = m_session->Format();
        m_resolutionText->setText(
            QStringLiteral("%1%2%3").arg(format.captureWidth).arg("*").arg(format.captureHeight));
        m_resolutionText->adjustSize();
    }
    m_resolutionText->setVisible(!IsFullScreen() && !m_resolutionText->text().isEmpty());
    // Where it is shown already: moving it back and forth here would paint again.
    m_resolutionText->move(
        MirroredInClient(*m_client, QRect(kResolutionTextPos, m_resolutionText->size())).topLeft());
}
