#pragma once
// Readers that take a path get the fuzz input through a file of their own name.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <unistd.h>

inline QString WriteFuzzFile(const uint8_t* data, size_t size, const QString& name)
{
    static const QString folder = [] {
        const QString dir = QDir::tempPath() + QStringLiteral("/pelora-fuzz-%1").arg(getpid());
        QDir().mkpath(dir);
        return dir;
    }();
    const QString path = folder + u'/' + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    return path;
}
