// Picture codec: BMP and JPEG round trips, atomic saves, packed DIBs, and the
// raw BMP read against hostile or truncated headers.
#include "common/TestSupport.h"
#include "image/CxImage.h"
#include "image/DibFormat.h"
#include "image/JpegCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr size_t kMaxTestCapacity = size_t(64) << 20;

QImage Gradient(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, 90));
        }
    }
    return image;
}

QByteArray DibWithHeader(int32_t width, int32_t height, uint16_t bits, qsizetype pixelBytes)
{
    DibHeader h = MakeDibHeader24(width, height);
    h.bitCount = bits;
    QByteArray dib(kDibHeaderSize + pixelBytes, '\x7f');
    StoreDibHeader(h, reinterpret_cast<unsigned char*>(dib.data()));
    return dib;
}

QImage FromDib(const QByteArray& dib, size_t capacity = kMaxTestCapacity)
{
    return ImageFromPackedDib(reinterpret_cast<const unsigned char*>(dib.constData()), size_t(dib.size()),
                              capacity);
}

} // namespace

TEST(CxImage, BmpRoundTripIsAStandardBottomUp24BitFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.bmp");
    CxImage out;
    ASSERT_TRUE(out.CreateFromBitmap(Gradient(33, 20)));
    ASSERT_TRUE(out.Save(path, CXIMAGE_FORMAT_BMP));

    const QByteArray file = testsupport::ReadFile(path);
    const int64_t stride = DibStride(33, 24);
    ASSERT_EQ(file.size(), kBmpFileHeaderSize + kDibHeaderSize + stride * 20);
    EXPECT_EQ(file.left(2), QByteArray("BM"));
    DibHeader h;
    ASSERT_TRUE(ParseDibHeader(reinterpret_cast<const unsigned char*>(file.constData()) + 14, 40, &h));
    EXPECT_EQ(h.size, 40u);
    EXPECT_EQ(h.width, 33);
    EXPECT_EQ(h.height, 20); // bottom-up
    EXPECT_EQ(h.bitCount, 24);
    // The first stored row is the bottom of the picture, in B, G, R order.
    const QRgb bottomLeft = Gradient(33, 20).pixel(0, 19);
    EXPECT_EQ(uint8_t(file[54]), qBlue(bottomLeft));
    EXPECT_EQ(uint8_t(file[56]), qRed(bottomLeft));

    CxImage in(path, CXIMAGE_FORMAT_BMP);
    ASSERT_TRUE(in.IsValid());
    EXPECT_EQ(in.GetWidth(), 33u);
    EXPECT_EQ(in.GetHeight(), 20u);
    EXPECT_EQ(in.Image().convertToFormat(QImage::Format_RGB32), Gradient(33, 20));

    const QByteArray dib = in.GetDIB();
    EXPECT_EQ(dib.size(), in.GetSize());
    EXPECT_EQ(dib, file.mid(kBmpFileHeaderSize));
}

TEST(CxImage, JpegSavesAtQualityAndDecodesScaled)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.jpg");
    CxImage out;
    out.CreateFromBitmap(Gradient(400, 300));
    out.SetJpegQuality(90);
    ASSERT_TRUE(out.Save(path, CXIMAGE_FORMAT_JPG));

    CxImage in(path, CXIMAGE_FORMAT_JPG);
    ASSERT_TRUE(in.IsValid());
    EXPECT_EQ(QSize(int(in.GetWidth()), int(in.GetHeight())), QSize(400, 300));
    const QRgb p = in.Image().pixel(200, 150);
    EXPECT_NEAR(qRed(p), 127, 6);
    EXPECT_NEAR(qGreen(p), 127, 6);

    // Reduced-scale decoding picks the smallest DCT scale that still covers the request.
    const QImage small = DecodeJpegFile(path, QSize(90, 60));
    EXPECT_EQ(small.size(), QSize(100, 75));
    EXPECT_EQ(DecodeJpegFile(path, QSize(1000, 1000)).size(), QSize(400, 300));

    // A BMP loaded as JPEG, garbage and a missing file are all invalid.
    EXPECT_FALSE(CxImage(testsupport::FixturePath("files/none.jpg"), CXIMAGE_FORMAT_JPG).IsValid());
    testsupport::WriteFile(dir.filePath("junk.jpg"), QByteArray(500, 'x'));
    EXPECT_FALSE(CxImage(dir.filePath("junk.jpg"), CXIMAGE_FORMAT_JPG).IsValid());
}

TEST(CxImage, FailedSaveReportsFalseAndLeavesNoFile)
{
    QTemporaryDir dir;
    CxImage image;
    EXPECT_FALSE(image.Save(dir.filePath("empty.bmp"), CXIMAGE_FORMAT_BMP)); // nothing to save
    image.CreateFromBitmap(Gradient(8, 8));
    EXPECT_FALSE(image.Save(dir.filePath("missing/folder/a.jpg"), CXIMAGE_FORMAT_JPG));
    EXPECT_FALSE(image.Save(dir.filePath("a.png"), 2)); // unknown codec

    QDir().mkpath(dir.filePath("ro"));
    QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::ExeOwner);
    if (!QFileInfo(dir.filePath("ro")).isWritable()) { // root ignores permissions
        EXPECT_FALSE(image.Save(dir.filePath("ro/a.jpg"), CXIMAGE_FORMAT_JPG));
    }
    QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(QDir(dir.filePath("ro")).isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("empty.bmp")));
}

TEST(RawDib, HostileHeadersNeverReadOrAllocateBeyondTheirBytes)
{
    EXPECT_TRUE(FromDib(QByteArray()).isNull());
    EXPECT_TRUE(FromDib(QByteArray(39, '\0')).isNull());
    EXPECT_TRUE(FromDib(DibWithHeader(0, 10, 24, 30)).isNull());
    EXPECT_TRUE(FromDib(DibWithHeader(-5, 10, 24, 30)).isNull());
    EXPECT_TRUE(FromDib(DibWithHeader(10, 0, 24, 30)).isNull());
    EXPECT_TRUE(FromDib(DibWithHeader(INT32_MAX, INT32_MAX, 24, 30)).isNull());
    EXPECT_TRUE(FromDib(DibWithHeader(10, INT32_MIN, 24, 30)).isNull());
    EXPECT_TRUE(FromDib(DibWithHeader(60000, 60000, 24, 30)).isNull()); // more than the buffer holds
    EXPECT_TRUE(FromDib(DibWithHeader(10, 10, 8, 300)).isNull());       // palette bitmaps are not raw
    EXPECT_TRUE(FromDib(DibWithHeader(4000, 3000, 24, 16), 1000).isNull());

    // A claim larger than the bytes present but within the buffer draws what is there.
    const QImage partial = FromDib(DibWithHeader(3000, 2000, 24, 100));
    ASSERT_FALSE(partial.isNull());
    EXPECT_EQ(partial.size(), QSize(3000, 2000));
    EXPECT_EQ(partial.pixel(0, 1999), qRgb(0x7f, 0x7f, 0x7f)); // bottom row, read
    EXPECT_EQ(partial.pixel(40, 1999), qRgb(0, 0, 0));         // past the bytes read
    EXPECT_EQ(partial.pixel(0, 0), qRgb(0, 0, 0));

    // Top-down (negative height) and 32-bit rows are understood.
    const QImage topDown = FromDib(DibWithHeader(2, -2, 32, 16));
    ASSERT_EQ(topDown.size(), QSize(2, 2));
    EXPECT_EQ(topDown.pixel(1, 0), qRgb(0x7f, 0x7f, 0x7f));
}

TEST(RawDib, TruncatedAndTinyFilesFromDisk)
{
    QTemporaryDir dir;
    const QByteArray full = BmpFileFromImage(Gradient(20, 10));
    testsupport::WriteFile(dir.filePath("cut.BMP"), full.left(full.size() / 2));
    const QImage cut = ReadRawBmp(dir.filePath("cut.BMP"), kMaxTestCapacity);
    ASSERT_EQ(cut.size(), QSize(20, 10));
    EXPECT_EQ(cut.pixel(3, 9), Gradient(20, 10).pixel(3, 9)); // bottom rows come first
    EXPECT_EQ(cut.pixel(3, 0), qRgb(0, 0, 0));

    testsupport::WriteFile(dir.filePath("tiny.bmp"), full.left(40));
    EXPECT_TRUE(ReadRawBmp(dir.filePath("tiny.bmp"), kMaxTestCapacity).isNull());
    testsupport::WriteFile(dir.filePath("zero.bmp"), QByteArray());
    EXPECT_TRUE(ReadRawBmp(dir.filePath("zero.bmp"), kMaxTestCapacity).isNull());
    EXPECT_TRUE(ReadRawBmp(dir.filePath("absent.bmp"), kMaxTestCapacity).isNull());
}
