#include "platform/text/TextCatalogue.h"

namespace txt {
namespace {
#define PELORA_TEXT(id, key, def) id,
constexpr TextKey kAll[] = {
#include "platform/text/TextCatalogue.def"
#include "platform/text/TextCataloguePending.def"
};
#undef PELORA_TEXT
} // namespace

std::span<const TextKey> All()
{
    return kAll;
}
} // namespace txt
