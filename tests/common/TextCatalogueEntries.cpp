#include "TextCatalogueEntries.h"

namespace testsupport {

const std::vector<NamedEntry>& CatalogueEntries()
{
#define PELORA_TEXT(id, key, def) NamedEntry{#id, key, def},
    static const std::vector<NamedEntry> entries = {
#include "app/AppTexts.def"
#include "capture/CaptureTexts.def"
#include "files/FilesTexts.def"
#include "measure/MeasureTexts.def"
#include "platform/text/TextCatalogue.def"
#include "platform/text/TextCataloguePending.def"
    };
#undef PELORA_TEXT
    return entries;
}

} // namespace testsupport
