// The strip never loses or hangs on files: save-all deletes only what it copied,
// the page never scrolls past its end, pipes named like pictures or videos are
// skipped instead of waited on, and "Save as" starts where it may save.
#include "common/FifoWatchdog.h"
#include "common/TestSupport.h"
#include "files/FileOps.h"
#include "files/StripFixture.h"
#include "image/CxImage.h"
#include "platform/desktop/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>

using filestest::MessageScript;
using filestest::WritePicture;
using filestest::WriteVideo;
using stripfixture::Near;
using stripfixture::Strip;
using testsupport::FifoWatchdog;
using testsupport::ReadFile;
using testsupport::WriteFile;

using testsupport::MakeFifo;
using testsupport::MakeSymlink;

TEST_F(Strip, SaveAllDeletesExactlyWhatItCopied)
{
    const QString out = m_dir.filePath("out");
    CFileListView& view = OpenOnTwoVideos(out);
    SetSaveDialogResponder([&](const SaveDialogRequest&) { return out; });

    // No to "replace?" keeps v1 uncopied; a video recorded while the last
    // question is open was never copied either. Both stay.
    QStringList texts;
    SetMessageResponder([&](const QString& text, const QString&, unsigned) {
        texts << text;
        if (text.startsWith("v1.avi")) {
            return int(IDNO);
        }
        WriteVideo(videos() + "/v3.avi", Qt::green);
        return int(IDYES);
    });
    view.SaveAllVideos();
    SetMessageResponder(nullptr);
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[1], "Are you sure to delete all?");
    EXPECT_EQ(ReadFile(out + "/v1.avi"), "old");
    EXPECT_TRUE(QFile::exists(out + "/v2.avi"));
    EXPECT_TRUE(QFile::exists(videos() + "/v1.avi"));
    EXPECT_FALSE(QFile::exists(videos() + "/v2.avi"));
    EXPECT_TRUE(QFile::exists(videos() + "/v3.avi"));
    ASSERT_EQ(view.Items(PageVideos).size(), 1);
    EXPECT_EQ(view.Items(PageVideos)[0].path, videos() + "/v1.avi");

    // One copy fails (a folder stands where it would go): nothing is deleted.
    WritePicture(pic("a.jpg"), Qt::red);
    WritePicture(pic("b.jpg"), Qt::blue);
    QDir().mkpath(out + "/b.jpg");
    view.SetPage(PagePictures);
    view.AddCapturedPicture(pic("a.jpg"));
    MessageScript yes(IDYES);
    SetSaveDialogResponder([&](const SaveDialogRequest&) { return out; });
    view.SaveAllPictures();
    EXPECT_EQ(yes.texts, QStringList{"Save fail"});
    EXPECT_TRUE(QFile::exists(pic("a.jpg")));
    EXPECT_TRUE(QFile::exists(pic("b.jpg")));
}

TEST_F(Strip, ThePageNeverStaysPastTheEndOfTheBar)
{
    MakePictures(60);
    CFileListView& view = Open();
    view.ScrollBar()->setValue(view.ScrollBar()->maximum());
    ASSERT_EQ(view.TopRow(PagePictures), 29);
    for (int i = 1; i <= 30; ++i) {
        view.RemoveByPath(pic(QString::asprintf("Still_N%04d.jpg", i)));
    }
    view.Refresh();
    EXPECT_EQ(view.ScrollBar()->maximum(), 14);
    EXPECT_EQ(view.TopRow(PagePictures), 14);
    EXPECT_EQ(view.ScrollBar()->value(), 14);
    EXPECT_TRUE(Near(CellColour(0), Qt::gray)); // the last two pictures are shown
    EXPECT_TRUE(Near(CellColour(1), Qt::gray));
    EXPECT_EQ(view.HitTest(CellOnScreen(1)), 1);
}

TEST_F(Strip, PipesNamedLikeVideosOrPicturesAreSkipped)
{
    const QString fifo = m_dir.filePath("pipe");
    const QString videoFifo = videos() + "/Video_2024-01-05_101230_N0001.avi";
    ASSERT_TRUE(MakeFifo(fifo));
    ASSERT_TRUE(MakeFifo(videoFifo));
    ASSERT_TRUE(MakeFifo(m_dir.filePath("b.bmp"))); // moved in later
    FifoWatchdog watchdog({fifo, videoFifo, pic("b.bmp")});
    ASSERT_TRUE(MakeSymlink(fifo, videos() + "/Video_2024-01-05_101230_N0002.avi"));
    WriteVideo(videos() + "/Video_2024-01-05_101230_N0003.avi", Qt::green);
    WritePicture(pic("a.jpg"), Qt::red);
    WritePicture(pic("b.bmp"), Qt::blue);

    CFileListView& view = Open();
    view.SetPage(PageVideos);
    view.Refresh();
    EXPECT_TRUE(Near(CellColour(0), Qt::green)); // the pipes take no cell

    // Pictures replaced by a pipe, or by a link to one, after they were listed.
    view.SetPage(PagePictures);
    QFile::remove(pic("a.jpg"));
    QFile::remove(pic("b.bmp"));
    ASSERT_TRUE(MakeSymlink(fifo, pic("a.jpg")));
    ASSERT_TRUE(QFile::rename(m_dir.filePath("b.bmp"), pic("b.bmp")));
    view.Refresh();
    EXPECT_EQ(view.Items(PagePictures).size(), 2);
    EXPECT_EQ(view.HitTest(CellOnScreen(0)), 0);

    // Nor are they copied or converted.
    EXPECT_FALSE(CopyFileReplacing(fifo, m_dir.filePath("copy")));
    EXPECT_FALSE(CopyFileReplacing(pic("a.jpg"), m_dir.filePath("copy")));
    EXPECT_FALSE(CxImage(pic("b.bmp"), CXIMAGE_FORMAT_BMP).IsValid());
    EXPECT_FALSE(CxImage(pic("a.jpg"), CXIMAGE_FORMAT_JPG).IsValid());
    EXPECT_FALSE(QFile::exists(m_dir.filePath("copy")));
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(Strip, SaveAsStartsOutsideThePagesOwnFolder)
{
    WritePicture(pic("Still_N0001.jpg"), Qt::red);
    WriteVideo(videos() + "/Video_N0001.avi", Qt::red);
    CFileListView& view = Open();
    view.HitTest(CellOnScreen(0));
    SaveDialogRequest request = view.SaveAsRequest();
    EXPECT_TRUE(QFileInfo(request.folder).isDir());
    EXPECT_NE(QDir(request.folder).canonicalPath(), QDir(pictures()).canonicalPath());
    EXPECT_EQ(request.initialName, "Still_N0001");
    EXPECT_EQ(request.defaultExtension, ".bmp");
    EXPECT_EQ(request.filter, "Bitmap Files(*.bmp)|*.bmp|JPEG Files(*.jpg)|*.jpg||");

    view.SetPage(PageVideos);
    view.Refresh();
    view.HitTest(CellOnScreen(0));
    request = view.SaveAsRequest();
    EXPECT_NE(QDir(request.folder).canonicalPath(), QDir(videos()).canonicalPath());
    EXPECT_EQ(request.initialName, "Video_N0001");
    EXPECT_EQ(request.defaultExtension, ".avi");
    EXPECT_EQ(request.filter, "AVI Files(*.avi)|*.avi||");
}
