#pragma once
// The program's persistent settings: in-memory copies of the values under the
// per-user key "SOFTWARE\\vevizevedaRu", each with one read and one write. A read
// that fails leaves the in-memory copy as it was; writes report nothing.
#include "image/ImageFormat.h"

#include <QString>

inline constexpr const char* kSettingsKey = "SOFTWARE\\vevizevedaRu";
inline constexpr const char* kFontSubkey = "font";
inline constexpr const char* kLanguageSubkey = "LanguageID";
inline constexpr const char* kUnitsSubkey = "Units";

// Capacity of the unit text, in characters (terminator included).
inline constexpr int kUnitCapacity = 32;
// "unit" is stored as 12 bytes of the unit buffer: six wide characters.
inline constexpr int kUnitStoredChars = 6;

struct AppSettings {
    // [font]
    int fontcolor = 255;       // annotation text colour, 0x00BBGGRR
    int LineColor = 255;       // measurement lines; low 24 bits used
    int MeasureTxtColor = 255; // measurement labels; low 24 bits used
    int fontsize = 19;         // annotation text size
    int Linewidth = 2;         // pixels
    int Linetype = 0;          // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot
    // [LanguageID]
    int LanID = 0;                      // primary language id; 0 follows the system (low 16 bits used)
    int SubLanIDD = 0;                  // sub-language id (low 16 bits used)
    int SWITCH = 1;                     // 1 = the camera's still-image pin is used
    int FocusSteps = 10;                // frames of a focus stack swept near to far
    int sys_date = 1;                   // 1 = show the start-up prompt
    int ImageFormat = kImageFormatJpeg; // never written at first start; JPEG while absent
    // [Units]
    QString unit = QStringLiteral("mm"); // "mm", "cm", "mil" or "inch"; at most kUnitCapacity - 1 characters
    int decimal = 3;                     // decimal places shown: 2 to 5

    void ReadFontColor();
    void WriteFontColor() const;
    void ReadLineColor();
    void WriteLineColor() const;
    void ReadMeasureTxtColor();
    void WriteMeasureTxtColor() const;
    void ReadFontSize();
    void WriteFontSize() const;
    void ReadLineWidth();
    void WriteLineWidth() const;
    void ReadLineType();
    void WriteLineType() const;
    void ReadLanID();
    void WriteLanID() const;
    void ReadSubLanIDD();
    void WriteSubLanIDD() const;
    void ReadSwitch();
    void WriteSwitch() const;
    void ReadFocusSteps();
    void WriteFocusSteps() const;
    void ReadSysDate();
    void WriteSysDate() const;
    void ReadImageFormat();
    void WriteImageFormat() const;
    void ReadUnit();
    void ReadDecimal();
    // "unit" and "decimal" are always stored together.
    void WriteUnitAndDecimal() const;

    // First start: only when the key does not exist yet, creates its subkeys and
    // writes the documented defaults (not "ImageFormat"). True when it wrote them.
    static bool WriteFirstStartDefaults();
};

// The one in-memory copy the windows share.
AppSettings& Settings();
