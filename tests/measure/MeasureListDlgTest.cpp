// The measurement list dialog driven as the user drives it: tabs, rows, clicks on
// rows, Delete and Delete all, and what the canvas is told.
#include "MeasureListFixture.h"
#include "measure/CMeasureListDlg.h"
#include "measure/ListColumnTexts.h"
#include "measure/MeasureListIds.h"
#include "platform/text/TextLookup.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class MeasureListDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A drawing-only line first: list positions and serials differ from the start.
        AddShape(list, PhotoKind::Line, 0, {""}, 7);
        AddShape(list, PhotoKind::Line, 1, {"1.000"}, 7)->unitTexts = {"mm"};
        AddShape(list, PhotoKind::Rectangle, 2, {"3.000", "4.000", "12.000"})->unitTexts = {"mm", "mm",
                                                                                            "mm2"};
        AddContinuousLine(list, 3, {"1.50", "2.25"})->unitTexts = {"mm", "mm"};
        AddShape(list, PhotoKind::Text, 0, {"note"}, 2);
        AddShape(list, PhotoKind::ThreePointCircle, 4, {"1.000", "6.283", "3.142"}, 5)->unitTexts = {
            "mm", "mm", "mm2"};
        for (int i = 0; i < 4; ++i) {
            list.NextSerial();
        }
        dlg = new CMeasureListDlg(list, nullptr);
        dlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg));
    }
    void TearDown() override { delete dlg.data(); }

    QStringList Row(int row) const
    {
        QStringList cells;
        QTreeWidgetItem* item = dlg->Rows()->topLevelItem(row);
        for (int c = 0; item && c < dlg->Rows()->columnCount(); ++c) {
            cells << item->text(c);
        }
        return cells;
    }
    QStringList Header() const
    {
        QStringList titles;
        for (int c = 0; c < dlg->Rows()->columnCount(); ++c) {
            titles << dlg->Rows()->headerItem()->text(c);
        }
        return titles;
    }
    void ClickRow(int row)
    {
        QTreeWidget* rows = dlg->Rows();
        const QRect rect = rows->visualItemRect(rows->topLevelItem(row));
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }
    void ClickTab(int tab)
    {
        QTest::mouseClick(dlg->Tabs(), Qt::LeftButton, {}, dlg->Tabs()->tabRect(tab).center());
    }
    void Press(int id) { QTest::mouseClick(dlg->Button(id), Qt::LeftButton); }

    PhotoMeasureList list;
    QPointer<CMeasureListDlg> dlg;
};

} // namespace

TEST_F(MeasureListDlgTest, EachTabListsTheMeasuredShapesOfItsFamily)
{
    EXPECT_EQ(dlg->windowTitle(), "Properties");
    ASSERT_EQ(dlg->Tabs()->count(), kListTabs);
    EXPECT_EQ(dlg->Tabs()->tabText(0), "Line");
    EXPECT_EQ(Header(), (QStringList{"ID", "Name", "Length (mm)"}));
    ASSERT_EQ(dlg->Rows()->topLevelItemCount(), 2);
    EXPECT_EQ(Row(0), (QStringList{"1", "DL1", "1.000"}));
    EXPECT_EQ(Row(1), (QStringList{"3", "ML3", "3.750000"}));
    EXPECT_GE(dlg->Rows()->columnWidth(0), dlg->Rows()->viewport()->width() / 3);

    // A diameter circle's diameter under its own title; no title is cut.
    AddShape(list, PhotoKind::DiameterCircle, 6, {"2.000", "6.283", "3.142"})->unitTexts = {"mm", "mm",
                                                                                            "mm2"};
    ClickTab(3);
    EXPECT_EQ(dlg->CurrentTab(), 3);
    EXPECT_EQ(Header(), (QStringList{"ID", "Name", "Radius (mm)", "Diameter (mm)", "Circumference (mm)",
                                     "Area (mm2)"}));
    ASSERT_EQ(dlg->Rows()->topLevelItemCount(), 2);
    EXPECT_EQ(Row(0), (QStringList{"4", "TC4", "1.000", "", "6.283", "3.142"}));
    EXPECT_EQ(Row(1), (QStringList{"6", "DC6", "", "2.000", "6.283", "3.142"}));
    const QFontMetrics metrics(dlg->Rows()->header()->font());
    for (int c = 0; c < dlg->Rows()->columnCount(); ++c) {
        EXPECT_GT(dlg->Rows()->columnWidth(c), metrics.horizontalAdvance(Header()[c])) << c;
    }

    ClickTab(2);
    EXPECT_EQ(dlg->Rows()->topLevelItemCount(), 0);
    EXPECT_EQ(Header(), (QStringList{"ID", "Name", "Area"}));

    // A refresh message rebuilds the current tab from the list; a value in another
    // unit than its column's carries its own.
    ClickTab(1);
    AddShape(list, PhotoKind::Rectangle, 5, {"1.000", "1.000", "1.000"})->unitTexts = {"um", "um", "um2"};
    QCoreApplication::postEvent(dlg, new QEvent(WM_MEASURE_LIST_REFRESH));
    QCoreApplication::sendPostedEvents(dlg);
    ASSERT_EQ(dlg->Rows()->topLevelItemCount(), 2);
    EXPECT_EQ(Header(), (QStringList{"ID", "Name", "Width (mm)", "Height (mm)", "Area (mm2)"}));
    EXPECT_EQ(Row(1), (QStringList{"5", "RE5", "1.000 um", "1.000 um", "1.000 um2"}));
}

TEST_F(MeasureListDlgTest, AClickedRowSelectsItsOwnShapeAndDeleteRemovesIt)
{
    QSignalSpy changed(dlg, &CMeasureListDlg::listChanged);
    list.At(3)->selected = 1;
    ClickRow(0);
    // DL1 sits at position 1, behind the drawing-only line.
    EXPECT_EQ(dlg->RememberedPosition(), 1);
    EXPECT_EQ(list.At(1)->selected, 1);
    EXPECT_EQ(list.At(0)->selected, 0);
    EXPECT_EQ(list.At(3)->selected, 0);
    EXPECT_EQ(changed.count(), 1);

    Press(IDC_LIST_DELETE);
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.At(0)->serial, 0);
    EXPECT_EQ(list.At(1)->namePrefix, "RE");
    EXPECT_EQ(dlg->RememberedPosition(), -1);
    EXPECT_EQ(changed.count(), 2);
    ASSERT_EQ(dlg->Rows()->topLevelItemCount(), 1);
    EXPECT_EQ(Row(0)[1], "ML3");

    // Moved on with the keys: the highlighted row's shape goes, not the one clicked.
    AddShape(list, PhotoKind::Line, 5, {"5.000"}, 7);
    dlg->Refresh();
    ClickRow(0);
    QTest::keyClick(dlg->Rows(), Qt::Key_Down);
    Press(IDC_LIST_DELETE);
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.At(2)->namePrefix, "ML");
    EXPECT_EQ(list.At(4)->namePrefix, "TC");
    EXPECT_EQ(changed.count(), 4);

    // Nothing remembered: Delete does nothing at all.
    Press(IDC_LIST_DELETE);
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(changed.count(), 4);
}

TEST_F(MeasureListDlgTest, DeleteAllEmptiesTheListOnlyWithARowSelectedButAlwaysRestartsTheNumbers)
{
    QSignalSpy changed(dlg, &CMeasureListDlg::listChanged);
    Press(IDC_LIST_DELETE_ALL);
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(list.SerialCounter(), 0);
    EXPECT_EQ(changed.count(), 0);

    list.NextSerial();
    ClickTab(4);
    ClickTab(3);
    ClickRow(0);
    Press(IDC_LIST_DELETE_ALL);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.NextSerial(), 1);
    EXPECT_EQ(dlg->Rows()->topLevelItemCount(), 0);
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(MeasureListDlgTest, ClosingTheDialogDeletesIt)
{
    dlg->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dlg.isNull());
}

TEST_F(MeasureListDlgTest, TitleAndColumnsSpeakTheUsersLanguage)
{
    SetLanguageFilePath(PELORA_SOURCE_DIR "/lang/Japanese932.ini");
    CMeasureListDlg japanese(list, nullptr);
    const QStringList withUnits = LocalizedColumnTitles({"Area (mm²)", "Width/Height", "Identity"});
    SetLanguageFilePath(QString());
    EXPECT_EQ(japanese.windowTitle(), "プロパティ");
    EXPECT_EQ(japanese.Rows()->headerItem()->text(0), "ID");
    EXPECT_EQ(japanese.Rows()->headerItem()->text(1), "名前");
    EXPECT_EQ(japanese.Rows()->headerItem()->text(2), "長さ (mm)"); // the unit of its values
    // Units and words the file does not translate stay as they are.
    EXPECT_EQ(withUnits, (QStringList{"面積 (mm²)", "幅/高さ", "Identity"}));
}
