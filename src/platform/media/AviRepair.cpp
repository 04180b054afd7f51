#include "platform/media/AviRepair.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t kAvifHasIndex = 0x10;
constexpr std::uint32_t kIndexKeyFrame = 0x10;
constexpr std::int64_t kChunkHeader = 8;
constexpr std::int64_t kListHeader = 12;
constexpr std::int64_t kAvihTotalFrames = 16; // in the avih data
constexpr std::int64_t kAvihFlags = 12;
constexpr std::int64_t kStrhLength = 32; // in the strh data

std::uint32_t Tag(const char* t)
{
    return std::uint32_t(std::uint8_t(t[0])) | std::uint32_t(std::uint8_t(t[1])) << 8 |
           std::uint32_t(std::uint8_t(t[2])) << 16 | std::uint32_t(std::uint8_t(t[3])) << 24;
}

bool ReadAt(int fd, std::int64_t at, void* out, std::size_t size)
{
    return ::pread(fd, out, size, off_t(at)) == ssize_t(size);
}

bool ReadU32(int fd, std::int64_t at, std::uint32_t* value)
{
    std::uint8_t b[4];
    if (!ReadAt(fd, at, b, 4)) {
        return false;
    }
    *value = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
             std::uint32_t(b[3]) << 24;
    return true;
}

void PutU32(std::uint8_t* out, std::uint32_t value)
{
    out[0] = std::uint8_t(value);
    out[1] = std::uint8_t(value >> 8);
    out[2] = std::uint8_t(value >> 16);
    out[3] = std::uint8_t(value >> 24);
}

bool WriteAt(int fd, std::int64_t at, const void* data, std::size_t size)
{
    return ::pwrite(fd, data, size, off_t(at)) == ssize_t(size);
}

bool WriteU32(int fd, std::int64_t at, std::uint32_t value)
{
    std::uint8_t b[4];
    PutU32(b, value);
    return WriteAt(fd, at, b, 4);
}

struct Chunk {
    std::int64_t at = 0; // of its id
    std::uint32_t id = 0;
    std::uint32_t size = 0;
    std::uint32_t listType = 0; // LIST and RIFF only
    std::int64_t End() const { return at + kChunkHeader + size + (size & 1); }
};

bool ReadChunk(int fd, std::int64_t at, Chunk* chunk)
{
    std::uint32_t id = 0;
    std::uint32_t size = 0;
    if (!ReadU32(fd, at, &id) || !ReadU32(fd, at + 4, &size)) {
        return false;
    }
    chunk->at = at;
    chunk->id = id;
    chunk->size = size;
    chunk->listType = 0;
    if (id == Tag("LIST") || id == Tag("RIFF")) {
        ReadU32(fd, at + kChunkHeader, &chunk->listType);
    }
    return true;
}

// Where the first part's headers keep their counts.
struct HeaderPlaces {
    std::int64_t avih = -1; // data of avih
    std::int64_t strh = -1; // data of the first strh
    std::int64_t odml = -1; // the odml list (still a JUNK chunk until the file is finished)
    std::int64_t dmlh = -1; // data of dmlh
};

void FindHeaderPlaces(int fd, std::int64_t from, std::int64_t to, HeaderPlaces* places)
{
    Chunk c;
    for (std::int64_t at = from; at + kChunkHeader <= to && ReadChunk(fd, at, &c); at = c.End()) {
        const bool list = c.id == Tag("LIST");
        if (c.id == Tag("avih") && places->avih < 0) {
            places->avih = at + kChunkHeader;
        } else if (c.id == Tag("strh") && places->strh < 0) {
            places->strh = at + kChunkHeader;
        } else if ((list || c.id == Tag("JUNK")) && c.size >= 12) {
            std::uint32_t type = 0;
            std::uint32_t inner = 0;
            ReadU32(fd, at + kChunkHeader, &type);
            ReadU32(fd, at + kListHeader, &inner);
            if (type == Tag("odml") && inner == Tag("dmlh")) {
                places->odml = at;
                places->dmlh = at + kListHeader + kChunkHeader;
            } else if (list) {
                FindHeaderPlaces(fd, at + kListHeader, std::min(c.End(), to), places);
            }
        }
        if (c.End() <= at) {
            break;
        }
    }
}

struct IndexEntry {
    std::uint32_t id, flags, offset, size;
};

// Walks one movi list up to `end`: whole chunks only. Returns where the last
// whole chunk ends.
std::int64_t WalkMovi(int fd, std::int64_t moviType, std::int64_t end, bool firstPart,
                      const std::vector<bool>& keyFrames, std::int64_t* frames,
                      std::vector<IndexEntry>* index)
{
    std::int64_t at = moviType + 4;
    Chunk c;
    while (at + kChunkHeader <= end && ReadChunk(fd, at, &c) && c.End() <= end) {
        const std::uint8_t* id = reinterpret_cast<const std::uint8_t*>(&c.id);
        const bool frame = id[2] == 'd' && (id[3] == 'c' || id[3] == 'b');
        if (frame) {
            const bool key = std::size_t(*frames) < keyFrames.size() && keyFrames[std::size_t(*frames)];
            if (firstPart) {
                index->push_back({c.id, key ? kIndexKeyFrame : 0, std::uint32_t(at - moviType), c.size});
            }
            ++*frames;
        }
        at = c.End();
    }
    return at;
}

bool AppendIndex(int fd, std::int64_t at, const std::vector<IndexEntry>& index)
{
    std::vector<std::uint8_t> bytes(std::size_t(kChunkHeader) + index.size() * 16);
    PutU32(bytes.data(), Tag("idx1"));
    PutU32(bytes.data() + 4, std::uint32_t(index.size() * 16));
    std::uint8_t* out = bytes.data() + kChunkHeader;
    for (const IndexEntry& e : index) {
        PutU32(out, e.id);
        PutU32(out + 4, e.flags);
        PutU32(out + 8, e.offset);
        PutU32(out + 12, e.size);
        out += 16;
    }
    return WriteAt(fd, at, bytes.data(), bytes.size());
}

} // namespace

bool FinishCutAvi(int fd, std::int64_t wholeEnd, const std::vector<bool>& keyFrames)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return false;
    }
    std::int64_t end = std::min<std::int64_t>(wholeEnd, st.st_size);
    Chunk riff;
    if (!ReadChunk(fd, 0, &riff) || riff.id != Tag("RIFF") || riff.listType != Tag("AVI ")) {
        return false;
    }
    HeaderPlaces places;
    std::int64_t frames = 0;
    std::int64_t firstPartFrames = 0;
    std::vector<IndexEntry> index;
    int parts = 0;
    std::int64_t partAt = 0;
    std::int64_t cut = end;
    for (;;) {
        ++parts;
        const bool first = parts == 1;
        const bool whole = riff.size != 0 && riff.size != 0xFFFFFFFFu && riff.End() <= end;
        const std::int64_t partEnd = whole ? riff.End() : end;
        if (first) {
            FindHeaderPlaces(fd, kListHeader, partEnd, &places);
        }
        // Find the part's movi list.
        Chunk c;
        std::int64_t moviEnd = -1;
        for (std::int64_t at = partAt + kListHeader; at + kListHeader <= partEnd && ReadChunk(fd, at, &c);
             at = c.End()) {
            if (c.id == Tag("LIST") && c.listType == Tag("movi")) {
                const std::int64_t listEnd = whole ? std::min(c.End(), partEnd) : partEnd;
                moviEnd = WalkMovi(fd, at + kChunkHeader, listEnd, first, keyFrames, &frames, &index);
                if (!whole) {
                    WriteU32(fd, at + 4, std::uint32_t(moviEnd - at - kChunkHeader));
                }
                break;
            }
            if (c.End() <= at) {
                break;
            }
        }
        if (first) {
            firstPartFrames = frames;
        }
        if (!whole) {
            cut = moviEnd < 0 ? partEnd : moviEnd;
            break;
        }
        partAt = riff.End();
        if (!ReadChunk(fd, partAt, &riff) || riff.id != Tag("RIFF") || partAt + kListHeader > end) {
            cut = partAt;
            break;
        }
    }
    if (::ftruncate(fd, off_t(cut)) != 0) {
        return false;
    }
    const bool single = parts == 1;
    bool indexed = false;
    if (single && !index.empty()) {
        indexed = AppendIndex(fd, cut, index) && ::fsync(fd) == 0;
        if (indexed) {
            cut += kChunkHeader + std::int64_t(index.size()) * 16;
        } else if (::ftruncate(fd, off_t(cut)) != 0) {
            return false;
        }
    }
    WriteU32(fd, partAt + 4, std::uint32_t(cut - partAt - kChunkHeader));
    if (places.avih >= 0) {
        std::uint32_t flags = 0;
        ReadU32(fd, places.avih + kAvihFlags, &flags);
        if (single) {
            flags = indexed ? (flags | kAvifHasIndex) : (flags & ~kAvifHasIndex);
        }
        WriteU32(fd, places.avih + kAvihFlags, flags);
        WriteU32(fd, places.avih + kAvihTotalFrames, std::uint32_t(single ? frames : firstPartFrames));
    }
    if (places.strh >= 0) {
        WriteU32(fd, places.strh + kStrhLength, std::uint32_t(frames));
    }
    if (!single && places.odml >= 0) {
        WriteU32(fd, places.odml, Tag("LIST"));
        WriteU32(fd, places.dmlh, std::uint32_t(frames));
    }
    return true;
}
