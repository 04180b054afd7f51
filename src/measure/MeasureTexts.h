#pragma once
// Texts of measuring: tools, calibration, measurement list, pen and text dialogs
// and (until it has a library of its own) the photo window.
#include "platform/text/TextCatalogue.h"

namespace txt {
#define PELORA_TEXT PELORA_TEXT_ENTRY
#include "measure/MeasureTexts.def"
#undef PELORA_TEXT
} // namespace txt
