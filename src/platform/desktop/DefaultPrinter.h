#pragma once
// The system's default printer, used without a print dialog: one page with a
// picture stretched over the whole printable area. The default printer is only
// read, never changed.
#include <QString>
#include <functional>
#include <memory>

class QImage;
class QPrinter;

// Gives the printer to print on; null when there is none.
using PrinterFactory = std::function<std::unique_ptr<QPrinter>()>;

// Test hook: while set, the factory stands in for the system's default printer
// (tests print to PDF).
void SetPrinterFactory(PrinterFactory factory);

// The default printer with its own settings at its full resolution; null when the
// system has no default printer.
std::unique_ptr<QPrinter> OpenDefaultPrinter();

// Prints `picture` as a one-page document named `documentName`, stretched over
// the printable area without keeping its proportions (half-tone scaling). False
// when the printer would not start the document or the page.
bool PrintStretched(QPrinter& printer, const QImage& picture, const QString& documentName);
