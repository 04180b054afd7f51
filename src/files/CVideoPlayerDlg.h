#pragma once
// The video player: a modal window that plays one recorded clip, with seven
// transport buttons and a position bar that shows (only shows) where the clip
// is. A clip that cannot be opened leaves the window up with its buttons, and
// nothing plays.
#include "files/CClipPlayback.h"
#include "widgets/CommandTable.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <map>

class CBitmapButton;
class CToolTipCtrl;
class QSlider;
class WindowTimers;

class CVideoPlayerDlg : public QDialog {
    Q_OBJECT
public:
    explicit CVideoPlayerDlg(QWidget* parent = nullptr);
    ~CVideoPlayerDlg() override;

    // The clip to play, set by the opener before the window is shown.
    void SetPath(const QString& path) { m_path = path; }
    // Whether the captured files list still has a video selected; Play plays only
    // then. Without a check, a set path counts as selected.
    void SetSelectionCheck(std::function<bool()> check) { m_hasSelection = std::move(check); }

    // Initialises the window when needed and runs it modally.
    int DoModal();
    // Lays the window out, opens the clip and shows its first picture; runs once.
    bool OnInitDialog();

    // Every button reaches its command here; false for an id that is not one.
    bool OnCommand(int id);
    void SetTimer(int id, int ms);
    void KillTimer(int id);
    bool IsTimerActive(int id) const;
    void OnTimer(int id);

    CClipPlayback& Playback() { return m_playback; }
    CBitmapButton* Button(int id) const;
    QSlider* PositionBar() const { return m_positionBar; }
    QWidget* VideoArea() const { return m_videoArea; }
    const CToolTipCtrl& ToolTips() const { return *m_toolTips; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    static CommandTable<CVideoPlayerDlg>& Commands();
    void LayOut();
    void CreateButtons();
    void CreateToolTips();
    void CenterOnScreen();
    void OpenClip();

    void OnPlay();
    void OnPause();
    void OnStop();
    void OnFirst();
    void OnBackward();
    void OnForward();
    void OnLast();
    void UpdateEnabling();
    void FollowPosition();
    void OnPlayerNotify();

    QString m_path;
    std::function<bool()> m_hasSelection;
    CClipPlayback m_playback;
    QWidget* m_videoArea = nullptr;
    QSlider* m_positionBar = nullptr;
    std::map<int, CBitmapButton*> m_buttons;
    CToolTipCtrl* m_toolTips = nullptr;
    WindowTimers* m_timers = nullptr;
    bool m_initialised = false;
};
