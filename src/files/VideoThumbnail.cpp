#include "files/VideoThumbnail.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include "platform/files/RegularFile.h"

#include <cerrno>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reading stops after this many packets without a picture: a broken file must not
// keep the strip busy.
constexpr int kMaxPackets = 256;

constexpr int kIoBufferBytes = 64 * 1024;

// FFmpeg reads the file through a descriptor we opened and checked ourselves: its
// own open of the name would wait for ever on a named pipe.
class FdInput {
public:
    explicit FdInput(UniqueFd fd) : m_fd(std::move(fd))
    {
        auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
        if (buffer) {
            m_io =
                avio_alloc_context(buffer, kIoBufferBytes, 0, this, &FdInput::Read, nullptr, &FdInput::Seek);
            if (!m_io) {
                av_free(buffer);
            }
        }
    }
    ~FdInput()
    {
        if (m_io) {
            av_freep(&m_io->buffer);
            avio_context_free(&m_io);
        }
    }
    FdInput(const FdInput&) = delete;
    FdInput& operator=(const FdInput&) = delete;
    AVIOContext* Io() const { return m_io; }

private:
    static int Read(void* opaque, uint8_t* buffer, int size)
    {
        const int fd = static_cast<FdInput*>(opaque)->m_fd.get();
        for (;;) {
            const ssize_t n = ::read(fd, buffer, size_t(size));
            if (n > 0) {
                return int(n);
            }
            if (n == 0) {
                return AVERROR_EOF;
            }
            if (errno != EINTR) {
                return AVERROR(errno);
            }
        }
    }
    static int64_t Seek(void* opaque, int64_t offset, int whence)
    {
        const int fd = static_cast<FdInput*>(opaque)->m_fd.get();
        if (whence & AVSEEK_SIZE) {
            struct stat st {};
            return ::fstat(fd, &st) == 0 ? int64_t(st.st_size) : AVERROR(errno);
        }
        const off_t at = ::lseek(fd, off_t(offset), whence & ~AVSEEK_FORCE);
        return at < 0 ? AVERROR(errno) : int64_t(at);
    }

    UniqueFd m_fd;
    AVIOContext* m_io = nullptr;
};

struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};

QImage ToImage(const AVFrame* frame)
{
    if (frame->width <= 0 || frame->height <= 0) {
        return {};
    }
    QImage image(frame->width, frame->height, QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    SwsContext* sws = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                     frame->height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!sws) {
        return {};
    }
    uint8_t* dst[4] = {image.bits(), nullptr, nullptr, nullptr};
    int dstStride[4] = {int(image.bytesPerLine()), 0, 0, 0};
    const int rows = sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, dstStride);
    sws_freeContext(sws);
    return rows > 0 ? image : QImage();
}

// Feeds packets of the stream to the decoder until it gives a frame.
QImage DecodeFirst(AVFormatContext* format, AVCodecContext* codec, int stream)
{
    std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
    if (!packet || !frame) {
        return {};
    }
    for (int n = 0; n < kMaxPackets; ++n) {
        const bool atEnd = av_read_frame(format, packet.get()) < 0;
        if (atEnd) {
            avcodec_send_packet(codec, nullptr);
        } else if (packet->stream_index != stream) {
            av_packet_unref(packet.get());
            continue;
        } else {
            const int sent = avcodec_send_packet(codec, packet.get());
            av_packet_unref(packet.get());
            if (sent < 0 && sent != AVERROR(EAGAIN)) {
                continue;
            }
        }
        if (avcodec_receive_frame(codec, frame.get()) == 0) {
            return ToImage(frame.get());
        }
        if (atEnd) {
            break;
        }
    }
    return {};
}

} // namespace

QImage DecodeFirstVideoFrame(const QString& path)
{
    UniqueFd fd = OpenRegularFile(path);
    if (!fd.valid()) {
        return {};
    }
    const FdInput input(std::move(fd));
    AVFormatContext* raw = avformat_alloc_context();
    if (!input.Io() || !raw) {
        avformat_free_context(raw);
        return {};
    }
    raw->pb = input.Io();
    raw->flags |= AVFMT_FLAG_CUSTOM_IO;
    // The name still helps the format guess; it is never opened.
    if (avformat_open_input(&raw, path.toUtf8().constData(), nullptr, nullptr) < 0) {
        return {};
    }
    std::unique_ptr<AVFormatContext, FormatCloser> format(raw);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        return {};
    }
    int stream = -1;
    for (unsigned i = 0; i < format->nb_streams && stream < 0; ++i) {
        if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            stream = int(i);
        }
    }
    if (stream < 0) {
        return {};
    }
    const AVCodec* decoder = avcodec_find_decoder(format->streams[stream]->codecpar->codec_id);
    if (!decoder) {
        return {};
    }
    std::unique_ptr<AVCodecContext, CodecFreer> codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), format->streams[stream]->codecpar) < 0 ||
        avcodec_open2(codec.get(), decoder, nullptr) < 0) {
        return {};
    }
    return DecodeFirst(format.get(), codec.get(), stream);
}
