// Export of the photo list and the live list: the rows of each family block, and
// the files the user gets for each kind of name, read back as the user's programs
// would read them.
#include "measure/MeasureExport.h"

#include "MeasureListFixture.h"
#include "common/TestSupport.h"
#include "measure/MeasureFactory.h"
#include "measure/MeasureListRows.h"
#include "platform/desktop/FileDialogs.h"
#include "platform/desktop/MessageBox.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using Rows = QList<QStringList>;

Rows Texts(const QList<SheetRow>& rows)
{
    Rows texts;
    for (const SheetRow& row : rows) {
        texts << CellTexts(row);
    }
    return texts;
}

const QStringList kHeader{"Name", "object1", "object2", "object3"};
const QStringList kLengthFamily{"Name", "Length(mm)", " ", "  "};
const QStringList kCircleFamily{"Name", "Radius(mm)", "Circumference(mm)", "Area(mm2)"};
const QStringList kRectangleFamily{"Name", "Width(mm)", "Height(mm)", "Area(mm2)"};
const QStringList kAngleFamily{"Name", "Angle(deg)", " ", "  "};

// Two lines and a rectangle, measured.
void FillExample(PhotoMeasureList& list)
{
    AddShape(list, PhotoKind::Line, 1, {"1.000"}, 7);
    AddShape(list, PhotoKind::Line, 2, {"2.500"}, 7);
    AddShape(list, PhotoKind::Rectangle, 3, {"3.000", "4.000", "12.000"});
}

const Rows kExampleRows{kHeader,
                        kLengthFamily,
                        {"DL1", "1.000", " ", "  "},
                        {"DL2", "2.500", " ", "  "},
                        kRectangleFamily,
                        {"RE3", "3.000", "4.000", "12.000"}};

// A python with openpyxl: the distribution's own first (where its package puts it).
QString WorkbookReader()
{
    for (const char* python : {"/usr/bin/python3", "python3"}) {
        if (QProcess::execute(QString::fromLatin1(python), {"-c", "import openpyxl"}) == 0) {
            return QString::fromLatin1(python);
        }
    }
    return {};
}

// What a python script prints about a file.
QString RunPython(const char* script, const QString& path)
{
    static const QString python = WorkbookReader();
    QProcess process;
    process.start(python.isEmpty() ? QStringLiteral("python3") : python, {"-c", script, path});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The worksheets of a workbook as openpyxl reads them: "#sheet" lines, then rows
// of tab-separated cells; a number cell reads "=" and the number as its format
// shows it.
QString ReadWorkbook(const QString& path)
{
    return RunPython("import openpyxl, sys\n"
                     "def cell(c):\n"
                     "    if c.value is None: return ''\n"
                     "    if isinstance(c.value, str): return c.value\n"
                     "    f = c.number_format\n"
                     "    return '=' + format(c.value, '.%df' % (len(f.split('.')[1]) if '.' in f else 0))\n"
                     "wb = openpyxl.load_workbook(sys.argv[1])\n"
                     "for ws in wb.worksheets:\n"
                     "    print('#' + ws.title)\n"
                     "    for row in ws.iter_rows():\n"
                     "        print('\\t'.join(cell(c) for c in row))\n",
                     path);
}

// The number cells of a workbook's first sheet as openpyxl reads them: the cell,
// its number format and the stored value in full, tab-separated, a line each.
QString ReadWorkbookNumbers(const QString& path)
{
    return RunPython("import openpyxl, sys\n"
                     "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                     "for row in ws.iter_rows():\n"
                     "    for c in row:\n"
                     "        if isinstance(c.value, float):\n"
                     "            print(c.coordinate + '\\t' + c.number_format + '\\t' + repr(c.value))\n",
                     path);
}

// A CSV file as Python's csv module splits it: rows of tab-separated columns.
QString ReadCsv(const QString& path)
{
    return RunPython("import csv, sys\n"
                     "for row in csv.reader(open(sys.argv[1], newline='', encoding='utf-8')):\n"
                     "    print('\\t'.join(row))\n",
                     path);
}

QString AsTabText(const Rows& rows, bool markNumbers)
{
    static const QRegularExpression number("^-?[0-9]+(\\.[0-9]+)?$");
    QString text;
    for (const QStringList& row : rows) {
        QStringList cells;
        for (const QString& cell : row) {
            cells << (markNumbers && number.match(cell).hasMatch() ? "=" + cell : cell);
        }
        text += cells.join('\t') + '\n';
    }
    return text;
}

QString AsWorkbookText(const Rows& rows)
{
    return "#ExportData\n" + AsTabText(rows, true);
}

// The export command with the file dialog answered and the messages recorded.
class ExportRun {
public:
    explicit ExportRun(const QString& answer)
    {
        SetSaveDialogResponder([this, answer](const SaveDialogRequest& request) {
            asked = request;
            return answer;
        });
        SetMessageResponder([this](const QString& text, const QString&, unsigned) {
            messages << text;
            return int(IDOK);
        });
    }
    ~ExportRun()
    {
        SetSaveDialogResponder(nullptr);
        SetMessageResponder(nullptr);
    }
    SaveDialogRequest asked;
    QStringList messages;
};

} // namespace

TEST(MeasureExportTest, TwoLinesAndARectangleGiveTheirTwoBlocksOnly)
{
    PhotoMeasureList list;
    FillExample(list);
    EXPECT_EQ(Texts(PhotoExportRows(list)), kExampleRows);
}

TEST(MeasureExportTest, ContinuousLinesCountWithTheirTotal)
{
    PhotoMeasureList list;
    AddContinuousLine(list, 1, {"1.50", "2.25"});
    AddContinuousLine(list, 2, {"0.000", "0.000"});
    EXPECT_EQ(Texts(PhotoExportRows(list)),
              (Rows{kHeader, kLengthFamily, {"ML1", "3.750000", " ", "  "}, {"ML2", "", " ", "  "}}));
}

TEST(MeasureExportTest, DrawingOnlyShapesLeaveThePhotoExportButNotTheLiveOne)
{
    PhotoMeasureList photo;
    AddShape(photo, PhotoKind::Line, 0, {""}, 7);
    AddShape(photo, PhotoKind::RadiusCircle, 0, {"", "", ""});
    AddShape(photo, PhotoKind::Text, 0, {"note"}, 2);
    EXPECT_EQ(Texts(PhotoExportRows(photo)), Rows{kHeader});
    // A diameter circle's first value is its diameter: it has a title row of its own.
    AddShape(photo, PhotoKind::DiameterCircle, 1, {"2.000", "6.283", "3.142"});
    AddShape(photo, PhotoKind::RadiusCircle, 2, {"1.000", "6.283", "3.142"});
    EXPECT_EQ(Texts(PhotoExportRows(photo)), (Rows{kHeader,
                                                   kCircleFamily,
                                                   {"RC2", "1.000", "6.283", "3.142"},
                                                   {"Name", "Diameter(mm)", "Circumference(mm)", "Area(mm2)"},
                                                   {"DC1", "2.000", "6.283", "3.142"}}));

    // Live codes: block 1 holds lines, continuous lines and point-to-line distances
    // in list order; arcs come second.
    LiveMeasureList live;
    AddShape(live, LiveKind::ThreePointAngle, 1, {"90.00"});
    AddShape(live, LiveKind::PointToLine, 0, {"0.500"}, 6);
    AddShape(live, LiveKind::Arc, 2, {"1.000", "180.00", "3.142"});
    AddShape(live, LiveKind::ContinuousLine, 3, {"1.50", "2.25"}, 5);
    AddShape(live, LiveKind::Line, 4, {"1.000"}, 7);
    AddShape(live, LiveKind::Polygon, 5, {"4.000"}, 4);
    EXPECT_EQ(Texts(LiveExportRows(live)), (Rows{kHeader,
                                                 kLengthFamily,
                                                 {"PL0", "0.500", " ", "  "},
                                                 {"ML3", "3.750000", " ", "  "},
                                                 {"DL4", "1.000", " ", "  "},
                                                 {"Name", "Radius(mm)", "Angle(deg)", "Area(mm2)"},
                                                 {"AR2", "1.000", "180.00", "3.142"},
                                                 {"Name", "Area(mm2)", " ", "  "},
                                                 {"PG5", "4.000", " ", "  "},
                                                 kAngleFamily,
                                                 {"TA1", "90.00", " ", "  "}}));
}

TEST(MeasureExportTest, AnXlsxNameGivesAWorkbookAndKeepsTheOldOneAside)
{
    if (WorkbookReader().isEmpty()) {
        GTEST_SKIP() << "python3-openpyxl is not installed";
    }
    PhotoMeasureList list;
    FillExample(list);
    QTemporaryDir dir;
    const QString path = dir.filePath("measure.xlsx");
    ExportRun run(path);
    RunMeasureExport(nullptr, PhotoExportRows(list));
    EXPECT_TRUE(run.messages.isEmpty());
    // The workbook comes first in the dialog.
    EXPECT_EQ(run.asked.defaultExtension, ".xlsx");
    EXPECT_TRUE(run.asked.filter.startsWith("xlsx Files(*.xlsx)|*.xlsx|xls Files(*.xls)|*.xls"));
    EXPECT_EQ(ReadWorkbook(path), AsWorkbookText(kExampleRows));

    const QByteArray first = testsupport::ReadFile(path);
    list.RemoveAt(2);
    RunMeasureExport(nullptr, PhotoExportRows(list));
    EXPECT_EQ(ReadWorkbook(path), AsWorkbookText(kExampleRows.mid(0, 4)));
    EXPECT_EQ(testsupport::ReadFile(path + ".bak"), first);
}

namespace {

// Shapes made the way the editors make them, at two decimals, so that every value
// has more digits than its text: a line of 7/3, a rectangle of 7/3 by 5/3, an angle
// and a continuous line of two segments of 1/3 each.
void FillMeasured(PhotoMeasureList& list)
{
    const ValueContext context{1.0 / 3.0, 10.0, 2, "mm"};
    const MeasureStyle style;
    MeasureTexts line, rectangle, angle, segments, segment;
    ASSERT_TRUE(LineValues(7, context, line));
    ASSERT_TRUE(RectangleValues({0, 0}, {7, 5}, context, rectangle));
    ASSERT_TRUE(ThreePointAngleValues({10, 0}, {0, 0}, {10, 7}, angle));
    ASSERT_TRUE(LineValues(1, context, segments) && LineValues(1, context, segment));
    AppendTexts(segments, segment);
    const auto add = [&](PhotoKind kind, int points, const MeasureTexts& texts) {
        AddMeasurement(list, kind, style, ToolMode::Measuring, QList<QPoint>(points, QPoint(1, 1)), texts);
    };
    add(PhotoKind::Line, 7, line);
    add(PhotoKind::Rectangle, 3, rectangle);
    add(PhotoKind::ThreePointAngle, 4, angle);
    add(PhotoKind::ContinuousLine, 5, segments);
}

} // namespace

TEST(MeasureExportTest, TheWorkbookHoldsTheFullValuesShownWithTheTextsDecimals)
{
    if (WorkbookReader().isEmpty()) {
        GTEST_SKIP() << "python3-openpyxl is not installed";
    }
    PhotoMeasureList list;
    FillMeasured(list);
    const Rows texts{kHeader,
                     kLengthFamily,
                     {"DL1", "2.33", " ", "  "},
                     {"ML4", "0.660000", " ", "  "},
                     kRectangleFamily,
                     {"RE2", "2.33", "1.67", "3.89"},
                     kAngleFamily,
                     {"TA3", "34.99", " ", "  "}};
    ASSERT_EQ(Texts(PhotoExportRows(list)), texts);
    const double degrees = std::atan2(7.0, 10.0) * 180.0 / 3.1415926; // the angles' own degree factor
    // Cell, number format, full value; the continuous line's total is the sum of its
    // full segments, not of their rounded texts.
    const struct {
        const char* cell;
        const char* format;
        double value;
    } expected[] = {{"B3", "0.00", 7.0 / 3}, {"B4", "0.000000", 2.0 / 3}, {"B6", "0.00", 7.0 / 3},
                    {"C6", "0.00", 5.0 / 3}, {"D6", "0.00", 35.0 / 9},    {"B8", "0.00", degrees}};

    QTemporaryDir dir;
    const QString xlsx = dir.filePath("measure.xlsx");
    const QString csv = dir.filePath("measure.csv");
    for (const QString& path : {xlsx, csv}) {
        ExportRun run(path);
        RunMeasureExport(nullptr, PhotoExportRows(list));
        EXPECT_TRUE(run.messages.isEmpty());
    }
    // The workbook shows what the list shows, and holds the values in full; only the
    // continuous line's total reads as the sum of its full segments.
    Rows shown = texts;
    shown[3][1] = "0.666667";
    EXPECT_EQ(ReadWorkbook(xlsx), AsWorkbookText(shown));
    const QStringList numbers = ReadWorkbookNumbers(xlsx).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(size_t(numbers.size()), std::size(expected));
    // CSV has room for one of them: the full value.
    const QStringList csvRows = ReadCsv(csv).split('\n');
    for (size_t i = 0; i < std::size(expected); ++i) {
        const QString cell = QString::fromLatin1(expected[i].cell);
        const QStringList fields = numbers[qsizetype(i)].split('\t');
        ASSERT_EQ(fields.size(), 3) << numbers[qsizetype(i)].toStdString();
        EXPECT_EQ(fields[0], cell);
        EXPECT_EQ(fields[1], expected[i].format) << expected[i].cell;
        const double tolerance = 1e-9 * expected[i].value;
        EXPECT_NEAR(fields[2].toDouble(), expected[i].value, tolerance) << expected[i].cell;
        const QStringList csvFields = csvRows.value(cell[1].digitValue() - 1).split('\t');
        EXPECT_NEAR(csvFields.value(cell[0].toLatin1() - 'A').toDouble(), expected[i].value, tolerance)
            << expected[i].cell;
    }
}

TEST(MeasureExportTest, OtherNamesGiveCsvThatSplitsIntoColumns)
{
    if (WorkbookReader().isEmpty() && QProcess::execute("python3", {"-c", "import csv"}) != 0) {
        GTEST_SKIP() << "python3 is not installed";
    }
    PhotoMeasureList list;
    AddShape(list, PhotoKind::Polygon, 1, {"4.000"}, 4);
    AddShape(list, PhotoKind::Polygon, 2, {"0.0000123"}, 4)->namePrefix = "P\"G,";
    QTemporaryDir dir;
    for (const char* name : {"measure.csv", "measure.txt"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        ExportRun run(path);
        RunMeasureExport(nullptr, PhotoExportRows(list));
        EXPECT_TRUE(run.messages.isEmpty());
        EXPECT_TRUE(run.asked.filter.contains("csv Files(*.csv)|*.csv"));
        EXPECT_TRUE(
            testsupport::ReadFile(path).startsWith("Name,object1,object2,object3\r\nName,Area(mm2),\" \","))
            << name;
        EXPECT_EQ(ReadCsv(path), AsTabText(Texts(PhotoExportRows(list)), false)) << name;
    }
}

TEST(MeasureExportTest, TheUserIsToldWhenNothingCouldBeWritten)
{
    PhotoMeasureList list;
    FillExample(list);
    QTemporaryDir dir;
    testsupport::TempHome home;
    qputenv("ODBCSYSINI", QFile::encodeName(dir.path())); // no driver list: no .xls driver
    {
        ExportRun run(dir.filePath("measure.xls"));
        RunMeasureExport(nullptr, PhotoExportRows(list));
        ASSERT_EQ(run.messages.size(), 1);
        EXPECT_TRUE(run.messages[0].startsWith("No ODBC driver for Excel files is installed"));
    }
    qunsetenv("ODBCSYSINI");
    testsupport::WriteFile(dir.filePath("file"), "x");
    for (const char* name : {"file/measure.xlsx", "file/measure.csv"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        ExportRun run(path);
        RunMeasureExport(nullptr, PhotoExportRows(list));
        ASSERT_EQ(run.messages.size(), 1) << name;
        EXPECT_TRUE(run.messages[0].startsWith("The measurements could not be written to the file:\n" + path))
            << name;
    }
    // Cancel: nothing written, nothing said.
    ExportRun cancelled("");
    RunMeasureExport(nullptr, PhotoExportRows(list));
    EXPECT_TRUE(cancelled.messages.isEmpty());
}
