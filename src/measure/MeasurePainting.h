#pragma once
// Pens, colours and fonts of measurement drawings, from the stored settings values.
#include "measure/CMeasureShape.h"
#include "platform/files/LogFont.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPen>
#include <QStaticText>
#include <cstring>
#include <vector>

class QPainter;

// Pen style codes of the line type setting.
enum PenStyleCode : int32_t {
    kPenSolid = 0,
    kPenDash = 1,
    kPenDot = 2,
    kPenDashDot = 3,
    kPenDashDotDot = 4,
};

inline constexpr ColorRef kPureGreen = 0x00FF00; // selection on screen
inline constexpr ColorRef kPureRed = 0x0000FF;   // selection in saved pictures
inline constexpr ColorRef kWhite = 0xFFFFFF;

QColor ColorFromRef(ColorRef color);
Qt::PenStyle PenStyleFromCode(int32_t code);
// Outline pen; widths below 1 draw 1 pixel wide.
QPen MeasurePen(int32_t styleCode, int32_t width, ColorRef color);

// Drawings burned into a picture larger than the preview they were made on grow with
// it, so the saved picture reads like the preview: label fonts, line widths and
// label spacing take the same factor as the points. A factor of 1 changes nothing.
LogFontRecord ScaledFont(const LogFontRecord& record, double factor);
int32_t ScaledPenWidth(int32_t width, double factor);
int ScaledLength(int pixels, double factor);

// Font of a logical-font record: face, height (negative: character height, positive:
// cell height, 0: default), weight, italic, underline, strike-out, quality, pitch and
// family. Escapement is applied when drawing (see DrawTextLine).
QFont FontFromLogFont(const LogFontRecord& record);

// Default label and text font when no font file can be read.
LogFontRecord DefaultMeasureFont();
// Font of the picture caption of the photo canvas.
LogFontRecord CaptionFont();

// Fonts made from records, kept while the records stay the same, so repaints do not
// rebuild fonts, metrics and the layout of label lines that did not change.
class FontCache {
public:
    struct Entry {
        LogFontRecord record;
        QFont font;
        int ascent = 0;
        double angle = 0.0; // degrees counter-clockwise, from the escapement
        QHash<QString, QStaticText> lines;
    };
    Entry& Get(const LogFontRecord& record);

private:
    std::vector<Entry> m_entries;
    size_t m_last = 0;
};

// Writes one text line with its top-left corner at `topLeft`, transparent background.
void DrawTextLine(QPainter& painter, FontCache::Entry& font, const QColor& color, QPoint topLeft,
                  const QString& text);
