#include "platform/office/XlsxSheet.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <xlsxwriter.h>

namespace {

// Number cells show as many decimals as their text had; one format per count.
class NumberFormats {
public:
    explicit NumberFormats(lxw_workbook* workbook) : m_workbook(workbook) {}
    lxw_format* For(int decimals)
    {
        lxw_format*& format = m_formats[decimals];
        if (format == nullptr) {
            format = workbook_add_format(m_workbook);
            const QByteArray pattern = decimals > 0 ? "0." + QByteArray(decimals, '0') : QByteArray("0");
            format_set_num_format(format, pattern.constData());
        }
        return format;
    }

private:
    lxw_workbook* m_workbook;
    std::map<int, lxw_format*> m_formats;
};

// A cell whose text is a plain decimal number ("12", "-0.0042") goes in as a number,
// so the sheet can sum and chart it: its full value where it has one, shown with the
// text's decimals. Names, headers and everything else as text.
lxw_error WriteCell(lxw_worksheet* sheet, NumberFormats& formats, lxw_row_t row, lxw_col_t column,
                    const SheetCell& cell)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.([0-9]+))?$"));
    const QRegularExpressionMatch match = number.match(cell.text);
    bool read = false;
    const double rounded = match.hasMatch() ? cell.text.toDouble(&read) : 0.0;
    if (!read) {
        return worksheet_write_string(sheet, row, column, cell.text.toUtf8().constData(), nullptr);
    }
    const double value = cell.value && std::isfinite(*cell.value) ? *cell.value : rounded;
    return worksheet_write_number(sheet, row, column, value, formats.For(int(match.capturedLength(2))));
}

lxw_error WriteCells(lxw_workbook* workbook, lxw_worksheet* sheet, const QList<SheetRow>& rows)
{
    NumberFormats formats(workbook);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (qsizetype c = 0; c < rows[r].size(); ++c) {
            const lxw_error result = WriteCell(sheet, formats, lxw_row_t(r), lxw_col_t(c), rows[r][c]);
            if (result != LXW_NO_ERROR) {
                return result;
            }
        }
    }
    return LXW_NO_ERROR;
}

lxw_error WriteWorkbook(const QByteArray& file, const QString& sheetName, const QList<SheetRow>& rows)
{
    lxw_workbook* workbook = workbook_new(file.constData());
    if (!workbook) {
        return LXW_ERROR_CREATING_XLSX_FILE;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, sheetName.toUtf8().constData());
    lxw_error result = sheet ? WriteCells(workbook, sheet, rows) : LXW_ERROR_INVALID_SHEETNAME_CHARACTER;
    // Closing writes the file; it also frees the workbook after an error.
    const lxw_error closed = workbook_close(workbook);
    return result != LXW_NO_ERROR ? result : closed;
}

} // namespace

bool WriteXlsxWorkbook(const QString& path, const QString& sheet, const QList<SheetRow>& rows, QString& error)
{
    const QFileInfo target(path);
    QTemporaryFile part(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    if (!part.open()) {
        error = part.errorString();
        return false;
    }
    part.close();
    const QByteArray partName = QFile::encodeName(part.fileName());
    const lxw_error result = WriteWorkbook(partName, sheet, rows);
    if (result != LXW_NO_ERROR) {
        error = QString::fromUtf8(lxw_strerror(result));
        return false;
    }
    // The temporary file is private to the owner; the workbook is an ordinary file.
    part.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (std::rename(partName.constData(), QFile::encodeName(path).constData()) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    part.setAutoRemove(false);
    return true;
}
