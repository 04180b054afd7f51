#include "platform/files/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString g_readOnly;
QString g_writable;
// Present in every folder that holds the program's own files.
constexpr char kMarkerFile[] = "/English1252.ini";

QString ExecutableFolder()
{
    const QString dir = QCoreApplication::applicationDirPath();
    return dir.isEmpty() ? QDir::currentPath() : dir;
}
} // namespace

QString ProgramFolder()
{
    if (!g_readOnly.isEmpty()) {
        return g_readOnly;
    }
    const QString exe = ExecutableFolder();
    if (QFileInfo::exists(exe + kMarkerFile)) {
        return exe;
    }
    const QString installed = QDir(exe).absoluteFilePath("../share/pelora");
    return QFileInfo::exists(installed) ? QDir(installed).canonicalPath() : exe;
}

QString WritableProgramFolder()
{
    if (!g_writable.isEmpty()) {
        return g_writable;
    }
    // A folder holding the program's own files (a build tree, an unpacked copy)
    // keeps what the program writes beside them. An installed program writes into
    // the user's data folder, even when it runs as root and could write to /usr/bin.
    const QString exe = ExecutableFolder();
    if (QFileInfo::exists(exe + kMarkerFile) && QFileInfo(exe).isWritable()) {
        return exe;
    }
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Pelora";
    QDir().mkpath(data);
    return data;
}

void OverrideProgramFolders(const QString& readOnly, const QString& writable)
{
    g_readOnly = readOnly;
    g_writable = writable;
}
