#pragma once
// A workbook with one worksheet, row by row: cells that are plain decimal numbers
// as numbers with their own decimals, all others as text.
#include <QList>
#include <QString>
#include <QStringList>

// Replaces `path` as a whole: the workbook is written beside it and renamed over
// it only when complete, so a failed write leaves the old file as it was.
bool WriteXlsxWorkbook(const QString& path, const QString& sheet, const QList<QStringList>& rows,
                       QString& error);
