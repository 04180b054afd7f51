// The main window's file commands: selection checks, open kinds, the save-as
// proposal and the refusal to save into the program's own folders.
#include "files/FileCommands.h"

#include "files/CFileListView.h"
#include "files/FileDialogs.h"
#include "files/FilesTestSupport.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using filestest::MessageScript;

TEST(FileCommands, OpenKindsAndProposedNames)
{
    EXPECT_EQ(OpenKindOf("/p/a.jpg"), OpenKind::Picture);
    EXPECT_EQ(OpenKindOf("/p/a.BMP"), OpenKind::Picture);
    EXPECT_EQ(OpenKindOf("/p/a.Jpg"), OpenKind::None);
    EXPECT_EQ(OpenKindOf("/p/a.AVI"), OpenKind::Video);
    EXPECT_EQ(OpenKindOf("/p/a.txt"), OpenKind::None);
    EXPECT_EQ(FileCommands::ProposedSaveName("/x/Still_2024-01-05_101230_N0001.jpg"),
              "Still_2024-01-05_101230_N0001");
    EXPECT_TRUE(
        FileCommands::IsInsideFolder("/home/u/Pelora files/PICTURE/a.bmp", "/home/u/Pelora files/Picture"));
    EXPECT_FALSE(FileCommands::IsInsideFolder("/home/u/Pelora files/Picture/sub/a.bmp",
                                              "/home/u/Pelora files/Picture"));
    EXPECT_FALSE(FileCommands::IsInsideFolder("/home/u/a.bmp", "/home/u/Pelora files/Picture"));
}

TEST(FileCommands, NeedASelectionAndRefuseTheProgramFolders)
{
    QTemporaryDir dir;
    const QString pictures = dir.filePath("Pelora files/Picture");
    QDir().mkpath(pictures);
    QDir().mkpath(dir.filePath("Pelora files/Video"));
    filestest::WritePicture(pictures + "/Still_2024-01-05_101230_N0001.jpg", Qt::red);
    CFileListView view(pictures, dir.filePath("Pelora files/Video"));
    view.resize(162, 460);
    view.show();
    view.Refresh();
    FileCommands commands(view, nullptr);

    {
        MessageScript ok(IDOK);
        EXPECT_EQ(commands.Open(), OpenKind::None);
        commands.Delete();
        commands.SaveAs();
        EXPECT_EQ(ok.texts, (QStringList{"Please select an image or video", "Please select an image or video",
                                         "Please select a picture or video"}));
    }

    view.HitTest(view.mapToGlobal(view.CellRect(0).center()));
    EXPECT_EQ(commands.Open(), OpenKind::Picture);

    SaveDialogRequest asked;
    QString answer = dir.filePath("Pelora files/PICTURE/copy");
    SetSaveDialogResponder([&](const SaveDialogRequest& r) {
        asked = r;
        return answer;
    });
    {
        MessageScript ok(IDOK);
        commands.SaveAs();
        EXPECT_EQ(asked.initialName, "Still_2024-01-05_101230_N0001");
        EXPECT_EQ(asked.defaultExtension, ".bmp");
        EXPECT_TRUE(asked.filter.startsWith("Bitmap Files(*.bmp)"));
        EXPECT_EQ(ok.texts, QStringList{"Can't save file to temp directory!!"});
        EXPECT_EQ(ok.captions, QStringList{"Save file"});
    }
    EXPECT_FALSE(QFile::exists(pictures + "/copy.bmp"));

    answer = dir.filePath("copy.jpg");
    commands.SaveAs();
    EXPECT_TRUE(QFile::exists(answer));
    SetSaveDialogResponder(nullptr);

    QFile::remove(pictures + "/Still_2024-01-05_101230_N0001.jpg");
    MessageScript ok(IDOK);
    EXPECT_FALSE(commands.CheckPictureReadable(pictures + "/Still_2024-01-05_101230_N0001.jpg"));
    EXPECT_EQ(ok.texts, QStringList{"the picture not open,please check the file exist!"});
}
