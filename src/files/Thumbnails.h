#pragma once
// Thumbnails of the strip: decoding a picture or video small, and keeping the
// results so a redraw only decodes files that are new or changed on disk.
#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>

// Pixel bytes a raw BMP may claim; larger headers are not drawn.
inline constexpr size_t kRawBmpCapacity = size_t(64) << 20;
// Cached thumbnails fit this box; cells are smaller, so stretching only shrinks.
inline constexpr int kThumbnailBox = 160;

// What identifies one version of a file on disk.
struct FileStamp {
    int64_t size = -1;
    int64_t mtimeNs = 0;
    int64_t ctimeNs = 0;
    uint64_t inode = 0;
    bool operator==(const FileStamp&) const = default;
};

enum class StampResult { Ok, Missing, Unreadable };
StampResult StampFile(const QString& path, FileStamp* out);

// Decodes a thumbnail: videos by their first frame, names ending in "jpg" (any
// case) as JPEG at reduced scale, every other picture as a raw BMP. The result is
// shrunk to fit kThumbnailBox; a null image means the file cannot be shown.
QImage DecodeThumbnail(const QString& path, bool video);

class ThumbnailCache {
public:
    using Decoder = std::function<QImage(const QString& path)>;

    explicit ThumbnailCache(Decoder decoder);

    // The thumbnail of this version of the file, decoding it when the cache holds
    // none or an older version. Failures are remembered too.
    QImage Get(const QString& path, const FileStamp& stamp);
    void Forget(const QString& path) { m_entries.remove(path); }
    // Drops entries not used since the previous call, once there are many.
    void Trim(int keep);
    int Count() const { return int(m_entries.size()); }

private:
    struct Entry {
        FileStamp stamp;
        QImage image;
        uint64_t used = 0;
    };
    Decoder m_decoder;
    QHash<QString, Entry> m_entries;
    uint64_t m_generation = 1;
};
