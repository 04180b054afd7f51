#pragma once
// Texts of the captured files list, e-mail sending, printing and the video player.
#include "platform/text/TextCatalogue.h"

namespace txt {
#define PELORA_TEXT PELORA_TEXT_ENTRY
#include "files/FilesTexts.def"
#undef PELORA_TEXT
} // namespace txt
