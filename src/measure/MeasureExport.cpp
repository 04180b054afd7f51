#include "measure/MeasureExport.h"

#include "measure/MeasureTexts.h"
#include "platform/desktop/FileDialogs.h"
#include "platform/desktop/MessageBox.h"
#include "platform/office/CSpreadSheet.h"
#include "platform/office/XlsxSheet.h"
#include "platform/text/TextLookup.h"

ExportResult WriteMeasureExport(const QString& path, const QList<SheetRow>& rows, QString& error)
{
    // A text export is CSV, whatever the name: fields a spreadsheet splits into columns.
    const bool text = CSpreadSheet::ModeFor(path) == SpreadSheetMode::Text;
    // Opening keeps the old file aside.
    CSpreadSheet sheet(path, text ? QString::fromLatin1(kCsvSeparator) : QString::fromLatin1(kExportSheet),
                       true);
    if (sheet.Mode() == SpreadSheetMode::Xls && sheet.DriverName().isEmpty()) {
        return ExportResult::NoDriver;
    }
    if (sheet.Mode() == SpreadSheetMode::Xlsx) {
        // Straight from the cells, which the sheet's text rows cannot hold.
        return WriteXlsxWorkbook(path, QString::fromLatin1(kExportSheet), rows, error) ? ExportResult::Written
                                                                                       : ExportResult::Failed;
    }
    sheet.BeginTransaction();
    if (!rows.isEmpty()) {
        sheet.AddHeaders(FullValueTexts(rows.first()), false);
    }
    for (qsizetype i = 1; i < rows.size(); ++i) {
        sheet.AddRow(FullValueTexts(rows[i]), 0, false);
    }
    if (!sheet.Commit()) {
        error = sheet.GetLastError().trimmed();
        return ExportResult::Failed;
    }
    return ExportResult::Written;
}

void RunMeasureExport(QWidget* owner, const QList<SheetRow>& rows)
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
