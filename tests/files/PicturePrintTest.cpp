// Printing a picture on a PDF printer that stands in for the default printer.
#include "files/PicturePrint.h"

#include "common/TestSupport.h"
#include "files/FilesTestSupport.h"
#include "platform/desktop/DefaultPrinter.h"
#include "platform/files/ProgramFolder.h"

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTransform>
#include <gtest/gtest.h>

using namespace filestest;

namespace {

// A page of 4800 x 6600 device pixels (8 x 11 inches at 600 dpi, no border).
std::unique_ptr<QPrinter> PdfPrinter(const QString& file)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    printer->setResolution(600);
    printer->setPageSize(QPageSize(QSizeF(8, 11), QPageSize::Inch));
    printer->setPageMargins(QMarginsF(0, 0, 0, 0));
    return printer;
}

// The first page's content stream, inflated.
QByteArray PageContent(const QByteArray& pdf)
{
    const QRegularExpression contents(QStringLiteral(R"(/Contents (\d+) 0 R)"));
    const auto match = contents.match(QString::fromLatin1(pdf));
    if (!match.hasMatch()) {
        return {};
    }
    const qsizetype object = pdf.indexOf(match.captured(1).toLatin1() + " 0 obj");
    const qsizetype start = pdf.indexOf("stream\n", object) + 7;
    const qsizetype end = pdf.indexOf("endstream", start);
    QByteArray zlib("\x00\x10\x00\x00", 4); // inflated size hint for qUncompress
    zlib += pdf.mid(start, end - start);
    return qUncompress(zlib);
}

// Where the content stream puts the unit square of the first image it draws, in
// points: the product of the "cm" matrices in force at its "Do".
QRectF FirstImagePlacement(const QByteArray& content)
{
    std::vector<QTransform> saved;
    QTransform ctm;
    QList<double> operands;
    for (const QByteArray& token : content.simplified().split(' ')) {
        bool number = false;
        const double value = token.toDouble(&number);
        if (number) {
            operands << value;
            continue;
        }
        if (token == "q") {
            saved.push_back(ctm);
        } else if (token == "Q" && !saved.empty()) {
            ctm = saved.back();
            saved.pop_back();
        } else if (token == "cm" && operands.size() >= 6) {
            const auto m = operands.mid(operands.size() - 6);
            ctm = QTransform(m[0], m[1], m[2], m[3], m[4], m[5]) * ctm;
        } else if (token == "Do") {
            return ctm.mapRect(QRectF(0, 0, 1, 1));
        }
        operands.clear();
    }
    return {};
}

class PicturePrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        OverrideProgramFolders(m_program.path(), m_program.path());
        SetPrinterFactory([this]() -> std::unique_ptr<QPrinter> {
            ++m_printersAsked;
            return m_noPrinter ? nullptr : PdfPrinter(PdfPath());
        });
    }
    void TearDown() override
    {
        SetPrinterFactory(nullptr);
        OverrideProgramFolders(QString(), QString());
    }
    QString PdfPath() const { return m_out.filePath("page.pdf"); }
    QString PrintBitmap() const { return m_program.filePath(kPrintBitmapName); }

    QTemporaryDir m_program;
    QTemporaryDir m_out;
    QTemporaryDir m_pictures;
    MessageScript m_boxes{1};
    bool m_noPrinter = false;
    int m_printersAsked = 0;
};

TEST_F(PicturePrintTest, PictureIsStretchedOverTheWholePage)
{
    const QString jpeg = m_pictures.filePath("Still_2024-01-05_101230_N0001.jpg");
    ASSERT_TRUE(WritePicture(jpeg, Qt::red, 640, 480));
    EXPECT_EQ(PrintPicture(jpeg, nullptr), PrintOutcome::Printed);
    EXPECT_TRUE(m_boxes.texts.isEmpty());

    QFile file(PdfPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.contains("/Width 640") && pdf.contains("/Height 480"));
    ASSERT_TRUE(pdf.contains("/MediaBox [0 0 576.000000 792.000000]")); // 4800 x 6600 at 600 dpi
    const QRectF placed = FirstImagePlacement(PageContent(pdf));
    EXPECT_NEAR(placed.left(), 0.0, 0.01);
    EXPECT_NEAR(placed.top(), 0.0, 0.01);
    EXPECT_NEAR(placed.width(), 576.0, 0.01);
    EXPECT_NEAR(placed.height(), 792.0, 0.01);
}

TEST_F(PicturePrintTest, OnlyNonBitmapsGoThroughPrintBmp)
{
    // A BMP prints as it is and leaves an earlier print.bmp alone.
    ASSERT_TRUE(WritePicture(PrintBitmap(), Qt::blue, 8, 8));
    const QByteArray earlier = testsupport::ReadFile(PrintBitmap());
    const QString bmp = m_pictures.filePath("Still_N0002.bmp");
    ASSERT_TRUE(WritePicture(bmp, Qt::green, 32, 24));
    EXPECT_EQ(PrintPicture(bmp, nullptr), PrintOutcome::Printed);
    EXPECT_EQ(testsupport::ReadFile(PrintBitmap()), earlier);

    // A JPEG overwrites it with its own picture.
    const QString jpeg = m_pictures.filePath("Still_N0003.jpg");
    ASSERT_TRUE(WritePicture(jpeg, Qt::green, 32, 24));
    EXPECT_EQ(PrintPicture(jpeg, nullptr), PrintOutcome::Printed);
    const QImage converted(PrintBitmap(), "BMP");
    EXPECT_EQ(converted.size(), QSize(32, 24));

    // An upper-case BMP is taken for a JPEG: it cannot be converted, and nothing
    // is printed or said.
    const QString upper = m_pictures.filePath("COPY.BMP");
    ASSERT_TRUE(QFile::copy(bmp, upper));
    ASSERT_TRUE(QFile::remove(PdfPath()));
    m_printersAsked = 0;
    EXPECT_EQ(PrintPicture(upper, nullptr), PrintOutcome::NotConverted);
    EXPECT_EQ(m_printersAsked, 0);
    EXPECT_FALSE(QFile::exists(PdfPath()));
    EXPECT_TRUE(m_boxes.texts.isEmpty());
}

TEST_F(PicturePrintTest, MissingPrinterAndUnreadableBitmapAreToldAndPrintNothing)
{
    const QString bmp = m_pictures.filePath("Still_N0004.bmp");
    ASSERT_TRUE(WritePicture(bmp, Qt::green));
    m_noPrinter = true;
    EXPECT_EQ(PrintPicture(bmp, nullptr), PrintOutcome::NoPrinter);
    EXPECT_EQ(m_boxes.texts, QStringList{"No printer found!"});

    m_noPrinter = false;
    const QString broken = m_pictures.filePath("broken.bmp");
    ASSERT_TRUE(testsupport::WriteFile(broken, "BM not really a bitmap"));
    EXPECT_EQ(PrintPicture(broken, nullptr), PrintOutcome::NotLoaded);
    EXPECT_EQ(m_boxes.texts.last(), "Error loading bitmap!");
    EXPECT_FALSE(QFile::exists(PdfPath()));
}

} // namespace
