#include "measure/MeasureKind.h"

namespace {

constexpr const char* kLength[] = {"L="};
constexpr const char* kRound[] = {"R=", "C=", "A="};
constexpr const char* kDiameter[] = {"D=", "C=", "A="};
constexpr const char* kRectangle[] = {"W=", "H=", "A="};
constexpr const char* kArea[] = {"A="};
constexpr const char* kAngle[] = {"<="};
constexpr const char* kArc[] = {"R=", "<=", "A="};

// Indexed by code - 1.
constexpr KindInfo kPhotoInfo[] = {
    {"DL", kLength, AnchorRule::FixedIndex, 6},    {"RC", kRound, AnchorRule::FixedIndex, 2},
    {"RE", kRectangle, AnchorRule::FixedIndex, 2}, {"S", {}, AnchorRule::None, -1},
    {"TA", kAngle, AnchorRule::FixedIndex, 3},     {"ML", kLength, AnchorRule::LastPoint, -1},
    {"PG", kArea, AnchorRule::LastPoint, -1},      {"DC", kDiameter, AnchorRule::FixedIndex, 3},
    {"TC", kRound, AnchorRule::FixedIndex, 4},     {"FA", kAngle, AnchorRule::FixedIndex, 4},
};

constexpr KindInfo kLiveInfo[] = {
    {"DL", kLength, AnchorRule::FixedIndex, 2}, {"ML", kLength, AnchorRule::LastPoint, -1},
    {"PL", kLength, AnchorRule::FixedIndex, 4}, {"PG", kArea, AnchorRule::LastPoint, -1},
    {"RC", kRound, AnchorRule::FixedIndex, 2},  {"DC", kDiameter, AnchorRule::FixedIndex, 2},
    {"TC", kRound, AnchorRule::FixedIndex, 2},  {"AR", kArc, AnchorRule::FixedIndex, 4},
    {"TA", kAngle, AnchorRule::FixedIndex, 3},  {"FA", kAngle, AnchorRule::FixedIndex, 4},
};

template <class Kind, size_t N> const KindInfo* Lookup(const KindInfo (&table)[N], Kind kind)
{
    const int code = static_cast<int>(kind);
    if (code < kFirstKindCode || code > kLastKindCode) {
        return nullptr;
    }
    return &table[code - kFirstKindCode];
}

} // namespace

const KindInfo* InfoOf(PhotoKind kind)
{
    return Lookup(kPhotoInfo, kind);
}

const KindInfo* InfoOf(LiveKind kind)
{
    return Lookup(kLiveInfo, kind);
}

bool KindOfTool(MeasureTool tool, PhotoKind& kind)
{
    switch (tool) {
    case MeasureTool::Line:
        kind = PhotoKind::Line;
        return true;
    case MeasureTool::RadiusCircle:
        kind = PhotoKind::RadiusCircle;
        return true;
    case MeasureTool::Rectangle:
        kind = PhotoKind::Rectangle;
        return true;
    case MeasureTool::Text:
        kind = PhotoKind::Text;
        return true;
    case MeasureTool::Angle:
        kind = PhotoKind::ThreePointAngle;
        return true;
    case MeasureTool::ContinuousLine:
        kind = PhotoKind::ContinuousLine;
        return true;
    case MeasureTool::Polygon:
        kind = PhotoKind::Polygon;
        return true;
    case MeasureTool::DiameterCircle:
        kind = PhotoKind::DiameterCircle;
        return true;
    case MeasureTool::ThreePointCircle:
        kind = PhotoKind::ThreePointCircle;
        return true;
    case MeasureTool::FourPointAngle:
        kind = PhotoKind::FourPointAngle;
        return true;
    case MeasureTool::Select:
    case MeasureTool::None:
        break;
    }
    return false;
}
