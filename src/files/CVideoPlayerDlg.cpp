#include "files/CVideoPlayerDlg.h"

#include "files/FilesTexts.h"
#include "files/VideoPlayerIds.h"
#include "widgets/Art.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CToolTipCtrl.h"
#include "widgets/WindowTimers.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QSlider>
#include <climits>
#include <cmath>

using namespace player;

namespace {

// Tenths of a second on the position bar. Rounding takes care that a length of
// 12.3 s, held as 12.2999…, still gives 123.
int BarTicks(double seconds)
{
    const double ticks = std::floor(seconds * kBarTicksPerSecond + 1e-6);
    return ticks <= 0 ? 0 : ticks >= INT_MAX ? INT_MAX : int(ticks);
}

const char* const kBarStyle = "QSlider::groove:horizontal { height: 4px; background: #0b0f13;"
                              " border: 1px solid #2b3742; border-radius: 3px; }"
                              "QSlider::sub-page:horizontal { background: #6cc6f5; border-radius: 3px; }"
                              "QSlider::handle:horizontal { width: 8px; margin: -3px 0; background: #d6dee6;"
                              " border-radius: 4px; }";

struct ButtonTip {
    int id;
    const TextKey& text;
};
const ButtonTip kTips[] = {
    {IDC_PLAY, txt::TipPlay},   {IDC_STOP, txt::Stop},          {IDC_PAUSE, txt::TipPause},
    {IDC_FIRST, txt::TipFirst}, {IDC_BACKWARD, txt::TipReward}, {IDC_FORWARD, txt::TipForward},
    {IDC_LAST, txt::TipLast},
};

} // namespace

CVideoPlayerDlg::CVideoPlayerDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("videoPlayer"));
    m_timers = new WindowTimers(this, [this](int id) { OnTimer(id); });
}

CVideoPlayerDlg::~CVideoPlayerDlg()
{
    KillTimer(IDT_KEEP_ALIVE);
    m_playback.Release();
}

CommandTable<CVideoPlayerDlg>& CVideoPlayerDlg::Commands()
{
    static CommandTable<CVideoPlayerDlg> table = [] {
        CommandTable<CVideoPlayerDlg> t;
        t.Add(IDC_PLAY, &CVideoPlayerDlg::OnPlay);
        t.Add(IDC_STOP, &CVideoPlayerDlg::OnStop);
        t.Add(IDC_PAUSE, &CVideoPlayerDlg::OnPause);
        t.Add(IDC_FIRST, &CVideoPlayerDlg::OnFirst);
        t.Add(IDC_BACKWARD, &CVideoPlayerDlg::OnBackward);
        t.Add(IDC_FORWARD, &CVideoPlayerDlg::OnForward);
        t.Add(IDC_LAST, &CVideoPlayerDlg::OnLast);
        return t;
    }();
    return table;
}

int CVideoPlayerDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

bool CVideoPlayerDlg::OnInitDialog()
{
    if (m_initialised) {
        return true;
    }
    m_initialised = true;
    setWindowTitle(LoadText(txt::VideoPlayer));
    LayOut();
    m_playback.SetWindows(this, m_videoArea);
    OpenClip();
    // The first picture shows, paused.
    m_playback.Pause();
    SetTimer(IDT_KEEP_ALIVE, kTimerMs);
    return true;
}

void CVideoPlayerDlg::LayOut()
{
    setFixedSize(kClientSize);
    m_videoArea = new QWidget(this);
    m_videoArea->setObjectName(QStringLiteral("videoArea"));
    m_videoArea->setGeometry(kVideoAreaRect);

    m_positionBar = new QSlider(Qt::Horizontal, this);
    m_positionBar->setObjectName(QStringLiteral("positionBar"));
    m_positionBar->setGeometry(kPositionBarRect);
    m_positionBar->setPageStep(10);
    m_positionBar->setSingleStep(1);
    m_positionBar->setFocusPolicy(Qt::NoFocus);
    m_positionBar->setStyleSheet(QString::fromLatin1(kBarStyle));

    CreateButtons();
    CreateToolTips();
    UpdateEnabling();
    CenterOnScreen();
}

void CVideoPlayerDlg::CreateButtons()
{
    for (const ButtonPlace& place : kButtons) {
        const QSize size = place.id == IDC_PLAY ? kPlayButtonSize : kButtonSize;
        auto* button =
            new CBitmapButton(place.id, QStringLiteral("player_%1").arg(place.upBitmap), size, this);
        button->move(place.pos);
        connect(button, &CBitmapButton::commandClicked, this, [this](int id) { OnCommand(id); });
        // Moves over a button reach the tooltip without a mouse button held.
        button->setMouseTracking(true);
        button->installEventFilter(this);
        m_buttons[place.id] = button;
    }
}

void CVideoPlayerDlg::CreateToolTips()
{
    m_toolTips = new CToolTipCtrl(this);
    m_toolTips->SetDelay(100);
    for (const ButtonTip& tip : kTips) {
        m_toolTips->AddTool(Button(tip.id), LoadText(tip.text));
    }
}

void CVideoPlayerDlg::CenterOnScreen()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void CVideoPlayerDlg::OpenClip()
{
    double duration = 0;
    if (m_playback.Open(m_path)) {
        m_playback.Duration(&duration);
    }
    m_positionBar->setRange(0, BarTicks(duration));
    m_positionBar->setValue(0);
}

CBitmapButton* CVideoPlayerDlg::Button(int id) const
{
    const auto it = m_buttons.find(id);
    return it == m_buttons.end() ? nullptr : it->second;
}

bool CVideoPlayerDlg::OnCommand(int id)
{
    return m_initialised && Commands().Dispatch(*this, id);
}

void CVideoPlayerDlg::SetTimer(int id, int ms)
{
    m_timers->SetTimer(id, ms);
}

void CVideoPlayerDlg::KillTimer(int id)
{
    m_timers->KillTimer(id);
}

bool CVideoPlayerDlg::IsTimerActive(int id) const
{
    return m_timers->IsActive(id);
}

void CVideoPlayerDlg::OnTimer(int id)
{
    if (id == IDT_KEEP_ALIVE) {
        m_playback.Refresh();
    } else if (id == IDT_POSITION) {
        FollowPosition();
    }
}

void CVideoPlayerDlg::OnPlay()
{
    CBitmapButton* play = Button(IDC_PLAY);
    if (play->IsActive()) {
        play->SetActive(false);
        m_playback.Pause();
        KillTimer(IDT_POSITION);
    } else if (m_hasSelection ? m_hasSelection() : !m_path.isEmpty()) {
        play->SetActive(true);
        m_playback.RunWithNotify();
        SetTimer(IDT_POSITION, kTimerMs);
    }
    UpdateEnabling();
}

void CVideoPlayerDlg::OnPause()
{
    CBitmapButton* pause = Button(IDC_PAUSE);
    if (pause->IsActive()) {
        pause->SetActive(false);
        m_playback.Run();
        SetTimer(IDT_POSITION, kTimerMs);
    } else {
        KillTimer(IDT_POSITION);
        pause->SetActive(true);
        m_playback.Pause();
    }
}

void CVideoPlayerDlg::OnStop()
{
    Button(IDC_PLAY)->SetActive(false);
    Button(IDC_PAUSE)->SetActive(false);
    UpdateEnabling();
    m_playback.Pause();
    KillTimer(IDT_POSITION);
    m_positionBar->setValue(0);
    m_playback.Seek(0);
}

void CVideoPlayerDlg::OnFirst()
{
    m_playback.Seek(0);
}

void CVideoPlayerDlg::OnBackward()
{
    Button(IDC_PAUSE)->SetActive(true);
    m_playback.Pause();
    m_playback.StepBack();
}

void CVideoPlayerDlg::OnForward()
{
    Button(IDC_PAUSE)->SetActive(true);
    m_playback.Pause();
    m_playback.StepForward();
}

void CVideoPlayerDlg::OnLast()
{
    double duration = 0;
    if (m_playback.Duration(&duration)) {
        m_playback.Seek(duration);
    }
}

// Pause stays usable; the four position buttons work only while the clip plays.
void CVideoPlayerDlg::UpdateEnabling()
{
    const bool playing = Button(IDC_PLAY)->IsActive();
    Button(IDC_PAUSE)->setEnabled(true);
    for (const int id : {IDC_FIRST, IDC_BACKWARD, IDC_FORWARD, IDC_LAST}) {
        Button(id)->setEnabled(playing);
    }
}

void CVideoPlayerDlg::FollowPosition()
{
    double position = 0;
    m_playback.Position(&position);
    m_positionBar->setValue(BarTicks(position));
    if (m_positionBar->value() >= m_positionBar->maximum()) {
        OnStop();
    }
}

void CVideoPlayerDlg::OnPlayerNotify()
{
    int code = 0;
    if (m_playback.NextEvent(&code) && code == EC_COMPLETE) {
        OnStop();
    }
}

bool CVideoPlayerDlg::event(QEvent* event)
{
    if (event->type() == WM_PLAYER_NOTIFY) {
        OnPlayerNotify();
        return true;
    }
    return QDialog::event(event);
}

bool CVideoPlayerDlg::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        m_toolTips->TrackPosition(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void CVideoPlayerDlg::keyPressEvent(QKeyEvent* event)
{
    // Neither key closes the player.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CVideoPlayerDlg::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect dirty = event->rect();
    const QPixmap background = ArtPixmap(QStringLiteral("player_%1").arg(IDB_PLAYER_BACKGROUND), kClientSize);
    if (background.isNull()) {
        painter.fillRect(dirty, QColor(0x1e, 0x27, 0x30));
    } else {
        painter.drawPixmap(dirty, background, dirty);
    }
}
