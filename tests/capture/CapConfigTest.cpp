#include "capture/CapConfig.h"

#include "common/TestSupport.h"
#include "platform/files/ProgramFolder.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace {
class CapConfigTest : public ::testing::Test {
protected:
    void SetUp() override { OverrideProgramFolders(home.path(), home.path()); }
    void TearDown() override { OverrideProgramFolders({}, {}); }
    testsupport::TempHome home;
};

VideoInfoHeader Sample()
{
    VideoInfoHeader f;
    f.rcTarget[2] = 1600;
    f.rcTarget[3] = 1200;
    f.dwBitRate = 921600000;
    f.AvgTimePerFrame = 333333;
    f.bmiHeader.biWidth = 1600;
    f.bmiHeader.biHeight = 1200;
    f.bmiHeader.biBitCount = 16;
    f.bmiHeader.biCompression = 0x32595559;
    f.bmiHeader.biSizeImage = 1600 * 1200 * 2;
    return f;
}

TEST_F(CapConfigTest, RecordIs88LittleEndianBytesAndRoundTrips)
{
    const QByteArray bytes = SerializeVideoInfoHeader(Sample());
    ASSERT_EQ(bytes.size(), 88);
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    EXPECT_EQ(qFromLittleEndian<qint32>(p + 24), 1600);        // target rectangle right
    EXPECT_EQ(qFromLittleEndian<quint32>(p + 32), 921600000u); // bit rate
    EXPECT_EQ(qFromLittleEndian<qint64>(p + 40), 333333);      // average time per frame
    EXPECT_EQ(qFromLittleEndian<quint32>(p + 48), 40u);        // bitmap header size
    EXPECT_EQ(qFromLittleEndian<qint32>(p + 52), 1600);        // width
    EXPECT_EQ(qFromLittleEndian<qint32>(p + 56), 1200);        // height
    EXPECT_EQ(qFromLittleEndian<quint32>(p + 64), 0x32595559u);

    ASSERT_TRUE(WriteCapConfig(Sample()));
    EXPECT_EQ(testsupport::ReadFile(CapConfigPath()), bytes);
    VideoInfoHeader read;
    ASSERT_TRUE(ReadCapConfig(read));
    EXPECT_EQ(SerializeVideoInfoHeader(read), bytes);
}

TEST_F(CapConfigTest, MissingShortAndAbsurdRecordsAreRejected)
{
    VideoInfoHeader read;
    EXPECT_FALSE(ReadCapConfig(read)) << "missing";
    const QByteArray good = SerializeVideoInfoHeader(Sample());
    auto rejects = [&](QByteArray bytes) {
        testsupport::WriteFile(CapConfigPath(), bytes);
        return !ReadCapConfig(read);
    };
    EXPECT_TRUE(rejects(good.left(87)));
    EXPECT_TRUE(rejects({}));
    auto with = [&](int offset, qint32 value) {
        QByteArray bytes = good;
        qToLittleEndian<qint32>(value, bytes.data() + offset);
        return bytes;
    };
    EXPECT_TRUE(rejects(with(52, 0)));
    EXPECT_TRUE(rejects(with(56, -1200)));
    EXPECT_TRUE(rejects(with(52, 1000000)));
    EXPECT_TRUE(rejects(with(48, 0)));
    EXPECT_TRUE(rejects(with(4, -5)));
    EXPECT_TRUE(rejects(with(44, -1))) << "negative frame time";
    EXPECT_TRUE(rejects(QByteArray(88, '\xff')));
    EXPECT_FALSE(rejects(good));
}

TEST(CapConfig, BitRateFromFrameTime)
{
    EXPECT_EQ(BitRateOf(333333, 100), 30u * 100 * 8);
    EXPECT_EQ(BitRateOf(666666, 1000), 15u * 1000 * 8);
    EXPECT_EQ(BitRateOf(0, 1000), 0u);
    EXPECT_EQ(BitRateOf(1, 0xffffffffu), 0xffffffffu);
}
} // namespace
