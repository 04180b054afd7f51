#include "capture/VideoRecorder.h"

#include "capture/RecordingFiles.h"

#include <QDateTime>
#include <QFile>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <new>

namespace {

// Frames on their way to the compressor; a frame arriving while all are taken
// is dropped.
constexpr int kFrameSlots = 3;
constexpr int kBitsPerPixel = 24;
constexpr std::int64_t kMsPerSecond = 1000;
constexpr mode_t kScratchMode = 0666;

std::int64_t SteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

std::unique_lock<std::mutex> VideoRecorder::HoldCaptureLock()
{
    return std::unique_lock<std::mutex>(m_captureLock != nullptr ? *m_captureLock : m_ownLock);
}

VideoRecorder::VideoRecorder(Clock clock, std::mutex* captureLock)
    : m_clock(clock ? std::move(clock) : Clock(SteadyMs)), m_captureLock(captureLock)
{
}

VideoRecorder::~VideoRecorder()
{
    Close();
}

bool VideoRecorder::PrepareCompressor(const QString& videoFolder, const AviCompressOptions& candidate,
                                      int width, int height)
{
    const QString scratch = ScratchVideoPath(videoFolder);
    const int fd =
        ::open(QFile::encodeName(scratch).constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, kScratchMode);
    if (fd < 0) {
        return false;
    }
    bool taken = false;
    {
        AviWriter writer;
        AviStreamHeader header;
        header.rate = 1;
        header.width = width;
        header.height = height;
        header.suggestedBufferSize = std::uint32_t(width) * std::uint32_t(height) * 3;
        taken = writer.CreateFile(fd) == AVIERR_OK && writer.CreateStream(header) == AVIERR_OK &&
                writer.MakeCompressedStream(candidate) == AVIERR_OK &&
                writer.SetFormat(width, height, kBitsPerPixel) == AVIERR_OK;
    }
    QFile::remove(scratch);
    if (taken) {
        m_options = candidate;
    }
    return taken;
}

bool VideoRecorder::PrepareDefaultCompressor(const QString& videoFolder, int width, int height)
{
    AviCompressOptions options;
    return DefaultCompressorOptions(&options) && PrepareCompressor(videoFolder, options, width, height);
}

RecorderOpenResult VideoRecorder::Fail(const char* format, std::uint32_t code)
{
    m_openResult.code = code;
    m_openResult.message = QString::asprintf(format, code, 0);
    if (m_writer) {
        m_writer->Close();
        m_writer.reset();
    }
    if (!m_path.isEmpty()) {
        QFile::remove(m_path);
        m_path.clear();
    }
    m_slots.clear();
    return m_openResult;
}

bool VideoRecorder::AllocateSlots(std::size_t bytes)
{
    m_slots.clear();
    m_slots.resize(kFrameSlots);
    m_free.clear();
    m_free.reserve(kFrameSlots);
    m_ready.assign(kFrameSlots, -1);
    m_readyHead = m_readyCount = 0;
    for (int i = 0; i < kFrameSlots; ++i) {
        m_slots[std::size_t(i)].pixels.reset(new (std::nothrow) std::uint8_t[bytes]);
        if (!m_slots[std::size_t(i)].pixels) {
            m_slots.clear();
            return false;
        }
        m_free.push_back(i);
    }
    return true;
}

RecorderOpenResult VideoRecorder::Open(const QString& videoFolder, int rate, int width, int height)
{
    Close();
    m_openResult = {};
    const int counter = NextVideoCounter(videoFolder, &m_openResult.skippedFolder);
    const int fd = CreateVideoFile(videoFolder, QDateTime::currentDateTime(), counter, &m_path);
    if (fd < 0) {
        m_path.clear();
        return Fail("Open avi file failed(0x%08X:%d)", AVIERR_FILEOPEN);
    }
    m_writer = std::make_unique<AviWriter>();
    std::uint32_t code = m_writer->CreateFile(fd);
    if (code != AVIERR_OK) {
        return Fail("Open avi file failed(0x%08X:%d)", code);
    }
    m_frameBytes = std::size_t(width > 0 ? width : 0) * std::size_t(height > 0 ? height : 0) * 3;
    AviStreamHeader header;
    header.rate = std::uint32_t(rate > 0 ? rate : 0);
    header.suggestedBufferSize = std::uint32_t(m_frameBytes);
    header.width = width;
    header.height = height;
    code = m_writer->CreateStream(header);
    if (code == AVIERR_OK && !AllocateSlots(m_frameBytes)) {
        code = AVIERR_MEMORY;
    }
    if (code != AVIERR_OK) {
        return Fail("Create stream failed(0x%08X:%d)", code);
    }
    code = m_writer->MakeCompressedStream(m_options);
    if (code != AVIERR_OK) {
        return Fail("Make compress stream failed(0x%08X:%d)", code);
    }
    code = m_writer->SetFormat(width, height, kBitsPerPixel);
    if (code == AVIERR_UNSUPPORTED) {
        return Fail("Unsupport compressed format", code);
    }
    if (code == AVIERR_BADFORMAT) {
        return Fail("Bad compresse format", code);
    }
    if (code != AVIERR_OK) {
        return Fail("Set stream format failed(0x%08X:%d)", code);
    }
    m_width = width;
    m_height = height;
    m_rate = rate;
    m_stopping = false;
    m_startMs = -1;
    m_lastIndex = -1;
    m_dropped = 0;
    m_writeFailed = false;
    m_thread = std::thread([this] { WriterLoop(); });
    const auto guard = HoldCaptureLock();
    m_open = true;
    return m_openResult;
}

void VideoRecorder::WriteFrame(const std::uint8_t* pixels, std::size_t length, int width, int height)
{
    const auto guard = HoldCaptureLock();
    if (!m_open.load() || pixels == nullptr || width != m_width || height != m_height ||
        length < m_frameBytes) {
        return;
    }
    const std::int64_t now = m_clock();
    if (m_startMs < 0) {
        m_startMs = now;
    }
    const std::int64_t index = (now - m_startMs) * m_rate / kMsPerSecond;
    if (index <= m_lastIndex) {
        return; // this moment of the stream has its frame already
    }
    int slot = -1;
    {
        const std::lock_guard queue(m_queueLock);
        if (m_free.empty()) {
            ++m_dropped;
            return;
        }
        slot = m_free.back();
        m_free.pop_back();
    }
    std::memcpy(m_slots[std::size_t(slot)].pixels.get(), pixels, m_frameBytes);
    m_slots[std::size_t(slot)].index = index;
    m_lastIndex = index;
    {
        const std::lock_guard queue(m_queueLock);
        m_ready[(m_readyHead + m_readyCount) % m_ready.size()] = slot;
        ++m_readyCount;
    }
    m_wake.notify_one();
}

void VideoRecorder::WriterLoop()
{
    for (;;) {
        int slot = -1;
        {
            std::unique_lock queue(m_queueLock);
            m_wake.wait(queue, [this] { return m_readyCount > 0 || m_stopping; });
            if (m_readyCount == 0) {
                return;
            }
            slot = m_ready[m_readyHead];
            m_readyHead = (m_readyHead + 1) % m_ready.size();
            --m_readyCount;
        }
        if (!m_writeFailed.load()) {
            const Slot& frame = m_slots[std::size_t(slot)];
            const std::uint32_t code = m_writer->WriteFrame(frame.pixels.get(), m_frameBytes, frame.index);
            if (code == AVIERR_FILEWRITE && !m_writeFailed.exchange(true) && m_onWriteFailed) {
                m_onWriteFailed();
            }
        }
        const std::lock_guard queue(m_queueLock);
        m_free.push_back(slot);
    }
}

int VideoRecorder::pendingFrames()
{
    const std::lock_guard queue(m_queueLock);
    return int(m_slots.size() - m_free.size());
}

RecordingResult VideoRecorder::Close()
{
    std::int64_t endIndex = -1;
    {
        // The recording ends now: frames still on their way are not part of it,
        // and the last frame is held only up to this moment.
        const auto guard = HoldCaptureLock();
        if (m_open.load() && m_startMs >= 0) {
            endIndex = (m_clock() - m_startMs) * m_rate / kMsPerSecond;
        }
        m_open = false;
    }
    RecordingResult result;
    if (!m_writer) {
        return result;
    }
    {
        const std::lock_guard queue(m_queueLock);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
    // The last frame stays on until the moment the recording ended.
    if (endIndex > m_lastIndex + 1) {
        m_writer->ExtendTo(endIndex);
    }
    result.error = m_writer->Close();
    result.ioError = m_writer->ioError();
    result.frames = m_writer->framesWritten();
    result.dropped = m_dropped;
    result.path = m_path;
    m_writer.reset();
    m_slots.clear();
    m_path.clear();
    return result;
}

void VideoRecorder::StartSeconds(int timeLimit)
{
    m_seconds = 0;
    m_timeLimit = timeLimit;
}

void VideoRecorder::StopSeconds()
{
    m_seconds = 0;
    m_timeLimit = 0;
}

SecondsStep VideoRecorder::Tick()
{
    ++m_seconds;
    if (m_seconds > m_timeLimit) {
        return SecondsStep::Done;
    }
    return m_seconds == m_timeLimit ? SecondsStep::LastTick : SecondsStep::Count;
}
