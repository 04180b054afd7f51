#pragma once
// The capture sizes the video settings dialog offers per sensor class, in combo order.
#include <QSize>
#include <QString>
#include <vector>

// The class's sizes; empty for an unknown class.
const std::vector<QSize>& ResolutionsOfClass(int deviceClass);
// Combo text of a size: "640*480".
QString ResolutionText(QSize size);
// The item whose width is `width`; -1 when none is.
int ResolutionItemOfWidth(int deviceClass, int width);
// The item of the class's largest size.
int LargestResolutionItem(int deviceClass);
// The size to apply for a combo selection (-1: none). Class 2 applies nothing
// without a selection; classes 1 and 0 take their largest size for any other
// selection. False when there is nothing to apply.
bool ResolutionForSelection(int deviceClass, int selection, QSize& size);
