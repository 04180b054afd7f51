// The spreadsheet writer: quoted text rows with their backup, the row rules of
// .xls worksheets, the ODBC driver lookup and the statements sent to the driver.
#include "common/TestSupport.h"
#include "platform/office/CSpreadSheet.h"
#include "platform/office/OdbcSheet.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Points the ODBC installer at a driver list of our own. The driver manager reads
// ODBCSYSINI once per process and caches the list by modification time, so every
// list goes to the same folder with a newer time.
class DriverList {
public:
    explicit DriverList(const QByteArray& ini)
    {
        static QTemporaryDir dir;
        static int generation = 0;
        qputenv("ODBCSYSINI", QFile::encodeName(dir.path()));
        const QString file = dir.filePath("odbcinst.ini");
        testsupport::WriteFile(file, ini);
        QFile stamped(file);
        stamped.open(QIODevice::ReadWrite);
        stamped.setFileTime(QDateTime::currentDateTime().addSecs(++generation * 10),
                            QFileDevice::FileModificationTime);
    }

private:
    testsupport::TempHome m_home; // no driver list of the real user
};

const QByteArray kNoExcel =
    "[PostgreSQL Unicode]\nDriver=psqlodbcw.so\n\n[SQLite3]\nDriver=libsqlite3odbc.so\n";

bool Write(const QString& path, const QList<QStringList>& rows)
{
    CSpreadSheet sheet(path, "ExportData", true);
    sheet.BeginTransaction();
    sheet.AddHeaders(rows.first(), false);
    for (qsizetype i = 1; i < rows.size(); ++i) {
        sheet.AddRow(rows[i], 0, false);
    }
    return sheet.Commit();
}

} // namespace

TEST(SpreadSheetTest, TextRowsAreQuotedAndASecondWriteKeepsTheFirstAsBackup)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data.csv");
    ASSERT_TRUE(Write(path, {{"Name", "object1"}, {"DL1", "1.000"}}));
    const QByteArray first = "\"Name\"ExportData\"object1\"\r\n\"DL1\"ExportData\"1.000\"\r\n";
    EXPECT_EQ(testsupport::ReadFile(path), first);
    EXPECT_FALSE(QFile::exists(path + ".bak"));

    // The old rows stay; the new header fields join the old header row.
    ASSERT_TRUE(Write(path, {{"Name", "object1"}, {"DL2", "2.000"}}));
    EXPECT_EQ(testsupport::ReadFile(path + ".bak"), first);
    EXPECT_EQ(testsupport::ReadFile(path),
              "\"Name\"ExportData\"object1\"ExportData\"Name\"ExportData\"object1\"\r\n"
              "\"DL1\"ExportData\"1.000\"\r\n\"DL2\"ExportData\"2.000\"\r\n");
}

TEST(SpreadSheetTest, AnOldFileInAnotherEncodingKeepsItsBytesInTheBackupAndTheNewFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data.txt");
    // windows-1252: "Größe" and "µm" are not UTF-8.
    const QByteArray old = "\"Gr\xF6\xDF"
                           "e\"ExportData\"\xB5m\"\r\n";
    testsupport::WriteFile(path, old);
    ASSERT_TRUE(Write(path, {{"Name"}, {"DL1"}}));
    EXPECT_EQ(testsupport::ReadFile(path + ".bak"), old);
    EXPECT_EQ(testsupport::ReadFile(path), "\"Gr\xF6\xDF"
                                           "e\"ExportData\"\xB5m\"ExportData\"Name\"\r\n\"DL1\"\r\n");
}

TEST(SpreadSheetTest, ACommaMakesCsvQuotedOnlyWhereNeeded)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data.csv");
    CSpreadSheet sheet(path, ",", false);
    EXPECT_EQ(sheet.Mode(), SpreadSheetMode::Csv);
    sheet.BeginTransaction();
    const QStringList tricky{"a,b", "say \"hi\"", " ", "1.5", "Größe"};
    ASSERT_TRUE(sheet.AddHeaders({"Name", "Value"}));
    ASSERT_TRUE(sheet.AddRow(tricky));
    ASSERT_TRUE(sheet.Commit());
    EXPECT_EQ(testsupport::ReadFile(path),
              "Name,Value\r\n\"a,b\",\"say \"\"hi\"\"\",\" \",1.5,Gr\xC3\xB6\xC3\x9F"
              "e\r\n");
    // Read back as it was written, also by a new writer on the file.
    CSpreadSheet again(path, ",", false);
    QStringList fields;
    ASSERT_TRUE(again.ReadRow(fields, 2));
    EXPECT_EQ(fields, tricky);
}

TEST(SpreadSheetTest, RowsAreReadBackReplacedInsertedAndPaddedToTheirPlace)
{
    QTemporaryDir dir;
    CSpreadSheet sheet(dir.filePath("rows.txt"), ";", false);
    sheet.BeginTransaction();
    ASSERT_TRUE(sheet.AddHeaders({"a", "b"}));
    ASSERT_TRUE(sheet.AddRow({"x", ""}, 4));
    ASSERT_TRUE(sheet.AddRow({"y", "z"}, 2, true));
    ASSERT_TRUE(sheet.AddRow({"w"}, 2, false));
    EXPECT_EQ(sheet.TotalRows(), 5);

    QStringList fields;
    ASSERT_TRUE(sheet.ReadRow(fields, 2));
    EXPECT_EQ(fields, QStringList{"w"});
    ASSERT_TRUE(sheet.ReadRow(fields));
    EXPECT_EQ(fields, (QStringList{"y", "z"}));
    ASSERT_TRUE(sheet.ReadRow(fields));
    EXPECT_EQ(fields, (QStringList{"", ""})); // filler
    ASSERT_TRUE(sheet.ReadRow(fields));
    EXPECT_EQ(fields, (QStringList{"x", ""}));
    EXPECT_FALSE(sheet.ReadRow(fields));
    EXPECT_EQ(sheet.GetLastError(), "Desired row is greater than total number of rows in spreadsheet\n");
    ASSERT_TRUE(sheet.Commit());
    EXPECT_EQ(testsupport::ReadFile(dir.filePath("rows.txt")),
              "\"a\";\"b\"\r\n\"w\"\r\n\"y\";\"z\"\r\n\"\";\"\"\r\n\"x\";\"\"\r\n");
}

TEST(SpreadSheetTest, AFailedWriteIsReportedAndLeavesNoFile)
{
    QTemporaryDir dir;
    testsupport::WriteFile(dir.filePath("plain"), "not a folder");
    for (const char* name : {"plain/data.csv", "plain/data.xlsx", "missing/data.csv"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        CSpreadSheet sheet(path, "ExportData", true);
        sheet.BeginTransaction();
        sheet.AddHeaders({"Name"});
        EXPECT_FALSE(sheet.Commit()) << name;
        EXPECT_TRUE(sheet.GetLastError().startsWith("Error writing file\n")) << name;
        EXPECT_FALSE(QFile::exists(path));
    }
    // Without the transaction every row is written at once, and fails at once.
    CSpreadSheet sheet(dir.filePath("missing/now.csv"), ",", false);
    EXPECT_FALSE(sheet.AddHeaders({"Name"}));
}

TEST(SpreadSheetTest, XlsWorksheetsNeedAHeaderRowOfDistinctNamesAndRowsNoWiderThanIt)
{
    DriverList drivers(kNoExcel);
    QTemporaryDir dir;
    CSpreadSheet sheet(dir.filePath("data.XLS"), "ExportData", true);
    EXPECT_EQ(sheet.Mode(), SpreadSheetMode::Xls);
    EXPECT_TRUE(sheet.DriverName().isEmpty());
    sheet.BeginTransaction();
    EXPECT_FALSE(sheet.AddRow({"DL1"}, 2));
    EXPECT_EQ(sheet.GetLastError(), "No header row. Add header row first\n");
    EXPECT_FALSE(sheet.AddHeaders({"Name", "Name"}));
    EXPECT_EQ(sheet.GetLastError(), "Problems with adding headers\n");
    ASSERT_TRUE(sheet.AddHeaders({"Name", "object1"}));
    EXPECT_FALSE(sheet.AddRow({"DL1", "1", "2"}));
    EXPECT_EQ(sheet.GetLastError(),
              "Number of columns to be added cannot be greater than the number of fields\n");
    EXPECT_FALSE(sheet.AddRow({"Name"}, 1, true));
    ASSERT_TRUE(sheet.AddRow({"DL1"}, 3));
    QStringList filler;
    ASSERT_TRUE(sheet.ReadRow(filler, 2));
    EXPECT_EQ(filler, (QStringList{" ", " "}));
    // Nothing can be written without the driver.
    EXPECT_FALSE(sheet.Commit());
}

TEST(SpreadSheetTest, TheFirstInstalledDriverNamingExcelIsUsed)
{
    {
        DriverList drivers(kNoExcel);
        EXPECT_EQ(FindExcelDriver(), "");
    }
    DriverList drivers(kNoExcel +
                       "\n[Excel Files (*.xls)]\nDriver=/nowhere/excel.so\n\n[Excel 2]\nDriver=x.so\n");
    EXPECT_EQ(FindExcelDriver(), "Excel Files (*.xls)");
    QTemporaryDir dir;
    const QString path = dir.filePath("data.xls");
    CSpreadSheet sheet(path, "ExportData", true);
    EXPECT_EQ(sheet.DriverName(), "Excel Files (*.xls)");
    sheet.BeginTransaction();
    ASSERT_TRUE(sheet.AddHeaders({"Name"}));
    // The driver cannot be loaded: the driver manager's reason is kept.
    EXPECT_FALSE(sheet.Commit());
    EXPECT_FALSE(sheet.GetLastError().isEmpty());
    EXPECT_EQ(XlsConnectionString("Excel Files (*.xls)", path),
              "DRIVER={Excel Files (*.xls)};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB=\"" + path +
                  "\";DBQ=" + path);
}

TEST(SpreadSheetTest, XlsStatementsNameTheRangeAndCannotBeBrokenByAQuote)
{
    const QStringList headers{"Name", "object1"};
    EXPECT_EQ(XlsCreateStatement("ExportData", headers, false),
              "CREATE TABLE [ExportData] ([Name] char(255), [object1] char(255))");
    EXPECT_EQ(XlsCreateStatement("ExportData", headers, true),
              "CREATE TABLE [ExportData$A1:IV65536] ([Name] char(255), [object1] char(255))");
    EXPECT_EQ(XlsDropStatement("ExportData"), "DROP TABLE [ExportData$A1:IV65536]");
    EXPECT_EQ(XlsInsertStatement("ExportData", 3, headers, {"DL1", "it's"}),
              "INSERT INTO [ExportData$A1:IV3] ([Name], [object1]) VALUES ('DL1', 'it''s')");
}
