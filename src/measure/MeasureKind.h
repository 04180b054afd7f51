#pragma once
// Kind codes of measurement objects, the photo tool codes and the per-kind layout
// facts (name prefix, value symbols, label anchor). The photo list and the live list
// use two different code sets over the same numbers, so each set is its own type and
// every table below is looked up through the set's type.
#include <cstdint>
#include <span>

// Codes of objects in the photo list.
enum class PhotoKind : int32_t {
    Line = 1,
    RadiusCircle = 2,
    Rectangle = 3,
    Text = 4,
    ThreePointAngle = 5,
    ContinuousLine = 6,
    Polygon = 7,
    DiameterCircle = 8,
    ThreePointCircle = 9,
    FourPointAngle = 10,
};

// Codes of objects in the live list.
enum class LiveKind : int32_t {
    Line = 1,
    ContinuousLine = 2,
    PointToLine = 3,
    Polygon = 4,
    RadiusCircle = 5,
    DiameterCircle = 6,
    ThreePointCircle = 7,
    Arc = 8,
    ThreePointAngle = 9,
    FourPointAngle = 10,
};

// Current tool of the photo canvas.
enum class MeasureTool : int32_t {
    Line = 0,
    RadiusCircle = 1,
    Rectangle = 2,
    Text = 3,
    Select = 4,
    Angle = 5,
    ContinuousLine = 6,
    Polygon = 7,
    DiameterCircle = 8,
    ThreePointCircle = 9,
    FourPointAngle = 10,
    None = 11,
};

enum class ToolMode : int32_t { DrawingOnly = 0, Measuring = 1 };

// Where the label anchor of a kind sits in its point array.
enum class AnchorRule : uint8_t {
    None, // no label (Text)
    FixedIndex,
    LastPoint, // polylines: the anchor is the last stored point
};

// What readers need to know about one kind.
struct KindInfo {
    const char* namePrefix;
    std::span<const char* const> symbols; // value symbols in valueTexts order
    AnchorRule anchorRule;
    int anchorIndex; // with FixedIndex: the anchor's point index = points the kind needs - 1
};

inline constexpr int kFirstKindCode = 1;
inline constexpr int kLastKindCode = 10;

// Facts of a code of the set, or nullptr for a code outside it.
const KindInfo* InfoOf(PhotoKind kind);
const KindInfo* InfoOf(LiveKind kind);

// Whether the code belongs to the set.
template <class Kind> bool IsKnownKind(Kind kind)
{
    return InfoOf(kind) != nullptr;
}

// Kind that a photo tool creates; false for select and none.
bool KindOfTool(MeasureTool tool, PhotoKind& kind);
