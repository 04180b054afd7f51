#include "capture/CapConfig.h"

#include "platform/files/AtomicFile.h"
#include "platform/files/ProgramFolder.h"

#include <QDataStream>
#include <QFile>
#include <cmath>

namespace {
constexpr int kMaxSide = 16384;

void WriteHeader(QDataStream& out, const BitmapInfoHeader& h)
{
    out << h.biSize << h.biWidth << h.biHeight << h.biPlanes << h.biBitCount << h.biCompression
        << h.biSizeImage << h.biXPelsPerMeter << h.biYPelsPerMeter << h.biClrUsed << h.biClrImportant;
}

void ReadHeader(QDataStream& in, BitmapInfoHeader& h)
{
    in >> h.biSize >> h.biWidth >> h.biHeight >> h.biPlanes >> h.biBitCount >> h.biCompression >>
        h.biSizeImage >> h.biXPelsPerMeter >> h.biYPelsPerMeter >> h.biClrUsed >> h.biClrImportant;
}

bool Usable(const VideoInfoHeader& f)
{
    const BitmapInfoHeader& h = f.bmiHeader;
    if (h.biSize != sizeof(BitmapInfoHeader) || h.biWidth <= 0 || h.biHeight <= 0 || h.biWidth > kMaxSide ||
        h.biHeight > kMaxSide || f.AvgTimePerFrame < 0) {
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        if (f.rcSource[i] < 0 || f.rcTarget[i] < 0) {
            return false;
        }
    }
    return true;
}
} // namespace

QByteArray SerializeVideoInfoHeader(const VideoInfoHeader& f)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    for (std::int32_t v : f.rcSource) {
        out << v;
    }
    for (std::int32_t v : f.rcTarget) {
        out << v;
    }
    out << f.dwBitRate << f.dwBitErrorRate << static_cast<qint64>(f.AvgTimePerFrame);
    WriteHeader(out, f.bmiHeader);
    return bytes;
}

bool ParseVideoInfoHeader(const QByteArray& bytes, VideoInfoHeader& format)
{
    if (bytes.size() != kVideoInfoHeaderBytes) {
        return false;
    }
    VideoInfoHeader f;
    QDataStream in(bytes);
    in.setByteOrder(QDataStream::LittleEndian);
    for (std::int32_t& v : f.rcSource) {
        in >> v;
    }
    for (std::int32_t& v : f.rcTarget) {
        in >> v;
    }
    qint64 avg = 0;
    in >> f.dwBitRate >> f.dwBitErrorRate >> avg;
    f.AvgTimePerFrame = avg;
    ReadHeader(in, f.bmiHeader);
    if (in.status() != QDataStream::Ok || !Usable(f)) {
        return false;
    }
    format = f;
    return true;
}

QString CapConfigPath()
{
    return WritableProgramFolder() + "/CapConfig.dat";
}

bool ReadCapConfig(VideoInfoHeader& format)
{
    QFile file(CapConfigPath());
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    return ParseVideoInfoHeader(file.read(kVideoInfoHeaderBytes), format);
}

bool WriteCapConfig(const VideoInfoHeader& format)
{
    return WriteFileAtomically(CapConfigPath(), SerializeVideoInfoHeader(format));
}

std::uint32_t BitRateOf(std::int64_t averageTimePerFrame, std::uint32_t imageSize)
{
    if (averageTimePerFrame <= 0) {
        return 0;
    }
    const double fps = std::trunc(10000000.0 / static_cast<double>(averageTimePerFrame) + 0.49999999);
    const double rate = fps * imageSize * 8.0;
    // The field is 32 bits; an absurd product saturates rather than wrapping.
    return rate >= 4294967295.0 ? 0xffffffffu : static_cast<std::uint32_t>(rate);
}
