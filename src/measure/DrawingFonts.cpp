#include "measure/DrawingFonts.h"

#include "measure/MeasurePainting.h"
#include "platform/files/ProgramFolder.h"

#include <cstdlib>
#include <limits>

namespace {

QString FontFilePath(const char* name)
{
    return WritableProgramFolder() + "/" + name;
}

bool ReadOrDefault(const char* file, LogFontRecord& record)
{
    if (ReadFontFile(FontFilePath(file), record) == 1) {
        return true;
    }
    record = DefaultMeasureFont();
    return false;
}

} // namespace

LogFontRecord& LabelFontRecord()
{
    static LogFontRecord record = DefaultMeasureFont();
    return record;
}

LogFontRecord& TextFontRecord()
{
    static LogFontRecord record = DefaultMeasureFont();
    return record;
}

bool ReadLabelFont()
{
    return ReadFontFile(FontFilePath(kMeasureFontFile), LabelFontRecord()) == 1;
}

bool ReadTextFont()
{
    return ReadFontFile(FontFilePath(kAnnotationFontFile), TextFontRecord()) == 1;
}

bool ReadLabelFontOrDefault()
{
    return ReadOrDefault(kMeasureFontFile, LabelFontRecord());
}

bool ReadTextFontOrDefault()
{
    return ReadOrDefault(kAnnotationFontFile, TextFontRecord());
}

bool WriteLabelFont()
{
    return WriteFontFile(FontFilePath(kMeasureFontFile), LabelFontRecord()) == 1;
}

bool WriteTextFont()
{
    return WriteFontFile(FontFilePath(kAnnotationFontFile), TextFontRecord()) == 1;
}

int LabelFontSizeOf(const LogFontRecord& record)
{
    // A stored record may hold any height; the smallest one has no positive twin.
    if (record.height == std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::max();
    }
    return std::abs(record.height);
}

int StoreLabelFontSize(MeasureSettingsStore& store, const LogFontRecord& record)
{
    const int size = LabelFontSizeOf(record);
    store.StoreFontSize(size);
    return size;
}
