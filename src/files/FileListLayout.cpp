#include "files/FileListLayout.h"

#include <algorithm>

namespace {
constexpr int kCellGap = 7;
constexpr int kLeftMargin = 8;
constexpr int kTopMargin = 10;
constexpr int kWidthReserve = 20;
constexpr int kHeightReserve = 50;
// Rows a page may hold before its top row is kept on an update.
constexpr int kRowsAlwaysFromTop = 12;
} // namespace

QRect StripCellRect(int index, int clientWidth, int clientHeight)
{
    const int cellWidth = (clientWidth - kWidthReserve) / kStripColumns;
    const int cellHeight = (clientHeight - kHeightReserve) / kStripRows;
    const int left = (cellWidth + kCellGap) * (index % kStripColumns) + kLeftMargin;
    const int top = (cellHeight + kCellGap) * (index / kStripColumns) + kTopMargin;
    return QRect(left, top, cellWidth, cellHeight);
}

int StripRowCount(int items)
{
    return (std::max(items, 0) + kStripColumns - 1) / kStripColumns;
}

int StripScrollMax(int items)
{
    const int rows = StripRowCount(items);
    return rows < kStripRows + 1 ? kStripRows - 1 : rows - 1;
}

bool StripScrollEnabled(int items)
{
    return StripScrollMax(items) >= kScrollPage;
}

int TopRowAfterScan(int count)
{
    return count > kStripCells ? (count - kStripCells) / 2 : 0;
}

int TopRowAfterAdd(int count)
{
    return count > kStripCells ? (count - kStripCells + 1) / 2 : 0;
}

int TopRowAfterScrollUpdate(int topRow, int items)
{
    // Rows deleted below the page would otherwise leave it past the bar's end, empty.
    return StripRowCount(items) <= kRowsAlwaysFromTop ? 0 : std::clamp(topRow, 0, StripScrollMax(items));
}
