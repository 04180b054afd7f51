// The time-lapse dialog and its worker, on a clock the tests drive.
#include "capture/CaptureState.h"
#include "capture/CaptureTexts.h"
#include "capture/dialogs/CTimerCaptureDlg.h"
#include "capture/dialogs/TimeLapseIds.h"
#include "platform/desktop/MessageBox.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Virtual time that moves only when the worker sleeps; it can hold the worker in
// its sleep at a chosen moment.
class SteppedClock : public TimeLapseClock {
public:
    explicit SteppedClock(QDateTime origin) : m_origin(std::move(origin)) {}
    QDateTime Now() override { return m_origin.addMSecs(Ms()); }
    std::int64_t ElapsedMs() override { return Ms(); }
    void Sleep(int ms) override
    {
        std::unique_lock lock(m_mutex);
        m_held = m_ms >= m_holdAt;
        m_wake.wait(lock, [&] { return m_ms < m_holdAt; });
        m_held = false;
        m_ms += ms + m_overrunMs;
    }
    // A busy machine: every sleep lasts longer than asked.
    void SetOverrun(int ms)
    {
        std::lock_guard lock(m_mutex);
        m_overrunMs = ms;
    }
    qint64 Ms() const
    {
        std::lock_guard lock(m_mutex);
        return m_ms;
    }
    void HoldAt(qint64 ms)
    {
        std::lock_guard lock(m_mutex);
        m_holdAt = ms;
    }
    bool IsHolding() const
    {
        std::lock_guard lock(m_mutex);
        return m_held;
    }
    void Release()
    {
        HoldAt(std::numeric_limits<qint64>::max());
        m_wake.notify_all();
    }

private:
    QDateTime m_origin;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    qint64 m_ms = 0;
    qint64 m_holdAt = std::numeric_limits<qint64>::max();
    int m_overrunMs = 0;
    bool m_held = false;
};

class TimeLapseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMessageResponder([this](const QString& text, const QString&, unsigned) {
            m_messages << text;
            return IDOK;
        });
    }
    void TearDown() override { SetMessageResponder(nullptr); }

    std::unique_ptr<CTimerCaptureDlg> Open(TimeLapseClock* clock)
    {
        TimeLapseSeams seams;
        seams.clock = clock;
        seams.requestStill = [this, clock] {
            std::lock_guard lock(m_mutex);
            m_pictures.push_back(clock->Now());
        };
        seams.liveFrame = [this] { return m_liveFrame; };
        auto dialog = std::make_unique<CTimerCaptureDlg>(txt::Start, nullptr, std::move(seams));
        dialog->show();
        return dialog;
    }
    TimeLapseFrameInfo m_liveFrame;

    std::vector<QDateTime> Pictures()
    {
        std::lock_guard lock(m_mutex);
        return m_pictures;
    }
    static void Type(CTimerCaptureDlg& dialog, int id, const QString& text)
    {
        dialog.Edit(id)->setText(text);
    }

    QStringList m_messages;
    std::mutex m_mutex;
    std::vector<QDateTime> m_pictures;
    const QDateTime m_origin{QDate(2026, 3, 1), QTime(10, 0, 0)};
};

TEST_F(TimeLapseTest, IntervalUnderThreeSecondsIsRefusedOnEveryPress)
{
    SteppedClock clock(m_origin);
    clock.HoldAt(0); // the worker waits in its first sleep
    auto dialog = Open(&clock);
    Type(*dialog, IDC_INTERVAL_SECONDS, "2");
    dialog->OnCommand(IDC_TIMER_START);
    EXPECT_EQ(m_messages, QStringList{"3 - 59"});
    EXPECT_FALSE(dialog->IsSeriesRunning());
    EXPECT_EQ(dialog->StartButton()->text(), "Start");

    Type(*dialog, IDC_INTERVAL_SECONDS, "3");
    dialog->OnCommand(IDC_TIMER_START);
    EXPECT_TRUE(dialog->IsSeriesRunning());
    EXPECT_EQ(dialog->StartButton()->text(), "Stop");

    // Pressing Stop with a short interval typed is refused too; the series goes on.
    Type(*dialog, IDC_INTERVAL_SECONDS, "2");
    dialog->OnCommand(IDC_TIMER_START);
    EXPECT_EQ(m_messages, QStringList({"3 - 59", "3 - 59"}));
    EXPECT_TRUE(dialog->IsSeriesRunning());
    // A whole minute with no seconds is long enough.
    Type(*dialog, IDC_INTERVAL_MINUTES, "1");
    Type(*dialog, IDC_INTERVAL_SECONDS, "0");
    dialog->OnCommand(IDC_TIMER_START);
    EXPECT_FALSE(dialog->IsSeriesRunning());
    EXPECT_EQ(m_messages.size(), 2);
    clock.Release();
}

TEST_F(TimeLapseTest, PastStartTimesAndOutOfRangeFieldsStartNothing)
{
    SteppedClock clock(m_origin.addSecs(30));
    clock.HoldAt(0);
    auto dialog = Open(&clock);
    EXPECT_EQ(dialog->Edit(IDC_START_YEAR)->text(), "2026");
    EXPECT_EQ(dialog->Edit(IDC_START_SECOND)->text(), "30");
    Type(*dialog, IDC_START_SECOND, "29");
    dialog->OnCommand(IDC_TIMER_START);
    EXPECT_EQ(m_messages, QStringList{"The time of your setting must be a future time!"});
    EXPECT_FALSE(dialog->IsSeriesRunning());

    Type(*dialog, IDC_START_SECOND, "30");
    Type(*dialog, IDC_START_MONTH, "13");
    dialog->OnCommand(IDC_TIMER_START);
    EXPECT_EQ(m_messages.last(), "Please enter an integer between 1 and 12.");
    EXPECT_FALSE(dialog->IsSeriesRunning());

    // Times no clock shows would be waited for in vain: the 31st of February (and
    // the 29th outside a leap year), hour 24, minute or second 60.
    Type(*dialog, IDC_START_YEAR, "2027");
    Type(*dialog, IDC_START_MONTH, "2");
    const struct {
        int id;
        const char* typed;
        const char* message;
    } impossible[] = {
        {IDC_START_DAY, "31", "Please enter an integer between 1 and 28."},
        {IDC_START_DAY, "29", "Please enter an integer between 1 and 28."},
        {IDC_START_HOUR, "24", "Please enter an integer between 0 and 23."},
        {IDC_START_MINUTE, "60", "Please enter an integer between 0 and 59."},
        {IDC_START_SECOND, "60", "Please enter an integer between 0 and 59."},
    };
    for (const auto& field : impossible) {
        Type(*dialog, field.id, field.typed);
        dialog->OnCommand(IDC_TIMER_START);
        EXPECT_EQ(m_messages.last(), field.message) << field.typed;
        EXPECT_FALSE(dialog->IsSeriesRunning()) << field.typed;
        EXPECT_EQ(dialog->StartButton()->text(), "Start");
        Type(*dialog, field.id, "1");
    }

    // The first differing field decides: next year in January is later than March.
    Type(*dialog, IDC_START_MONTH, "1");
    Type(*dialog, IDC_START_DAY, "31");
    Type(*dialog, IDC_START_HOUR, "23");
    Type(*dialog, IDC_START_SECOND, "59");
    dialog->OnCommand(IDC_TIMER_START);
    EXPECT_TRUE(dialog->IsSeriesRunning());
    EXPECT_EQ(m_messages.size(), 7);
    clock.Release();
}

TEST_F(TimeLapseTest, EightPicturesThreeSecondsApartThenTheDialogCloses)
{
    SteppedClock clock(m_origin);
    auto dialog = Open(&clock); // start time: the current second
    dialog->OnCommand(IDC_TIMER_START);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, 10000));

    const std::vector<QDateTime> pictures = Pictures();
    ASSERT_EQ(pictures.size(), 8u);
    EXPECT_LT(m_origin.msecsTo(pictures[0]), 1000); // at once, in the start second
    for (size_t i = 1; i < pictures.size(); ++i) {
        EXPECT_EQ(pictures[i - 1].msecsTo(pictures[i]), 3000) << i;
    }
    EXPECT_EQ(pictures.back().msecsTo(clock.Now()), 3000); // closed one interval after the last
    EXPECT_EQ(dialog->CompletedText()->text(), "8");
    EXPECT_FALSE(dialog->IsSeriesRunning());
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(TimeLapseTest, OverlongSleepsOnABusyMachineDoNotStretchTheIntervals)
{
    SteppedClock clock(m_origin);
    clock.SetOverrun(7); // 10 ms sleeps that last 17 ms
    auto dialog = Open(&clock);
    Type(*dialog, IDC_PICTURE_COUNT, "3");
    dialog->OnCommand(IDC_TIMER_START);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, 10000));

    const std::vector<QDateTime> pictures = Pictures();
    ASSERT_EQ(pictures.size(), 3u);
    for (size_t i = 1; i < pictures.size(); ++i) {
        const qint64 firstToThis = pictures[0].msecsTo(pictures[i]);
        EXPECT_GE(firstToThis, qint64(i) * 3000) << i;
        EXPECT_LT(firstToThis, qint64(i) * 3000 + 17) << i; // at most one sleep late, never drifting
    }
}

TEST_F(TimeLapseTest, StopMidSeriesResetsTheCountAndTakesNoMore)
{
    SteppedClock clock(m_origin);
    clock.HoldAt(4000); // after the second picture
    auto dialog = Open(&clock);
    dialog->OnCommand(IDC_TIMER_START);
    ASSERT_TRUE(QTest::qWaitFor([&] { return clock.IsHolding(); }, 5000));
    ASSERT_EQ(Pictures().size(), 2u);

    dialog->OnCommand(IDC_TIMER_START); // Stop
    clock.Release();
    QApplication::processEvents(); // the worker's count notices, now stale
    EXPECT_EQ(dialog->CompletedText()->text(), "0");
    EXPECT_EQ(dialog->StartButton()->text(), "Start");
    EXPECT_TRUE(dialog->isVisible());
    dialog->OnCommand(IDC_TIMER_CANCEL); // waits for the worker
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Pictures().size(), 2u);
}

TEST_F(TimeLapseTest, StartRightAfterStopRunsOnlyTheNewSeries)
{
    SteppedClock clock(m_origin);
    clock.HoldAt(4000);
    auto dialog = Open(&clock);
    Type(*dialog, IDC_PICTURE_COUNT, "3");
    dialog->OnCommand(IDC_TIMER_START);
    ASSERT_TRUE(QTest::qWaitFor([&] { return clock.IsHolding(); }, 5000));
    dialog->OnCommand(IDC_TIMER_START); // Stop while the worker sleeps

    // The old worker wakes only after the new series was asked for.
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        clock.Release();
    });
    Type(*dialog, IDC_START_SECOND, "4");
    dialog->OnCommand(IDC_TIMER_START);
    releaser.join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, 10000));
    EXPECT_EQ(Pictures().size(), 2u + 3u);
}

// Counts the worker's polls on virtual time and notes how much of it the worker
// still slept once its series had been stopped.
class PollCountingClock : public TimeLapseClock {
public:
    explicit PollCountingClock(QDateTime origin) : m_origin(std::move(origin)) {}
    QDateTime Now() override { return m_origin.addMSecs(m_ms.load()); }
    std::int64_t ElapsedMs() override { return m_ms.load(); }
    void Sleep(int ms) override
    {
        m_ms += ms;
        ++m_polls;
        if (m_stopped && m_stopped()) {
            m_sleptAfterStopMs += ms;
        }
        // Lets the window thread run between polls; the counts above are what is checked.
        std::this_thread::yield();
    }
    void WatchStop(std::function<bool()> stopped) { m_stopped = std::move(stopped); }
    int Polls() const { return m_polls.load(); }
    std::int64_t SleptAfterStopMs() const { return m_sleptAfterStopMs.load(); }

private:
    QDateTime m_origin;
    std::atomic<std::int64_t> m_ms{0};
    std::atomic<int> m_polls{0};
    std::atomic<std::int64_t> m_sleptAfterStopMs{0};
    std::function<bool()> m_stopped;
};

TEST_F(TimeLapseTest, CancelWhileWaitingForTheStartEndsWithinOnePollWithoutAPicture)
{
    PollCountingClock clock(m_origin);
    auto dialog = Open(&clock);
    clock.WatchStop([d = dialog.get()] { return !d->IsSeriesRunning(); });
    Type(*dialog, IDC_START_YEAR, "2027");
    dialog->OnCommand(IDC_TIMER_START);
    ASSERT_TRUE(dialog->IsSeriesRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return clock.Polls() > 3; }, 5000));
    QTest::keyClick(dialog.get(), Qt::Key_Escape); // returns once the worker has ended
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(dialog->IsSeriesRunning());
    // The worker noticed the cancel at its next poll: at most one more 5 ms sleep.
    EXPECT_LE(clock.SleptAfterStopMs(), TimeLapseWorker::kStartPollMs);
    EXPECT_TRUE(Pictures().empty());
}

TEST_F(TimeLapseTest, SizeEstimateFollowsTheCountAndTheSensorClass)
{
    m_liveFrame = {size_t(2592) * 1944 * 3, Class2592};
    SteppedClock clock(m_origin);
    auto dialog = Open(&clock);
    EXPECT_EQ(dialog->SizeEstimateText()->text(), "  24.00");

    // 10 pictures of 640 x 480 on the smallest sensor: 7.03 MB, the hundredths in two digits.
    m_liveFrame = {size_t(640) * 480 * 3, Class1280};
    Type(*dialog, IDC_PICTURE_COUNT, "10");
    QFocusEvent focusOut(QEvent::FocusOut);
    QApplication::sendEvent(dialog->Edit(IDC_PICTURE_COUNT), &focusOut);
    EXPECT_EQ(dialog->SizeEstimateText()->text(), "   7.03");
}

} // namespace
