#pragma once
// A cell of a sheet to write: its text, and for a number whose text is rounded the
// full value behind it. A workbook stores the value and shows it as the text does;
// a text file has only room for one of them.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

struct SheetCell {
    QString text;
    std::optional<double> value{};

    bool operator==(const SheetCell&) const = default;
};
using SheetRow = QList<SheetCell>;

// Cells that are their texts only, and back.
SheetRow TextCells(const QStringList& texts);
QStringList CellTexts(const SheetRow& row);
// What a text file gets: the full value where there is one, in as few digits as
// read back to the same number, else the text.
QStringList FullValueTexts(const SheetRow& row);
