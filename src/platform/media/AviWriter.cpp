#include "platform/media/AviWriter.h"

#include "platform/media/AviRepair.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kIoBufferBytes = 1 << 16;
constexpr int kWorstQscale = 31;
constexpr int kBestQscale = 2;
constexpr int kWorstCrf = 51;
constexpr int kBestCrf = 10;

// Pixel format each compressor is fed with.
AVPixelFormat InputFormatOf(const AVCodec& encoder)
{
    const char* name = encoder.name;
    if (std::strcmp(name, "rawvideo") == 0) {
        return AV_PIX_FMT_BGR24;
    }
    if (std::strcmp(name, "msvideo1") == 0) {
        return AV_PIX_FMT_RGB555LE;
    }
    if (std::strcmp(name, "ffv1") == 0 || std::strcmp(name, "huffyuv") == 0) {
        return AV_PIX_FMT_BGRA;
    }
    return AV_PIX_FMT_YUV420P;
}

// Quality 0 ... 10000 onto the compressor's own scale.
void ApplyQuality(AVCodecContext& codec, const char* encoder, std::uint32_t quality)
{
    const int worse = int(kQualityBest - std::min<std::uint32_t>(quality, kQualityBest));
    if (std::strcmp(encoder, "mpeg4") == 0) {
        const int q = kBestQscale + worse * (kWorstQscale - kBestQscale) / kQualityBest;
        codec.flags |= AV_CODEC_FLAG_QSCALE;
        codec.global_quality = FF_QP2LAMBDA * q;
    } else if (std::strcmp(encoder, "libx264") == 0) {
        const int crf = kBestCrf + worse * (kWorstCrf - kBestCrf) / kQualityBest;
        av_opt_set_int(codec.priv_data, "crf", crf, 0);
        av_opt_set(codec.priv_data, "preset", "veryfast", 0);
        // No reordered frames: every packet is written in the order it is shown.
        av_opt_set(codec.priv_data, "tune", "zerolatency", 0);
    }
}

} // namespace

struct AviWriter::Impl {
    int fd = -1;
    AVFormatContext* format = nullptr;
    AVIOContext* io = nullptr;
    AVStream* stream = nullptr;
    const AVCodec* encoder = nullptr;
    AVCodecContext* codec = nullptr;
    SwsContext* scaler = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    AviStreamHeader header;
    AviCompressOptions options;
    bool headerWritten = false;
    bool drained = false; // the compressor was told the stream ends
    bool failed = false;
    int ioError = 0;
    std::int64_t lastIndex = -1;
    std::int64_t chunks = 0;     // chunks in the file, empty ones too
    std::int64_t wholeEnd = 0;   // the file ends with a whole frame here
    std::vector<bool> keyFrames; // per chunk, for an index rebuilt after a failure
    tjhandle jpeg = nullptr;     // Motion JPEG only
    unsigned char* jpegBuffer = nullptr;
    unsigned long jpegCapacity = 0;
    int jpegQuality = 0;

    static int Write(void* opaque, std::uint8_t* buffer, int size)
    {
        auto* self = static_cast<Impl*>(opaque);
        int done = 0;
        while (done < size) {
            const ssize_t n = ::write(self->fd, buffer + done, std::size_t(size - done));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                self->ioError = n < 0 ? errno : ENOSPC;
                return AVERROR(self->ioError);
            }
            done += int(n);
        }
        return size;
    }

    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence)
    {
        auto* self = static_cast<Impl*>(opaque);
        if (whence == AVSEEK_SIZE) {
            struct stat st {};
            return ::fstat(self->fd, &st) == 0 ? std::int64_t(st.st_size) : AVERROR(errno);
        }
        const off_t at = ::lseek(self->fd, off_t(offset), whence & ~AVSEEK_FORCE);
        return at < 0 ? AVERROR(errno) : std::int64_t(at);
    }

    std::uint32_t Fail()
    {
        failed = true;
        if (ioError == 0) {
            ioError = EIO;
        }
        return AVIERR_FILEWRITE;
    }

    // Sends one frame (or the end, with nullptr) and writes what comes out.
    std::uint32_t Encode(AVFrame* input)
    {
        drained = drained || input == nullptr;
        if (codec == nullptr) {
            return AVIERR_OK; // nothing held back
        }
        if (avcodec_send_frame(codec, input) < 0) {
            return AVIERR_COMPRESSOR;
        }
        for (;;) {
            const int got = avcodec_receive_packet(codec, packet);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) {
                return AVIERR_OK;
            }
            if (got < 0) {
                return AVIERR_COMPRESSOR;
            }
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            const std::uint32_t written = WritePacket();
            if (written != AVIERR_OK) {
                return written;
            }
        }
    }

    // Writes `packet` (its times in the stream's units) and makes sure it reached the file.
    std::uint32_t WritePacket()
    {
        packet->stream_index = stream->index;
        const std::int64_t at = packet->dts == AV_NOPTS_VALUE ? chunks : packet->dts;
        const bool key = (packet->flags & AV_PKT_FLAG_KEY) != 0;
        const int written = av_write_frame(format, packet);
        av_packet_unref(packet);
        avio_flush(io);
        if (written < 0 || io->error < 0 || ioError != 0) {
            return Fail();
        }
        while (chunks < at) {
            keyFrames.push_back(false);
            ++chunks;
        }
        keyFrames.push_back(key);
        ++chunks;
        wholeEnd = avio_tell(io);
        return AVIERR_OK;
    }

    // Motion JPEG: each frame is a JPEG picture, compressed straight from the
    // bottom-up BGR rows by TurboJPEG (much faster than the codec library's own).
    std::uint32_t WriteJpeg(const std::uint8_t* pixels, int width, int height, std::int64_t index)
    {
        unsigned long size = jpegCapacity;
        unsigned char* out = jpegBuffer;
        if (tjCompress2(jpeg, pixels, width, width * 3, height, TJPF_BGR, &out, &size, TJSAMP_420,
                        jpegQuality, TJFLAG_BOTTOMUP | TJFLAG_NOREALLOC) != 0) {
            return AVIERR_COMPRESSOR;
        }
        packet->data = out;
        packet->size = int(size);
        packet->pts = packet->dts = index;
        packet->flags = AV_PKT_FLAG_KEY;
        return WritePacket();
    }

    void Free()
    {
        if (jpeg != nullptr) {
            tjDestroy(jpeg);
            jpeg = nullptr;
        }
        tjFree(jpegBuffer);
        jpegBuffer = nullptr;
        sws_freeContext(scaler);
        scaler = nullptr;
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        if (format != nullptr) {
            avformat_free_context(format);
            format = nullptr;
        }
        if (io != nullptr) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
        stream = nullptr;
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
};

AviWriter::AviWriter() : m(std::make_unique<Impl>())
{
    // The codec library's progress notes are not for the user.
    if (av_log_get_level() > AV_LOG_ERROR) {
        av_log_set_level(AV_LOG_ERROR);
    }
}

AviWriter::~AviWriter()
{
    Close();
}

bool AviWriter::IsOpen() const
{
    return m->fd >= 0;
}

int AviWriter::ioError() const
{
    return m->ioError;
}

std::int64_t AviWriter::framesWritten() const
{
    return m->chunks;
}

std::uint32_t AviWriter::CreateFile(int fd)
{
    Close();
    *m = Impl{};
    if (fd < 0) {
        return AVIERR_FILEOPEN;
    }
    m->fd = fd;
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kIoBufferBytes));
    m->io = buffer
                ? avio_alloc_context(buffer, kIoBufferBytes, 1, m.get(), nullptr, &Impl::Write, &Impl::Seek)
                : nullptr;
    if (m->io == nullptr) {
        av_free(buffer);
        m->Free();
        return AVIERR_MEMORY;
    }
    // Seekable output is what lets the muxer write the indexes and the OpenDML parts.
    m->io->seekable = AVIO_SEEKABLE_NORMAL;
    if (avformat_alloc_output_context2(&m->format, nullptr, "avi", nullptr) < 0 || m->format == nullptr) {
        m->Free();
        return AVIERR_FILEOPEN;
    }
    m->format->pb = m->io;
    m->format->flags |= AVFMT_FLAG_CUSTOM_IO;
    return AVIERR_OK;
}

std::uint32_t AviWriter::CreateStream(const AviStreamHeader& header)
{
    if (m->format == nullptr) {
        return AVIERR_BADPARAM;
    }
    if (header.fccType != kStreamTypeVids || header.rate == 0 || header.scale == 0) {
        return AVIERR_BADFORMAT;
    }
    m->stream = avformat_new_stream(m->format, nullptr);
    if (m->stream == nullptr) {
        return AVIERR_MEMORY;
    }
    m->header = header;
    m->stream->time_base = AVRational{int(header.scale), int(header.rate)};
    m->stream->avg_frame_rate = AVRational{int(header.rate), int(header.scale)};
    m->stream->r_frame_rate = m->stream->avg_frame_rate;
    return AVIERR_OK;
}

std::uint32_t AviWriter::MakeCompressedStream(const AviCompressOptions& options)
{
    if (m->stream == nullptr) {
        return AVIERR_BADPARAM;
    }
    const AviCompressor* compressor = CompressorOf(options);
    if (!options.IsPrepared() || compressor == nullptr) {
        return AVIERR_NOCOMPRESSOR;
    }
    m->encoder = avcodec_find_encoder_by_name(compressor->encoder);
    if (m->encoder == nullptr) {
        return AVIERR_NOCOMPRESSOR;
    }
    m->options = options;
    return AVIERR_OK;
}

std::uint32_t AviWriter::SetFormat(int width, int height, int bitCount)
{
    if (m->encoder == nullptr || m->headerWritten) {
        return AVIERR_BADPARAM;
    }
    if (bitCount != 24) {
        return AVIERR_UNSUPPORTED;
    }
    if (width <= 0 || height <= 0 || av_image_check_size(unsigned(width), unsigned(height), 0, nullptr) < 0) {
        return AVIERR_BADFORMAT;
    }
    if (std::strcmp(m->encoder->name, "mjpeg") == 0) {
        return SetJpegFormat(width, height);
    }
    AVCodecContext* codec = m->codec = avcodec_alloc_context3(m->encoder);
    m->frame = av_frame_alloc();
    m->packet = av_packet_alloc();
    if (codec == nullptr || m->frame == nullptr || m->packet == nullptr) {
        return AVIERR_MEMORY;
    }
    codec->width = width;
    codec->height = height;
    codec->pix_fmt = InputFormatOf(*m->encoder);
    codec->time_base = m->stream->time_base;
    codec->framerate = m->stream->avg_frame_rate;
    codec->codec_tag = m->options.fccHandler;
    codec->max_b_frames = 0;
    if (m->options.keyFrameEvery > 0) {
        codec->gop_size = int(m->options.keyFrameEvery);
        codec->keyint_min = int(m->options.keyFrameEvery);
    }
    ApplyQuality(*codec, m->encoder->name, m->options.quality);
    if (avcodec_open2(codec, m->encoder, nullptr) < 0) {
        return AVIERR_BADFORMAT;
    }
    if (avcodec_parameters_from_context(m->stream->codecpar, codec) < 0) {
        return AVIERR_MEMORY;
    }
    m->stream->codecpar->codec_tag = m->options.fccHandler;
    m->frame->format = codec->pix_fmt;
    m->frame->width = width;
    m->frame->height = height;
    if (av_frame_get_buffer(m->frame, 0) < 0) {
        return AVIERR_MEMORY;
    }
    if (codec->pix_fmt != AV_PIX_FMT_BGR24) {
        m->scaler = sws_getContext(width, height, AV_PIX_FMT_BGR24, width, height, codec->pix_fmt, SWS_POINT,
                                   nullptr, nullptr, nullptr);
        if (m->scaler == nullptr) {
            return AVIERR_UNSUPPORTED;
        }
    }
    return WriteHeader();
}

std::uint32_t AviWriter::SetJpegFormat(int width, int height)
{
    m->packet = av_packet_alloc();
    m->jpeg = tjInitCompress();
    m->jpegCapacity = tjBufSize(width, height, TJSAMP_420);
    m->jpegBuffer = m->jpegCapacity ? tjAlloc(int(m->jpegCapacity)) : nullptr;
    if (m->packet == nullptr || m->jpeg == nullptr || m->jpegBuffer == nullptr) {
        return AVIERR_MEMORY;
    }
    m->jpegQuality = std::clamp(int(m->options.quality) * 100 / kQualityBest, 1, 100);
    AVCodecParameters* par = m->stream->codecpar;
    par->codec_type = AVMEDIA_TYPE_VIDEO;
    par->codec_id = AV_CODEC_ID_MJPEG;
    par->codec_tag = m->options.fccHandler;
    par->width = width;
    par->height = height;
    par->format = AV_PIX_FMT_YUVJ420P;
    par->bits_per_coded_sample = 24;
    return WriteHeader();
}

std::uint32_t AviWriter::WriteHeader()
{
    if (avformat_write_header(m->format, nullptr) < 0) {
        return m->Fail();
    }
    avio_flush(m->io);
    if (m->io->error < 0 || m->ioError != 0) {
        return m->Fail();
    }
    m->headerWritten = true;
    m->wholeEnd = avio_tell(m->io);
    return AVIERR_OK;
}

std::uint32_t AviWriter::WriteFrame(const std::uint8_t* pixels, std::size_t length, std::int64_t index)
{
    if (!m->headerWritten || m->failed || m->drained) {
        return m->failed ? AVIERR_FILEWRITE : AVIERR_BADPARAM;
    }
    const int width = m->stream->codecpar->width;
    const int height = m->stream->codecpar->height;
    const std::size_t stride = std::size_t(width) * 3;
    if (pixels == nullptr || length < stride * std::size_t(height) || index <= m->lastIndex) {
        return AVIERR_BADPARAM;
    }
    if (m->jpeg != nullptr) {
        m->lastIndex = index;
        return m->WriteJpeg(pixels, width, height, index);
    }
    if (av_frame_make_writable(m->frame) < 0) {
        return AVIERR_MEMORY;
    }
    // Bottom-up rows: start at the last one and step backwards.
    const std::uint8_t* top = pixels + stride * std::size_t(height - 1);
    if (m->scaler != nullptr) {
        const std::uint8_t* planes[1] = {top};
        const int strides[1] = {-int(stride)};
        sws_scale(m->scaler, planes, strides, 0, height, m->frame->data, m->frame->linesize);
    } else {
        for (int y = 0; y < height; ++y) {
            std::memcpy(m->frame->data[0] + std::ptrdiff_t(y) * m->frame->linesize[0],
                        top - stride * std::size_t(y), stride);
        }
    }
    m->frame->pts = index;
    m->lastIndex = index;
    return m->Encode(m->frame);
}

std::uint32_t AviWriter::ExtendTo(std::int64_t frames)
{
    if (!m->headerWritten || m->failed || frames <= m->chunks || m->chunks == 0) {
        return m->failed ? AVIERR_FILEWRITE : AVIERR_OK;
    }
    // Frames still inside the compressor come first.
    const std::uint32_t drained = m->Encode(nullptr);
    if (drained != AVIERR_OK || frames <= m->chunks) {
        return drained;
    }
    m->packet->data = nullptr;
    m->packet->size = 0;
    m->packet->stream_index = m->stream->index;
    m->packet->pts = m->packet->dts = frames - 1;
    const std::int64_t at = frames - 1;
    if (av_write_frame(m->format, m->packet) < 0) {
        return AVIERR_OK; // the file simply ends with its last frame
    }
    avio_flush(m->io);
    if (m->io->error < 0 || m->ioError != 0) {
        return m->Fail();
    }
    while (m->chunks <= at) {
        m->keyFrames.push_back(false);
        ++m->chunks;
    }
    m->wholeEnd = avio_tell(m->io);
    return AVIERR_OK;
}

std::uint32_t AviWriter::Close()
{
    if (m->fd < 0) {
        return AVIERR_OK;
    }
    std::uint32_t result = m->failed ? AVIERR_FILEWRITE : AVIERR_OK;
    if (m->headerWritten && !m->failed) {
        result = m->drained ? AVIERR_OK : m->Encode(nullptr);
        if (!m->failed) {
            av_write_trailer(m->format);
            avio_flush(m->io);
            if (m->io->error < 0 || m->ioError != 0) {
                result = m->Fail();
            }
        }
    }
    if (m->failed && m->headerWritten) {
        FinishCutAvi(m->fd, m->wholeEnd, m->keyFrames);
    }
    m->Free();
    return result;
}
