// The captured-files strip in the main window: its commands, opening files and
// saving the still picture the camera delivered.
#include "app/AppTexts.h"
#include "app/CMainDlg.h"
#include "capture/CCaptureGraph.h"
#include "capture/StillCapture.h"
#include "files/CFileListView.h"
#include "files/FileDialogs.h"
#include "measure/Calibration.h"
#include "platform/desktop/MessageBox.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

using namespace maindlg;

namespace {
// Fixed texts of these commands (never looked up in the language file).
const char* const kPictureNotOpen = "the picture not open,please check the file exist!";
const char* const kCantSaveToTemp = "Can't save file to temp directory!!";
const char* const kSaveFileCaption = "Save file";
const char* const kPictureFilter = "Bitmap Files(*.bmp)|*.bmp|JPEG Files(*.jpg)|*.jpg||";
const char* const kVideoFilter = "AVI Files(*.avi)|*.avi||";
// A stored name ends in a point and a three-letter extension.
constexpr int kExtensionChars = 4;

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
} // namespace

QWidget* CMainDlg::CreateFileList(QWidget* parent)
{
    auto* list = new CFileListView(m_pictureFolder, m_videoFolder, parent);
    list->setGeometry(kFileListRect);
    list->Refresh();
    return list;
}

static CFileListView* Strip(QWidget* widget)
{
    return static_cast<CFileListView*>(widget);
}

bool CMainDlg::IsOnFileList(QObject* watched) const
{
    for (QObject* o = watched; o != nullptr; o = o->parent()) {
        if (o == m_fileList) {
            return true;
        }
    }
    return false;
}

bool CMainDlg::FileListHitTest(QPoint global)
{
    return Strip(m_fileList)->HitTest(global) == 1;
}

void CMainDlg::RefreshFileList()
{
    Strip(m_fileList)->Refresh();
}

void CMainDlg::ShowFileListPage(int page)
{
    Strip(m_fileList)->SetPage(page);
}

QString CMainDlg::SelectedFilePath() const
{
    QString path;
    return Strip(m_fileList)->GetSelectedPath(&path) ? path : QString();
}

QString CMainDlg::NeedsSelection(const TextKey& warning)
{
    const QString path = SelectedFilePath();
    if (path.isEmpty()) {
        ShowMessage(this, LoadText(warning), m_msgTitle, MB_OK | MB_ICONWARNING);
    }
    return path;
}

void CMainDlg::OnStillCaptured(int origin)
{
    StillCapturedContext context;
    context.job.owner = this;
    context.job.pictureFolder = m_pictureFolder;
    context.job.imageFormat = ImageFormatSetting();
    context.job.magnification = MagnificationText(m_magnification->text());
    context.job.captureWidth = captureWidth.load();
    context.job.captureHeight = captureHeight.load();
    context.job.painters = m_stillPainters;
    context.recording = m_recording;
    context.origin = origin;
    CFileListView* strip = Strip(m_fileList);
    context.listPicture = [strip](const QString& path) { strip->AddCapturedPicture(path); };
    context.restartPreview = [this] { m_graph->RestartPreview(); };
    ::OnStillCaptured(std::move(context));
}

void CMainDlg::OnOpen()
{
    const QString path = NeedsSelection(txt::SelectFile_Image);
    if (!path.isEmpty()) {
        PostOpenFor(path);
    }
}

void CMainDlg::OnOpenPicture()
{
    const QString path = SelectedFilePath();
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        ShowMessage(this, QString::fromLatin1(kPictureNotOpen), m_msgTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    file.close();
    RunPhotoMeasure(path);
}

void CMainDlg::OnOpenVideo()
{
    const QString path = SelectedFilePath();
    if (!path.isEmpty()) {
        RunVideoPlayer(path);
    }
}

void CMainDlg::OnSaveAs()
{
    const QString source = NeedsSelection(txt::SelectFile);
    if (source.isEmpty()) {
        return;
    }
    const bool pictures = m_page == kPagePictures;
    SaveDialogRequest request;
    const QString name = QFileInfo(source).fileName();
    request.initialName = name.left(qMax(0, static_cast<int>(name.size()) - kExtensionChars));
    request.defaultExtension = pictures ? QStringLiteral(".bmp") : QStringLiteral(".avi");
    request.filter = QString::fromLatin1(pictures ? kPictureFilter : kVideoFilter);
    request.confirmOverwrite = true;
    const QString chosen = AskSaveFileName(this, request);
    if (chosen.isEmpty()) {
        return;
    }
    if (IsInOwnFolder(chosen, pictures ? m_pictureFolder : m_videoFolder)) {
        ShowMessage(this, QString::fromLatin1(kCantSaveToTemp), QString::fromLatin1(kSaveFileCaption),
                    MB_OK | MB_ICONWARNING);
        return;
    }
    Strip(m_fileList)->SaveSelectedAs(chosen);
}

void CMainDlg::OnEMail()
{
    const QString path = NeedsSelection(txt::SelectFile);
    if (!path.isEmpty()) {
        RunEMail(path);
    }
}

void CMainDlg::OnDelete()
{
    if (!NeedsSelection(txt::SelectFile_Image).isEmpty()) {
        Strip(m_fileList)->DeleteSelected();
    }
}

void CMainDlg::OnDeleteAll()
{
    if (!NeedsSelection(txt::SelectFile_Image).isEmpty()) {
        Strip(m_fileList)->DeleteAll();
    }
}

void CMainDlg::OnSaveAll()
{
    if (NeedsSelection(txt::SelectFile_Image).isEmpty()) {
        return;
    }
    if (m_page == kPagePictures) {
        Strip(m_fileList)->SaveAllPictures();
    } else {
        Strip(m_fileList)->SaveAllVideos();
    }
}

// The photo measure window, the video player and the e-mail dialog come with
// their own work; the selected path is handed over here.
void CMainDlg::RunPhotoMeasure(const QString&) {}
void CMainDlg::RunVideoPlayer(const QString&) {}
void CMainDlg::RunEMail(const QString&) {}
