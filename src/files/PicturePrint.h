#pragma once
// Printing a picture file on the default printer, one page, stretched over the
// whole printable area, without a print dialog. The captured-files strip and the
// photo window both print through here.
#include <QString>

class QWidget;

// Name of the converted copy of a non-BMP picture, in the program's writable folder.
inline constexpr char kPrintBitmapName[] = "print.bmp";

// What a print ended with.
enum class PrintOutcome {
    Printed,
    NotConverted, // the picture could not be turned into print.bmp (no message)
    NoPrinter,    // "No printer found!"
    NotLoaded,    // "Error loading bitmap!"
    NotPrinted,   // the printer would not take the page
};

// Prints the file at `path`. A ".bmp" file (that exact lower-case extension)
// prints as it is; any other file is decoded as JPEG and printed from a BMP copy,
// "print.bmp" in the program's writable folder, overwritten each time. Failures
// are told in boxes owned by `parent`.
PrintOutcome PrintPicture(const QString& path, QWidget* parent);
