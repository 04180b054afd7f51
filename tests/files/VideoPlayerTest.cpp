// The video player as the user meets it: its window, the transport buttons, the
// position bar, the end of a clip, and clips that cannot be played. Playback time
// comes from a clock the tests move; the timers are stepped by hand.
#include "common/TestClips.h"
#include "common/TestSupport.h"
#include "files/CVideoPlayerDlg.h"
#include "files/ClipVideoView.h"
#include "files/VideoPlayerIds.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CToolTipCtrl.h"

#include <QApplication>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>

using namespace player;
using testclips::Codec;

namespace {

class VideoPlayerTest : public ::testing::Test {
protected:
    QString WriteClip(const testclips::ClipPlan& plan, const QString& name = QStringLiteral("clip.avi"))
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(testclips::WriteClip(path, plan));
        return path;
    }

    // A player on `path`, initialised, on the test's clock.
    CVideoPlayerDlg& Open(const QString& path)
    {
        m_dlg = std::make_unique<CVideoPlayerDlg>();
        m_dlg->Playback().SetClock([this] { return m_now; });
        m_dlg->SetPath(path);
        m_dlg->OnInitDialog();
        return *m_dlg;
    }

    double Position() const
    {
        double seconds = -1;
        m_dlg->Playback().Position(&seconds);
        return seconds;
    }
    bool Down(int id) const { return m_dlg->Button(id)->IsActive(); }
    bool Enabled(int id) const { return m_dlg->Button(id)->isEnabled(); }
    int Bar() const { return m_dlg->PositionBar()->value(); }

    // Index of the picture on screen (-1 when none or unknown).
    int ShownPicture() const
    {
        const ClipVideoView* view = m_dlg->Playback().VideoWindow();
        if (!view || view->Picture().isNull()) {
            return -1;
        }
        const QImage& picture = view->Picture();
        return testclips::IndexOf(picture.pixel(picture.width() / 2, picture.height() / 2));
    }
    // Lets the player show pictures until picture `index` is on screen (at most 5 s).
    bool WaitForPicture(int index)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (ShownPicture() != index) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            m_dlg->OnTimer(IDT_KEEP_ALIVE);
            m_dlg->Playback().Present();
            QTest::qWait(1);
        }
        return true;
    }

    QTemporaryDir m_dir;
    double m_now = 1000.0;
    std::unique_ptr<CVideoPlayerDlg> m_dlg;
};

TEST_F(VideoPlayerTest, OpensPausedOnTheFirstPictureWithItsButtonsAndARangeInTenths)
{
    // 123 pictures at 10 per second: 12.3 s.
    CVideoPlayerDlg& dlg = Open(WriteClip(testclips::Clip(Codec::Mjpeg, 123)));
    EXPECT_EQ(dlg.windowTitle(), "Video Player");
    EXPECT_EQ(dlg.size(), kClientSize);
    EXPECT_EQ(dlg.VideoArea()->geometry(), kVideoAreaRect);
    EXPECT_EQ(dlg.PositionBar()->pos(), QPoint(40, 414));
    EXPECT_EQ(dlg.PositionBar()->minimum(), 0);
    EXPECT_EQ(dlg.PositionBar()->maximum(), 123);
    EXPECT_EQ(dlg.PositionBar()->pageStep(), 10);
    EXPECT_EQ(Bar(), 0);
    for (const ButtonPlace& place : kButtons) {
        ASSERT_NE(dlg.Button(place.id), nullptr) << place.id;
        EXPECT_EQ(dlg.Button(place.id)->pos(), place.pos) << place.id;
        EXPECT_EQ(dlg.Button(place.id)->size(), place.id == IDC_PLAY ? kPlayButtonSize : kButtonSize);
    }
    EXPECT_EQ(dlg.ToolTips().ToolText(dlg.Button(IDC_PLAY)), "Play");
    EXPECT_EQ(dlg.ToolTips().ToolText(dlg.Button(IDC_STOP)), "Stop");
    EXPECT_EQ(dlg.ToolTips().ToolText(dlg.Button(IDC_BACKWARD)), "Backward");
    EXPECT_EQ(dlg.ToolTips().ToolCount(), 7);

    EXPECT_EQ(dlg.Playback().GetState(), CClipPlayback::State::Paused);
    EXPECT_TRUE(dlg.IsTimerActive(IDT_KEEP_ALIVE));
    EXPECT_FALSE(dlg.IsTimerActive(IDT_POSITION));
    EXPECT_FALSE(Down(IDC_PLAY));
    EXPECT_TRUE(Enabled(IDC_PAUSE));
    EXPECT_FALSE(Enabled(IDC_FIRST));
    // The picture window covers the video area and shows the first picture.
    ASSERT_NE(dlg.Playback().VideoWindow(), nullptr);
    EXPECT_EQ(dlg.Playback().VideoWindow()->geometry(), QRect(QPoint(0, 0), kVideoAreaRect.size()));
    EXPECT_TRUE(WaitForPicture(0));
}

TEST_F(VideoPlayerTest, PlayFollowsThePositionAndStepsStayWithinTheClip)
{
    CVideoPlayerDlg& dlg = Open(WriteClip(testclips::Clip(Codec::MsVideo1, 100, 10, 10)));
    dlg.OnCommand(IDC_PLAY);
    EXPECT_TRUE(Down(IDC_PLAY));
    EXPECT_TRUE(dlg.IsTimerActive(IDT_POSITION));
    for (const int id : {IDC_FIRST, IDC_BACKWARD, IDC_FORWARD, IDC_LAST, IDC_PAUSE}) {
        EXPECT_TRUE(Enabled(id)) << id;
    }
    m_now += 1.5;
    dlg.OnTimer(IDT_POSITION);
    EXPECT_EQ(Bar(), 15);
    EXPECT_TRUE(WaitForPicture(15));

    // Backward at 1.5 s lands at 0 and pauses there.
    dlg.OnCommand(IDC_BACKWARD);
    EXPECT_NEAR(Position(), 0.0, 1e-9);
    EXPECT_TRUE(Down(IDC_PAUSE));
    EXPECT_EQ(dlg.Playback().GetState(), CClipPlayback::State::Paused);
    EXPECT_TRUE(WaitForPicture(0));
    m_now += 3.0;
    EXPECT_NEAR(Position(), 0.0, 1e-9);

    // Forward 1 s before the end lands on the end.
    dlg.Playback().Seek(9.0);
    dlg.OnCommand(IDC_FORWARD);
    EXPECT_NEAR(Position(), 10.0, 1e-9);
    EXPECT_TRUE(WaitForPicture(99));
    dlg.OnCommand(IDC_FORWARD);
    EXPECT_NEAR(Position(), 10.0, 1e-9);
    // Forward from 3.2 s moves exactly two seconds; Backward back again.
    dlg.Playback().Seek(3.2);
    dlg.OnCommand(IDC_FORWARD);
    EXPECT_NEAR(Position(), 5.2, 1e-9);
    EXPECT_TRUE(WaitForPicture(52));
    dlg.OnCommand(IDC_BACKWARD);
    EXPECT_NEAR(Position(), 3.2, 1e-9);

    dlg.OnCommand(IDC_LAST);
    EXPECT_NEAR(Position(), 10.0, 1e-9);
    dlg.OnCommand(IDC_FIRST);
    EXPECT_NEAR(Position(), 0.0, 1e-9);

    // Pause again runs on from where it stood; the bar follows once more.
    dlg.OnCommand(IDC_PAUSE);
    EXPECT_FALSE(Down(IDC_PAUSE));
    EXPECT_TRUE(dlg.IsTimerActive(IDT_POSITION));
    m_now += 0.7;
    dlg.OnTimer(IDT_POSITION);
    EXPECT_EQ(Bar(), 7);
    dlg.OnCommand(IDC_PAUSE);
    EXPECT_FALSE(dlg.IsTimerActive(IDT_POSITION));
    m_now += 5.0;
    EXPECT_NEAR(Position(), 0.7, 1e-9);

    // Play again releases Play, pauses, and takes the position buttons away.
    dlg.OnCommand(IDC_PLAY);
    EXPECT_FALSE(Down(IDC_PLAY));
    EXPECT_FALSE(Enabled(IDC_BACKWARD));
    EXPECT_TRUE(Enabled(IDC_PAUSE));
}

// The end of the clip stops it: both ways of noticing the end rewind to the start
// and raise both two-state buttons.
TEST_F(VideoPlayerTest, ReachingTheEndStopsRewindsAndRaisesBothButtons)
{
    CVideoPlayerDlg& dlg = Open(WriteClip(testclips::Clip(Codec::Raw, 20, 10)));
    const auto expectStopped = [&] {
        EXPECT_FALSE(Down(IDC_PLAY));
        EXPECT_FALSE(Down(IDC_PAUSE));
        EXPECT_EQ(Bar(), 0);
        EXPECT_NEAR(Position(), 0.0, 1e-9);
        EXPECT_EQ(dlg.Playback().GetState(), CClipPlayback::State::Paused);
        EXPECT_FALSE(dlg.IsTimerActive(IDT_POSITION));
        EXPECT_FALSE(Enabled(IDC_FORWARD));
    };

    // The position bar reaching its end (timer 1004).
    dlg.OnCommand(IDC_PLAY);
    m_now += 1.0;
    dlg.OnTimer(IDT_POSITION);
    EXPECT_EQ(Bar(), 10);
    m_now += 1.5;
    dlg.OnTimer(IDT_POSITION);
    expectStopped();
    EXPECT_TRUE(WaitForPicture(0));

    // The playback's own notice (0x8004), with Pause down from a step before.
    dlg.OnCommand(IDC_PLAY);
    dlg.OnCommand(IDC_FORWARD);
    EXPECT_TRUE(Down(IDC_PAUSE));
    dlg.OnCommand(IDC_PAUSE);
    m_now += 0.5;
    dlg.Playback().Present();
    EXPECT_TRUE(Down(IDC_PLAY)); // nothing posted before the end
    m_now += 1.0;
    dlg.Playback().Present();
    QCoreApplication::sendPostedEvents(&dlg, WM_PLAYER_NOTIFY);
    expectStopped();
    int code = 0;
    EXPECT_FALSE(dlg.Playback().NextEvent(&code)) << "the notice was taken";
}

TEST_F(VideoPlayerTest, EscapeAndEnterLeaveThePlayerOpen)
{
    CVideoPlayerDlg& dlg = Open(WriteClip(testclips::Clip(Codec::Mjpeg, 5)));
    dlg.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(&dlg, key);
        EXPECT_TRUE(dlg.isVisible()) << key;
        EXPECT_EQ(dlg.result(), 0) << key;
    }
    dlg.done(QDialog::Rejected);
    EXPECT_FALSE(dlg.isVisible());
}

// A damaged or missing clip: the window comes up with its buttons, nothing plays,
// and every button can be pressed.
TEST_F(VideoPlayerTest, ClipsThatCannotBeOpenedShowTheWindowAndPlayNothing)
{
    const QString good = WriteClip(testclips::Clip(Codec::Mjpeg, 20));
    const QByteArray bytes = testsupport::ReadFile(good);
    QByteArray garbage(2048, '\0');
    for (int i = 0; i < garbage.size(); ++i) {
        garbage[i] = char(i * 131 + 7);
    }
    const QString empty = m_dir.filePath("empty.avi");
    const QString noise = m_dir.filePath("garbage.avi");
    const QString headerOnly = m_dir.filePath("header.avi");
    ASSERT_TRUE(testsupport::WriteFile(empty, {}));
    ASSERT_TRUE(testsupport::WriteFile(noise, garbage));
    ASSERT_TRUE(testsupport::WriteFile(headerOnly, bytes.left(300)));
    for (const QString& path : {empty, noise, headerOnly, m_dir.filePath("missing.avi"), QString()}) {
        SCOPED_TRACE(path.toStdString());
        CVideoPlayerDlg& dlg = Open(path);
        EXPECT_FALSE(dlg.Playback().IsOpen());
        EXPECT_EQ(dlg.Playback().VideoWindow(), nullptr);
        EXPECT_EQ(dlg.PositionBar()->maximum(), 0);
        EXPECT_EQ(dlg.Button(IDC_PLAY)->isVisibleTo(&dlg), true);
        for (const ButtonPlace& place : kButtons) {
            dlg.OnCommand(place.id);
        }
        dlg.OnTimer(IDT_KEEP_ALIVE);
        dlg.OnTimer(IDT_POSITION);
        EXPECT_DOUBLE_EQ(Position(), -1.0) << "no position without a clip";
        EXPECT_EQ(Bar(), 0);
        int code = 0;
        EXPECT_FALSE(dlg.Playback().NextEvent(&code));
    }
}

// A clip cut short ends where its pictures end, although its header promises more.
TEST_F(VideoPlayerTest, ClipCutShortEndsWhereItsPicturesEnd)
{
    const QByteArray bytes = testsupport::ReadFile(WriteClip(testclips::Clip(Codec::Mjpeg, 40)));
    // Cut right before the eleventh picture's chunk: ten whole pictures remain.
    qsizetype at = bytes.indexOf("movi");
    for (int chunk = 0; chunk < 11 && at >= 0; ++chunk) {
        at = bytes.indexOf("00dc", at + 4);
    }
    ASSERT_GT(at, 0);
    const QString cut = m_dir.filePath("cut.avi");
    ASSERT_TRUE(testsupport::WriteFile(cut, bytes.left(at)));
    CVideoPlayerDlg& dlg = Open(cut);
    ASSERT_TRUE(dlg.Playback().IsOpen());
    // Without its index the length is guessed from the file's size: more than
    // the ten pictures left.
    EXPECT_GT(dlg.PositionBar()->maximum(), 12);

    // The clock moves on a tenth whenever the picture due is on screen.
    dlg.OnCommand(IDC_PLAY);
    const double start = m_now;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (Down(IDC_PLAY) && std::chrono::steady_clock::now() < deadline) {
        dlg.Playback().Present();
        QCoreApplication::sendPostedEvents(&dlg, WM_PLAYER_NOTIFY);
        if (ShownPicture() >= int((m_now - start) * 10 + 1e-6)) {
            m_now += 0.1;
        } else {
            QTest::qWait(1);
        }
    }
    EXPECT_FALSE(Down(IDC_PLAY));
    EXPECT_LT(m_now - start, 1.15);
    EXPECT_NEAR(Position(), 0.0, 1e-9);
}

} // namespace
