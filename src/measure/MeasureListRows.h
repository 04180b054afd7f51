#pragma once
// What the measurement list dialog shows and what both exports write, built from a
// list: the rows of one dialog tab, and the spreadsheet rows of the photo list and
// of the live list.
#include "measure/MeasureList.h"
#include "measure/MeasureListIds.h"
#include "platform/office/SheetCell.h"

#include <QList>
#include <QString>
#include <QStringList>

// One row of a dialog tab: the shape's list position, the cells of the columns and
// the unit of each value cell (empty for the ID, the name and blank cells).
struct ListTabRow {
    int position = -1;
    QStringList cells;
    QStringList units;
};

// Column titles of a tab; a diameter circle has its own column beside the radius.
QStringList ListTabColumns(ListTab tab);
// Measured shapes of the tab's family, in list order.
QList<ListTabRow> ListTabRows(const PhotoMeasureList& list, ListTab tab);
// The titles with the unit of the rows' values, "Length (mm)"; a cell whose unit
// differs from its column's gets its own unit after the number.
void AddUnits(QStringList& titles, QList<ListTabRow>& rows);

// Sum of a continuous line's segment values as "%f"; empty when the sum is 0.
QString ContinuousTotalText(const CMeasureShape& shape);

// Spreadsheet rows, header row first, then a block per family that has shapes; value
// cells carry the full values behind their texts where the shapes know them.
// The photo export leaves out drawing-only shapes; the live export writes them all.
QList<SheetRow> PhotoExportRows(const PhotoMeasureList& list);
QList<SheetRow> LiveExportRows(const LiveMeasureList& list);
