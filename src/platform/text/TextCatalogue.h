#pragma once
// The one catalogue of localized texts: every key the program looks up, with the
// English default of each place that uses it. Entries live in TextCatalogue.def
// (and TextCataloguePending.def for entries not yet sorted in).
#include "platform/text/TextLookup.h"

#include <span>

namespace txt {
#define PELORA_TEXT(id, key, def) inline constexpr TextKey id{key, def};
#include "platform/text/TextCatalogue.def"
#include "platform/text/TextCataloguePending.def"
#undef PELORA_TEXT

// Every entry above, for checks such as "the English file carries every key".
std::span<const TextKey> All();
} // namespace txt
