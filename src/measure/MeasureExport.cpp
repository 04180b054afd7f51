#include "measure/MeasureExport.h"

#include "measure/MeasureTexts.h"
#include "platform/desktop/FileDialogs.h"
#include "platform/desktop/MessageBox.h"
#include "platform/office/CSpreadSheet.h"
#include "platform/text/TextLookup.h"

ExportResult WriteMeasureExport(const QString& path, const QList<QStringList>& rows, QString& error)
{
    // A text export is CSV, whatever the name: fields a spreadsheet splits into columns.
    const bool text = CSpreadSheet::ModeFor(path) == SpreadSheetMode::Text;
    CSpreadSheet sheet(path, text ? QString::fromLatin1(kCsvSeparator) : QString::fromLatin1(kExportSheet),
                       true);
    if (sheet.Mode() == SpreadSheetMode::Xls && sheet.DriverName().isEmpty()) {
        return ExportResult::NoDriver;
    }
    sheet.BeginTransaction();
    if (!rows.isEmpty()) {
        sheet.AddHeaders(rows.first(), false);
    }
    for (qsizetype i = 1; i < rows.size(); ++i) {
        sheet.AddRow(rows[i], 0, false);
    }
    if (!sheet.Commit()) {
        error = sheet.GetLastError().trimmed();
        return ExportResult::Failed;
    }
    return ExportResult::Written;
}

void RunMeasureExport(QWidget* owner, const QList<QStringList>& rows)
{
    SaveDialogRequest request;
    // A real workbook first; the ODBC driver that ".xls" needs is rarely installed.
    request.defaultExtension = QStringLiteral(".xlsx");
    request.filter =
        QStringLiteral("xlsx Files(*.xlsx)|*.xlsx|xls Files(*.xls)|*.xls|csv Files(*.csv)|*.csv||");
    request.confirmOverwrite = true;
    const QString path = AskSaveFileName(owner, request);
    if (path.isEmpty()) {
        return;
    }
    QString error;
    switch (WriteMeasureExport(path, rows, error)) {
    case ExportResult::Written:
        return;
    case ExportResult::NoDriver:
        ShowMessage(owner, LoadText(txt::NoExcelDriver), LoadText(txt::MsgTitle), MB_OK | MB_ICONWARNING);
        return;
    case ExportResult::Failed:
        ShowMessage(owner, LoadText(txt::ExportFailed) + "\n" + path + "\n" + error, LoadText(txt::MsgTitle),
                    MB_OK | MB_ICONWARNING);
        return;
    }
}
