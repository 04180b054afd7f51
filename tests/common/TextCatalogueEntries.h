#pragma once
// Every entry of every text catalogue, read straight from the entry lists, so the
// tests of the texts need not link the libraries that own them.
#include <vector>

namespace testsupport {

struct NamedEntry {
    const char* id;
    const char* key;
    const char* def;
};

const std::vector<NamedEntry>& CatalogueEntries();

} // namespace testsupport
