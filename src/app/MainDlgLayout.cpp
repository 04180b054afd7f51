// Layout of the main window at its documented client positions.
#include "app/MainDlgLayout.h"

#include "app/CMainDlg.h"
#include "app/MainDlgClient.h"
#include "capture/CCaptureGraph.h"
#include "capture/CaptureState.h"
#include "widgets/Art.h"
#include "widgets/CBitmapButton.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

using namespace maindlg;

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
    const QPixmap background = ArtPixmap(QStringLiteral("background_main"), kClientSize);
    if (background.isNull()) {
        painter.fillRect(dirty, QColor(0x2b, 0x31, 0x3a));
    } else {
        painter.drawPixmap(dirty, background, dirty);
    }
    const QString page =
        m_owner.Page() == kPagePictures ? QStringLiteral("page_147") : QStringLiteral("page_146");
    painter.drawPixmap(kPageBitmapPos, ArtPixmap(page, kPageBitmapSize));
}

void CMainDlg::LayOut()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false);
    m_menuBar->setStyleSheet(QStringLiteral("QMenuBar { background-color: %1; color: black; }"
                                            "QMenuBar::item:selected { background-color: #c6d9f0; }")
                                 .arg(QColor(kMenuBackground).name()));
    m_client = new MainDlgClient(*this);

    m_graph = new CCaptureGraph(m_client);
    m_graph->Preview()->setObjectName(QStringLiteral("preview"));
    m_graph->Preview()->setGeometry(kPreviewRect);
    m_fileList = CreateFileList(m_client);
    CreateButtons();
    CreateEditsAndTexts();

    FitToClient();
}

void CMainDlg::FitToClient()
{
    // The client area is exactly the background's size, below the menu. Only the
    // minimum is fixed: desktops offer "maximize" (our way into full screen) only to
    // windows that could grow.
    setMinimumSize(NormalWindowSize());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(NormalWindowSize());
    PlaceClient();
}

void CMainDlg::CenterOnScreen()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frameRect = frameGeometry();
        frameRect.moveCenter(screen->availableGeometry().center());
        move(frameRect.topLeft());
    }
    m_savedGeometry = geometry();
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
    m_magnification = new QLineEdit(m_client);
    m_magnification->setGeometry(kMagnificationRect);
    m_magnification->setMaxLength(kMagnificationMaxChars);
    connect(m_magnification, &QLineEdit::textChanged, this, [this] { OnCommand(IDC_MAGNIFICATION); });

    m_calibrationValue = new QLineEdit(m_client);
    m_calibrationValue->setGeometry(kCalibrationValueRect);
    m_calibrationValue->setReadOnly(true);

    // Static texts: black on the window brush.
    const QString textStyle = QStringLiteral("QLabel { color: black; background-color: %1; }")
                                  .arg(QColor(kStatusBrushColour).name());
    m_resolutionText = new QLabel(m_client);
    m_resolutionText->setStyleSheet(textStyle);
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
    if (m_graph->statusMessage().isEmpty()) {
        m_resolutionText->setText(
            QStringLiteral("%1%2%3").arg(captureWidth.load()).arg("*").arg(captureHeight.load()));
        m_resolutionText->adjustSize();
    }
    m_resolutionText->setVisible(!m_fullScreen && !m_resolutionText->text().isEmpty());
    m_resolutionText->move(kResolutionTextPos);
}
