#pragma once
// What the measurement list dialog shows and what both exports write, built from a
// list: the rows of one dialog tab, and the spreadsheet rows of the photo list and
// of the live list.
#include "measure/MeasureList.h"
#include "measure/MeasureListIds.h"

#include <QList>
#include <QString>
#include <QStringList>

// One row of a dialog tab: the shape's list position and the cells of the columns.
struct ListTabRow {
    int position = -1;
    QStringList cells;
};

// Column titles of a tab (five, empty ones included).
QStringList ListTabColumns(ListTab tab);
// Measured shapes of the tab's family, in list order.
QList<ListTabRow> ListTabRows(const PhotoMeasureList& list, ListTab tab);

// Sum of a continuous line's segment values as "%f"; empty when the sum is 0.
QString ContinuousTotalText(const CMeasureShape& shape);

// Spreadsheet rows, header row first, then a block per family that has shapes.
// The photo export leaves out drawing-only shapes; the live export writes them all.
QList<QStringList> PhotoExportRows(const PhotoMeasureList& list);
QList<QStringList> LiveExportRows(const LiveMeasureList& list);
