#pragma once
// How much a notice of the capture session matters; the window picks the box's icon.
enum class CaptureNoticeLevel { Information, Warning, Error };
