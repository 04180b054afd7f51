#include "platform/files/RegistryStore.h"

#include "platform/files/AtomicFile.h"
#include "platform/files/RegistryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QStandardPaths>

namespace registry {
namespace {

QMutex& StoreMutex()
{
    static QMutex mutex;
    return mutex;
}

bool Load(const QString& path, RegistryFile& file)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return false;
    }
    file = ParseRegistryFile(QString::fromUtf8(f.readAll()));
    return true;
}

bool Save(const QString& path, const RegistryFile& file)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    return WriteFileAtomically(path, FormatRegistryFile(file).toUtf8());
}

// Hands the stored value to `use`; false when the key, subkey or value is missing.
template <typename Use>
bool WithValue(const QString& key, const QString& subkey, const QString& name, Use use)
{
    QMutexLocker lock(&StoreMutex());
    RegistryFile file;
    if (!Load(KeyFilePath(key), file)) {
        return false;
    }
    RegistrySubkey* s = file.Find(subkey);
    RegistryValue* v = s ? s->Find(name) : nullptr;
    return v && use(*v);
}

// Loads the key's file (a missing one reads as empty), lets `change` edit it and
// saves it when `change` says so.
template <typename Change> bool Modify(const QString& key, Change change)
{
    const QString path = KeyFilePath(key);
    if (path.isEmpty()) {
        return false;
    }
    QMutexLocker lock(&StoreMutex());
    RegistryFile file;
    Load(path, file);
    return change(file) && Save(path, file);
}

bool Store(const QString& key, const QString& subkey, const RegistryValue& value)
{
    return Modify(key, [&](RegistryFile& file) {
        RegistrySubkey& s = file.FindOrAdd(subkey);
        if (RegistryValue* existing = s.Find(value.name)) {
            *existing = value;
        } else {
            s.values.append(value);
        }
        return true;
    });
}

} // namespace

QString KeyFilePath(const QString& key)
{
    const QStringList parts = key.split(u'\\');
    for (const QString& part : parts) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..") ||
            part.contains(u'/')) {
            return QString();
        }
    }
    const QString root = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return root + QStringLiteral("/Pelora/registry/") + parts.join(u'/') + QStringLiteral(".reg");
}

bool KeyExists(const QString& key)
{
    const QString path = KeyFilePath(key);
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool CreateSubkey(const QString& key, const QString& subkey)
{
    return Modify(key, [&](RegistryFile& file) {
        file.FindOrAdd(subkey);
        return true;
    });
}

bool DeleteKey(const QString& key)
{
    const QString path = KeyFilePath(key);
    QMutexLocker lock(&StoreMutex());
    return !path.isEmpty() && (!QFileInfo::exists(path) || QFile::remove(path));
}

bool ReadDword(const QString& key, const QString& subkey, const QString& name, uint32_t& value)
{
    return WithValue(key, subkey, name, [&](const RegistryValue& v) {
        if (v.isDword) {
            value = v.dword;
        }
        return v.isDword;
    });
}

bool ReadString(const QString& key, const QString& subkey, const QString& name, QString& value, int capacity)
{
    return WithValue(key, subkey, name, [&](const RegistryValue& v) {
        if (v.isDword) {
            return false;
        }
        QString text = v.text;
        const qsizetype nul = text.indexOf(QChar(0));
        if (nul >= 0) {
            text.truncate(nul);
        }
        value = text.left(capacity > 0 ? capacity - 1 : 0);
        return true;
    });
}

bool WriteDword(const QString& key, const QString& subkey, const QString& name, uint32_t value)
{
    return Store(key, subkey, RegistryValue{name, true, value, {}});
}

bool WriteString(const QString& key, const QString& subkey, const QString& name, const QString& value)
{
    return Store(key, subkey, RegistryValue{name, false, 0, value});
}

bool DeleteValue(const QString& key, const QString& subkey, const QString& name)
{
    return Modify(key, [&](RegistryFile& file) {
        RegistrySubkey* s = file.Find(subkey);
        return s && s->values.removeIf([&](const RegistryValue& v) {
            return v.name.compare(name, Qt::CaseInsensitive) == 0;
        }) > 0;
    });
}

} // namespace registry
