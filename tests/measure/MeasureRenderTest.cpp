// Drawing of measurements, judged by the pixels of rendered pictures.
#include "measure/MeasurePainting.h"
#include "measure/MeasureRenderer.h"
#include "measure/MeasureUnits.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <climits>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr ColorRef kBlue = 0xFF0000;
constexpr ColorRef kLabelBrown = 0x004080;
constexpr ColorRef kCanvasLabel = 0x008000;
constexpr uint8_t kNoAntialias = 3;

LogFontRecord CrispFont()
{
    LogFontRecord font = DefaultMeasureFont();
    font.height = -14;
    font.quality = kNoAntialias; // exact colours, so pixels can be compared
    return font;
}

std::unique_ptr<CMeasureShape> Shape(QList<QPoint> points, QStringList values = {}, QStringList units = {})
{
    auto shape = std::make_unique<CMeasureShape>();
    shape->lineColor = kBlue;
    shape->labelColor = kLabelBrown;
    shape->labelFont = CrispFont();
    shape->textFont = CrispFont();
    shape->labelLineHeight = 17;
    shape->points = std::move(points);
    shape->valueTexts = std::move(values);
    shape->unitTexts = std::move(units);
    return shape;
}

std::unique_ptr<CMeasureShape> MeasuredLine(QPoint from, QPoint to, QPoint anchor)
{
    auto shape = Shape({from, to, from + QPoint(0, -10), from + QPoint(0, 10), to + QPoint(0, -10),
                        to + QPoint(0, 10), anchor},
                       {"6.667"}, {"mm"});
    shape->namePrefix = "DL";
    shape->serial = 1;
    shape->labelShown = 1;
    return shape;
}

QImage Blank(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QImage Screen(const PhotoMeasureList& list, QSize size = QSize(640, 480),
              const ScreenRenderInput* extra = nullptr)
{
    QImage image = Blank(size);
    ScreenRenderInput input = extra ? *extra : ScreenRenderInput();
    input.clientSize = size;
    QPainter painter(&image);
    MeasureRenderer().DrawScreen(painter, list, input);
    return image;
}

QImage Saved(const PhotoMeasureList& list, QSize picture)
{
    QImage image = Blank(picture);
    SaveRenderInput input;
    input.ratio = SaveRatio(DisplayMode::Fitted, picture);
    input.pictureSize = picture;
    input.canvasLabelColor = kCanvasLabel;
    QPainter painter(&image);
    MeasureRenderer().DrawSaved(painter, list, input);
    return image;
}

QRgb Rgb(ColorRef color)
{
    return ColorFromRef(color).rgb();
}

int CountColour(const QImage& image, QRect area, QRgb colour)
{
    int count = 0;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

int CountInk(const QImage& image, QRect area)
{
    return area.width() * area.height() - CountColour(image, area, qRgb(255, 255, 255));
}

// The text as a plain painter writes it, top-left at (0, 0), on white.
QImage Reference(const QString& text, QSize size, ColorRef color = kLabelBrown)
{
    QImage image = Blank(size);
    QPainter painter(&image);
    const QFont font = FontFromLogFont(CrispFont());
    painter.setFont(font);
    painter.setPen(ColorFromRef(color));
    painter.drawText(QPoint(0, QFontMetrics(font).ascent()), text);
    return image;
}

} // namespace

TEST(MeasureRender, SavedLineIsScaledFromTheFittedPicture)
{
    PhotoMeasureList list;
    auto line = MeasuredLine(QPoint(100, 100), QPoint(200, 100), QPoint(300, 300));
    line->labelShown = 0;
    list.Append(PhotoKind::Line, std::move(line));
    const QImage saved = Saved(list, QSize(2592, 1944));
    int first = -1, last = -1;
    for (int x = 0; x < saved.width(); ++x) {
        if (saved.pixel(x, 405) == Rgb(kBlue)) {
            first = first < 0 ? x : first;
            last = x;
        }
    }
    // The 1-pixel pen is 4 pixels wide there, centred on the scaled points.
    EXPECT_NEAR(first, 405, 2);
    EXPECT_NEAR(last, 810, 2);
}

TEST(MeasureRender, SelectionIsGreenOnScreenAndRedWhenSaved)
{
    PhotoMeasureList list;
    list.Append(PhotoKind::Line, MeasuredLine(QPoint(20, 50), QPoint(200, 50), QPoint(40, 100)));
    list.Append(PhotoKind::Line, MeasuredLine(QPoint(20, 300), QPoint(200, 300), QPoint(40, 350)));
    list.At(0)->selected = 1;
    const QRect firstLine(20, 50, 150, 1), firstLabel(40, 100, 150, 40);
    const QRect secondLine(20, 300, 150, 1), secondLabel(40, 350, 150, 40);

    const QImage screen = Screen(list);
    EXPECT_EQ(CountColour(screen, firstLine, Rgb(kPureGreen)), 150);
    EXPECT_GT(CountColour(screen, firstLabel, Rgb(kPureGreen)), 20);
    EXPECT_EQ(CountColour(screen, firstLabel, Rgb(kLabelBrown)), 0);
    EXPECT_EQ(CountColour(screen, secondLine, Rgb(kBlue)), 150);
    EXPECT_GT(CountColour(screen, secondLabel, Rgb(kLabelBrown)), 20);

    // 640 x 480 pictures save at ratio 1, so the places stay the same.
    const QImage saved = Saved(list, QSize(640, 480));
    EXPECT_EQ(CountColour(saved, firstLine, Rgb(kPureRed)), 150);
    EXPECT_EQ(CountColour(saved, firstLabel, Rgb(kPureGreen)), 0);
    EXPECT_GT(CountColour(saved, firstLabel, Rgb(kLabelBrown)), 20);
    EXPECT_EQ(CountColour(saved, secondLine, Rgb(kBlue)), 150);
}

TEST(MeasureRender, SavedLabelsKeepTheNameAndGrowWithThePicture)
{
    PhotoMeasureList list;
    list.Append(PhotoKind::Line, MeasuredLine(QPoint(20, 20), QPoint(200, 20), QPoint(100, 100)));
    const QSize box(160, 17);
    const QImage name = Reference("DL1", box);
    const QImage value = Reference("L=6.667mm", box);

    const QImage screen = Screen(list);
    EXPECT_EQ(screen.copy(QRect(QPoint(100, 100), box)), name);
    EXPECT_EQ(screen.copy(QRect(QPoint(100, 117), box)), value);
    // Saved at ratio 1 the label is the one on screen, name line included.
    const QImage saved = Saved(list, QSize(640, 480));
    EXPECT_EQ(saved.copy(QRect(QPoint(100, 100), box)), name);
    EXPECT_EQ(saved.copy(QRect(QPoint(100, 117), box)), value);

    // On a 2592-wide picture (ratio 4.05) the label and the line grow with the points.
    const QImage big = Saved(list, QSize(2592, 1944));
    auto inkBox = [](const QImage& image, QRect area, QRgb colour) {
        QRect found;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (image.pixel(x, y) == colour) {
                    found |= QRect(x, y, 1, 1);
                }
            }
        }
        return found;
    };
    const QRect small = inkBox(screen, QRect(100, 100, 200, 60), Rgb(kLabelBrown));
    const QRect grown = inkBox(big, QRect(405, 405, 1000, 300), Rgb(kLabelBrown));
    EXPECT_NEAR(double(grown.width()) / small.width(), 4.05, 0.5);
    EXPECT_NEAR(double(grown.height()) / small.height(), 4.05, 0.5);
    EXPECT_EQ(CountColour(big, QRect(600, 70, 1, 20), Rgb(kBlue)), 4); // a 1-pixel pen, 4 wide

    // Drawing-only objects show no label at all.
    list.At(0)->labelShown = 0;
    EXPECT_EQ(CountInk(Screen(list), QRect(90, 90, 200, 80)), 0);
}

TEST(MeasureRender, ContinuousLineTotalOnlyWhenTheSumIsNotZero)
{
    auto polyline = [](QStringList values) {
        auto shape = Shape({{20, 20}, {200, 20}, {30, 60}, {200, 200}, {300, 150}}, values, {"mm", "mm"});
        shape->namePrefix = "ML";
        shape->serial = 2;
        shape->labelShown = 1;
        return shape;
    };
    const QRect above(300, 150 - 17, 200, 17), below(300, 150 + 17, 200, 17);
    PhotoMeasureList list;
    list.Append(PhotoKind::ContinuousLine, polyline({"1.250", "2.500"}));
    QImage screen = Screen(list);
    EXPECT_EQ(screen.copy(above.adjusted(0, 0, -40, 0)), Reference("ML2", QSize(160, 17)));
    EXPECT_EQ(screen.copy(below.adjusted(0, 0, -40, 0)), Reference("TL=3.750000mm", QSize(160, 17)));
    EXPECT_EQ(screen.copy(QRect(30, 60, 160, 17)), Reference("L=1.250mm", QSize(160, 17)));

    list.Clear();
    list.Append(PhotoKind::ContinuousLine, polyline({"0.000", "0.000"}));
    screen = Screen(list);
    EXPECT_EQ(CountInk(screen, above), 0);
    EXPECT_EQ(CountInk(screen, below), 0);
    EXPECT_GT(CountInk(screen, QRect(300, 150, 200, 17)), 0); // the segment's own value stays
}

TEST(MeasureRender, PolygonVertexOnTheEdgeLosesItsSegment)
{
    PhotoMeasureList list;
    // Vertices (30,30), (90,30), (60,0); the last vertex doubles as the label anchor.
    list.Append(PhotoKind::Polygon, Shape({{30, 30}, {90, 30}, {60, 0}, {60, 0}}));
    const QImage screen = Screen(list);
    EXPECT_EQ(screen.pixel(60, 30), Rgb(kBlue));                        // 0 -> 1
    EXPECT_EQ(CountInk(screen, QRect(73, 13, 5, 5)), 0);                // 1 -> 2 skipped: vertex 2 has y = 0
    EXPECT_GT(CountColour(screen, QRect(43, 13, 5, 5), Rgb(kBlue)), 0); // closing 2 -> 0 stays
}

TEST(MeasureRender, TextWrapsAtTheSurfaceEdge)
{
    const QString words = "alpha beta gamma delta";
    PhotoMeasureList list;
    auto text = Shape({{10, 10}, {70, 70}}, {words});
    text->textColor = kLabelBrown;
    list.Append(PhotoKind::Text, std::move(text));
    const QImage wide = Screen(list, QSize(640, 200));
    EXPECT_EQ(CountInk(wide, QRect(0, 30, 640, 170)), 0); // one line when there is room

    list.At(0)->points[0] = QPoint(560, 10);
    const QImage narrow = Screen(list, QSize(640, 200));
    EXPECT_GT(CountInk(narrow, QRect(560, 30, 80, 60)), 0); // further words go to the next lines
    EXPECT_EQ(CountInk(narrow, QRect(0, 0, 560, 200)), 0);
}

TEST(MeasureRender, PenStylesAndFonts)
{
    PhotoMeasureList list;
    for (int style = kPenSolid; style <= kPenDashDotDot; ++style) {
        auto line = MeasuredLine(QPoint(10, 20 + 40 * style), QPoint(400, 20 + 40 * style), QPoint(0, 0));
        line->labelShown = 0;
        line->penStyle = style;
        list.Append(PhotoKind::Line, std::move(line));
    }
    const QImage screen = Screen(list);
    EXPECT_EQ(CountColour(screen, QRect(10, 20, 390, 1), Rgb(kBlue)), 390);
    for (int style = kPenDash; style <= kPenDashDotDot; ++style) {
        const int inked = CountColour(screen, QRect(10, 20 + 40 * style, 390, 1), Rgb(kBlue));
        EXPECT_GT(inked, 50) << style;
        EXPECT_LT(inked, 350) << style;
    }

    LogFontRecord record = DefaultMeasureFont();
    record.height = -20;
    record.weight = 700;
    record.italic = 1;
    const QFont font = FontFromLogFont(record);
    EXPECT_EQ(font.pixelSize(), 20);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_TRUE(font.italic());
    EXPECT_EQ(font.family(), "Arial");
    record.height = 14; // cell height: the font's line fits in it
    EXPECT_LE(QFontMetrics(FontFromLogFont(record)).height(), 15);
}

TEST(MeasureRender, AngleMarksPendingLinesAndDiameterLabels)
{
    PhotoMeasureList list;
    // Arms east and north of the vertex: the mark runs clockwise from east through south
    // and west, radius 0.3 of the first arm.
    list.Append(PhotoKind::ThreePointAngle, Shape({{100, 50}, {50, 50}, {50, 0}, {0, 0}}));
    auto circle =
        Shape({{300, 100}, {260, 100}, {340, 100}, {300, 200}}, {"1", "2", "3"}, {"mm", "mm", "mm2"});
    circle->namePrefix = "DC";
    circle->serial = 1;
    circle->labelShown = 1;
    list.Append(PhotoKind::DiameterCircle, std::move(circle));

    const QList<QPoint> pending{{10, 300}, {100, 300}, {40, 320}};
    const QStringList pendingTexts{"1.500"};
    ScreenRenderInput input;
    input.pending.points = &pending;
    input.pending.valueTexts = &pendingTexts;
    input.pending.lineColor = kPureGreen;
    input.labelFont = CrispFont();
    input.labelColor = kLabelBrown;
    const QImage screen = Screen(list, QSize(640, 480), &input);
    EXPECT_GT(CountColour(screen, QRect(48, 63, 5, 4), Rgb(kBlue)), 0); // south
    EXPECT_GT(CountColour(screen, QRect(34, 48, 4, 5), Rgb(kBlue)), 0); // west
    EXPECT_EQ(CountInk(screen, QRect(58, 38, 5, 5)), 0);                // north-east stays open
    EXPECT_EQ(CountColour(screen, QRect(10, 300, 90, 1), Rgb(kPureGreen)), 90);
    EXPECT_EQ(screen.copy(QRect(40, 320, 160, 17)), Reference("1.500", QSize(160, 17)));
    EXPECT_EQ(screen.copy(QRect(300, 200, 160, 17)), Reference("DC1", QSize(160, 17)));

    // Saved, a diameter circle's label takes the canvas's label colour.
    const QImage saved = Saved(list, QSize(640, 480));
    EXPECT_EQ(saved.copy(QRect(300, 200, 160, 17)), Reference("DC1", QSize(160, 17), kCanvasLabel));
    EXPECT_EQ(saved.copy(QRect(300, 217, 160, 17)), Reference("D=1mm", QSize(160, 17), kCanvasLabel));
}

TEST(MeasureRender, ShortOrWildObjectsAreSafe)
{
    // Too few points for their kind: nothing is drawn, nothing is read past the end.
    PhotoMeasureList list;
    for (int code = 1; code <= 10; ++code) {
        auto shape = Shape({{20, 20}}, {"1.0"}, {});
        shape->labelShown = 1;
        shape->points.clear();
        list.Append(PhotoKind(code), std::move(shape));
    }
    EXPECT_EQ(CountInk(Screen(list), QRect(0, 0, 640, 480)), 0);
    EXPECT_EQ(CountInk(Saved(list, QSize(1600, 1200)), QRect(0, 0, 1600, 1200)), 0);

    // Far-off points and an undefined turn stay inside int arithmetic.
    list.Clear();
    auto rect = Shape({{INT_MAX - 5, INT_MAX - 5}, {INT_MIN + 5, 10}, {1, 1}});
    rect->rotation = std::numeric_limits<float>::quiet_NaN();
    list.Append(PhotoKind::Rectangle, std::move(rect));
    list.Append(PhotoKind::RadiusCircle, Shape({{INT_MAX, 0}, {INT_MIN, 0}, {1, 1}}));
    const QImage saved = Saved(list, QSize(2592, 1944));
    EXPECT_EQ(saved.size(), QSize(2592, 1944));
}
