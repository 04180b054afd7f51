// The captured-files strip: folder scans, scrolling rules, thumbnails that follow
// the disk, hit testing and the file commands with their questions.
#include "common/TestSupport.h"
#include "files/CFileListView.h"
#include "files/FileDialogs.h"
#include "files/FileListLayout.h"
#include "files/FilesTestSupport.h"
#include "files/StripFixture.h"
#include "platform/desktop/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>

using filestest::MessageScript;
using filestest::WritePicture;
using stripfixture::Near;
using stripfixture::Strip;
using testsupport::ReadFile;
using testsupport::WriteFile;

TEST_F(Strip, ScanListsPicturesOver40BytesAndVideos)
{
    WritePicture(pic("a.jpg"), Qt::red);
    WritePicture(pic("B.BMP"), Qt::blue);
    WriteFile(pic("tiny.jpg"), QByteArray(40, 'x'));
    WriteFile(pic("just41.bmp"), QByteArray(41, 'x'));
    WriteFile(pic("notes.txt"), QByteArray(100, 'x'));
    QDir().mkpath(pic("folder.jpg"));
    filestest::WriteVideo(videos() + "/v.avi", Qt::green);

    CFileListView& view = Open();
    const auto& items = view.Items(PagePictures);
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0].path, pic("a.jpg"));
    EXPECT_EQ(items[1].path, pic("B.BMP"));
    EXPECT_EQ(items[2].path, pic("just41.bmp"));
    EXPECT_EQ(items[0].flags, 3u);
    ASSERT_EQ(view.Items(PageVideos).size(), 1);
    EXPECT_EQ(view.SelectedIndex(PagePictures), -1);
    EXPECT_FALSE(view.GetSelectedPath(nullptr));

    // Thumbnails: the JPEG and the BMP are drawn; the 41-byte file takes no cell.
    EXPECT_TRUE(Near(CellColour(0), Qt::red));
    EXPECT_TRUE(Near(CellColour(1), Qt::blue));
    const QRgb background = view.Offscreen().pixel(view.CellRect(2).center());
    EXPECT_FALSE(Near(background, Qt::red) || Near(background, Qt::blue));

    view.SetPage(PageVideos);
    view.Refresh();
    EXPECT_TRUE(Near(CellColour(0), Qt::green));
}

TEST_F(Strip, ThirteenthPictureIsSelectedAndThePageStartsAtTheTop)
{
    MakePictures(12);
    CFileListView& view = Open();
    EXPECT_EQ(view.CellRect(3), StripCellRect(3, 162 - view.ScrollBar()->width(), 460));
    EXPECT_EQ(StripCellRect(3, 142, 460), QRect(76, 85, 61, 68));
    EXPECT_FALSE(view.ScrollBar()->isEnabled());
    WritePicture(pic("Still_N0013.jpg"), Qt::yellow, 16, 16);
    view.AddCapturedPicture(pic("Still_N0013.jpg"));
    EXPECT_EQ(view.TopRow(PagePictures), 0); // 1 after adding, back to 0: only 7 rows
    EXPECT_EQ(view.SelectedIndex(PagePictures), 12);
    EXPECT_EQ(view.Items(PagePictures)[12].flags, 3u);
    EXPECT_TRUE(view.ScrollBar()->isEnabled());
    EXPECT_EQ(view.ScrollBar()->maximum(), 6);
    QString path;
    ASSERT_TRUE(view.GetSelectedPath(&path));
    EXPECT_EQ(path, pic("Still_N0013.jpg"));

    // Videos arrive selected.
    filestest::WriteVideo(videos() + "/r.avi", Qt::blue);
    view.AddRecordedVideo(videos() + "/r.avi");
    EXPECT_EQ(view.Items(PageVideos)[0].flags, 7u);
    EXPECT_EQ(view.SelectedIndex(PageVideos), 0);
}

TEST_F(Strip, LongListsKeepTheirRowAndTheWheelNeverScrolls)
{
    MakePictures(26);
    CFileListView& view = Open();
    EXPECT_EQ(view.TopRow(PagePictures), 7);
    view.ScrollBar()->setValue(3);
    EXPECT_EQ(view.TopRow(PagePictures), 3);
    for (QWidget* target : {static_cast<QWidget*>(&view), static_cast<QWidget*>(view.ScrollBar())}) {
        QWheelEvent wheel(QPointF(10, 10), target->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }
    EXPECT_EQ(view.TopRow(PagePictures), 3);
    EXPECT_EQ(view.ScrollBar()->value(), 3);

    // Files removed behind the strip's back: the page shrinks to 12 rows and starts at the top.
    for (int i = 1; i <= 14; ++i) {
        QFile::remove(pic(QString::asprintf("Still_N%04d.jpg", i + 6)));
    }
    view.Refresh();
    EXPECT_EQ(view.Items(PagePictures).size(), 12);
    EXPECT_EQ(view.TopRow(PagePictures), 0);
    EXPECT_EQ(view.ScrollBar()->value(), 0);
}

TEST_F(Strip, ThumbnailsFollowFilesChangedOrRemovedOnDisk)
{
    WritePicture(pic("a.jpg"), Qt::red);
    const QByteArray bmp = [&] {
        WritePicture(pic("cut.BMP"), Qt::blue, 64, 48);
        return ReadFile(pic("cut.BMP"));
    }();
    WriteFile(pic("cut.BMP"), bmp.left(bmp.size() / 2)); // bottom half only
    CFileListView& view = Open();
    EXPECT_TRUE(Near(CellColour(0), Qt::red));
    const QRect cell = view.CellRect(1);
    EXPECT_TRUE(Near(view.Offscreen().pixel(cell.center().x(), cell.bottom() - 3), Qt::blue));
    EXPECT_TRUE(Near(view.Offscreen().pixel(cell.center().x(), cell.top() + 3), Qt::black));

    // Replaced under the same name: the next redraw shows the new picture.
    WritePicture(pic("a.jpg"), Qt::green);
    view.Refresh();
    EXPECT_TRUE(Near(CellColour(0), Qt::green));

    // Removed: dropped from the list at the next redraw.
    QFile::remove(pic("a.jpg"));
    view.Refresh();
    ASSERT_EQ(view.Items(PagePictures).size(), 1);
    EXPECT_EQ(view.Items(PagePictures)[0].path, pic("cut.BMP"));
}

TEST_F(Strip, HitTestSelectsTheFileDrawnInTheCell)
{
    WriteFile(pic("a_broken.jpg"), QByteArray(500, 'x')); // listed, cannot be drawn
    WritePicture(pic("b.jpg"), Qt::red);
    CFileListView& view = Open();
    ASSERT_EQ(view.HitTest(CellOnScreen(0)), 1);
    QString path;
    uint32_t flags = 0;
    ASSERT_TRUE(view.GetSelectedPath(&path, &flags));
    EXPECT_EQ(path, pic("b.jpg"));
    EXPECT_EQ(flags, 7u);

    EXPECT_EQ(view.HitTest(CellOnScreen(1)), 0); // an empty cell
    EXPECT_FALSE(view.GetSelectedPath(&path));
    EXPECT_EQ(view.Items(PagePictures)[1].flags, 3u);

    // Hovering a thumbnail names its file; an empty cell has no tooltip.
    QHelpEvent onPicture(QEvent::ToolTip, view.CellRect(0).center(), CellOnScreen(0));
    QApplication::sendEvent(&view, &onPicture);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "b.jpg");
    QHelpEvent onEmpty(QEvent::ToolTip, view.CellRect(1).center(), CellOnScreen(1));
    QApplication::sendEvent(&view, &onEmpty);
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
}

TEST_F(Strip, DeleteAndDeleteAllAskFirst)
{
    WritePicture(pic("a.jpg"), Qt::red);
    WritePicture(pic("b.jpg"), Qt::blue);
    WriteFile(pic("notes.txt"), "x");
    CFileListView& view = Open();
    {
        MessageScript yes(IDYES);
        view.DeleteAll(); // nothing selected: nothing happens
        EXPECT_EQ(yes.texts, QStringList{"Are you sure to delete all?"});
    }
    EXPECT_EQ(QDir(pictures()).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(view.Items(PagePictures).size(), 2);

    view.HitTest(CellOnScreen(0));
    {
        MessageScript no(IDNO);
        view.DeleteSelected();
    }
    EXPECT_TRUE(QFile::exists(pic("a.jpg")));
    {
        MessageScript yes(IDYES);
        view.DeleteSelected();
        EXPECT_EQ(yes.texts, QStringList{"Are you sure to delete?"});
        EXPECT_EQ(yes.captions, QStringList{"Pelora"});
        EXPECT_EQ(yes.flags, QList<unsigned>{MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2});
    }
    EXPECT_FALSE(QFile::exists(pic("a.jpg")));
    ASSERT_EQ(view.Items(PagePictures).size(), 1);
    EXPECT_EQ(view.SelectedIndex(PagePictures), -1);

    view.HitTest(CellOnScreen(0));
    {
        MessageScript yes(IDYES);
        view.DeleteAll();
    }
    EXPECT_TRUE(QDir(pictures()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(view.Items(PagePictures).isEmpty());
}

TEST_F(Strip, SaveSelectedAsCopiesOrConverts)
{
    WritePicture(pic("a.jpg"), Qt::red);
    WritePicture(pic("b.bmp"), Qt::blue);
    CFileListView& view = Open();
    const QString out = m_dir.filePath("out");
    QDir().mkpath(out);

    view.HitTest(CellOnScreen(0));
    MessageScript boxes(IDOK);
    EXPECT_EQ(view.SaveSelectedAs(out + "/copy.jpg"), SaveAsSaved);
    EXPECT_EQ(ReadFile(out + "/copy.jpg"), ReadFile(pic("a.jpg"))); // a JPEG is copied as it is
    EXPECT_EQ(view.Items(PagePictures)[0].flags & FileItemNotSaved, 0u);

    view.HitTest(CellOnScreen(1));
    EXPECT_EQ(view.SaveSelectedAs(out + "/conv.JPG"), SaveAsSaved);
    EXPECT_EQ(ReadFile(out + "/conv.JPG").left(2), QByteArray("\xff\xd8"));
    EXPECT_EQ(view.SaveSelectedAs(out + "/same.bmp"), SaveAsSaved);
    EXPECT_EQ(ReadFile(out + "/same.bmp"), ReadFile(pic("b.bmp")));
    EXPECT_TRUE(boxes.texts.isEmpty());

    view.HitTest(CellOnScreen(5));
    EXPECT_EQ(view.SaveSelectedAs(out + "/x.jpg"), SaveAsNoSelection);
}

TEST_F(Strip, SaveSelectedAsReportsWhatCannotBeConvertedOrWritten)
{
    WritePicture(pic("b.bmp"), Qt::blue);
    CFileListView& view = Open();
    view.HitTest(CellOnScreen(0));
    MessageScript boxes(IDOK);
    WriteFile(pic("b.bmp"), QByteArray(100, 'z')); // replaced by junk after it was drawn
    EXPECT_EQ(view.SaveSelectedAs(m_dir.filePath("x.jpg")), SaveAsNotSaved);
    EXPECT_EQ(view.SaveSelectedAs(m_dir.filePath("missing/x.bmp")), SaveAsNotSaved);
    EXPECT_EQ(boxes.texts, (QStringList{"imageSave Create fail", "Save fail"}));
    EXPECT_EQ(boxes.captions.first(), "Pelora");
    EXPECT_FALSE(QFile::exists(m_dir.filePath("x.jpg")));
    EXPECT_EQ(view.Items(PagePictures)[0].flags & FileItemNotSaved, uint32_t(FileItemNotSaved));
}

TEST_F(Strip, SaveAllCopiesThenOffersToDelete)
{
    const QString out = m_dir.filePath("out");
    CFileListView& view = OpenOnTwoVideos(out);

    SaveDialogRequest asked;
    SetSaveDialogResponder([&](const SaveDialogRequest& r) {
        asked = r;
        return out;
    });
    MessageScript no(IDNO); // keep the existing v1.avi, keep the sources
    view.SaveAllVideos();
    // Only a folder is asked for, away from the videos' own.
    EXPECT_TRUE(asked.chooseFolder);
    EXPECT_TRUE(asked.initialName.isEmpty());
    EXPECT_NE(QDir(asked.folder).canonicalPath(), QDir(videos()).canonicalPath());
    EXPECT_EQ(no.texts, (QStringList{"v1.avi\nThis file already exists\nReplace existing file?",
                                     "Are you sure to delete all?"}));
    EXPECT_TRUE(no.flags[1] & MB_DEFBUTTON2); // Enter keeps the originals
    EXPECT_EQ(ReadFile(out + "/v1.avi"), QByteArray("old"));
    EXPECT_EQ(ReadFile(out + "/v2.avi"), ReadFile(videos() + "/v2.avi"));
    ASSERT_EQ(view.Items(PageVideos).size(), 2);
    // The copied video lost its not-yet-saved mark; the one kept back did not.
    EXPECT_EQ(view.Items(PageVideos)[0].flags & FileItemNotSaved, uint32_t(FileItemNotSaved));
    EXPECT_EQ(view.Items(PageVideos)[1].flags & FileItemNotSaved, 0u);
}

TEST_F(Strip, SaveAllIntoItsOwnFolderDeletesNothing)
{
    WritePicture(pic("a.jpg"), Qt::red);
    CFileListView& view = Open();
    view.HitTest(CellOnScreen(0));
    SetSaveDialogResponder([&](const SaveDialogRequest&) { return pictures(); });
    MessageScript yes(IDYES);
    view.SaveAllPictures();
    EXPECT_EQ(yes.texts, QStringList{"Save fail"});
    EXPECT_TRUE(QFile::exists(pic("a.jpg")));

    const QString out = m_dir.filePath("elsewhere");
    QDir().mkpath(out);
    SetSaveDialogResponder([&](const SaveDialogRequest&) { return out; });
    view.SaveAllPictures();
    EXPECT_TRUE(QFile::exists(out + "/a.jpg"));
    EXPECT_FALSE(QFile::exists(pic("a.jpg")));
    EXPECT_TRUE(view.Items(PagePictures).isEmpty());
}

TEST_F(Strip, HostileBitmapsAreListedButNeverDrawnOutOfBounds)
{
    auto header = [](int32_t w, int32_t h) {
        QByteArray file(14 + 40 + 64, '\x11');
        file[0] = 'B';
        file[1] = 'M';
        auto put = [&](int at, int32_t v) {
            for (int i = 0; i < 4; ++i) {
                file[at + i] = char(uint32_t(v) >> (8 * i));
            }
        };
        put(14, 40);
        put(18, w);
        put(22, h);
        file[26] = 1;
        file[28] = 24;
        return file;
    };
    WriteFile(pic("a_huge.bmp"), header(60000, 60000));
    WriteFile(pic("b_negative.bmp"), header(-64, 32));
    WriteFile(pic("c_min.bmp"), header(16, INT32_MIN));
    WriteFile(pic("d_empty.bmp"), QByteArray());
    WritePicture(pic("e_fine.bmp"), Qt::red);
    CFileListView& view = Open();
    EXPECT_EQ(view.Items(PagePictures).size(), 4); // the empty file is not listed
    EXPECT_TRUE(Near(CellColour(0), Qt::red));     // only the sound picture takes a cell
    EXPECT_EQ(view.HitTest(CellOnScreen(1)), 0);
}

TEST_F(Strip, SelectionFrameAndNotSavedMarkComeAndGo)
{
    WritePicture(pic("a.jpg"), Qt::red);
    CFileListView& view = Open();
    const QRect cell = view.CellRect(0);
    auto band = [&](int x0, int x1, int y0, int y1) {
        return view.Offscreen().copy(QRect(QPoint(x0, y0), QPoint(x1, y1)));
    };
    const QImage plainTop = band(cell.left(), cell.right(), cell.top() - 3, cell.top() - 1);
    const QImage markedBottom = band(cell.left(), cell.right(), cell.bottom() + 1, cell.bottom() + 4);

    view.HitTest(CellOnScreen(0));
    EXPECT_NE(band(cell.left(), cell.right(), cell.top() - 3, cell.top() - 1), plainTop); // frame drawn
    view.HitTest(CellOnScreen(5));
    EXPECT_EQ(band(cell.left(), cell.right(), cell.top() - 3, cell.top() - 1), plainTop); // and gone

    view.HitTest(CellOnScreen(0));
    MessageScript boxes(IDOK);
    view.SaveSelectedAs(m_dir.filePath("copy.jpg"));
    view.HitTest(CellOnScreen(5));
    EXPECT_NE(band(cell.left(), cell.right(), cell.bottom() + 1, cell.bottom() + 4),
              markedBottom); // mark gone
}
