#include "files/FileOps.h"

#include "platform/files/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

QStringList ListFolder(const QString& folder, const QString& pattern)
{
    QDir dir(folder);
    dir.setNameFilters({pattern});
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::System);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    return dir.entryList();
}

bool CopyFileReplacing(const QString& source, const QString& destination)
{
    QFile in;
    if (!OpenRegularFile(source, &in)) {
        return false;
    }
    QSaveFile out(destination);
    // Unbuffered, so a short write on a full disk is seen before the rename.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return false;
    }
    constexpr qint64 kChunk = qint64(1) << 20;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            out.commit();
            return false;
        }
    }
    return out.commit();
}

QString FileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

QString FolderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QString() : path.left(slash);
}

QString ExtensionOf(const QString& path)
{
    const qsizetype dot = path.lastIndexOf('.');
    return dot < 0 ? QString() : path.mid(dot + 1);
}

bool HasLowerCaseBitmapExtension(const QString& path)
{
    constexpr int kExtensionChars = 3;
    return ExtensionOf(path).left(kExtensionChars) == QLatin1String("bmp");
}
