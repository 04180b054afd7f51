#include "platform/files/LogFont.h"

#include "platform/files/PrivateProfile.h"

int ReadFontFile(const QString& path, LogFontRecord& font)
{
    font = LogFontRecord{};
    return GetPrivateProfileStruct(kFontSection, kFontKey, &font, int(sizeof font), path);
}

int WriteFontFile(const QString& path, const LogFontRecord& font)
{
    return WritePrivateProfileStruct(kFontSection, kFontKey, &font, int(sizeof font), path);
}
