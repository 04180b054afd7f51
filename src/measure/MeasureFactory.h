#pragma once
// Making new measurement objects: the drawing settings of the moment are copied in,
// so later changes of pen, font, unit or decimals leave existing objects as they are.
#include "measure/MeasureList.h"
#include "measure/MeasurePainting.h"
#include "measure/MeasureValues.h"

#include <memory>

// Drawing settings a new object takes over.
struct MeasureStyle {
    int32_t penWidth = 1;
    int32_t penStyle = kPenSolid;
    ColorRef lineColor = kPureRed;
    ColorRef labelColor = kPureRed;
    LogFontRecord labelFont{};
    int labelFontSize = 0; // "fontsize": selects the label line height
    ColorRef textColor = kPureRed;
    LogFontRecord textFont{};
};

// Object of the kind described by `info`, not yet in a list. Measuring mode: `serial`,
// the label shown, the texts as given. Drawing-only mode: serial 0, no label, and an
// empty text in every slot the kind fills. A text annotation keeps its text and never
// shows a label or a number.
std::unique_ptr<CMeasureShape> NewMeasureShape(const KindInfo& info, const MeasureStyle& style, ToolMode mode,
                                               int serial, QList<QPoint> points, MeasureTexts texts);

// Gives `shape` the value texts, units and full values of `texts`.
void TakeTexts(CMeasureShape& shape, MeasureTexts texts);

// Appends a new object to `list`; measured objects take the list's next serial.
// Returns the object, or nullptr for a code outside the list's set.
template <class Kind>
CMeasureShape* AddMeasurement(MeasureList<Kind>& list, Kind kind, const MeasureStyle& style, ToolMode mode,
                              QList<QPoint> points, MeasureTexts texts)
{
    const KindInfo* info = InfoOf(kind);
    if (info == nullptr) {
        return nullptr;
    }
    const bool numbered = mode == ToolMode::Measuring && info->anchorRule != AnchorRule::None;
    const int serial = numbered ? list.NextSerial() : 0;
    return list.Append(kind,
                       NewMeasureShape(*info, style, mode, serial, std::move(points), std::move(texts)));
}
