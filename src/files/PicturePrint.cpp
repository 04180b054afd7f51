#include "files/PicturePrint.h"

#include "files/FileOps.h"
#include "image/CxImage.h"
#include "platform/desktop/DefaultPrinter.h"
#include "platform/desktop/MessageBox.h"
#include "platform/files/ProgramFolder.h"
#include "platform/text/TextCatalogue.h"

#include <QDir>
#include <QPrinter>

namespace {

const char* const kNoPrinter = "No printer found!";
const char* const kBitmapNotLoaded = "Error loading bitmap!";

void Tell(QWidget* parent, const char* text)
{
    ShowMessage(parent, QString::fromLatin1(text), LoadText(txt::MsgTitle), MB_OK);
}

} // namespace

PrintOutcome PrintPicture(const QString& path, QWidget* parent)
{
    QString printFile = path;
    if (!HasLowerCaseBitmapExtension(path)) {
        printFile = QDir(WritableProgramFolder()).filePath(QString::fromLatin1(kPrintBitmapName));
        const CxImage picture(path, CXIMAGE_FORMAT_JPG);
        if (!picture.Save(printFile, CXIMAGE_FORMAT_BMP)) {
            return PrintOutcome::NotConverted;
        }
    }
    std::unique_ptr<QPrinter> printer = OpenDefaultPrinter();
    if (!printer) {
        Tell(parent, kNoPrinter);
        return PrintOutcome::NoPrinter;
    }
    const CxImage bitmap(printFile, CXIMAGE_FORMAT_BMP);
    if (!bitmap.IsValid()) {
        Tell(parent, kBitmapNotLoaded);
        return PrintOutcome::NotLoaded;
    }
    const QString documentName = QDir::toNativeSeparators(printFile);
    return PrintStretched(*printer, bitmap.Image(), documentName) ? PrintOutcome::Printed
                                                                  : PrintOutcome::NotPrinted;
}
