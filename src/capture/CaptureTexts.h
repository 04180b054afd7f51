#pragma once
// Texts of the recorder, time-lapse and video settings dialogs.
#include "platform/text/TextCatalogue.h"

namespace txt {
#define PELORA_TEXT PELORA_TEXT_ENTRY
#include "capture/CaptureTexts.def"
#undef PELORA_TEXT
} // namespace txt
