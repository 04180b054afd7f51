#include "platform/files/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString g_readOnly;
QString g_writable;

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
    if (QFileInfo::exists(exe + "/English1252.ini")) {
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
    const QString exe = ExecutableFolder();
    if (QFileInfo(exe).isWritable()) {
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
