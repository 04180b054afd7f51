#include "platform/desktop/DefaultPrinter.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
PrinterFactory& Factory()
{
    static PrinterFactory factory;
    return factory;
}
} // namespace

void SetPrinterFactory(PrinterFactory factory)
{
    Factory() = std::move(factory);
}

std::unique_ptr<QPrinter> OpenDefaultPrinter()
{
    if (Factory()) {
        return Factory()();
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        return nullptr;
    }
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

bool PrintStretched(QPrinter& printer, const QImage& picture, const QString& documentName)
{
    printer.setDocName(documentName);
    printer.setFromTo(1, 1);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    // The painter's device pixels are the printable area (the page less the
    // printer's unprintable border).
    const QRect printable(0, 0, printer.width(), printer.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(printable, picture);
    return painter.end();
}
