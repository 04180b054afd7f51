#pragma once
// The process-wide label and annotation font records and their font files beside
// the program ("Measurefont.ini", "logfont.ini").
#include "measure/MeasureSettingsStore.h"
#include "platform/files/LogFont.h"

LogFontRecord& LabelFontRecord();
LogFontRecord& TextFontRecord();

// Read the file into the record; false (record zeroed) when missing or damaged.
bool ReadLabelFont();
bool ReadTextFont();
// Read the file; when that fails the record becomes the default font. Returns
// whether the file was read.
bool ReadLabelFontOrDefault();
bool ReadTextFontOrDefault();
// Store the record in its file.
bool WriteLabelFont();
bool WriteTextFont();

// The label font size that goes with a font record: the absolute character or cell
// height. The photo window stores it as "fontsize" after the pen setting dialog.
int LabelFontSizeOf(const LogFontRecord& record);
int StoreLabelFontSize(MeasureSettingsStore& store, const LogFontRecord& record);
