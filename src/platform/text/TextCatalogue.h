#pragma once
// Localized texts: every key the program looks up, with the English default of each
// place that uses it. This header holds the texts several libraries share (entries
// in TextCatalogue.def, and TextCataloguePending.def for entries not yet sorted in);
// each library keeps its own texts beside its code (app/AppTexts.h,
// capture/CaptureTexts.h, measure/MeasureTexts.h, files/FilesTexts.h), all in
// namespace txt and built the same way:
//
//   #define PELORA_TEXT PELORA_TEXT_ENTRY
//   #include "<lib>/<Lib>Texts.def"
//   #undef PELORA_TEXT
#include "platform/text/TextLookup.h"

#define PELORA_TEXT_ENTRY(id, key, def) inline constexpr TextKey id{key, def};

namespace txt {
#define PELORA_TEXT PELORA_TEXT_ENTRY
#include "platform/text/TextCatalogue.def"
#include "platform/text/TextCataloguePending.def"
#undef PELORA_TEXT
} // namespace txt
