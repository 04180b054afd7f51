#include "platform/text/TextLookup.h"

#include "platform/files/PrivateProfile.h"
#include "platform/text/CodePage.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

namespace {

constexpr char kTextSection[] = "DoDedazez";

// The decoded current language file. It is parsed once and read again only when
// the path changes or the file on disk changes (time or size).
struct LanguageCache {
    QMutex mutex;
    QString path;
    bool loaded = false;
    QDateTime modified;
    qint64 size = -1;
    ProfileData profile;
};

LanguageCache& Cache()
{
    static LanguageCache cache;
    return cache;
}

void Refresh(LanguageCache& cache)
{
    const QFileInfo info(cache.path);
    const bool exists = !cache.path.isEmpty() && info.isFile();
    const QDateTime modified = exists ? info.lastModified() : QDateTime();
    const qint64 size = exists ? info.size() : -1;
    if (cache.loaded && modified == cache.modified && size == cache.size) {
        return;
    }
    QString text;
    cache.profile = exists && ReadCodePageFile(cache.path, text) ? ProfileData(text) : ProfileData();
    cache.modified = modified;
    cache.size = size;
    cache.loaded = true;
}

} // namespace

void SetLanguageFilePath(const QString& path)
{
    LanguageCache& cache = Cache();
    QMutexLocker lock(&cache.mutex);
    if (path == cache.path) {
        return;
    }
    cache.path = path;
    cache.loaded = false;
    cache.profile = ProfileData();
}

QString LanguageFilePath()
{
    LanguageCache& cache = Cache();
    QMutexLocker lock(&cache.mutex);
    return cache.path;
}

QString LoadText(const TextKey& text, int capacity)
{
    const QString key = QString::fromUtf8(text.key);
    const QString def = QString::fromUtf8(text.def);
    LanguageCache& cache = Cache();
    QMutexLocker lock(&cache.mutex);
    Refresh(cache);
    return ProfileString(cache.profile, QLatin1String(kTextSection), key, def, capacity);
}
