#include "measure/MeasureFactory.h"

std::unique_ptr<CMeasureShape> NewMeasureShape(const KindInfo& info, const MeasureStyle& style, ToolMode mode,
                                               int serial, QList<QPoint> points, MeasureTexts texts)
{
    const bool annotation = info.anchorRule == AnchorRule::None;
    const bool measuring = mode == ToolMode::Measuring && !annotation;
    if (!measuring && !annotation) {
        BlankTexts(texts);
    }
    auto shape = std::make_unique<CMeasureShape>();
    shape->penWidth = style.penWidth;
    shape->penStyle = style.penStyle;
    shape->lineColor = style.lineColor;
    shape->textColor = style.textColor;
    shape->labelFont = style.labelFont;
    shape->labelLineHeight = labelLineHeightFor(style.labelFontSize);
    shape->labelColor = style.labelColor;
    shape->textFont = style.textFont;
    shape->namePrefix = QString::fromLatin1(info.namePrefix);
    shape->serial = measuring ? serial : 0;
    shape->points = std::move(points);
    TakeTexts(*shape, std::move(texts));
    shape->labelShown = measuring ? 1 : 0;
    return shape;
}

void TakeTexts(CMeasureShape& shape, MeasureTexts texts)
{
    shape.valueTexts = std::move(texts.values);
    shape.unitTexts = std::move(texts.units);
    shape.values = std::move(texts.numbers);
}
