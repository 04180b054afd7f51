#pragma once
// Writing measurement rows to a spreadsheet file the user chooses: ".xlsx" as a
// workbook, ".xls" through the ODBC spreadsheet driver, any other name (".csv")
// as CSV. Used by the measurement list dialog and the main window's export.
// Measured values go out in full: a workbook shows them with the decimals of their
// texts, the other files write all their digits.
#include "platform/office/SheetCell.h"

#include <QList>
#include <QString>

class QWidget;

enum class ExportResult { Written, NoDriver, Failed };

// Worksheet of both exports.
inline constexpr char kExportSheet[] = "ExportData";
// Field separator of a text export.
inline constexpr char kCsvSeparator[] = ",";

// Writes the rows (header row first) to `path`, keeping the old contents as a
// backup. On Failed, `error` tells why.
ExportResult WriteMeasureExport(const QString& path, const QList<SheetRow>& rows, QString& error);

// Asks for the file and writes the rows; tells the user when nothing could be
// written. Cancel does nothing.
void RunMeasureExport(QWidget* owner, const QList<SheetRow>& rows);
