#include "measure/MeasureListRows.h"

#include "measure/MeasureValues.h"

#include <algorithm>
#include <array>

namespace {

QString DisplayName(const CMeasureShape& shape)
{
    return QString::asprintf("%s%d", qUtf8Printable(shape.namePrefix), shape.serial);
}

bool InTab(PhotoKind kind, ListTab tab)
{
    switch (tab) {
    case ListTab::Line:
        return kind == PhotoKind::Line || kind == PhotoKind::ContinuousLine;
    case ListTab::Rectangle:
        return kind == PhotoKind::Rectangle;
    case ListTab::Polygon:
        return kind == PhotoKind::Polygon;
    case ListTab::Circle:
        return kind == PhotoKind::RadiusCircle || kind == PhotoKind::DiameterCircle ||
               kind == PhotoKind::ThreePointCircle;
    case ListTab::Angle:
        return kind == PhotoKind::ThreePointAngle || kind == PhotoKind::FourPointAngle;
    }
    return false;
}

// How a family's shapes fill the three value columns of the sheet.
enum class RowForm {
    Length,     // the length (a continuous line's total), then two blank cells
    OneValue,   // value text 0, then two blank cells
    ThreeValues // value texts 0, 1, 2
};

using FieldTexts = std::array<const char*, 4>;

template <class Kind> struct Block {
    FieldTexts familyRow;
    std::array<Kind, 3> kinds; // unused places hold code 0, which no shape has
    RowForm form;
};

// Continuous lines give their total as their length.
bool IsContinuousLine(PhotoKind kind)
{
    return kind == PhotoKind::ContinuousLine;
}
bool IsContinuousLine(LiveKind kind)
{
    return kind == LiveKind::ContinuousLine;
}

constexpr FieldTexts kHeaderRow = {"Name", "object1", "object2", "object3"};
constexpr FieldTexts kLengthRow = {"Name", "Length(mm)", " ", "  "};
constexpr FieldTexts kAreaRow = {"Name", "Area(mm2)", " ", "  "};
constexpr FieldTexts kCircleRow = {"Name", "Radius(mm)", "Circumference(mm)", "Area(mm2)"};
constexpr FieldTexts kDiameterRow = {"Name", "Diameter(mm)", "Circumference(mm)", "Area(mm2)"};
constexpr FieldTexts kAngleRow = {"Name", "Angle(deg)", " ", "  "};

const Block<PhotoKind> kPhotoBlocks[] = {
    {kLengthRow, {PhotoKind::Line, PhotoKind::ContinuousLine}, RowForm::Length},
    {{"Name", "Width(mm)", "Height(mm)", "Area(mm2)"}, {PhotoKind::Rectangle}, RowForm::ThreeValues},
    {kAreaRow, {PhotoKind::Polygon}, RowForm::OneValue},
    // Circles: a diameter circle's first value is its diameter, under a title of its own.
    {kCircleRow, {PhotoKind::RadiusCircle, PhotoKind::ThreePointCircle}, RowForm::ThreeValues},
    {kDiameterRow, {PhotoKind::DiameterCircle}, RowForm::ThreeValues},
    {kAngleRow, {PhotoKind::ThreePointAngle, PhotoKind::FourPointAngle}, RowForm::OneValue},
};

const Block<LiveKind> kLiveBlocks[] = {
    {kLengthRow, {LiveKind::Line, LiveKind::ContinuousLine, LiveKind::PointToLine}, RowForm::Length},
    {{"Name", "Radius(mm)", "Angle(deg)", "Area(mm2)"}, {LiveKind::Arc}, RowForm::ThreeValues},
    {kAreaRow, {LiveKind::Polygon}, RowForm::OneValue},
    {kCircleRow, {LiveKind::RadiusCircle, LiveKind::ThreePointCircle}, RowForm::ThreeValues},
    {kDiameterRow, {LiveKind::DiameterCircle}, RowForm::ThreeValues},
    {kAngleRow, {LiveKind::ThreePointAngle, LiveKind::FourPointAngle}, RowForm::OneValue},
};

SheetRow Fields(const FieldTexts& texts)
{
    SheetRow fields;
    for (const char* text : texts) {
        fields << SheetCell{QString::fromLatin1(text)};
    }
    return fields;
}

// Segments of a continuous line: one per anchor at the even point indices 2, 4, ...
// segment k's value sits at index k - 1.
qsizetype SegmentCount(const CMeasureShape& shape)
{
    return shape.points.size() / 2;
}

// Value k of a shape: its text, and the full value where the shape knows it.
SheetCell ValueCell(const CMeasureShape& shape, qsizetype k)
{
    SheetCell cell{shape.valueTexts.value(k)};
    if (!cell.text.isEmpty() && k < shape.values.size()) {
        cell.value = shape.values[k];
    }
    return cell;
}

SheetCell ContinuousTotalCell(const CMeasureShape& shape)
{
    SheetCell cell{ContinuousTotalText(shape)};
    const qsizetype segments = SegmentCount(shape);
    if (!cell.text.isEmpty() && segments <= shape.values.size()) {
        double total = 0.0;
        for (qsizetype k = 0; k < segments; ++k) {
            total += shape.values[k];
        }
        cell.value = total;
    }
    return cell;
}

template <class Kind> SheetRow ShapeRow(const CMeasureShape& shape, const Block<Kind>& block)
{
    const SheetCell name{DisplayName(shape)}, blank{" "}, blank2{"  "};
    switch (block.form) {
    case RowForm::Length: {
        const bool total = IsContinuousLine(static_cast<Kind>(shape.kind));
        return {name, total ? ContinuousTotalCell(shape) : ValueCell(shape, 0), blank, blank2};
    }
    case RowForm::OneValue:
        return {name, ValueCell(shape, 0), blank, blank2};
    case RowForm::ThreeValues:
        return {name, ValueCell(shape, 0), ValueCell(shape, 1), ValueCell(shape, 2)};
    }
    return {};
}

template <class Kind, size_t N>
QList<SheetRow> ExportRows(const MeasureList<Kind>& list, const Block<Kind> (&blocks)[N], bool measuredOnly)
{
    QList<SheetRow> rows{Fields(kHeaderRow)};
    for (const Block<Kind>& block : blocks) {
        bool started = false;
        for (int i = 0; i < list.Count(); ++i) {
            const CMeasureShape& shape = *list.At(i);
            if (measuredOnly && shape.serial <= 0) {
                continue;
            }
            if (std::find(block.kinds.begin(), block.kinds.end(), list.KindAt(i)) == block.kinds.end()) {
                continue;
            }
            if (!started) {
                rows << Fields(block.familyRow);
                started = true;
            }
            rows << ShapeRow(shape, block);
        }
    }
    return rows;
}

} // namespace

QStringList ListTabColumns(ListTab tab)
{
    switch (tab) {
    case ListTab::Line:
        return {"ID", "Name", "Length"};
    case ListTab::Rectangle:
        return {"ID", "Name", "Width", "Height", "Area"};
    case ListTab::Polygon:
        return {"ID", "Name", "Area"};
    case ListTab::Circle:
        return {"ID", "Name", "Radius", "Diameter", "Circumference", "Area"};
    case ListTab::Angle:
        return {"ID", "Name", "Angle"};
    }
    return {};
}

QList<ListTabRow> ListTabRows(const PhotoMeasureList& list, ListTab tab)
{
    const int valueColumns = int(ListTabColumns(tab).size()) - 2;
    QList<ListTabRow> rows;
    for (int i = 0; i < list.Count(); ++i) {
        const CMeasureShape& shape = *list.At(i);
        const PhotoKind kind = list.KindAt(i);
        if (shape.serial <= 0 || !InTab(kind, tab)) {
            continue;
        }
        ListTabRow row{i, {QString::number(shape.serial), DisplayName(shape)}, {QString(), QString()}};
        if (kind == PhotoKind::Line) {
            row.cells << shape.valueTexts.value(0);
        } else if (kind == PhotoKind::ContinuousLine) {
            row.cells << ContinuousTotalText(shape);
        } else {
            if (tab == ListTab::Circle) {
                // Radius or diameter: the other one's column stays blank.
                const bool diameter = kind == PhotoKind::DiameterCircle;
                row.cells << (diameter ? QString() : shape.valueTexts.value(0))
                          << (diameter ? shape.valueTexts.value(0) : QString()) << shape.valueTexts.mid(1, 2);
                row.units << (diameter ? QString() : shape.unitTexts.value(0))
                          << (diameter ? shape.unitTexts.value(0) : QString()) << shape.unitTexts.mid(1, 2);
            } else {
                row.cells << shape.valueTexts.mid(0, valueColumns);
            }
        }
        if (tab != ListTab::Circle) {
            row.units << shape.unitTexts.mid(0, row.cells.size() - 2);
        }
        rows << row;
    }
    return rows;
}

void AddUnits(QStringList& titles, QList<ListTabRow>& rows)
{
    for (qsizetype column = 2; column < titles.size(); ++column) {
        QString unit;
        for (const ListTabRow& row : rows) {
            if (unit.isEmpty() && !row.cells.value(column).isEmpty()) {
                unit = row.units.value(column);
            }
        }
        if (unit.isEmpty()) {
            continue;
        }
        titles[column] += QStringLiteral(" (%1)").arg(unit);
        for (ListTabRow& row : rows) {
            const QString own = row.units.value(column);
            if (!row.cells.value(column).isEmpty() && !own.isEmpty() && own != unit) {
                row.cells[column] += QLatin1Char(' ') + own;
            }
        }
    }
}

QString ContinuousTotalText(const CMeasureShape& shape)
{
    const double total = ContinuousLineTotal(shape.valueTexts.mid(0, SegmentCount(shape)));
    return total == 0.0 ? QString() : QString::asprintf("%f", total);
}

QList<SheetRow> PhotoExportRows(const PhotoMeasureList& list)
{
    return ExportRows(list, kPhotoBlocks, true);
}

QList<SheetRow> LiveExportRows(const LiveMeasureList& list)
{
    return ExportRows(list, kLiveBlocks, false);
}
