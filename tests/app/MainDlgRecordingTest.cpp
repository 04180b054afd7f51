// Recording from the main window on the virtual microscope: the AVI command and
// its dialog, the seconds counter up to the time limit, and the ways a recording
// ends early (the Preview command, an unplugged microscope).
#include "MainDlgTestSupport.h"
#include "capture/CaptureSession.h"
#include "capture/dialogs/CRecorderSettingDlg.h"
#include "capture/dialogs/RecorderSettingIds.h"
#include "common/AviReadBack.h"
#include "common/FileSizeLimit.h"
#include "files/CFileListView.h"
#include "platform/media/AviCompressors.h"
#include "platform/media/SoundPlayer.h"
#include "widgets/CBitmapButton.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace maindlg;

namespace {

class MainDlgRecordingTest : public MainDlgTest {
protected:
    void SetUp() override
    {
        MainDlgTest::SetUp();
        SetSoundPlayer([this](int id) { m_sounds.push_back(id); });
    }

    // Runs the AVI command and confirms its dialog with `limit` seconds.
    void StartRecording(CMainDlg& dialog, int limit = 10)
    {
        const testsupport::ActWhenShown confirm(
            [] { return qobject_cast<CRecorderSettingDlg*>(QApplication::activeModalWidget()); },
            [limit](QWidget* widget) {
                auto* settings = static_cast<CRecorderSettingDlg*>(widget);
                settings->TimeLimitEdit()->setText(QString::number(limit));
                settings->OnCommand(IDC_RECORD_OK);
            });
        dialog.OnCommand(IDC_AVI);
    }

    QString VideoFolder() const { return m_videoFolder; }
    QStringList Videos() const { return QDir(VideoFolder()).entryList({"*.avi"}, QDir::Files); }
    std::unique_ptr<CMainDlg> Start()
    {
        auto dialog = MainDlgTest::Start();
        m_videoFolder = dialog->VideoFolder();
        return dialog;
    }
    QString m_videoFolder;

    static QLabel* SecondsText(CMainDlg& dialog)
    {
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->geometry() == kRecordSecondsRect) {
                return label;
            }
        }
        return nullptr;
    }

    std::vector<int> m_sounds;
};

TEST_F(MainDlgRecordingTest, TimeLimitCountsToTenClosesTheFileAndSoundsTheEnd)
{
    auto dialog = Start();
    ASSERT_TRUE(WaitFor([&] { return dialog->CaptureGraph()->running(); }));
    StartRecording(*dialog, 10);
    ASSERT_TRUE(dialog->IsRecording());
    EXPECT_TRUE(dialog->Button(IDC_AVI)->IsActive());
    EXPECT_FALSE(dialog->Button(IDC_PREVIEW)->IsActive());
    EXPECT_TRUE(dialog->IsTimerActive(IDT_RECORD_SECONDS));
    dialog->KillTimer(IDT_RECORD_SECONDS); // the test gives the ticks
    EXPECT_EQ(dialog->Session().Format().captureWidth, 640);
    EXPECT_EQ(m_sounds, std::vector<int>{180});
    QTest::qWait(1500); // frames arrive

    QLabel* seconds = SecondsText(*dialog);
    ASSERT_NE(seconds, nullptr);
    for (int tick = 1; tick <= 9; ++tick) {
        dialog->OnTimer(IDT_RECORD_SECONDS);
        EXPECT_EQ(seconds->text(), QString::asprintf("%2d Seconds", tick));
        EXPECT_TRUE(dialog->IsRecording());
    }
    dialog->OnTimer(IDT_RECORD_SECONDS);
    EXPECT_EQ(seconds->text(), "10 Seconds");
    EXPECT_FALSE(dialog->IsRecording());
    EXPECT_FALSE(dialog->Button(IDC_AVI)->IsActive());
    EXPECT_TRUE(dialog->Button(IDC_PREVIEW)->IsActive());
    EXPECT_EQ(dialog->Session().Format().captureWidth, 2592); // back to the high size
    EXPECT_TRUE(dialog->IsTimerActive(IDT_RECORD_SECONDS));   // the half-second tick
    ASSERT_EQ(Videos().size(), 1);
    EXPECT_TRUE(Videos()[0].endsWith("_N0001.avi"));

    // The end sound comes with the tick after.
    EXPECT_EQ(m_sounds, std::vector<int>{180});
    dialog->OnTimer(IDT_RECORD_SECONDS);
    EXPECT_EQ(m_sounds, (std::vector<int>{180, 182}));
    EXPECT_FALSE(dialog->IsTimerActive(IDT_RECORD_SECONDS));
    EXPECT_TRUE(seconds->text().isEmpty());

    const AviReadBack back = ReadAvi(VideoFolder() + "/" + Videos()[0]);
    ASSERT_TRUE(back.opened);
    EXPECT_EQ(back.rate, 11); // 640 x 480, whatever the frame-rate field says
    EXPECT_EQ(back.codecTag, MakeFourCC('M', 'S', 'V', 'C'));
    EXPECT_GT(back.decoded, 5);
    EXPECT_EQ(back.first.size(), QSize(640, 480));

    // The new video is on the strip, selected.
    auto* strip = dialog->findChild<CFileListView*>();
    ASSERT_NE(strip, nullptr);
    strip->SetPage(PageVideos);
    QString selected;
    std::uint32_t flags = 0;
    ASSERT_TRUE(strip->GetSelectedPath(&selected, &flags));
    EXPECT_EQ(QFileInfo(selected).fileName(), Videos()[0]);
    EXPECT_TRUE(flags & FileItemSelected);
    EXPECT_TRUE(m_messages.isEmpty()) << m_messages.join("\n").toStdString();
}

TEST_F(MainDlgRecordingTest, FullScreenShowsNoSecondsAndF4StopsWithTheSameSound)
{
    auto dialog = Start();
    ASSERT_TRUE(WaitFor([&] { return dialog->CaptureGraph()->running(); }));
    QElapsedTimer sinceStart;
    sinceStart.start();
    StartRecording(*dialog);
    ASSERT_TRUE(dialog->IsRecording());
    dialog->KillTimer(IDT_RECORD_SECONDS);
    dialog->OnSysCommand(SC_MAXIMIZE);
    ASSERT_TRUE(dialog->IsFullScreen());
    dialog->OnTimer(IDT_RECORD_SECONDS);
    EXPECT_TRUE(SecondsText(*dialog)->text().isEmpty());
    EXPECT_FALSE(SecondsText(*dialog)->isVisible());
    dialog->OnSysCommand(SC_RESTORE);

    QTest::keyClick(dialog.get(), Qt::Key_F3); // nothing while recording
    EXPECT_TRUE(dialog->IsRecording());
    QTest::qWait(1000);
    const qint64 requestMs = sinceStart.elapsed();
    QTest::keyClick(dialog.get(), Qt::Key_F4);
    EXPECT_FALSE(dialog->IsRecording());
    EXPECT_FALSE(dialog->IsTimerActive(IDT_RECORD_SECONDS));
    EXPECT_EQ(m_sounds, (std::vector<int>{180, 180}));
    ASSERT_EQ(Videos().size(), 1);

    // The clip ends at the request: no frozen picture was added after it. Its first
    // frame came after the recording started, so it cannot be longer than the time
    // from the start to F4, plus the frame that was showing.
    const AviReadBack back = ReadAvi(VideoFolder() + "/" + Videos()[0]);
    ASSERT_TRUE(back.opened);
    ASSERT_GT(back.rate, 0);
    EXPECT_LE(back.timeline, requestMs * back.rate / 1000 + 1) << "requested after " << requestMs << " ms";
}

TEST_F(MainDlgRecordingTest, SizeKeysAreRefusedWhileRecordingAndTheClipKeepsMoving)
{
    auto dialog = Start();
    ASSERT_TRUE(WaitFor([&] { return dialog->CaptureGraph()->running(); }));
    StartRecording(*dialog);
    ASSERT_TRUE(dialog->IsRecording());
    dialog->KillTimer(IDT_RECORD_SECONDS);
    QTest::qWait(500);
    for (const int key : {Qt::Key_F12, Qt::Key_F11}) {
        QTest::keyClick(dialog.get(), Qt::Key(key));
        EXPECT_TRUE(dialog->IsRecording());
        EXPECT_EQ(dialog->Session().Format().captureWidth, 640) << "every frame keeps the recording's size";
    }
    ASSERT_EQ(m_messages.size(), 2);
    EXPECT_TRUE(m_messages[0].startsWith("The capture size cannot change while a recording runs"));
    QTest::qWait(1500);
    QTest::keyClick(dialog.get(), Qt::Key_F4);
    ASSERT_EQ(Videos().size(), 1);
    const AviReadBack back = ReadAvi(VideoFolder() + "/" + Videos()[0]);
    ASSERT_TRUE(back.opened);
    // Frames kept arriving after the refused keys: the clip holds more than the
    // half second before them.
    EXPECT_GT(back.decoded, back.rate / 2 + 2);
    EXPECT_EQ(dialog->Session().Format().captureWidth, 2592) << "back to the high size after the recording";
}

TEST_F(MainDlgRecordingTest, PreviewCommandAndUnplugEndTheRecordingWithAPlayableFile)
{
    auto dialog = Start();
    ASSERT_TRUE(WaitFor([&] { return dialog->CaptureGraph()->running(); }));
    StartRecording(*dialog);
    QTest::qWait(600);
    dialog->OnCommand(IDC_PREVIEW);
    EXPECT_FALSE(dialog->IsRecording());
    EXPECT_TRUE(dialog->Button(IDC_PREVIEW)->IsActive());
    EXPECT_FALSE(dialog->Button(IDC_AVI)->IsActive());
    ASSERT_EQ(Videos().size(), 1);

    StartRecording(*dialog);
    ASSERT_TRUE(dialog->IsRecording());
    QTest::qWait(600);
    m_microscope->Unplug();
    ASSERT_TRUE(WaitFor([&] { return !dialog->IsRecording(); }));
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].startsWith("Recording stopped: the microscope was unplugged."));
    EXPECT_FALSE(dialog->IsTimerActive(IDT_RECORD_SECONDS));
    ASSERT_EQ(Videos().size(), 2);
    for (const QString& video : Videos()) {
        const AviReadBack back = ReadAvi(VideoFolder() + "/" + video);
        EXPECT_TRUE(back.opened) << video.toStdString();
        EXPECT_GT(back.decoded, 0) << video.toStdString();
    }
}

TEST_F(MainDlgRecordingTest, AFullDiskEndsTheRecordingWithAMessageAndAPlayableFile)
{
    auto dialog = Start();
    ASSERT_TRUE(WaitFor([&] { return dialog->CaptureGraph()->running(); }));
    StartRecording(*dialog);
    ASSERT_TRUE(dialog->IsRecording());
    {
        // Files may not grow past 80 kB: the recording hits it within a few seconds.
        const FileSizeLimit limit(80 * 1024);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->IsRecording(); }, 20000));
    }
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].startsWith("Recording stopped: the video file could not be written."));
    EXPECT_TRUE(dialog->Button(IDC_PREVIEW)->IsActive());
    EXPECT_FALSE(dialog->IsTimerActive(IDT_RECORD_SECONDS));
    ASSERT_EQ(Videos().size(), 1);
    const AviReadBack back = ReadAvi(VideoFolder() + "/" + Videos()[0]);
    ASSERT_TRUE(back.opened);
    EXPECT_GT(back.decoded, 0);
    EXPECT_EQ(back.headerFrames, back.timeline);
}

TEST_F(MainDlgRecordingTest, CancelledDialogRecordsNothing)
{
    auto dialog = Start();
    ASSERT_TRUE(WaitFor([&] { return dialog->CaptureGraph()->running(); }));
    const testsupport::ActWhenShown cancel(
        [] { return qobject_cast<CRecorderSettingDlg*>(QApplication::activeModalWidget()); },
        [](QWidget* widget) { static_cast<CRecorderSettingDlg*>(widget)->OnCommand(IDC_RECORD_CANCEL); });
    dialog->OnCommand(IDC_AVI);
    EXPECT_FALSE(dialog->IsRecording());
    EXPECT_FALSE(dialog->IsTimerActive(IDT_RECORD_SECONDS));
    EXPECT_EQ(dialog->Session().Format().captureWidth, 2592);
    EXPECT_TRUE(Videos().isEmpty());
}

} // namespace
