#pragma once
// The logical-font record kept in "logfont.ini" (annotation text) and
// "Measurefont.ini" (measurement labels), section "FONT", key "LOGFONT".
#include <QString>
#include <cstdint>

struct LogFontRecord {
    int32_t height = 0;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    char16_t faceName[32] = {}; // NUL-terminated unless all 32 are used
};
static_assert(sizeof(LogFontRecord) == 92, "the stored font record is 92 bytes");

inline constexpr const char* kFontSection = "FONT";
inline constexpr const char* kFontKey = "LOGFONT";
inline constexpr const char* kAnnotationFontFile = "logfont.ini";
inline constexpr const char* kMeasureFontFile = "Measurefont.ini";

// Reads the record from `path`. The record is zeroed first; a missing file, a
// missing entry or a damaged one (wrong length, not hex, bad checksum) returns 0
// and leaves it zeroed. Returns 1 on success.
int ReadFontFile(const QString& path, LogFontRecord& font);

// Stores the record under [FONT] LOGFONT in `path`, keeping the file's other
// entries. Returns 1 on success, 0 when the file could not be written.
int WriteFontFile(const QString& path, const LogFontRecord& font);
