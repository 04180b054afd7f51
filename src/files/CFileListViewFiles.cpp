// The strip's file commands: delete, delete all, save as, save all.
#include "files/CFileListView.h"
#include "files/FileDialogs.h"
#include "files/FileOps.h"
#include "files/FilesTexts.h"
#include "image/CxImage.h"
#include "platform/desktop/MessageBox.h"
#include "platform/files/RegularFile.h"
#include "platform/text/TextCatalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Fixed texts of these commands (never looked up in the language file).
const char* const kProgramCaption = "Pelora";
const char* const kDeleteErrorCaption = "Capture";
const char* const kLoadFailText = "imageSave Create fail";
const char* const kCompressFailText = "Conpress fail";
const char* const kAlreadyExistsText = "This file already exists";
const char* const kReplaceText = "Replace existing file?";
const char* const kSaveAllVideosFilter = "AVI Files(*.AVI)|*.AVI||";
const char* const kSaveAllPicturesFilter = "IMAGE Files(*.*)|*.*||";
const char* const kSaveAsPictureFilter = "Bitmap Files(*.bmp)|*.bmp|JPEG Files(*.jpg)|*.jpg||";
const char* const kSaveAsVideoFilter = "AVI Files(*.avi)|*.avi||";
const char* const kSaveAsPictureExtension = ".bmp";
const char* const kSaveAsVideoExtension = ".avi";
// A stored name ends in a point and a three-letter extension.
constexpr int kExtensionChars = 4;

bool EndsWithJpg(const QString& path)
{
    return path.right(3).compare("jpg", Qt::CaseInsensitive) == 0;
}

bool IsOneOf(const QString& ext, std::initializer_list<const char*> list)
{
    for (const char* e : list) {
        if (ext == QLatin1String(e)) {
            return true;
        }
    }
    return false;
}

bool SameFolder(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    return !ca.isEmpty() && ca == cb;
}

// Where the save dialogs open: the user's own pictures or videos folder, else the
// documents or home folder. Never the page's folder, which Save as refuses.
QString SaveStartFolder(int page, const QString& ownFolder)
{
    const QStandardPaths::StandardLocation places[] = {page == PagePictures ? QStandardPaths::PicturesLocation
                                                                            : QStandardPaths::MoviesLocation,
                                                       QStandardPaths::DocumentsLocation};
    for (const QStandardPaths::StandardLocation place : places) {
        const QString folder = QStandardPaths::writableLocation(place);
        if (!folder.isEmpty() && QFileInfo(folder).isDir() && !SameFolder(folder, ownFolder)) {
            return folder;
        }
    }
    return QDir::homePath();
}

void Warn(QWidget* owner, const char* text)
{
    ShowMessage(owner, QString::fromLatin1(text), QString::fromLatin1(kProgramCaption), MB_ICONWARNING);
}

} // namespace

// The question comes first; a missing selection then quietly ends the command.
bool CFileListView::ConfirmedWithSelection(const QString& question, QString* path)
{
    return AskToDelete(question) && GetSelectedPath(path);
}

// Enter answers No: a slip of the key must not delete the originals.
bool CFileListView::AskToDelete(const QString& question)
{
    return ShowMessage(this, question, LoadText(txt::MsgTitle), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
           IDYES;
}

void CFileListView::DeleteSelected()
{
    QString path;
    if (!ConfirmedWithSelection(LoadText(txt::SureDelete), &path)) {
        return;
    }
    QFile file(path);
    if (!file.remove()) {
        ShowMessage(this, file.errorString(), QString::fromLatin1(kDeleteErrorCaption), MB_ICONERROR);
        return;
    }
    const int index = m_selected[m_page];
    ClearSelection(m_page);
    RemoveAt(m_page, index);
    UpdateScrollBar();
    Redraw();
}

void CFileListView::DeleteFilesOfFolder(const QString& folder)
{
    for (const QString& name : ListFolder(folder, "*")) {
        QFile::remove(folder + "/" + name);
    }
}

void CFileListView::DeleteAll()
{
    QString path;
    if (!ConfirmedWithSelection(LoadText(txt::SureDeleteAll), &path)) {
        return;
    }
    const QString ext = ExtensionOf(path);
    if (IsOneOf(ext, {"bmp", "BMP", "jpg", "JPG"})) {
        DeleteFilesOfFolder(m_folders[PagePictures]);
    } else if (IsOneOf(ext, {"avi", "AVI"})) {
        DeleteFilesOfFolder(m_folders[PageVideos]);
    }
    m_items[m_page].clear();
    m_selected[m_page] = -1;
    UpdateScrollBar();
    Redraw();
}

SaveDialogRequest CFileListView::SaveAsRequest() const
{
    const bool pictures = m_page == PagePictures;
    SaveDialogRequest request;
    QString source;
    if (GetSelectedPath(&source)) {
        const QString name = FileNameOf(source);
        request.initialName = name.left(std::max<qsizetype>(0, name.size() - kExtensionChars));
    }
    request.folder = SaveStartFolder(m_page, m_folders[m_page]);
    request.defaultExtension =
        QString::fromLatin1(pictures ? kSaveAsPictureExtension : kSaveAsVideoExtension);
    request.filter = QString::fromLatin1(pictures ? kSaveAsPictureFilter : kSaveAsVideoFilter);
    request.confirmOverwrite = true;
    return request;
}

SaveAsResult CFileListView::SaveSelectedAs(const QString& destination)
{
    QString source;
    if (!GetSelectedPath(&source)) {
        return SaveAsNoSelection;
    }
    if (destination == m_folders[PageVideos]) {
        return SaveAsNotSaved;
    }
    bool saved = false;
    if (!EndsWithJpg(destination) || EndsWithJpg(source)) {
        // A JPEG to a ".jpg" name is already what was asked for: copy it as it is.
        saved = CopyFileReplacing(source, destination);
        if (!saved) {
            ShowMessage(this, LoadText(txt::SaveFail), LoadText(txt::MsgTitle), MB_ICONWARNING);
        }
    } else {
        CxImage image(source, CXIMAGE_FORMAT_BMP);
        if (!image.IsValid()) {
            Warn(this, kLoadFailText);
        } else if (!(saved = image.Save(destination, CXIMAGE_FORMAT_JPG))) {
            Warn(this, kCompressFailText);
        }
    }
    if (!saved) {
        return SaveAsNotSaved;
    }
    m_items[m_page][m_selected[m_page]].flags &= ~uint32_t(FileItemNotSaved);
    Redraw();
    return SaveAsSaved;
}

CFileListView::CopyOutcome CFileListView::CopyForSaveAll(const QString& source, const QString& destination,
                                                         bool askReplace)
{
    if (QFileInfo::exists(destination) && askReplace) {
        const QString text =
            QString("%1\n%2\n%3").arg(FileNameOf(destination), kAlreadyExistsText, kReplaceText);
        if (ShowMessage(this, text, QString::fromLatin1(kProgramCaption), MB_YESNO | MB_ICONWARNING) !=
            IDYES) {
            return CopyOutcome::Kept;
        }
    }
    return CopyFileReplacing(source, destination) ? CopyOutcome::Copied : CopyOutcome::Failed;
}

// Deletes, after the usual question, exactly the files that were copied: a file
// kept uncopied, or one that arrived meanwhile, stays.
void CFileListView::DeleteCopied(int page, const QStringList& copied)
{
    if (!AskToDelete(LoadText(txt::SureDeleteAll))) {
        MarkSaved(page, copied);
        return;
    }
    for (const QString& path : copied) {
        if (!QFile::remove(path)) {
            continue;
        }
        for (int i = int(m_items[page].size()) - 1; i >= 0; --i) {
            if (m_items[page][i].path == path) {
                RemoveAt(page, i);
            }
        }
    }
    UpdateScrollBar();
    Redraw();
}

// Files copied elsewhere and kept here lose their not-yet-saved mark.
void CFileListView::MarkSaved(int page, const QStringList& copied)
{
    for (FileItem& item : m_items[page]) {
        if (copied.contains(item.path)) {
            item.flags &= ~uint32_t(FileItemNotSaved);
        }
    }
    Redraw();
}

void CFileListView::SaveAll(int page, const QString& pattern, const QString& filter, bool askReplace)
{
    if (!GetSelectedPath(nullptr)) {
        return;
    }
    const QString folder = m_folders[page];
    // The files keep their names: only the folder is asked for.
    SaveDialogRequest request;
    request.folder = SaveStartFolder(page, folder);
    request.filter = filter;
    request.chooseFolder = true;
    const QString target = AskSaveFileName(this, request);
    if (target.isEmpty()) {
        return;
    }
    // Copying the folder onto itself would save nothing, and the deletion that
    // follows would lose every file.
    bool failed = SameFolder(target, folder);
    QStringList copied;
    // The folder as it is now: a picture taken while the dialog was open is saved too.
    const QStringList current = ListFolder(folder, pattern);
    for (qsizetype i = 0; !failed && i < current.size(); ++i) {
        const QString source = folder + "/" + current[i];
        if (!IsRegularFile(source)) {
            continue; // a pipe or a device is nothing to save
        }
        switch (CopyForSaveAll(source, target + "/" + current[i], askReplace)) {
        case CopyOutcome::Copied:
            copied << source;
            break;
        case CopyOutcome::Kept:
            break;
        case CopyOutcome::Failed:
            failed = true;
            break;
        }
    }
    if (failed) {
        ShowMessage(this, LoadText(txt::SaveFail), LoadText(txt::MsgTitle), MB_ICONWARNING);
        return;
    }
    DeleteCopied(page, copied);
}

void CFileListView::SaveAllVideos()
{
    SaveAll(PageVideos, "*.avi", QString::fromLatin1(kSaveAllVideosFilter), true);
}

void CFileListView::SaveAllPictures()
{
    SaveAll(PagePictures, "*", QString::fromLatin1(kSaveAllPicturesFilter), false);
}
