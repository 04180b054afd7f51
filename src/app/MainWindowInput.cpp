#include "app/MainWindowInput.h"

#include "app/MainDlgClient.h"
#include "app/MainDlgIds.h"
#include "files/FilesStripController.h"
#include "liveview/LiveMeasureFeature.h"
#include "widgets/CToolTipCtrl.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>

using namespace maindlg;

MainWindowInput::MainWindowInput(Parts parts) : m_parts(std::move(parts))
{
    QCoreApplication::instance()->installEventFilter(this);
}

MainWindowInput::~MainWindowInput()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool MainWindowInput::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != m_parts.window || m_parts.closing()) {
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return OnMouseEvent(watched, static_cast<QMouseEvent&>(*event));
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        return m_parts.offerKey(key->key(), key->modifiers()) || OnKeyDown(key->key());
    }
    default:
        return false;
    }
}

bool MainWindowInput::AlreadySeen(const QMouseEvent& event)
{
    const SeenEvent now{int(event.type()), event.timestamp(), event.globalPosition()};
    const bool seen = now.type == m_lastSeen.type && now.timestamp == m_lastSeen.timestamp &&
                      now.global == m_lastSeen.global;
    m_lastSeen = now;
    return seen;
}

bool MainWindowInput::OnMouseEvent(QObject* watched, QMouseEvent& event)
{
    if (AlreadySeen(event)) {
        return false;
    }
    // The preview area exists only in the framed window.
    if (!m_parts.fullScreen()) {
        m_parts.liveMeasure->OnMouseEvent(event);
    }
    const QPoint global = event.globalPosition().toPoint();
    if (event.type() != QEvent::MouseButtonDblClick) {
        m_parts.toolTips->TrackPosition(global);
    }
    if (event.type() == QEvent::MouseMove) {
        TrackPreviewHover(global);
    } else if (event.type() == QEvent::MouseButtonPress && event.button() == Qt::LeftButton) {
        OnLeftButtonDown(watched, global);
    } else if (event.type() == QEvent::MouseButtonDblClick && event.button() == Qt::LeftButton) {
        OnLeftDoubleClick(watched, global);
    } else if (event.type() == QEvent::MouseButtonPress && event.button() == Qt::RightButton) {
        OnRightButtonDown(watched, global);
    }
    return false;
}

bool MainWindowInput::OnKeyDown(int key)
{
    if (key == Qt::Key_Escape) {
        if (m_parts.cancelRunning()) {
            return true;
        }
        if (m_parts.fullScreen()) {
            QMetaObject::invokeMethod(this, m_parts.leaveFullScreen, Qt::QueuedConnection);
        }
        return true;
    }
    // Enter never closes the window either.
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void MainWindowInput::TrackPreviewHover(QPoint global)
{
    QWidget* preview = m_parts.preview;
    const bool inside = preview->rect().contains(preview->mapFromGlobal(global));
    if (inside != m_previewHover) {
        m_previewHover = inside;
        preview->setCursor(inside ? m_previewCursor : QCursor());
    }
}

void MainWindowInput::OnLeftButtonDown(QObject* watched, QPoint global)
{
    FilesStripController& strip = *m_parts.strip;
    if (strip.Contains(watched)) {
        strip.HitTest(global);
    }
    // The page tabs are painted on the window's background.
    QWidget& client = *m_parts.client;
    if (watched != &client) {
        return;
    }
    const QPoint point = MirroredInClient(client, client.mapFromGlobal(global));
    if (kPicturesTab.contains(point)) {
        SwitchPage(kPagePictures);
    } else if (kVideosTab.contains(point)) {
        SwitchPage(kPageVideos);
    }
}

void MainWindowInput::SwitchPage(int page)
{
    if (m_parts.strip->SwitchPage(page)) {
        m_parts.client->update(MirroredInClient(*m_parts.client, QRect(kPageBitmapPos, kPageBitmapSize)));
        m_parts.pageSwitched();
    }
    m_parts.strip->Refresh();
}

void MainWindowInput::OnLeftDoubleClick(QObject* watched, QPoint global)
{
    FilesStripController& strip = *m_parts.strip;
    if (strip.Contains(watched) && strip.HitTest(global)) {
        strip.RequestOpen(strip.SelectedPath());
    }
}

void MainWindowInput::OnRightButtonDown(QObject* watched, QPoint global)
{
    if (m_parts.strip->Contains(watched) && m_parts.strip->HitTest(global)) {
        m_parts.fileListMenu()->popup(global);
    }
}
