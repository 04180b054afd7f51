// The window widgets: what each button, menu, tooltip and timer delivers.
#include "widgets/CBitmapButton.h"
#include "widgets/CMenuXP.h"
#include "widgets/CToolTipCtrl.h"
#include "widgets/CommandTable.h"
#include "widgets/WindowTimers.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

TEST(BitmapButton, SizedToPictureAndReportsItsIdWhateverTheLook)
{
    CBitmapButton button(1005, "button_1005", QSize(29, 29));
    EXPECT_EQ(button.size(), QSize(29, 29));
    QSignalSpy spy(&button, &CBitmapButton::commandClicked);
    button.SetActive(true);
    button.click();
    button.click();
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 1005);
    // A plain push button keeps the look its owner set.
    EXPECT_TRUE(button.IsActive());
    button.setEnabled(false);
    button.click();
    EXPECT_EQ(spy.count(), 2);
}

TEST(BitmapButton, LatchingButtonFlipsBeforeItReports)
{
    CLatchButton button(1195, "button_1195", QSize(25, 24));
    std::vector<bool> seen;
    QObject::connect(&button, &CBitmapButton::commandClicked, [&] { seen.push_back(button.IsActive()); });
    button.click();
    button.click();
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST(MenuXP, PositionsCountSeparatorsAndCommandsComeFromSubmenusOnce)
{
    CMenuXP menu;
    menu.AppendItem(32776, "Open...");
    menu.AppendSeparator();
    menu.AppendItem(32777, "Save As...");
    CMenuXP* languages = menu.AppendPopup("Change language");
    languages->AppendItem(387, "English(English)");
    languages->AppendItem(32841, "Italian(Italy)");

    EXPECT_EQ(menu.ItemCount(), 4);
    EXPECT_FALSE(menu.SetItemText(1, "not a separator"));
    EXPECT_TRUE(menu.SetItemText(2, "Save as"));
    EXPECT_EQ(menu.ItemAt(2)->text(), "Save as");
    EXPECT_EQ(CMenuXP::CommandOf(menu.ItemAt(3)), -1);
    EXPECT_EQ(languages->Background(), QColor(0xEEEEEE));

    EXPECT_TRUE(menu.SetItemTextById(32841, "Italiano"));
    EXPECT_EQ(menu.FindItem(32841)->text(), "Italiano");
    EXPECT_EQ(menu.FindItem(4711), nullptr);

    menu.CheckItem(387, true);
    EXPECT_TRUE(menu.FindItem(387)->isChecked());
    menu.CheckItem(387, false);
    EXPECT_FALSE(menu.FindItem(387)->isChecked());

    QSignalSpy spy(&menu, &CMenuXP::commandChosen);
    menu.FindItem(32841)->trigger();
    menu.FindItem(32776)->trigger();
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 32841);
    EXPECT_EQ(spy.at(1).at(0).toInt(), 32776);
}

TEST(ToolTipCtrl, ShowsTheToolUnderTheCursorAfterTheDelayAndSkipsHiddenTools)
{
    QWidget owner;
    owner.resize(200, 100);
    auto* shown = new QWidget(&owner);
    shown->setGeometry(10, 10, 30, 30);
    auto* hidden = new QWidget(&owner);
    hidden->setGeometry(60, 10, 30, 30);
    owner.show();
    hidden->hide();

    CToolTipCtrl tips(&owner);
    tips.SetDelay(1);
    tips.AddTool(shown, "Camera");
    tips.AddTool(hidden, "Preview");
    EXPECT_EQ(tips.ToolCount(), 2);
    EXPECT_EQ(tips.ToolText(hidden), "Preview");

    tips.TrackPosition(shown->mapToGlobal(QPoint(5, 5)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return tips.ShownText() == "Camera"; }, 1000));
    tips.TrackPosition(hidden->mapToGlobal(QPoint(5, 5)));
    EXPECT_TRUE(tips.ShownText().isEmpty());

    tips.DelAllTools();
    EXPECT_EQ(tips.ToolCount(), 0);
    EXPECT_TRUE(tips.ToolText(shown).isEmpty());
}

namespace {
struct Window {
    std::vector<int> calls;
    void A() { calls.push_back(1); }
    void B() { calls.push_back(2); }
};
} // namespace

TEST(CommandTable, DispatchesByIdAndRangesAndRefusesUnknownIds)
{
    CommandTable<Window> table;
    table.Add(1005, &Window::A);
    table.AddRange(32825, 32834, &Window::B);
    Window w;
    EXPECT_TRUE(table.Dispatch(w, 1005));
    EXPECT_TRUE(table.Dispatch(w, 32830));
    EXPECT_FALSE(table.Dispatch(w, 32835));
    EXPECT_EQ(w.calls, (std::vector<int>{1, 2}));
}

TEST(WindowTimers, RestartKillAndReportById)
{
    QObject owner;
    std::vector<int> fired;
    WindowTimers timers(&owner, [&](int id) { fired.push_back(id); });
    timers.SetTimer(1001, 5000);
    timers.SetTimer(1001, 1); // restarting replaces the period
    EXPECT_EQ(timers.Interval(1001), 1);
    timers.SetTimer(1002, 1);
    timers.KillTimer(1002);
    EXPECT_FALSE(timers.IsActive(1002));
    EXPECT_EQ(timers.Interval(1002), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !fired.empty(); }, 1000));
    EXPECT_EQ(fired.front(), 1001);
    EXPECT_TRUE(std::find(fired.begin(), fired.end(), 1002) == fired.end());
}
