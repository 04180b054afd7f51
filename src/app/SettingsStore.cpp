#include "app/SettingsStore.h"

#include "platform/files/RegistryStore.h"

namespace {

// Registry value names, with their stored spellings.
constexpr char kFontColor[] = "fontcolor";
constexpr char kLineColor[] = "LineColor";
constexpr char kMeasureTxtColor[] = "MeasureTxtColor";
constexpr char kFontSize[] = "fontsize";
constexpr char kLineWidth[] = "Linewidth";
constexpr char kLineType[] = "Linetype";
constexpr char kLanID[] = "LanID";
constexpr char kSubLanIDD[] = "SubLanIDD";
constexpr char kSwitch[] = "SWITCH";
constexpr char kFocusSteps[] = "FocusSteps";
constexpr char kSysDate[] = "sys_date";
constexpr char kImageFormat[] = "ImageFormat";
constexpr char kUnit[] = "unit";
constexpr char kDecimal[] = "decimal";

void ReadInt(const char* subkey, const char* name, int& field)
{
    uint32_t value = 0;
    if (registry::ReadDword(kSettingsKey, subkey, name, value)) {
        field = int(value);
    }
}

void WriteInt(const char* subkey, const char* name, int value)
{
    registry::WriteDword(kSettingsKey, subkey, name, uint32_t(value));
}

struct DefaultValue {
    const char* subkey;
    const char* name;
    int value;
};

// First-start defaults in the order they are written ("unit" goes between
// "sys_date" and "decimal").
constexpr DefaultValue kDefaults[] = {
    {kFontSubkey, kFontColor, 255}, {kFontSubkey, kLineColor, 255},   {kFontSubkey, kMeasureTxtColor, 255},
    {kFontSubkey, kFontSize, 19},   {kFontSubkey, kLineWidth, 2},     {kFontSubkey, kLineType, 0},
    {kLanguageSubkey, kLanID, 0},   {kLanguageSubkey, kSubLanIDD, 0}, {kLanguageSubkey, kSwitch, 1},
    {kLanguageSubkey, kSysDate, 1},
};
constexpr int kDefaultDecimal = 3;

} // namespace

void AppSettings::ReadFontColor()
{
    ReadInt(kFontSubkey, kFontColor, fontcolor);
}
void AppSettings::WriteFontColor() const
{
    WriteInt(kFontSubkey, kFontColor, fontcolor);
}
void AppSettings::ReadLineColor()
{
    ReadInt(kFontSubkey, kLineColor, LineColor);
}
void AppSettings::WriteLineColor() const
{
    WriteInt(kFontSubkey, kLineColor, LineColor);
}
void AppSettings::ReadMeasureTxtColor()
{
    ReadInt(kFontSubkey, kMeasureTxtColor, MeasureTxtColor);
}
void AppSettings::WriteMeasureTxtColor() const
{
    WriteInt(kFontSubkey, kMeasureTxtColor, MeasureTxtColor);
}
void AppSettings::ReadFontSize()
{
    ReadInt(kFontSubkey, kFontSize, fontsize);
}
void AppSettings::WriteFontSize() const
{
    WriteInt(kFontSubkey, kFontSize, fontsize);
}
void AppSettings::ReadLineWidth()
{
    ReadInt(kFontSubkey, kLineWidth, Linewidth);
}
void AppSettings::WriteLineWidth() const
{
    WriteInt(kFontSubkey, kLineWidth, Linewidth);
}
void AppSettings::ReadLineType()
{
    ReadInt(kFontSubkey, kLineType, Linetype);
}
void AppSettings::WriteLineType() const
{
    WriteInt(kFontSubkey, kLineType, Linetype);
}
void AppSettings::ReadLanID()
{
    ReadInt(kLanguageSubkey, kLanID, LanID);
}
void AppSettings::WriteLanID() const
{
    WriteInt(kLanguageSubkey, kLanID, LanID);
}
void AppSettings::ReadSubLanIDD()
{
    ReadInt(kLanguageSubkey, kSubLanIDD, SubLanIDD);
}
void AppSettings::WriteSubLanIDD() const
{
    WriteInt(kLanguageSubkey, kSubLanIDD, SubLanIDD);
}
void AppSettings::ReadSwitch()
{
    ReadInt(kLanguageSubkey, kSwitch, SWITCH);
}
void AppSettings::WriteSwitch() const
{
    WriteInt(kLanguageSubkey, kSwitch, SWITCH);
}
void AppSettings::ReadFocusSteps()
{
    ReadInt(kLanguageSubkey, kFocusSteps, FocusSteps);
}
void AppSettings::WriteFocusSteps() const
{
    WriteInt(kLanguageSubkey, kFocusSteps, FocusSteps);
}
void AppSettings::ReadSysDate()
{
    ReadInt(kLanguageSubkey, kSysDate, sys_date);
}
void AppSettings::WriteSysDate() const
{
    WriteInt(kLanguageSubkey, kSysDate, sys_date);
}
void AppSettings::ReadImageFormat()
{
    ReadInt(kLanguageSubkey, kImageFormat, ImageFormat);
}
void AppSettings::WriteImageFormat() const
{
    WriteInt(kLanguageSubkey, kImageFormat, ImageFormat);
}
void AppSettings::ReadDecimal()
{
    ReadInt(kUnitsSubkey, kDecimal, decimal);
}

void AppSettings::ReadUnit()
{
    QString value;
    if (registry::ReadString(kSettingsKey, kUnitsSubkey, kUnit, value, kUnitCapacity)) {
        unit = value;
    }
}

void AppSettings::WriteUnitAndDecimal() const
{
    registry::WriteString(kSettingsKey, kUnitsSubkey, kUnit, unit.left(kUnitStoredChars));
    WriteInt(kUnitsSubkey, kDecimal, decimal);
}

bool AppSettings::WriteFirstStartDefaults()
{
    if (registry::KeyExists(kSettingsKey)) {
        return false;
    }
    for (const char* subkey : {kFontSubkey, kLanguageSubkey, kUnitsSubkey}) {
        registry::CreateSubkey(kSettingsKey, subkey);
    }
    for (const DefaultValue& d : kDefaults) {
        WriteInt(d.subkey, d.name, d.value);
    }
    registry::WriteString(kSettingsKey, kUnitsSubkey, kUnit, QStringLiteral("mm"));
    WriteInt(kUnitsSubkey, kDecimal, kDefaultDecimal);
    return true;
}

AppSettings& Settings()
{
    static AppSettings settings;
    return settings;
}
