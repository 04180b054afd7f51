#include "measure/MeasurePainting.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Platform font weights, qualities and families.
constexpr int kMinWeight = 1;
constexpr int kMaxWeight = 1000;
constexpr int kNormalWeight = 400;
constexpr uint8_t kQualityNonAntialiased = 3;
constexpr uint8_t kQualityAntialiased = 4;
constexpr uint8_t kQualityClearType = 5;
constexpr uint8_t kFixedPitch = 1;
constexpr uint8_t kFamilyRoman = 0x10;
constexpr uint8_t kFamilySwiss = 0x20;
constexpr uint8_t kFamilyModern = 0x30;
constexpr uint8_t kFamilyScript = 0x40;
constexpr uint8_t kFamilyDecorative = 0x50;
constexpr int kDefaultPixelSize = 16;
constexpr size_t kMaxCachedFonts = 32;
constexpr qsizetype kMaxCachedLines = 4096;

constexpr int32_t kMeasureFontHeight = 14;
constexpr uint8_t kCharSetGb2312 = 134;
constexpr uint8_t kCharSetDefault = 1;
constexpr uint8_t kOutStrokePrecision = 3;
constexpr uint8_t kClipStrokePrecision = 2;
constexpr uint8_t kDraftQuality = 1;
constexpr uint8_t kVariablePitchSwiss = 0x22;
constexpr uint8_t kMeasureFontPitchFamily = 50;

QString FaceName(const LogFontRecord& record)
{
    size_t length = 0;
    while (length < std::size(record.faceName) && record.faceName[length] != 0) {
        ++length;
    }
    return QString::fromUtf16(record.faceName, qsizetype(length));
}

void SetFaceName(LogFontRecord& record, const char16_t* face)
{
    std::fill(std::begin(record.faceName), std::end(record.faceName), u'\0');
    for (size_t i = 0; face[i] != 0 && i + 1 < std::size(record.faceName); ++i) {
        record.faceName[i] = face[i];
    }
}

QFont::StyleHint StyleHintOf(uint8_t pitchAndFamily)
{
    switch (pitchAndFamily & 0xF0) {
    case kFamilyRoman:
        return QFont::Serif;
    case kFamilySwiss:
        return QFont::SansSerif;
    case kFamilyModern:
        return QFont::Monospace;
    case kFamilyScript:
        return QFont::Cursive;
    case kFamilyDecorative:
        return QFont::Decorative;
    default:
        return QFont::AnyStyle;
    }
}

// A positive height is the cell height (ascent + descent); find the pixel size whose
// cell fits it.
void SetHeight(QFont& font, int32_t height)
{
    if (height == 0) {
        font.setPixelSize(kDefaultPixelSize);
        return;
    }
    const int pixels = int(std::min<int64_t>(std::llabs(int64_t(height)), 4096));
    font.setPixelSize(pixels);
    if (height > 0) {
        const int cell = QFontMetrics(font).height();
        if (cell > pixels) {
            font.setPixelSize(std::max(1, pixels * pixels / cell));
        }
    }
}

} // namespace

QColor ColorFromRef(ColorRef color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

Qt::PenStyle PenStyleFromCode(int32_t code)
{
    switch (code) {
    case kPenDash:
        return Qt::DashLine;
    case kPenDot:
        return Qt::DotLine;
    case kPenDashDot:
        return Qt::DashDotLine;
    case kPenDashDotDot:
        return Qt::DashDotDotLine;
    default:
        return Qt::SolidLine;
    }
}

QPen MeasurePen(int32_t styleCode, int32_t width, ColorRef color)
{
    QPen pen(ColorFromRef(color));
    pen.setStyle(PenStyleFromCode(styleCode));
    pen.setWidth(std::max(1, width));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

LogFontRecord ScaledFont(const LogFontRecord& record, double factor)
{
    if (factor == 1.0 || !std::isfinite(factor) || factor <= 0) {
        return record;
    }
    LogFontRecord scaled = record;
    // Height 0 is the default size: scale that, as a character height.
    const int32_t height = record.height == 0 ? -kDefaultPixelSize : record.height;
    scaled.height = int32_t(std::clamp<double>(std::lround(height * factor), -4096, 4096));
    if (scaled.height == 0) {
        scaled.height = height < 0 ? -1 : 1;
    }
    scaled.width = int32_t(std::clamp<double>(std::lround(record.width * factor), 0, 4096));
    return scaled;
}

int32_t ScaledPenWidth(int32_t width, double factor)
{
    return std::max(1, ScaledLength(std::max(1, width), factor));
}

int ScaledLength(int pixels, double factor)
{
    if (factor == 1.0 || !std::isfinite(factor) || factor <= 0) {
        return pixels;
    }
    return int(std::clamp<double>(std::lround(pixels * factor), -1e6, 1e6));
}

QFont FontFromLogFont(const LogFontRecord& record)
{
    QFont font;
    const QString face = FaceName(record);
    if (!face.isEmpty()) {
        font.setFamily(face);
    }
    font.setStyleHint(StyleHintOf(record.pitchAndFamily));
    font.setFixedPitch((record.pitchAndFamily & 0x03) == kFixedPitch);
    const int weight = record.weight == 0 ? kNormalWeight : std::clamp(record.weight, kMinWeight, kMaxWeight);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(record.italic != 0);
    font.setUnderline(record.underline != 0);
    font.setStrikeOut(record.strikeOut != 0);
    if (record.quality == kQualityNonAntialiased) {
        font.setStyleStrategy(QFont::NoAntialias);
    } else if (record.quality == kQualityAntialiased || record.quality == kQualityClearType) {
        font.setStyleStrategy(QFont::PreferAntialias);
    }
    SetHeight(font, record.height);
    if (record.width > 0) {
        const int average = QFontMetrics(font).averageCharWidth();
        if (average > 0) {
            font.setStretch(std::clamp(record.width * 100 / average, 1, 4000));
        }
    }
    return font;
}

LogFontRecord DefaultMeasureFont()
{
    LogFontRecord record{};
    record.height = kMeasureFontHeight;
    record.weight = kNormalWeight;
    record.charSet = kCharSetGb2312;
    record.outPrecision = kOutStrokePrecision;
    record.clipPrecision = kClipStrokePrecision;
    record.quality = kDraftQuality;
    record.pitchAndFamily = kMeasureFontPitchFamily;
    SetFaceName(record, u"Arial");
    return record;
}

LogFontRecord CaptionFont()
{
    LogFontRecord record{};
    record.height = kMeasureFontHeight;
    record.weight = kNormalWeight;
    record.charSet = kCharSetDefault;
    record.outPrecision = kOutStrokePrecision;
    record.clipPrecision = kClipStrokePrecision;
    record.quality = kDraftQuality;
    record.pitchAndFamily = kVariablePitchSwiss;
    SetFaceName(record, u"Arial");
    return record;
}

FontCache::Entry& FontCache::Get(const LogFontRecord& record)
{
    // Most repaints use one or two fonts: try the last one first.
    if (m_last < m_entries.size() && std::memcmp(&m_entries[m_last].record, &record, sizeof record) == 0) {
        return m_entries[m_last];
    }
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (std::memcmp(&m_entries[i].record, &record, sizeof record) == 0) {
            m_last = i;
            return m_entries[i];
        }
    }
    if (m_entries.size() >= kMaxCachedFonts) {
        m_entries.clear();
    }
    Entry entry;
    entry.record = record;
    entry.font = FontFromLogFont(record);
    entry.ascent = QFontMetrics(entry.font).ascent();
    entry.angle = record.escapement / 10.0;
    m_entries.push_back(std::move(entry));
    m_last = m_entries.size() - 1;
    return m_entries.back();
}

namespace {

// Laid-out text of a line, made once per font and text.
const QStaticText& LaidOut(FontCache::Entry& font, const QString& text)
{
    auto it = font.lines.constFind(text);
    if (it != font.lines.constEnd()) {
        return *it;
    }
    if (font.lines.size() >= kMaxCachedLines) {
        font.lines.clear();
    }
    QStaticText line(text);
    line.setTextFormat(Qt::PlainText); // "<=" must never be taken for markup
    line.prepare(QTransform(), font.font);
    return *font.lines.insert(text, line);
}

} // namespace

void DrawTextLine(QPainter& painter, FontCache::Entry& font, const QColor& color, QPoint topLeft,
                  const QString& text)
{
    if (text.isEmpty()) {
        return;
    }
    if (painter.font() != font.font) {
        painter.setFont(font.font);
    }
    if (painter.pen().color() != color || painter.pen().style() != Qt::SolidLine) {
        painter.setPen(color);
    }
    const QStaticText& line = LaidOut(font, text);
    if (font.angle == 0.0) {
        painter.drawStaticText(topLeft, line);
        return;
    }
    painter.save();
    painter.translate(topLeft);
    painter.rotate(-font.angle);
    painter.drawStaticText(QPoint(0, 0), line);
    painter.restore();
}
