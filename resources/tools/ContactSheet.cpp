// Renders every drawing listed in resources/ART.md through ArtPixmap, in its three
// looks at its own size and magnified, plus the main window background with the
// buttons and page picture laid out where the window puts them. For looking at the
// art, not for the program.
//
// Usage: pelora_art_sheet ART.md sheet.png window.png   (also writes window-disabled.png)
#include "widgets/Art.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <cstdio>

namespace {

struct Listed {
    QString name;
    QSize size;
};

QList<Listed> ReadList(const QString& path)
{
    QList<Listed> out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return out;
    }
    static const QRegularExpression row(QStringLiteral("^\\| `(\\w+)` \\| (\\d+)x(\\d+)"));
    while (!file.atEnd()) {
        const auto match = row.match(QString::fromUtf8(file.readLine()));
        if (match.hasMatch()) {
            out.append({match.captured(1), QSize(match.captured(2).toInt(), match.captured(3).toInt())});
        }
    }
    return out;
}

void DrawEntry(QPainter& painter, const Listed& item, QPoint at, int zoom)
{
    painter.setPen(QColor(0x30, 0x30, 0x30));
    painter.drawText(at + QPoint(0, 10), item.name);
    int x = at.x();
    for (ArtState state : {ArtState::Normal, ArtState::Active, ArtState::Disabled}) {
        const QPixmap picture = ArtPixmap(item.name, item.size, state);
        painter.drawPixmap(x, at.y() + 16, picture);
        const QRect big(x, at.y() + 20 + item.size.height(), item.size.width() * zoom,
                        item.size.height() * zoom);
        painter.drawImage(big, picture.toImage());
        x += item.size.width() * zoom + 8;
    }
}

bool SaveSheet(const QList<Listed>& items, const QString& path)
{
    const int zoom = 4;
    const int cellW = 3 * (29 * zoom + 8) + 16;
    const int cellH = 16 + 29 + 4 + 29 * zoom + 16;
    const int columns = 4;
    QList<Listed> small;
    for (const Listed& item : items) {
        if (item.size.width() <= 31 && item.size.height() <= 31) {
            small.append(item);
        }
    }
    const int rows = (static_cast<int>(small.size()) + columns - 1) / columns;
    QImage sheet(columns * cellW, rows * cellH, QImage::Format_ARGB32);
    sheet.fill(QColor(0xb8, 0xbe, 0xc4));
    QPainter painter(&sheet);
    for (int i = 0; i < small.size(); ++i) {
        DrawEntry(painter, small[i], QPoint((i % columns) * cellW + 8, (i / columns) * cellH + 4), zoom);
    }
    painter.end();
    return sheet.save(path);
}

struct Placed {
    const char* art;
    int x, y, w, h;
};

// Where the main window puts its bitmaps (client pixels).
constexpr Placed kLayout[] = {
    {"page_147", 10, 38, 164, 504},  {"button_1005", 11, 8, 29, 29},  {"button_1006", 45, 8, 29, 29},
    {"button_1007", 79, 8, 29, 29},  {"button_1009", 113, 8, 29, 29}, {"button_1008", 147, 8, 29, 29},
    {"button_1195", 193, 6, 25, 24}, {"button_1194", 223, 6, 25, 24}, {"button_1188", 253, 6, 25, 24},
    {"button_1193", 283, 6, 25, 24}, {"button_1190", 313, 6, 25, 24}, {"button_1191", 343, 6, 25, 24},
    {"button_1192", 373, 6, 25, 24}, {"button_1138", 413, 6, 25, 24}, {"button_1139", 443, 6, 25, 24},
    {"button_1140", 473, 6, 25, 24}, {"button_1141", 503, 6, 25, 24}, {"button_1142", 533, 6, 25, 24},
    {"button_1143", 563, 6, 25, 24}, {"button_1144", 593, 6, 25, 24}, {"button_1145", 623, 6, 25, 24},
    {"button_1146", 653, 6, 25, 24}, {"button_1136", 683, 6, 25, 24}, {"button_1197", 788, 6, 25, 24},
    {"button_1164", 820, 6, 14, 24},
};

// `disabled`: every button greyed, as without a microscope.
bool SaveWindow(const QString& path, bool disabled)
{
    QImage window(843, 580, QImage::Format_ARGB32);
    QPainter painter(&window);
    painter.drawPixmap(0, 0, ArtPixmap(QStringLiteral("background_main"), QSize(843, 580)));
    for (const Placed& place : kLayout) {
        // A few buttons in their other looks, to judge them in place.
        const QString art = QString::fromLatin1(place.art);
        ArtState state = ArtState::Normal;
        if (art.startsWith(QLatin1String("button_")) && disabled) {
            state = ArtState::Disabled;
        } else if (art == QLatin1String("button_1138") || art == QLatin1String("button_1195")) {
            state = ArtState::Active;
        }
        painter.drawPixmap(place.x, place.y, ArtPixmap(art, QSize(place.w, place.h), state));
    }
    painter.drawPixmap(12, 80, ArtPixmap(QStringLiteral("page_144"), QSize(162, 460)));
    painter.setPen(Qt::white);
    painter.drawRect(193, 34, 639, 479);
    painter.drawText(QRect(193, 34, 640, 480), Qt::AlignCenter, QStringLiteral("preview 640 x 480"));
    painter.fillRect(713, 6, 34, 25, Qt::white);
    painter.fillRect(749, 6, 34, 25, Qt::white);
    painter.setPen(Qt::black);
    painter.fillRect(200, 517, 70, 20, QColor(0xd2, 0xe9, 0xfc));
    painter.drawText(QRect(200, 517, 70, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("2592*1944"));
    painter.end();
    return window.save(path);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s ART.md sheet.png window.png\n", argv[0]);
        return 2;
    }
    const QList<Listed> items = ReadList(QString::fromLocal8Bit(argv[1]));
    if (items.isEmpty()) {
        std::fprintf(stderr, "no art listed in %s\n", argv[1]);
        return 1;
    }
    const QString window = QString::fromLocal8Bit(argv[3]);
    QString greyed = window;
    greyed.insert(greyed.lastIndexOf(QLatin1Char('.')), QStringLiteral("-disabled"));
    const bool ok = SaveSheet(items, QString::fromLocal8Bit(argv[2])) && SaveWindow(window, false) &&
                    SaveWindow(greyed, true);
    return ok ? 0 : 1;
}
