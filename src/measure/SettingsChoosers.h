#pragma once
// The colour and font choosers the pen and text dialogs open. Tests hand in their
// own; the defaults are the platform's dialogs.
#include "measure/CMeasureShape.h"
#include "platform/files/LogFont.h"

#include <QFont>
#include <functional>

class QWidget;

struct SettingsChoosers {
    // Starts at `color`; true with the chosen colour in `color`.
    std::function<bool(QWidget* owner, ColorRef& color)> chooseColor;
    // Starts at `font` and `color`; true with the chosen font and colour.
    std::function<bool(QWidget* owner, LogFontRecord& font, ColorRef& color)> chooseFont;

    // Fills the empty ones with the platform's dialogs.
    SettingsChoosers WithDefaults() const;
};

// The record of a chosen font: face, character height in pixels, weight, italic,
// underline and strike-out replaced; the record's other fields kept.
LogFontRecord LogFontFromFont(const QFont& font, const LogFontRecord& base);
