#include "platform/office/SheetCell.h"

#include <QLocale>

SheetRow TextCells(const QStringList& texts)
{
    SheetRow row;
    for (const QString& text : texts) {
        row << SheetCell{text};
    }
    return row;
}

QStringList CellTexts(const SheetRow& row)
{
    QStringList texts;
    for (const SheetCell& cell : row) {
        texts << cell.text;
    }
    return texts;
}

QStringList FullValueTexts(const SheetRow& row)
{
    QStringList texts;
    for (const SheetCell& cell : row) {
        texts << (cell.value ? QString::number(*cell.value, 'g', QLocale::FloatingPointShortest) : cell.text);
    }
    return texts;
}
