#include "measure/SettingsChoosers.h"

#include "measure/FontColourDialog.h"
#include "measure/MeasurePainting.h"

#include <QColorDialog>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kPointsPerInch = 72.0;
constexpr double kFallbackDpi = 96.0;

ColorRef RefFromColor(const QColor& color)
{
    return ColorRef(color.red()) | ColorRef(color.green()) << 8 | ColorRef(color.blue()) << 16;
}

bool ChooseColorDialog(QWidget* owner, ColorRef& color)
{
    const QColor chosen = QColorDialog::getColor(ColorFromRef(color), owner);
    if (!chosen.isValid()) {
        return false;
    }
    color = RefFromColor(chosen);
    return true;
}

bool ChooseFontDialog(QWidget* owner, LogFontRecord& font, ColorRef& color)
{
    FontColourDialog dialog(FontFromLogFont(font), ColorFromRef(color), owner);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    font = LogFontFromFont(dialog.ChosenFont(), font);
    color = RefFromColor(dialog.ChosenColour());
    return true;
}

int PixelHeight(const QFont& font)
{
    if (font.pixelSize() > 0) {
        return font.pixelSize();
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : kFallbackDpi;
    return std::max(1, int(std::lround(font.pointSizeF() * dpi / kPointsPerInch)));
}

} // namespace

SettingsChoosers SettingsChoosers::WithDefaults() const
{
    SettingsChoosers result = *this;
    if (!result.chooseColor) {
        result.chooseColor = ChooseColorDialog;
    }
    if (!result.chooseFont) {
        result.chooseFont = ChooseFontDialog;
    }
    return result;
}

LogFontRecord LogFontFromFont(const QFont& font, const LogFontRecord& base)
{
    LogFontRecord record = base;
    record.height = -PixelHeight(font);
    record.weight = int32_t(font.weight());
    record.italic = font.italic() ? 1 : 0;
    record.underline = font.underline() ? 1 : 0;
    record.strikeOut = font.strikeOut() ? 1 : 0;
    std::fill(std::begin(record.faceName), std::end(record.faceName), u'\0');
    const QString face = font.family().left(int(std::size(record.faceName)) - 1);
    std::copy_n(face.utf16(), face.size(), record.faceName);
    return record;
}
