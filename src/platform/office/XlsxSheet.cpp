#include "platform/office/XlsxSheet.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <xlsxwriter.h>

namespace {

lxw_error WriteCells(lxw_worksheet* sheet, const QList<QStringList>& rows)
{
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (qsizetype c = 0; c < rows[r].size(); ++c) {
            const lxw_error result = worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c),
                                                            rows[r][c].toUtf8().constData(), nullptr);
            if (result != LXW_NO_ERROR) {
                return result;
            }
        }
    }
    return LXW_NO_ERROR;
}

lxw_error WriteWorkbook(const QByteArray& file, const QString& sheetName, const QList<QStringList>& rows)
{
    lxw_workbook* workbook = workbook_new(file.constData());
    if (!workbook) {
        return LXW_ERROR_CREATING_XLSX_FILE;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, sheetName.toUtf8().constData());
    lxw_error result = sheet ? WriteCells(sheet, rows) : LXW_ERROR_INVALID_SHEETNAME_CHARACTER;
    // Closing writes the file; it also frees the workbook after an error.
    const lxw_error closed = workbook_close(workbook);
    return result != LXW_NO_ERROR ? result : closed;
}

} // namespace

bool WriteXlsxWorkbook(const QString& path, const QString& sheet, const QList<QStringList>& rows,
                       QString& error)
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
