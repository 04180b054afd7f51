// A language file of any content: every lookup returns a text within capacity and
// never reads past the file, whatever its code page claims.
#include "FuzzInput.h"
#include "platform/text/TextCatalogue.h"

#include <cstddef>
#include <cstdint>

namespace {
const char* const kNames[] = {"English1252.ini", "Bulgarian442.ini", "Chinese936.ini", "Japanese932.ini",
                              "Russian1251.ini", "Hebrew1255.ini",   "Thai874.ini",    "Vietnamese1258.ini"};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    // The first byte picks the name, and with it the code page the reader assumes.
    const char* name = kNames[data[0] % (sizeof kNames / sizeof kNames[0])];
    SetLanguageFilePath(WriteFuzzFile(data + 1, size - 1, QString::fromLatin1(name)));
    for (const TextKey& key : {txt::MsgTitle, txt::OK, txt::Cancel, txt::SaveFail, txt::SureDelete}) {
        if (LoadText(key).size() >= kTextCapacity || LoadText(key, 8).size() >= 8) {
            __builtin_trap();
        }
    }
    SetLanguageFilePath(QString());
    return 0;
}
