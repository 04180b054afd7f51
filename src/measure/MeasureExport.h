#pragma once
// Writing measurement rows to a spreadsheet file the user chooses: ".xlsx" as a
// workbook, ".xls" through the ODBC spreadsheet driver, any other name (".csv")
// as CSV. Used by the measurement list dialog and the main window's export.
#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

enum class ExportResult { Written, NoDriver, Failed };

// Worksheet of both exports.
inline constexpr char kExportSheet[] = "ExportData";
// Field separator of a text export.
inline constexpr char kCsvSeparator[] = ",";

// Writes the rows (header row first) to `path`, keeping the old contents as a
// backup. On Failed, `error` tells why.
ExportResult WriteMeasureExport(const QString& path, const QList<QStringList>& rows, QString& error);

// Asks for the file and writes the rows; tells the user when nothing could be
// written. Cancel does nothing.
void RunMeasureExport(QWidget* owner, const QList<QStringList>& rows);
