// The font record's struct encoding: decoding arbitrary text must never write
// outside the record, and whatever decodes must encode back to the same text.
#include "platform/files/LogFont.h"
#include "platform/files/PrivateProfile.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    LogFontRecord font;
    if (DecodeProfileStruct(text, &font, int(sizeof font))) {
        if (EncodeProfileStruct(&font, int(sizeof font)).compare(text, Qt::CaseInsensitive) != 0) {
            __builtin_trap();
        }
    }
    // Small sizes, including the empty structure, through the same path.
    unsigned char small[4];
    const int n = size > 0 ? data[0] % 5 : 0;
    if (DecodeProfileStruct(text.mid(1), small, n) &&
        EncodeProfileStruct(small, n).compare(text.mid(1), Qt::CaseInsensitive) != 0) {
        __builtin_trap();
    }
    // And as an entry of a profile, the way the font files are read.
    const ProfileData profile(QStringLiteral("[FONT]\nLOGFONT=") + text);
    QString value;
    if (profile.Find(QStringLiteral("font"), QStringLiteral("logfont"), value)) {
        DecodeProfileStruct(value, &font, int(sizeof font));
    }
    return 0;
}
