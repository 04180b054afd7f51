#pragma once
// Worksheets of .xls files through the ODBC spreadsheet driver: finding the driver,
// reading a worksheet and writing one with the driver's SQL dialect.
#include <QList>
#include <QString>
#include <QStringList>

// The first installed ODBC driver whose name contains "Excel"; empty when there is
// none or the driver list cannot be read.
QString FindExcelDriver();
QString XlsConnectionString(const QString& driver, const QString& path);

struct XlsSheetContents {
    bool connected = false; // the file could be opened
    bool exists = false;    // the worksheet was found
    QStringList headers;
    QList<QStringList> records;
    QString error;
};
XlsSheetContents ReadXlsSheet(const QString& connection, const QString& sheet);

// The statements Commit sends.
QString XlsDropStatement(const QString& sheet);
QString XlsCreateStatement(const QString& sheet, const QStringList& headers, bool sheetExists);
// `row`: 1 for the first data row.
QString XlsInsertStatement(const QString& sheet, int row, const QStringList& headers,
                           const QStringList& fields);

// Recreates the worksheet with the headers and rows. With `dropFailureAllowed` a
// worksheet that cannot be dropped (because it is not there yet) is no error.
bool WriteXlsSheet(const QString& connection, const QString& sheet, bool sheetExists, bool dropFailureAllowed,
                   const QStringList& headers, const QList<QStringList>& rows, QString& error);
