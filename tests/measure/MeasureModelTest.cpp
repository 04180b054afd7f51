// Measurement lists: ownership, serials and the two code sets.
#include "measure/MeasureFactory.h"
#include "measure/MeasureList.h"

#include <gtest/gtest.h>
#include <type_traits>

namespace {

CMeasureShape* AddNumbered(PhotoMeasureList& list, PhotoKind kind)
{
    auto shape = std::make_unique<CMeasureShape>();
    shape->namePrefix = InfoOf(kind)->namePrefix;
    shape->serial = list.NextSerial();
    shape->labelShown = 1;
    return list.Append(kind, std::move(shape));
}

QString Name(const CMeasureShape* shape)
{
    return shape->namePrefix + QString::number(shape->serial);
}

} // namespace

TEST(MeasureList, DeletingKeepsSerialsAndTheCounterGoesOn)
{
    PhotoMeasureList list;
    for (int i = 0; i < 3; ++i) {
        AddNumbered(list, PhotoKind::Line);
    }
    EXPECT_EQ(list.RemoveAt(1), 1);
    EXPECT_EQ(list.RemoveAt(5), 0);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(Name(list.At(0)), "DL1");
    EXPECT_EQ(Name(list.At(1)), "DL3");
    EXPECT_EQ(Name(AddNumbered(list, PhotoKind::Line)), "DL4");

    list.At(0)->selected = 1;
    list.At(2)->selected = 1;
    list.ClearSelection();
    EXPECT_EQ(list.At(0)->selected + list.At(1)->selected + list.At(2)->selected, 0);

    list.Clear();
    list.ResetSerial();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(Name(AddNumbered(list, PhotoKind::RadiusCircle)), "RC1");
    EXPECT_EQ(list.At(-1), nullptr);
}

TEST(MeasureList, CodeSetsStayApart)
{
    // The two sets share numbers but not meanings; each list reads codes by its own set.
    static_assert(!std::is_same_v<PhotoMeasureList, LiveMeasureList>);
    PhotoMeasureList photo;
    LiveMeasureList live;
    photo.Append(PhotoKind::Polygon, std::make_unique<CMeasureShape>());
    live.Append(LiveKind::Polygon, std::make_unique<CMeasureShape>());
    EXPECT_EQ(photo.At(0)->kind, 7);
    EXPECT_EQ(live.At(0)->kind, 4);
    EXPECT_EQ(photo.KindAt(0), PhotoKind::Polygon);
    EXPECT_EQ(live.KindAt(0), LiveKind::Polygon);
    EXPECT_STREQ(InfoOf(LiveKind(3))->namePrefix, "PL");
    EXPECT_STREQ(InfoOf(PhotoKind(3))->namePrefix, "RE");
    EXPECT_EQ(InfoOf(LiveKind::Arc)->symbols.size(), 3u);

    // Codes outside the set are refused.
    EXPECT_EQ(photo.Append(PhotoKind(11), std::make_unique<CMeasureShape>()), nullptr);
    EXPECT_EQ(photo.Append(PhotoKind(0), std::make_unique<CMeasureShape>()), nullptr);
    EXPECT_EQ(photo.Count(), 1);
}

TEST(MeasureList, UndoAndRedoMoveObjectsWithoutCopying)
{
    LiveMeasureList objects, redo;
    for (int i = 0; i < 3; ++i) {
        auto shape = std::make_unique<CMeasureShape>();
        shape->serial = objects.NextSerial();
        objects.Append(LiveKind::Line, std::move(shape));
    }
    CMeasureShape* last = objects.At(2);
    redo.Append(objects.Take(objects.Count() - 1));
    redo.Append(objects.Take(objects.Count() - 1));
    objects.Append(redo.Take(redo.Count() - 1));
    ASSERT_EQ(objects.Count(), 2);
    EXPECT_EQ(objects.At(1)->serial, 2);
    EXPECT_EQ(redo.At(0), last);
    EXPECT_FALSE(objects.Take(9));
    EXPECT_EQ(objects.Append(LiveMeasureList::Detached()), nullptr);
}

TEST(MeasureTools, ToolsCreateTheirKinds)
{
    PhotoKind kind{};
    ASSERT_TRUE(KindOfTool(MeasureTool::Angle, kind));
    EXPECT_EQ(kind, PhotoKind::ThreePointAngle);
    ASSERT_TRUE(KindOfTool(MeasureTool::FourPointAngle, kind));
    EXPECT_EQ(kind, PhotoKind::FourPointAngle);
    EXPECT_FALSE(KindOfTool(MeasureTool::Select, kind));
    EXPECT_FALSE(KindOfTool(MeasureTool::None, kind));
    EXPECT_EQ(InfoOf(PhotoKind::ThreePointCircle)->anchorIndex, 4);
    EXPECT_EQ(InfoOf(PhotoKind::Polygon)->anchorRule, AnchorRule::LastPoint);
}

TEST(MeasureFactory, ModesDecideNumberLabelAndTexts)
{
    MeasureStyle style;
    style.penWidth = 3;
    style.lineColor = 0x00FF00;
    style.labelFontSize = 65;
    MeasureTexts texts;
    texts.values = QStringList{"1.000", "6.283", "3.142"};
    texts.units = QStringList{"mm", "mm", "mm2"};
    PhotoMeasureList list;

    const CMeasureShape* measured = AddMeasurement(list, PhotoKind::RadiusCircle, style, ToolMode::Measuring,
                                                   {{0, 0}, {10, 0}, {5, 5}}, texts);
    ASSERT_NE(measured, nullptr);
    EXPECT_EQ(measured->namePrefix + QString::number(measured->serial), "RC1");
    EXPECT_EQ(measured->labelShown, 1);
    EXPECT_EQ(measured->valueTexts, texts.values);
    EXPECT_EQ(measured->penWidth, 3);
    EXPECT_EQ(measured->labelLineHeight, 72);

    const CMeasureShape* drawn = AddMeasurement(list, PhotoKind::RadiusCircle, style, ToolMode::DrawingOnly,
                                                {{0, 0}, {10, 0}, {5, 5}}, texts);
    EXPECT_EQ(drawn->serial, 0);
    EXPECT_EQ(drawn->labelShown, 0);
    EXPECT_EQ(drawn->valueTexts, (QStringList{"", "", ""}));
    EXPECT_EQ(drawn->unitTexts, (QStringList{"", "", ""}));

    MeasureTexts words;
    words.values = QStringList{"cell wall"};
    const CMeasureShape* note =
        AddMeasurement(list, PhotoKind::Text, style, ToolMode::Measuring, {{5, 5}, {65, 65}}, words);
    EXPECT_EQ(note->serial, 0);
    EXPECT_EQ(note->labelShown, 0);
    EXPECT_EQ(note->valueTexts, QStringList{"cell wall"});

    // Neither the drawing nor the note took a number.
    EXPECT_EQ(AddMeasurement(list, PhotoKind::Line, style, ToolMode::Measuring, {}, texts)->serial, 2);
}
