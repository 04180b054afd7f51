// CIniFile on arbitrary file content: load, look up, edit and write back.
#include "platform/files/CIniFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Each write-back syncs to disk; a memory file system keeps the runs fast.
    static QTemporaryDir dir(QDir("/dev/shm").exists()
                                 ? QStringLiteral("/dev/shm/pelora-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/pelora-fuzz-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("fuzz.ini"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return 0;
        }
        file.write(bytes);
    }
    // Names taken from the input itself reach the loose substring rules.
    const qsizetype cut = bytes.indexOf('\n');
    const QString name = QString::fromUtf8(bytes.left(cut < 0 ? 8 : qMin<qsizetype>(cut, 16)));
    {
        CIniFile ini;
        if (!ini.Load(path)) {
            return 0;
        }
        QString value;
        ini.GetValue(name, name, value);
        ini.GetValue(QStringLiteral("60"), QStringLiteral("60"), value);
        ini.SetValue(name, QStringLiteral("60"), value.left(64));
        ini.SetValue(QStringLiteral("60"), name, QStringLiteral("57.3"));
        ini.GetValue(QStringLiteral("60"), name, value);
    }
    CIniFile reread;
    reread.Load(path);
    return 0;
}
