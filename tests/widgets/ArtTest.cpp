#include "widgets/Art.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

struct Listed {
    QString name;
    QList<QSize> sizes;
};

// The art list the window code is written against.
QList<Listed> ArtList()
{
    QList<Listed> out;
    QFile file(QStringLiteral(PELORA_SOURCE_DIR "/resources/ART.md"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return out;
    }
    static const QRegularExpression row(QStringLiteral("^\\| `(\\w+)` \\| ([^|]*)\\|"));
    static const QRegularExpression size(QStringLiteral("(\\d+)x(\\d+)"));
    while (!file.atEnd()) {
        const auto match = row.match(QString::fromUtf8(file.readLine()));
        if (!match.hasMatch()) {
            continue;
        }
        Listed item{match.captured(1), {}};
        for (auto it = size.globalMatch(match.captured(2)); it.hasNext();) {
            const auto found = it.next();
            item.sizes.append(QSize(found.captured(1).toInt(), found.captured(2).toInt()));
        }
        out.append(item);
    }
    return out;
}

QImage Look(const QString& name, QSize size, ArtState state)
{
    return ArtPixmap(name, size, state).toImage().convertToFormat(QImage::Format_ARGB32);
}

int OpaquePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return count;
}

int MostSaturation(const QImage& image)
{
    int most = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            most = qMax(most, QColor::fromRgba(image.pixel(x, y)).hsvSaturation());
        }
    }
    return most;
}

TEST(Art, EveryListedNameRendersAtItsSizesInAllLooks)
{
    const QList<Listed> list = ArtList();
    ASSERT_GT(list.size(), 50);
    for (const Listed& item : list) {
        ASSERT_FALSE(item.sizes.isEmpty()) << item.name.toStdString();
        EXPECT_TRUE(HasArt(item.name)) << item.name.toStdString();
        for (QSize size : item.sizes) {
            for (ArtState state : {ArtState::Normal, ArtState::Active, ArtState::Disabled}) {
                const QPixmap pixmap = ArtPixmap(item.name, size, state);
                ASSERT_FALSE(pixmap.isNull()) << item.name.toStdString();
                EXPECT_EQ(pixmap.deviceIndependentSize().toSize(), size) << item.name.toStdString();
                EXPECT_GT(OpaquePixels(pixmap.toImage()), 0) << item.name.toStdString();
            }
        }
    }
}

TEST(Art, ListCoversEveryDrawingAndEveryControlTheWindowShows)
{
    QSet<QString> listed;
    for (const Listed& item : ArtList()) {
        listed.insert(item.name);
    }
    // Drawings nobody can find in the list would be dead weight or a forgotten row.
    for (const QString& file :
         QDir(QStringLiteral(PELORA_SOURCE_DIR "/resources/art")).entryList({"*.svg"})) {
        QString name = file.chopped(4);
        name.remove(QRegularExpression(QStringLiteral("_(active|disabled)$")));
        EXPECT_TRUE(listed.contains(name)) << file.toStdString();
    }
    const int buttons[] = {1014, 1005, 1006, 1007, 1016, 1008, 1009, 1195, 1194, 1188, 1193, 1189, 1190, 1191,
                           1192, 1138, 1139, 1140, 1141, 1142, 1143, 1144, 1145, 1146, 1136, 1197, 1164};
    for (int id : buttons) {
        EXPECT_TRUE(listed.contains(QStringLiteral("button_%1").arg(id))) << id;
    }
    const int menuItems[] = {32776, 32777, 386,   32778, 32792, 32836, 32787, 32810, 385,
                             1016,  32791, 32798, 32789, 32790, 395,   1005,  1006,  1007,
                             32784, 32835, 32786, 1114,  1115,  1116,  32788, 1186,  231};
    for (int id : menuItems) {
        EXPECT_TRUE(listed.contains(QStringLiteral("menu_%1").arg(id))) << id;
    }
    for (const char* name : {"background_main", "page_146", "page_147", "page_144", "page_148", "cursor_258",
                             "app_icon", "player_214", "player_161", "player_162", "player_163", "player_164",
                             "player_165", "player_166", "player_167"}) {
        EXPECT_TRUE(listed.contains(QString::fromLatin1(name))) << name;
    }
}

TEST(Art, ButtonLooksAreDistinct)
{
    for (const Listed& item : ArtList()) {
        const bool playerButton =
            item.name.startsWith(QLatin1String("player_")) && item.name != QLatin1String("player_214");
        if (!item.name.startsWith(QLatin1String("button_")) && !playerButton) {
            continue;
        }
        const QSize size = item.sizes.first();
        const QImage normal = Look(item.name, size, ArtState::Normal);
        const QImage active = Look(item.name, size, ArtState::Active);
        const QImage disabled = Look(item.name, size, ArtState::Disabled);
        // The active plate itself must light up, else a latched tool looks released.
        const QPoint plate(2, size.height() / 2);
        EXPECT_NE(normal.pixel(plate), active.pixel(plate)) << item.name.toStdString();
        EXPECT_NE(normal, disabled) << item.name.toStdString();
        EXPECT_EQ(MostSaturation(disabled), 0) << item.name.toStdString();
        int normalAlpha = 0;
        int disabledAlpha = 0;
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                normalAlpha += qAlpha(normal.pixel(x, y));
                disabledAlpha += qAlpha(disabled.pixel(x, y));
            }
        }
        EXPECT_LT(disabledAlpha * 2, normalAlpha) << item.name.toStdString();
    }
}

TEST(Art, BadRequestsGiveNothingInsteadOfFailing)
{
    EXPECT_FALSE(HasArt(QStringLiteral("no_such_art")));
    EXPECT_TRUE(ArtPixmap(QStringLiteral("no_such_art"), QSize(25, 24)).isNull());
    EXPECT_TRUE(ArtPixmap(QStringLiteral("button_1005"), QSize(0, 29)).isNull());
    EXPECT_TRUE(ArtPixmap(QStringLiteral("button_1005"), QSize(-5, -5)).isNull());
    EXPECT_TRUE(ArtPixmap(QStringLiteral("button_1005"), QSize(100000, 100000)).isNull());
    // Names cannot reach other resources or files.
    EXPECT_FALSE(HasArt(QStringLiteral("../sounds/181")));
    EXPECT_FALSE(HasArt(QString()));
    EXPECT_TRUE(ArtPixmap(QStringLiteral("../art/button_1005"), QSize(29, 29)).isNull());
    EXPECT_EQ(ArtCursor(QStringLiteral("no_such_art")).shape(), Qt::CrossCursor);
}

TEST(Art, StatusStripIsLightEnoughForBlackText)
{
    // The resolution and recording texts are black on the light status brush.
    const QImage background = Look(QStringLiteral("background_main"), QSize(843, 580), ArtState::Normal);
    for (QPoint at : {QPoint(205, 528), QPoint(790, 528)}) {
        EXPECT_GT(qGray(background.pixel(at)), 180) << at.x();
    }
    // The preview well behind the live picture stays dark.
    EXPECT_LT(qGray(background.pixel(500, 300)), 40);
}

TEST(Art, CursorHotspotSitsOnTheCrosshairCentre)
{
    const QCursor cursor = ArtCursor(QStringLiteral("cursor_258"));
    const QPixmap picture = cursor.pixmap();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(cursor.hotSpot(), QPoint(picture.width() / 2, picture.height() / 2));
    const QImage image = picture.toImage();
    EXPECT_GT(qAlpha(image.pixel(cursor.hotSpot())), 200);
    // The arms run through the hotspot's row and column.
    EXPECT_GT(qAlpha(image.pixel(cursor.hotSpot().x(), 4)), 200);
    EXPECT_GT(qAlpha(image.pixel(4, cursor.hotSpot().y())), 200);
    EXPECT_EQ(qAlpha(image.pixel(4, 4)), 0);
}

TEST(Art, AppIconOffersSmallAndLargeSizes)
{
    const QIcon icon = AppIcon();
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
}

struct WavInfo {
    bool valid = false;
    quint16 format = 0, channels = 0, bits = 0;
    quint32 rate = 0, dataBytes = 0;
};

// Walks the RIFF chunks the way a strict player does.
WavInfo ParseWav(const QByteArray& bytes)
{
    WavInfo info;
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        return info;
    }
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    if (u32(4) + 8 != static_cast<quint32>(bytes.size())) {
        return info;
    }
    bool haveFormat = false;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 length = u32(at + 4);
        if (length > static_cast<quint32>(bytes.size() - at - 8)) {
            return info;
        }
        if (id == "fmt " && length >= 16) {
            info.format = u16(at + 8);
            info.channels = u16(at + 10);
            info.rate = u32(at + 12);
            info.bits = u16(at + 22);
            haveFormat = true;
        } else if (id == "data") {
            info.dataBytes = length;
            info.valid = haveFormat;
        }
        at += 8 + length + (length & 1);
    }
    return info;
}

TEST(Art, SoundsAreShortPcmWaves)
{
    for (int id : {180, 181, 182}) {
        const QString path = SoundPath(id);
        ASSERT_FALSE(path.isEmpty()) << id;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << id;
        const WavInfo wav = ParseWav(file.readAll());
        ASSERT_TRUE(wav.valid) << id;
        EXPECT_EQ(wav.format, 1) << id; // PCM
        EXPECT_EQ(wav.channels, 1) << id;
        EXPECT_EQ(wav.bits, 16) << id;
        EXPECT_EQ(wav.rate, 22050u) << id;
        EXPECT_GT(wav.dataBytes, 0u) << id;
        EXPECT_LT(wav.dataBytes, 22050u * 2) << id; // under one second
    }
    EXPECT_TRUE(SoundPath(183).isEmpty());
    EXPECT_TRUE(SoundPath(-1).isEmpty());
}

} // namespace
