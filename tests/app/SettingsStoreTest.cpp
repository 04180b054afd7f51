// The per-user settings: first-start defaults, typed reads that leave the
// in-memory copy alone on failure, and the key file surviving bad content.
#include "app/SettingsStore.h"

#include "common/TestSupport.h"
#include "platform/files/RegistryStore.h"

#include <QFile>
#include <gtest/gtest.h>

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    static uint32_t Dword(const char* subkey, const char* name)
    {
        uint32_t v = 0xDEADBEEF;
        EXPECT_TRUE(registry::ReadDword(kSettingsKey, subkey, name, v)) << name;
        return v;
    }
    static void ReadAll(AppSettings& s)
    {
        s.ReadFontColor();
        s.ReadLineColor();
        s.ReadMeasureTxtColor();
        s.ReadFontSize();
        s.ReadLineWidth();
        s.ReadLineType();
        s.ReadLanID();
        s.ReadSubLanIDD();
        s.ReadSwitch();
        s.ReadSysDate();
        s.ReadImageFormat();
        s.ReadUnit();
        s.ReadDecimal();
    }
    testsupport::TempHome m_home;
};

TEST_F(SettingsStoreTest, FirstStartWritesExactlyTheDefaultsInOrder)
{
    EXPECT_FALSE(registry::KeyExists(kSettingsKey));
    ASSERT_TRUE(AppSettings::WriteFirstStartDefaults());
    const QString path = registry::KeyFilePath(kSettingsKey);
    EXPECT_TRUE(path.startsWith(m_home.sub("config")));
    EXPECT_EQ(ReadFile(path), "[font]\n"
                              "\"fontcolor\"=dword:000000ff\n"
                              "\"LineColor\"=dword:000000ff\n"
                              "\"MeasureTxtColor\"=dword:000000ff\n"
                              "\"fontsize\"=dword:00000013\n"
                              "\"Linewidth\"=dword:00000002\n"
                              "\"Linetype\"=dword:00000000\n"
                              "[LanguageID]\n"
                              "\"LanID\"=dword:00000000\n"
                              "\"SubLanIDD\"=dword:00000000\n"
                              "\"SWITCH\"=dword:00000001\n"
                              "\"sys_date\"=dword:00000001\n"
                              "[Units]\n"
                              "\"unit\"=\"mm\"\n"
                              "\"decimal\"=dword:00000003\n");

    AppSettings s;
    s.ImageFormat = 7;
    s.ReadImageFormat(); // absent: JPEG stays in use
    EXPECT_EQ(s.ImageFormat, 7);
    EXPECT_EQ(AppSettings().ImageFormat, kImageFormatJpeg);
}

TEST_F(SettingsStoreTest, DefaultsComeBackOnlyWhenTheWholeKeyIsGone)
{
    ASSERT_TRUE(AppSettings::WriteFirstStartDefaults());
    AppSettings s;
    s.fontsize = 40;
    s.WriteFontSize();
    ASSERT_TRUE(registry::DeleteValue(kSettingsKey, kFontSubkey, "Linewidth"));

    EXPECT_FALSE(AppSettings::WriteFirstStartDefaults());
    uint32_t width = 99;
    EXPECT_FALSE(registry::ReadDword(kSettingsKey, kFontSubkey, "Linewidth", width));
    EXPECT_EQ(Dword(kFontSubkey, "fontsize"), 40u);

    ASSERT_TRUE(registry::DeleteKey(kSettingsKey));
    EXPECT_TRUE(AppSettings::WriteFirstStartDefaults());
    EXPECT_EQ(Dword(kFontSubkey, "Linewidth"), 2u);
    EXPECT_EQ(Dword(kFontSubkey, "fontsize"), 19u);
}

TEST_F(SettingsStoreTest, EveryValueRoundTrips)
{
    AppSettings w;
    w.fontcolor = 0x123456;
    w.LineColor = 0x00FF00;
    w.MeasureTxtColor = 0xFF0000;
    w.fontsize = 20;
    w.Linewidth = 3;
    w.Linetype = 4;
    w.LanID = 16;
    w.SubLanIDD = 0;
    w.SWITCH = 0;
    w.sys_date = 0;
    w.ImageFormat = kImageFormatBmp;
    w.unit = "inch";
    w.decimal = 5;
    for (auto write :
         {&AppSettings::WriteFontColor, &AppSettings::WriteLineColor, &AppSettings::WriteMeasureTxtColor,
          &AppSettings::WriteFontSize, &AppSettings::WriteLineWidth, &AppSettings::WriteLineType,
          &AppSettings::WriteLanID, &AppSettings::WriteSubLanIDD, &AppSettings::WriteSwitch,
          &AppSettings::WriteSysDate, &AppSettings::WriteImageFormat, &AppSettings::WriteUnitAndDecimal}) {
        (w.*write)();
    }
    AppSettings r;
    ReadAll(r);
    EXPECT_EQ(r.fontcolor, 0x123456);
    EXPECT_EQ(r.LineColor, 0x00FF00);
    EXPECT_EQ(r.MeasureTxtColor, 0xFF0000);
    EXPECT_EQ(r.fontsize, 20);
    EXPECT_EQ(r.Linewidth, 3);
    EXPECT_EQ(r.Linetype, 4);
    EXPECT_EQ(r.LanID, 16);
    EXPECT_EQ(r.SWITCH, 0);
    EXPECT_EQ(r.sys_date, 0);
    EXPECT_EQ(r.ImageFormat, kImageFormatBmp);
    EXPECT_EQ(r.unit, "inch");
    EXPECT_EQ(r.decimal, 5);
}

TEST_F(SettingsStoreTest, FailedReadsKeepTheInMemoryCopy)
{
    AppSettings s;
    s.fontsize = 33;
    s.unit = "cm";
    ReadAll(s); // no key at all
    EXPECT_EQ(s.fontsize, 33);
    EXPECT_EQ(s.unit, "cm");

    // Wrong types and unparsable lines are failed reads too.
    ASSERT_TRUE(WriteFile(registry::KeyFilePath(kSettingsKey),
                          QByteArray("[font]\n\"fontsize\"=\"big\"\n\"Linewidth\"=dword:zz\n\xFF") + '\0' +
                              "garbage\n[Units]\n\"unit\"=dword:00000001\n\"decimal\"=\"4\n"));
    s.Linewidth = 1;
    s.decimal = 2;
    ReadAll(s);
    EXPECT_EQ(s.fontsize, 33);
    EXPECT_EQ(s.Linewidth, 1);
    EXPECT_EQ(s.unit, "cm");
    EXPECT_EQ(s.decimal, 2);
}

TEST_F(SettingsStoreTest, UnitTextIsBoundedOnReadAndWrite)
{
    registry::WriteString(kSettingsKey, kUnitsSubkey, "unit", QString(100, u'u'));
    AppSettings s;
    s.ReadUnit();
    EXPECT_EQ(s.unit.size(), kUnitCapacity - 1);
    s.unit = "millimetre";
    s.WriteUnitAndDecimal();
    s.ReadUnit();
    EXPECT_EQ(s.unit, "millim"); // twelve bytes of the buffer are stored
    registry::WriteString(kSettingsKey, kUnitsSubkey, "unit", QString("mil") + QChar(0) + "junk\"\\\n");
    s.ReadUnit();
    EXPECT_EQ(s.unit, "mil");
}

} // namespace
