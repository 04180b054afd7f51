#include "files/FilesStripController.h"

#include "files/CFileListView.h"
#include "files/FileDialogs.h"
#include "files/FilesTexts.h"
#include "platform/desktop/MessageBox.h"
#include "platform/files/RegularFile.h"

#include <QFileInfo>

namespace {
// Fixed texts of these commands (never looked up in the language file).
const char* const kPictureNotOpen = "the picture not open,please check the file exist!";
const char* const kCantSaveToTemp = "Can't save file to temp directory!!";
const char* const kSaveFileCaption = "Save file";

// True when `chosen` would land in `folder` itself, the program's own picture or
// video folder.
bool IsInOwnFolder(const QString& chosen, const QString& folder)
{
    if (chosen.size() < folder.size()) {
        return false;
    }
    const QString chosenFolder = chosen.left(chosen.lastIndexOf('/'));
    if (chosenFolder.compare(folder, Qt::CaseInsensitive) == 0) {
        return true;
    }
    // The same folder reached by another spelling (a link, "..") is refused too.
    const QString canonical = QFileInfo(chosenFolder).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(folder).canonicalFilePath();
}

void Call(const std::function<void()>& handOff)
{
    if (handOff) {
        handOff();
    }
}

void Call(const FilesStripController::PathHandOff& handOff, const QString& path)
{
    if (handOff) {
        handOff(path);
    }
}
} // namespace

FilesStripController::FilesStripController(QWidget& owner, const QString& pictureFolder,
                                           const QString& videoFolder, QWidget* parent, const QRect& geometry)
    : QObject(&owner), m_owner(owner), m_pictureFolder(pictureFolder), m_videoFolder(videoFolder)
{
    m_view = new CFileListView(pictureFolder, videoFolder, parent);
    m_view->setGeometry(geometry);
    m_view->Refresh();
}

int FilesStripController::Page() const
{
    return m_view->Page();
}

bool FilesStripController::SwitchPage(int page)
{
    if (page == m_view->Page()) {
        return false;
    }
    m_view->SetPage(page);
    return true;
}

void FilesStripController::Refresh()
{
    m_view->Refresh();
}

bool FilesStripController::Contains(const QObject* watched) const
{
    for (const QObject* o = watched; o != nullptr; o = o->parent()) {
        if (o == m_view) {
            return true;
        }
    }
    return false;
}

bool FilesStripController::HitTest(QPoint global)
{
    return m_view->HitTest(global) == 1;
}

QString FilesStripController::SelectedPath() const
{
    QString path;
    return m_view->GetSelectedPath(&path) ? path : QString();
}

QString FilesStripController::NeedsSelection(const TextKey& warning)
{
    const QString path = SelectedPath();
    if (path.isEmpty()) {
        ShowMessage(&m_owner, LoadText(warning), m_caption, MB_OK | MB_ICONWARNING);
    }
    return path;
}

void FilesStripController::RequestOpen(const QString& path)
{
    if (path.lastIndexOf('.') < 0) {
        return;
    }
    const QString extension = path.mid(path.lastIndexOf('.') + 1);
    if (extension == "bmp" || extension == "BMP" || extension == "jpg" || extension == "JPG") {
        Call(m_handOffs.requestOpenPicture);
    } else if (extension == "avi" || extension == "AVI") {
        Call(m_handOffs.requestOpenVideo);
    }
}

void FilesStripController::AddCapturedPicture(const QString& path)
{
    m_view->AddCapturedPicture(path);
}

void FilesStripController::Open()
{
    const QString path = NeedsSelection(txt::SelectFile_Image);
    if (!path.isEmpty()) {
        RequestOpen(path);
    }
}

void FilesStripController::OpenPicture()
{
    // Only a regular file is handed on: a pipe named like a picture would block.
    const QString path = SelectedPath();
    if (path.isEmpty() || !OpenRegularFile(path).valid()) {
        ShowMessage(&m_owner, QString::fromLatin1(kPictureNotOpen), m_caption, MB_OK | MB_ICONWARNING);
        return;
    }
    Call(m_handOffs.photoWindow, path);
}

void FilesStripController::OpenVideo()
{
    const QString path = SelectedPath();
    if (!path.isEmpty()) {
        Call(m_handOffs.player, path);
    }
}

void FilesStripController::SaveAs()
{
    const QString source = NeedsSelection(txt::SelectFile);
    if (source.isEmpty()) {
        return;
    }
    const bool pictures = Page() == PagePictures;
    // The strip builds the request: it starts in the page's own folder.
    const QString chosen = AskSaveFileName(&m_owner, m_view->SaveAsRequest());
    if (chosen.isEmpty()) {
        return;
    }
    if (IsInOwnFolder(chosen, pictures ? m_pictureFolder : m_videoFolder)) {
        ShowMessage(&m_owner, QString::fromLatin1(kCantSaveToTemp), QString::fromLatin1(kSaveFileCaption),
                    MB_OK | MB_ICONWARNING);
        return;
    }
    m_view->SaveSelectedAs(chosen);
}

void FilesStripController::Delete()
{
    if (!NeedsSelection(txt::SelectFile_Image).isEmpty()) {
        m_view->DeleteSelected();
    }
}

void FilesStripController::DeleteAll()
{
    if (!NeedsSelection(txt::SelectFile_Image).isEmpty()) {
        m_view->DeleteAll();
    }
}

void FilesStripController::SaveAll()
{
    if (NeedsSelection(txt::SelectFile_Image).isEmpty()) {
        return;
    }
    if (Page() == PagePictures) {
        m_view->SaveAllPictures();
    } else {
        m_view->SaveAllVideos();
    }
}
