#include "capture/CaptureResolutions.h"

#include "capture/CaptureState.h"

#include <QGuiApplication>

namespace {
const std::vector<QSize> kClass2592 = {{640, 480}, {1280, 1024}, {1600, 1200}, {2048, 1536}, {2592, 1944}};
const std::vector<QSize> kClass1600 = {{640, 480}, {1280, 960}, {1600, 1200}};
const std::vector<QSize> kClass1280 = {{320, 240}, {640, 480}, {1280, 1024}};
const std::vector<QSize> kNone;
constexpr char16_t kLeftToRightMark = u'\u200E';
} // namespace

const std::vector<QSize>& ResolutionsOfClass(int deviceClass)
{
    switch (deviceClass) {
    case Class2592:
        return kClass2592;
    case Class1600:
        return kClass1600;
    case Class1280:
        return kClass1280;
    default:
        return kNone;
    }
}

QString ResolutionText(QSize size)
{
    const QString text = QString::number(size.width()) + QLatin1Char('*') + QString::number(size.height());
    // In a right-to-left language "2592*1944" would read "1944*2592": a
    // left-to-right mark keeps the size in its order, as the language files do.
    return QGuiApplication::isRightToLeft() ? QChar(kLeftToRightMark) + text : text;
}

int ResolutionItemOfWidth(int deviceClass, int width)
{
    const std::vector<QSize>& sizes = ResolutionsOfClass(deviceClass);
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i].width() == width) {
            return int(i);
        }
    }
    return -1;
}

int LargestResolutionItem(int deviceClass)
{
    return int(ResolutionsOfClass(deviceClass).size()) - 1;
}

bool ResolutionForSelection(int deviceClass, int selection, QSize& size)
{
    const std::vector<QSize>& sizes = ResolutionsOfClass(deviceClass);
    if (sizes.empty() || (deviceClass == Class2592 && selection < 0)) {
        return false;
    }
    const bool listed = selection >= 0 && selection < int(sizes.size());
    size = listed ? sizes[size_t(selection)] : sizes.back();
    return true;
}
