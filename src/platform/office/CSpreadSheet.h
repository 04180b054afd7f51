#pragma once
// A small spreadsheet writer. Rows are kept as text lines of quoted fields until
// Commit writes them: names ending ".xls" go through the ODBC spreadsheet driver
// into a worksheet, ".xlsx" becomes a workbook with one worksheet, and any other
// name a text file of quoted fields joined by a separator. A comma as separator
// makes real CSV: fields quoted only where needed, quotes inside doubled.
//
// Opening reads what the file already holds (worksheet or text lines), so new rows
// are added after the old ones, and keeps a backup of it: the worksheet
// "CSpreadSheetBackup" (.xls) or a byte-for-byte copy with ".bak" appended. A text
// file that is not UTF-8 keeps its bytes: it is read and written byte for byte.
#include <QList>
#include <QString>
#include <QStringList>

enum class SpreadSheetMode { Text, Csv, Xls, Xlsx };

class CSpreadSheet {
public:
    // `name`: the worksheet (.xls, .xlsx) or the field separator (text).
    CSpreadSheet(const QString& path, const QString& name, bool backup = true);
    // The mode a path's ending chooses: Xls, Xlsx or Text (a text file becomes Csv
    // by its comma separator).
    static SpreadSheetMode ModeFor(const QString& path);

    // Holds every change until Commit.
    void BeginTransaction() { m_transaction = true; }
    // Row 1. A worksheet that existed keeps its headers unless `replace`; the
    // fields are added after them.
    bool AddHeaders(const QStringList& fields, bool replace = false);
    // `row` is 1-based; 0 appends. An existing row is replaced or the new one goes
    // before it; rows past the end are reached through rows of empty fields.
    bool AddRow(const QStringList& fields, int row = 0, bool replace = false);
    // `row` is 1-based; 0 reads the row after the one read or written last.
    bool ReadRow(QStringList& fields, int row = 0);
    // Writes every row to the file; false (and the reason in GetLastError) on failure.
    bool Commit();

    QString GetLastError() const { return m_error; }
    SpreadSheetMode Mode() const { return m_mode; }
    // The ODBC driver used for .xls; empty when none is installed.
    QString DriverName() const { return m_driver; }
    int TotalRows() const { return int(m_rows.size()); }
    bool BackupMade() const { return m_backup; }

    // A row as one line, and back: "a"SEP"b"SEP"c".
    static QString JoinFields(const QStringList& fields, const QString& separator);
    static QStringList SplitLine(const QString& line, const QString& separator);
    // A row as a CSV line and back.
    static QString CsvLine(const QStringList& fields);
    static QStringList SplitCsvLine(const QString& line);

private:
    void Open();
    void OpenXls();
    void OpenText();
    void MakeBackup();
    QString EncodeRow(const QStringList& fields) const;
    QStringList DecodeRow(const QString& line) const;
    bool CheckXlsRow(const QStringList& fields, int row);
    QString FillerLine() const;
    QList<QStringList> DataRows() const;
    bool CommitXls(const QString& sheet, bool dropFailureAllowed);
    bool CommitText(const QString& path);
    bool CommitXlsx();

    QString m_path;
    QString m_sheet;
    QString m_separator;
    SpreadSheetMode m_mode = SpreadSheetMode::Text;
    QString m_driver;
    QString m_connection;
    QStringList m_headers;
    int m_columns = 0;
    QStringList m_rows; // row 1 at index 0
    int m_current = 0;
    bool m_exists = false;
    bool m_read = false;
    bool m_transaction = false;
    bool m_backup = false;
    bool m_bytewise = false; // an old text file that is not UTF-8: one character per byte
    QString m_error;
};
