#include "files/FileCommands.h"

#include "files/CFileListView.h"
#include "files/FileDialogs.h"
#include "files/FileOps.h"
#include "platform/MessageBox.h"
#include "platform/TextCatalogue.h"

#include <QDir>
#include <QFile>

namespace {

// Fixed texts of these commands (never looked up in the language file).
const char* const kNotOpenText = "the picture not open,please check the file exist!";
const char* const kTempFolderText = "Can't save file to temp directory!!";
const char* const kTempFolderCaption = "Save file";
const char* const kPictureFilter = "Bitmap Files(*.bmp)|*.bmp|JPEG Files(*.jpg)|*.jpg||";
const char* const kVideoFilter = "AVI Files(*.avi)|*.avi||";
constexpr int kExtensionChars = 4; // ".bmp", ".jpg", ".avi"

} // namespace

OpenKind OpenKindOf(const QString& path)
{
    const QString ext = ExtensionOf(path);
    for (const char* e : {"bmp", "jpg", "BMP", "JPG"})
        if (ext == QLatin1String(e))
            return OpenKind::Picture;
    if (ext == QLatin1String("avi") || ext == QLatin1String("AVI"))
        return OpenKind::Video;
    return OpenKind::None;
}

QString FileCommands::ProposedSaveName(const QString& path)
{
    const QString name = FileNameOf(path);
    return name.left(std::max<qsizetype>(0, name.size() - kExtensionChars));
}

bool FileCommands::IsInsideFolder(const QString& chosen, const QString& folder)
{
    const QString cleanFolder = QDir::cleanPath(folder);
    return chosen.size() >= cleanFolder.size() &&
           QDir::cleanPath(FolderOf(chosen)).compare(cleanFolder, Qt::CaseInsensitive) == 0;
}

bool FileCommands::Selected(QString* path, const TextKey& warning)
{
    if (m_list.GetSelectedPath(path))
        return true;
    ShowMessage(m_owner, LoadText(warning), LoadText(txt::MsgTitle), MB_ICONWARNING);
    return false;
}

OpenKind FileCommands::Open()
{
    QString path;
    return Selected(&path, txt::SelectFile_Image) ? OpenKindOf(path) : OpenKind::None;
}

bool FileCommands::CheckPictureReadable(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        return true;
    ShowMessage(m_owner, QString::fromLatin1(kNotOpenText), LoadText(txt::MsgTitle), MB_OK);
    return false;
}

void FileCommands::SaveAs()
{
    QString path;
    if (!Selected(&path, txt::SelectFile))
        return;
    const bool pictures = m_list.Page() == PagePictures;
    SaveDialogRequest request;
    request.initialName = ProposedSaveName(path);
    request.defaultExtension = pictures ? ".bmp" : ".avi";
    request.filter = QString::fromLatin1(pictures ? kPictureFilter : kVideoFilter);
    const QString chosen = AskSaveFileName(m_owner, request);
    if (chosen.isEmpty())
        return;
    if (IsInsideFolder(chosen, pictures ? m_list.PictureFolder() : m_list.VideoFolder())) {
        ShowMessage(m_owner, QString::fromLatin1(kTempFolderText), QString::fromLatin1(kTempFolderCaption),
                    MB_ICONWARNING);
        return;
    }
    m_list.SaveSelectedAs(chosen);
}

void FileCommands::Delete()
{
    if (Selected(nullptr, txt::SelectFile_Image))
        m_list.DeleteSelected();
}

void FileCommands::DeleteAll()
{
    if (Selected(nullptr, txt::SelectFile_Image))
        m_list.DeleteAll();
}

void FileCommands::SaveAll()
{
    QString path;
    if (!Selected(&path, txt::SelectFile_Image))
        return;
    const OpenKind kind = OpenKindOf(path);
    if (kind == OpenKind::Picture)
        m_list.SaveAllPictures();
    else if (kind == OpenKind::Video)
        m_list.SaveAllVideos();
}
