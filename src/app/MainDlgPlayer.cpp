// The video player, opened from the files strip on the selected video.
#include "app/CMainDlg.h"
#include "files/CVideoPlayerDlg.h"
#include "files/FilesStripController.h"

void CMainDlg::RunPlayer(const QString& path)
{
    CVideoPlayerDlg player(this);
    player.SetPath(path);
    player.SetSelectionCheck([this] { return !m_strip->SelectedPath().isEmpty(); });
    player.DoModal();
}
