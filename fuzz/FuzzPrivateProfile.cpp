// Language file reading: decoding in every code page we know, parsing and lookups.
#include "platform/files/PrivateProfile.h"
#include "platform/text/CodePage.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    static const int kCodePages[] = {0, 874, 932, 936, 949, 950, 1250, 1251, 1252, 1255, 1256, 1258, 442};
    const int codePage = kCodePages[data[0] % (sizeof kCodePages / sizeof kCodePages[0])];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QString text = DecodeText(bytes, codePage);
    const ProfileData profile(text);
    const QString section = QStringLiteral("DoDedazez");
    for (const char* key : {"Open", "MsgTitle", "", "="}) {
        const QString value =
            ProfileString(profile, section, QString::fromLatin1(key), QStringLiteral("def"), 256);
        if (value.size() > 255) {
            __builtin_trap();
        }
    }
    const qsizetype eq = text.indexOf(u'=');
    if (eq > 0) {
        ProfileString(profile, text.left(qMin<qsizetype>(eq, 32)), text.left(eq), QString(), 8);
    }
    return 0;
}
