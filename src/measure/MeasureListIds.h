#pragma once
// Resource and control ids of the measurement list dialog, and the messages it
// exchanges with the photo window and its canvas.
#include <QEvent>

inline constexpr int IDD_MEASURE_LIST = 318;
inline constexpr int IDC_LIST_DELETE = 3;
inline constexpr int IDC_LIST_DELETE_ALL = 1200;
inline constexpr int IDC_LIST_EXPORT = 1201;
inline constexpr int IDC_LIST_TABS = 1202;
inline constexpr int IDC_LIST_VIEW = 1204;

// Posted to the dialog when the photo list changed: rebuild the rows.
inline constexpr QEvent::Type WM_MEASURE_LIST_REFRESH = QEvent::Type(0x800B);
// Sent by the dialog after a selection or deletion: the canvas repaints.
inline constexpr QEvent::Type WM_MEASURE_LIST_CHANGED = QEvent::Type(0x800D);

// Tabs of the dialog, one per shape family.
enum class ListTab : int { Line = 0, Rectangle = 1, Polygon = 2, Circle = 3, Angle = 4 };
inline constexpr int kListTabs = 5;
