#include "files/MailAttachment.h"

#include "files/FileOps.h"
#include "image/CxImage.h"
#include "platform/files/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const char* const kMailFolderName = "mail";
const char* const kJpegExtension = "jpg";

// "pic.bmp" -> "pic.jpg"; only the file's own name counts, not its folders'.
QString JpegNameOf(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf('.');
    return (dot >= 0 ? name.left(dot + 1) : name + '.') + QLatin1String(kJpegExtension);
}

void RemoveEarlierCopies(const QDir& folder)
{
    const QString pattern = QStringLiteral("*.") + QLatin1String(kJpegExtension);
    for (const QString& name : folder.entryList({pattern}, QDir::Files | QDir::Hidden)) {
        QFile::remove(folder.filePath(name));
    }
}

} // namespace

QString MailPictureFolder()
{
    return QDir(WritableProgramFolder()).filePath(QString::fromLatin1(kMailFolderName));
}

AttachmentStatus PrepareMailAttachment(const QString& source, QString* attachment)
{
    if (!HasLowerCaseBitmapExtension(source)) { // "BMP" files go unconverted
        *attachment = source;
        return AttachmentStatus::Ready;
    }
    const QDir folder(MailPictureFolder());
    QDir().mkpath(folder.path());
    RemoveEarlierCopies(folder);
    const CxImage bitmap(source, CXIMAGE_FORMAT_BMP);
    if (!bitmap.IsValid()) {
        return AttachmentStatus::NotLoaded;
    }
    *attachment = folder.filePath(JpegNameOf(source));
    return bitmap.Save(*attachment, CXIMAGE_FORMAT_JPG) ? AttachmentStatus::Ready
                                                        : AttachmentStatus::NotCompressed;
}
