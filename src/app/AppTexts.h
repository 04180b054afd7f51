#pragma once
// Texts of the main window: status, start-up prompt, menus, tooltips and questions.
#include "platform/text/TextCatalogue.h"

namespace txt {
#define PELORA_TEXT PELORA_TEXT_ENTRY
#include "app/AppTexts.def"
#undef PELORA_TEXT
} // namespace txt
