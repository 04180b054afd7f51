#include "files/Thumbnails.h"

#include "files/VideoThumbnail.h"
#include "image/CxImage.h"
#include "image/DibFormat.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>

namespace {

QImage Shrink(const QImage& image)
{
    if (image.isNull() || (image.width() <= kThumbnailBox && image.height() <= kThumbnailBox)) {
        return image;
    }
    return image.scaled(kThumbnailBox, kThumbnailBox, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QImage DecodePictureThumbnail(const QString& path)
{
    if (path.endsWith(QLatin1String("jpg"), Qt::CaseInsensitive)) {
        CxImage image;
        image.LoadScaled(path, CXIMAGE_FORMAT_JPG, QSize(kThumbnailBox, kThumbnailBox * 3 / 4));
        return image.Image();
    }
    QImage raw = ReadRawBmp(path, kRawBmpCapacity);
    if (!raw.isNull()) {
        return raw;
    }
    // Palette and compressed bitmaps are not laid out for the raw read.
    return DecodeBmpFile(path);
}

} // namespace

StampResult StampFile(const QString& path, FileStamp* out)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return (errno == ENOENT || errno == ENOTDIR) ? StampResult::Missing : StampResult::Unreadable;
    }
    out->size = st.st_size;
    out->mtimeNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    out->ctimeNs = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    out->inode = st.st_ino;
    return StampResult::Ok;
}

QImage DecodeThumbnail(const QString& path, bool video)
{
    return Shrink(video ? DecodeFirstVideoFrame(path) : DecodePictureThumbnail(path));
}

ThumbnailCache::ThumbnailCache(Decoder decoder) : m_decoder(std::move(decoder)) {}

QImage ThumbnailCache::Get(const QString& path, const FileStamp& stamp)
{
    auto it = m_entries.find(path);
    if (it == m_entries.end() || !(it->stamp == stamp)) {
        it = m_entries.insert(path, Entry{stamp, m_decoder(path), 0});
    }
    it->used = m_generation;
    return it->image;
}

void ThumbnailCache::Trim(int keep)
{
    if (m_entries.size() > keep) {
        for (auto it = m_entries.begin(); it != m_entries.end();) {
            it = it->used < m_generation ? m_entries.erase(it) : std::next(it);
        }
    }
    ++m_generation;
}
