#pragma once
// Geometry and scrolling rules of the captured-files strip: two columns and six
// rows of cells, scrolled by rows of two.
#include <QRect>

inline constexpr int kStripColumns = 2;
inline constexpr int kStripRows = 6;
inline constexpr int kStripCells = kStripColumns * kStripRows;
inline constexpr int kScrollPage = 6;

// Cell i of a client area of the given size (Windows-style right/bottom edges,
// exclusive; QRect built from left, top, width, height).
QRect StripCellRect(int index, int clientWidth, int clientHeight);

// Rows needed for `items` thumbnails.
int StripRowCount(int items);
// Last scroll position: rows - 1, or 5 while fewer than 7 rows.
int StripScrollMax(int items);
// The scroll bar is disabled while its range is smaller than a page.
bool StripScrollEnabled(int items);
// Top row after the folder scan added the count-th item.
int TopRowAfterScan(int count);
// Top row after a capture or recording added the count-th item.
int TopRowAfterAdd(int count);
// Top row once the scroll bar was updated: pages of at most 12 rows start at 0,
// longer ones keep their row within the bar's range.
int TopRowAfterScrollUpdate(int topRow, int items);
