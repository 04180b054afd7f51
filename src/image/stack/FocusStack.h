#pragma once
// A focus series fused into one picture that is sharp at every depth: frames are
// read, aligned to the middle frame (StackAlignment.h) and fused by local sharpness
// (FocusFusion.h). The result has the middle frame's geometry and size.
#include <QImage>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <vector>

enum class StackStatus {
    Ok,
    TooFewFrames, // fewer than two frames
    TooManyFrames,
    Unreadable,   // `frame` could not be read as a picture
    SizeMismatch, // `frame` differs in size from the first one
    TooSmall,     // frames too small to align
    Canceled,
    NotWritten, // the result could not be saved
};

// Work is reported in steps: one per frame read, one per frame aligned, one per
// frame measured, and one for the final picture.
using StackProgress = std::function<void(int done, int total)>;

struct StackOptions {
    StackProgress progress;                    // optional; called on the working thread
    const std::atomic<bool>* cancel = nullptr; // checked between steps
};

struct StackResult {
    StackStatus status = StackStatus::Ok;
    int frame = -1; // the frame a failure is about (0-based), -1 when none
    QImage image;   // the fused picture (RGB32) on success
};

inline constexpr int kMinStackFrames = 2;
inline constexpr int kMaxStackFrames = 100;

StackResult FocusStackImages(std::vector<QImage> frames, const StackOptions& options = {});
// Reads the files (JPEG, BMP, PNG, ...) and stacks them.
StackResult FocusStackFiles(const QStringList& paths, const StackOptions& options = {});
// Stacks the files and saves the result (format from the suffix; JPEG at `quality`)
// through a temporary file, so nothing is left at `output` unless it succeeds.
StackResult FocusStackToFile(const QStringList& paths, const QString& output, int quality,
                             const StackOptions& options = {});
