// The photo canvas: loading by name, display sizes, caption, saving with the
// measurements burned in, scrolling, the change notice and clean-up.
#include "PhotoTestSupport.h"
#include "measure/MeasureList.h"
#include "photo/PhotoIds.h"
#include "photo/PhotoPicture.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QScrollBar>
#include <gtest/gtest.h>

using namespace phototest;

namespace {

QColor PixelOf(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(PhotoCanvas, LoadsByTheLastThreeLetters)
{
    QTemporaryDir dir;
    ScriptedMessages messages;
    // Upper case counts; "jpeg" (four letters) and other names load nothing and say nothing.
    const QString upper = WritePicture(dir, "UPPER.BMP", QSize(320, 240));
    const QString jpeg = WritePicture(dir, "photo.jpg", QSize(320, 240));
    QFile::copy(jpeg, dir.filePath("photo.jpeg"));
    QFile::copy(upper, dir.filePath("picture.png"));
    EXPECT_TRUE(CanvasRig(upper).canvas->HasPicture());
    EXPECT_TRUE(CanvasRig(jpeg).canvas->HasPicture());
    EXPECT_FALSE(CanvasRig(dir.filePath("photo.jpeg")).canvas->HasPicture());
    EXPECT_FALSE(CanvasRig(dir.filePath("picture.png")).canvas->HasPicture());
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST(PhotoCanvas, DamagedOrCutPicturesAreRefusedWithAMessage)
{
    QTemporaryDir dir;
    const QByteArray bmp = Bytes(WritePicture(dir, "whole.bmp", QSize(640, 480)));
    const QByteArray jpg = Bytes(WritePicture(dir, "whole.jpg", QSize(640, 480)));
    ASSERT_GT(bmp.size(), 1000);
    ASSERT_GT(jpg.size(), 1000);
    WriteBytes(dir.filePath("cut.bmp"), bmp.left(bmp.size() / 2));
    WriteBytes(dir.filePath("cut.jpg"), jpg.left(jpg.size() / 2));
    WriteBytes(dir.filePath("header.bmp"), bmp.left(20));
    WriteBytes(dir.filePath("noise.jpg"), QByteArray(4096, '\x5a'));
    WriteBytes(dir.filePath("empty.bmp"), QByteArray());
    QByteArray huge = bmp;
    huge[22] = '\x7f'; // height far beyond the pixels present
    huge[23] = '\x7f';
    WriteBytes(dir.filePath("huge.bmp"), huge);
    for (const char* name :
         {"cut.bmp", "cut.jpg", "header.bmp", "noise.jpg", "empty.bmp", "huge.bmp", "missing.bmp"}) {
        ScriptedMessages messages;
        CanvasRig rig(dir.filePath(name));
        EXPECT_FALSE(rig.canvas->HasPicture()) << name;
        EXPECT_EQ(messages.texts, QStringList{"Can not Open file"}) << name;
        rig.canvas->grab(); // paints its grey background only
        EXPECT_EQ(rig.canvas->SaveWithMeasurements(dir.filePath("out.bmp")), 0);
    }
}

TEST(PhotoCanvas, FittedAndActualSizeSurfaces)
{
    QTemporaryDir dir;
    const struct {
        QSize picture;
        QSize fitted;
        double ratio;
    } cases[] = {
        {{1280, 1024}, {640, 512}, 2.0}, {{1280, 960}, {640, 480}, 2.0}, {{2592, 1944}, {640, 480}, 4.05},
        {{640, 480}, {640, 480}, 1.0},   {{1024, 768}, {640, 480}, 1.6}, {{400, 600}, {640, 480}, 0.625},
    };
    for (const auto& c : cases) {
        const QString path = WritePicture(dir, "p.bmp", c.picture);
        CanvasRig fitted(path);
        EXPECT_EQ(fitted.canvas->SurfaceSize(), c.fitted) << c.picture.width();
        EXPECT_DOUBLE_EQ(fitted.canvas->SaveRatio(), c.ratio) << c.picture.width();
        CanvasRig actual(path, DisplayMode::ActualSize);
        EXPECT_EQ(actual.canvas->SurfaceSize(), c.picture);
        EXPECT_EQ(actual.canvas->SaveRatio(), 1.0);
    }
}

TEST(PhotoCanvas, CaptionAndMagnificationTag)
{
    EXPECT_EQ(PictureBaseName("/a/Still_2024-05-01_153045_200X_N0001.bmp"),
              "Still_2024-05-01_153045_200X_N0001");
    EXPECT_EQ(PictureCaption("Still_2024-05-01_153045_200X_N0001"), "2024-05-01_153045_200X_N0001");
    EXPECT_EQ(PictureCaption("plain"), "plain");
    EXPECT_EQ(PictureMagnificationTag("/a/Still_2024-05-01_153045_200X_N0001.bmp"), "200");
    EXPECT_EQ(PictureMagnificationTag("/a/Still_2024-05-01_153045_N0001.bmp"), "");
    EXPECT_EQ(PictureMagnificationTag("/a/holiday.jpg"), "");

    QTemporaryDir dir;
    CanvasRig rig(WritePicture(dir, "Still_2024-05-01_153045_200X_N0001.bmp", QSize(640, 480)));
    EXPECT_EQ(rig.canvas->Caption(), "2024-05-01_153045_200X_N0001");
    EXPECT_EQ(rig.canvas->MagnificationTag(), "200");
    // The caption is written in white at the foot of the picture.
    const QImage shown = rig.canvas->grab().toImage();
    bool white = false;
    for (int x = 3; x < 60 && !white; ++x) {
        for (int y = 480 - 18; y < 480 && !white; ++y) {
            white = shown.pixelColor(x, y) == Qt::white;
        }
    }
    EXPECT_TRUE(white);
}

TEST(PhotoCanvas, SavingScalesEveryPointByTheSaveRatio)
{
    QTemporaryDir dir;
    ScriptedMessages messages;
    CanvasRig rig(WritePicture(dir, "big.bmp", QSize(2592, 1944)));
    rig.canvas->SetTool(MeasureTool::Line, ToolMode::DrawingOnly);
    Click(rig.canvas.get(), QPoint(100, 100));
    Click(rig.canvas.get(), QPoint(200, 100));
    ASSERT_EQ(SharedPhotoList().Count(), 1);

    const QString saved = dir.filePath("saved.BMP");
    ASSERT_EQ(rig.canvas->SaveWithMeasurements(saved), 1);
    const QImage image(saved);
    ASSERT_EQ(image.size(), QSize(2592, 1944));
    const int y = 405; // 100 x 4.05
    EXPECT_EQ(PixelOf(image, 406, y), QColor(Qt::blue));
    EXPECT_EQ(PixelOf(image, 808, y), QColor(Qt::blue));
    EXPECT_EQ(PixelOf(image, 395, y), QColor(Qt::white));
    EXPECT_EQ(PixelOf(image, 820, y), QColor(Qt::white));
    EXPECT_EQ(PixelOf(image, 600, y + 3), QColor(Qt::white));

    // JPEG by its name; any other ending writes nothing and fails.
    EXPECT_EQ(rig.canvas->SaveWithMeasurements(dir.filePath("saved.jpg")), 1);
    EXPECT_FALSE(QImage(dir.filePath("saved.jpg")).isNull());
    EXPECT_EQ(rig.canvas->SaveWithMeasurements(dir.filePath("saved.png")), 0);
    EXPECT_FALSE(QFile::exists(dir.filePath("saved.png")));
}

TEST(PhotoCanvas, SelectedObjectsAreGreenOnScreenAndRedWhenSaved)
{
    QTemporaryDir dir;
    ScriptedMessages messages;
    CanvasRig rig(WritePicture(dir, "p.bmp", QSize(640, 480)));
    rig.canvas->SetTool(MeasureTool::Line, ToolMode::DrawingOnly);
    Click(rig.canvas.get(), QPoint(100, 100));
    Click(rig.canvas.get(), QPoint(300, 100));
    Click(rig.canvas.get(), QPoint(100, 300));
    Click(rig.canvas.get(), QPoint(300, 300));
    rig.canvas->SetTool(MeasureTool::Select, ToolMode::Measuring);
    Click(rig.canvas.get(), QPoint(200, 101));
    ASSERT_TRUE(SharedPhotoList().At(0)->selected);
    ASSERT_FALSE(SharedPhotoList().At(1)->selected);

    const QImage screen = rig.canvas->grab().toImage();
    EXPECT_EQ(screen.pixelColor(200, 100), QColor(Qt::green));
    EXPECT_EQ(screen.pixelColor(200, 300), QColor(Qt::blue));
    ASSERT_EQ(rig.canvas->SaveWithMeasurements(dir.filePath("s.bmp")), 1);
    const QImage saved(dir.filePath("s.bmp"));
    EXPECT_EQ(saved.pixelColor(200, 100), QColor(Qt::red));
    EXPECT_EQ(saved.pixelColor(200, 300), QColor(Qt::blue));
}

TEST(PhotoCanvas, ActualSizeScrollsInPicturePixels)
{
    QTemporaryDir dir;
    CanvasRig rig(WritePicture(dir, "big.bmp", QSize(2592, 1944)), DisplayMode::ActualSize);
    QScrollBar* h = rig.canvas->HorizontalBar();
    QScrollBar* v = rig.canvas->VerticalBar();
    ASSERT_FALSE(h->isHidden());
    ASSERT_FALSE(v->isHidden());
    const QSize client = rig.canvas->ClientSize();
    EXPECT_EQ(h->maximum(), 2592 - client.width());
    EXPECT_EQ(v->maximum(), 1944 - client.height());
    EXPECT_EQ(h->pageStep(), client.width());
    h->setValue(h->maximum() + 500);
    v->setValue(300);
    EXPECT_EQ(rig.canvas->ScrollOffset(), QPoint(2592 - client.width(), 300));

    // A picture smaller than the window does not scroll.
    CanvasRig small(WritePicture(dir, "small.bmp", QSize(320, 240)), DisplayMode::ActualSize);
    EXPECT_TRUE(small.canvas->HorizontalBar()->isHidden());
    EXPECT_TRUE(small.canvas->VerticalBar()->isHidden());
}

TEST(PhotoCanvas, CountChangesAreNotifiedOnceAndDestroyResetsTheList)
{
    QTemporaryDir dir;
    ScriptedMessages messages;
    {
        CanvasRig rig(WritePicture(dir, "p.bmp", QSize(640, 480)));
        rig.canvas->grab();
        QCoreApplication::sendPostedEvents();
        rig.parent.Clear();
        rig.canvas->SetTool(MeasureTool::Line, ToolMode::Measuring);
        for (int i = 0; i < 2; ++i) {
            Click(rig.canvas.get(), QPoint(100, 100 + 50 * i));
            Click(rig.canvas.get(), QPoint(200, 100 + 50 * i));
            Click(rig.canvas.get(), QPoint(250, 120 + 50 * i));
        }
        ASSERT_EQ(SharedPhotoList().Count(), 2);
        EXPECT_EQ(SharedPhotoList().SerialCounter(), 2);
        rig.canvas->grab();
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(rig.parent.Count(photo::WM_CANVAS_CHANGED), 1);
        SharedPhotoList().Clear();
        rig.canvas->grab();
        rig.canvas->grab();
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(rig.parent.Count(photo::WM_CANVAS_CHANGED), 2);
        SharedPhotoList().ClearSelection();
        rig.canvas->SetTool(MeasureTool::Line, ToolMode::Measuring);
        Click(rig.canvas.get(), QPoint(100, 100));
        Click(rig.canvas.get(), QPoint(200, 100));
        EXPECT_EQ(SharedPhotoList().Count(), 1);
    }
    EXPECT_EQ(SharedPhotoList().Count(), 0);
    EXPECT_EQ(SharedPhotoList().SerialCounter(), 0);
}

TEST(PhotoCanvas, ActualSizeValuesAreInPreviewPixels)
{
    QTemporaryDir dir;
    ScriptedMessages messages;
    // 100 picture pixels at class 2, mm, magnification 10: 6.667 in fitted display,
    // times 640 over the picture's width at actual size.
    const struct {
        QSize picture;
        const char* value;
    } cases[] = {{{1280, 960}, "3.333"}, {{320, 240}, "13.333"}, {{1024, 768}, "4.167"}};
    for (const auto& c : cases) {
        CanvasRig rig(WritePicture(dir, "p.bmp", c.picture), DisplayMode::ActualSize);
        rig.canvas->SetTool(MeasureTool::Line, ToolMode::Measuring);
        Click(rig.canvas.get(), QPoint(10, 10));
        Click(rig.canvas.get(), QPoint(110, 10));
        ASSERT_EQ(SharedPhotoList().Count(), 1);
        EXPECT_EQ(SharedPhotoList().At(0)->valueTexts, QStringList{c.value}) << c.picture.width();
    }
}
