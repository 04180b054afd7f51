#pragma once
// A workbook with one worksheet, row by row: cells whose text is a plain decimal
// number as numbers (their full value where the cell has one) showing the text's
// decimals, all others as text.
#include "platform/office/SheetCell.h"

#include <QList>
#include <QString>

// Replaces `path` as a whole: the workbook is written beside it and renamed over
// it only when complete, so a failed write leaves the old file as it was.
bool WriteXlsxWorkbook(const QString& path, const QString& sheet, const QList<SheetRow>& rows,
                       QString& error);
