// Opening a recorded video from the files strip plays it in the video player.
#include "MainDlgTestSupport.h"
#include "common/TestClips.h"
#include "files/CFileListView.h"
#include "files/CVideoPlayerDlg.h"
#include "files/ClipVideoView.h"
#include "files/VideoPlayerIds.h"
#include "widgets/CBitmapButton.h"

#include <QApplication>
#include <QDir>
#include <QTest>

using namespace maindlg;

namespace {

struct PlayerSeen {
    bool shown = false;
    bool open = false;
    bool playing = false;
    QString title;
    double position = 0.0; // seconds into the clip a moment after Play
    QSize picture;         // of the picture the player shows then
};

// Looks at the player once it is up, presses Play, and closes it.
testsupport::ActWhenShown LookAtPlayer(PlayerSeen& seen)
{
    return testsupport::ActWhenShown(
        [] { return qobject_cast<CVideoPlayerDlg*>(QApplication::activeModalWidget()); },
        [&seen](QWidget* widget) {
            auto* player = static_cast<CVideoPlayerDlg*>(widget);
            seen.shown = true;
            seen.title = player->windowTitle();
            seen.open = player->Playback().IsOpen();
            QTest::mouseClick(player->Button(player::IDC_PLAY), Qt::LeftButton);
            seen.playing = player->Button(player::IDC_PLAY)->IsActive() &&
                           player->Playback().GetState() == CClipPlayback::State::Running;
            // Playing means pictures move on, not only a pressed button.
            (void)QTest::qWaitFor(
                [&] { return player->Playback().Position(&seen.position) && seen.position > 0.2; });
            seen.picture = player->Playback().VideoWindow()->Picture().size();
            player->done(QDialog::Rejected);
        });
}

TEST_F(MainDlgTest, OpeningAVideoOfTheStripPlaysItInThePlayer)
{
    const QString videos = m_home.sub("home/Documents/Pelora files/Video");
    ASSERT_TRUE(QDir().mkpath(videos));
    ASSERT_TRUE(testclips::WriteClip(videos + "/Video_2024-01-05_101230_N0001.avi",
                                     testclips::Clip(testclips::Codec::MsVideo1, 30)));
    auto dlg = Start();
    QTest::mouseClick(dlg->Client(), Qt::LeftButton, {}, QPoint(120, 50));
    ASSERT_EQ(dlg->Page(), kPageVideos);
    auto* strip = static_cast<CFileListView*>(dlg->FileListArea());

    // A double click on the thumbnail.
    {
        PlayerSeen seen;
        const auto look = LookAtPlayer(seen);
        QTest::mouseDClick(strip, Qt::LeftButton, {}, strip->CellRect(0).center());
        ASSERT_TRUE(WaitFor([&] { return seen.shown; }));
        EXPECT_EQ(seen.title, "Video Player");
        EXPECT_TRUE(seen.open);
        EXPECT_TRUE(seen.playing);
        EXPECT_GT(seen.position, 0.2);
        EXPECT_EQ(seen.picture, QSize(32, 24)) << "the clip's own pictures are shown";
    }
    // File > Open on the selected video.
    {
        PlayerSeen seen;
        const auto look = LookAtPlayer(seen);
        dlg->OnCommand(ID_OPEN);
        ASSERT_TRUE(WaitFor([&] { return seen.shown; }));
        EXPECT_TRUE(seen.open);
        EXPECT_TRUE(seen.playing);
    }
    EXPECT_TRUE(m_messages.isEmpty());
}

} // namespace
