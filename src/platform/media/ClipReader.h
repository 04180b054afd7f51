#pragma once
// A recorded clip read picture by picture: the container, its first video
// stream, a decoder for it, and each picture as 32-bit RGB. No windows and no
// threads of its own; the strip decodes first pictures with it on the window
// thread, the player from a worker (ClipDecodeThread).
#include <QImage>
#include <QString>
#include <functional>
#include <memory>

struct ClipFrame {
    QImage image;       // QImage::Format_RGB32
    double seconds = 0; // where the picture starts on the clip's time line
};

class ClipReader {
public:
    ClipReader();
    ~ClipReader();
    ClipReader(const ClipReader&) = delete;
    ClipReader& operator=(const ClipReader&) = delete;

    // Opens `path` (a regular file only), its first video stream and a decoder
    // for it. False on any failure; nothing stays open then.
    bool Open(const QString& path);
    bool IsOpen() const;
    // Asked between packets while reading or seeking: true gives up at once, and
    // the read or seek reports failure. For a worker told to do something else.
    void SetInterrupt(std::function<bool()> interrupted);

    // Length of the clip in seconds; 0 when the file does not say.
    double Duration() const;
    // How long one picture lasts; 0 when the stream gives no rate.
    double FrameSeconds() const;

    // The next picture. False at the end of the clip, or when the file gives no
    // picture for a long stretch (a damaged file ends there).
    bool ReadFrame(ClipFrame& out);
    // Moves so that the next ReadFrame gives the picture shown at `seconds`
    // (the last one starting at or before it). False when the file cannot seek;
    // reading then goes on from where it was.
    bool Seek(double seconds);

private:
    struct State;
    std::unique_ptr<State> m;
};
