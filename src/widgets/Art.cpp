#include "widgets/Art.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QMutex>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>

// The resources live in a static library; without an explicit initialisation the
// linker may drop them. Q_INIT_RESOURCE must not stand inside a namespace.
static void InitArtResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

// Larger requests are a caller's mistake, not a picture anybody can show.
constexpr int kMaxArtSide = 4096;
// Callers that draw at ever new sizes (a resized list) must not grow the cache forever.
constexpr int kMaxCachedPixmaps = 512;

// Button drawings paint their plate and glyph in these colours; the active look
// swaps them for the highlighted plate. Keep in step with resources/tools/make_art.py.
struct ColourSwap {
    const char* normal;
    const char* active;
};
constexpr ColourSwap kActiveSwaps[] = {
    {"#27323d", "#2b8fcf"}, // plate fill
    {"#3a4754", "#8ad6ff"}, // plate rim
    {"#d6dee6", "#ffffff"}, // glyph
    {"#6cc6f5", "#fff0b3"}, // glyph accent
};

// Disabled looks keep the shape but lose colour and most of their weight.
constexpr int kDisabledAlphaPercent = 42;

void EnsureResources()
{
    static const bool done = [] {
        InitArtResources();
        return true;
    }();
    (void)done;
}

// Names are plain identifiers, so nothing can reach outside the art folder.
bool IsArtName(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_]+$"));
    return plain.match(name).hasMatch();
}

QString SvgPath(const QString& name)
{
    return QStringLiteral(":/art/%1.svg").arg(name);
}

QByteArray ReadSvg(const QString& name)
{
    QFile file(SvgPath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

qreal ScreenRatio()
{
    return qGuiApp ? qMax<qreal>(1.0, qGuiApp->devicePixelRatio()) : 1.0;
}

QImage RenderSvg(const QByteArray& svg, QSize size, qreal ratio)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) {
        return {};
    }
    QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    painter.end();
    image.setDevicePixelRatio(ratio);
    return image;
}

QByteArray ActivePalette(QByteArray svg)
{
    for (const ColourSwap& swap : kActiveSwaps) {
        svg.replace(swap.normal, swap.active);
    }
    return svg;
}

void MakeDisabled(QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = row[x];
            const int alpha = qAlpha(pixel) * kDisabledAlphaPercent / 100;
            // Premultiplied: the grey scales with the alpha just like the colours do.
            const int grey = qGray(pixel) * kDisabledAlphaPercent / 100;
            row[x] = qRgba(grey, grey, grey, alpha);
        }
    }
}

// Source of the requested look: its own drawing when there is one, else the normal
// drawing, recoloured for the active plate.
QByteArray SvgForState(const QString& name, ArtState state)
{
    if (state == ArtState::Active) {
        const QByteArray own = ReadSvg(name + QStringLiteral("_active"));
        return own.isEmpty() ? ActivePalette(ReadSvg(name)) : own;
    }
    if (state == ArtState::Disabled) {
        const QByteArray own = ReadSvg(name + QStringLiteral("_disabled"));
        if (!own.isEmpty()) {
            return own;
        }
    }
    return ReadSvg(name);
}

QPixmap Render(const QString& name, QSize size, ArtState state, qreal ratio)
{
    const QByteArray svg = SvgForState(name, state);
    if (svg.isEmpty()) {
        return {};
    }
    QImage image = RenderSvg(svg, size, ratio);
    if (image.isNull()) {
        return {};
    }
    const bool ownDisabled = HasArt(name + QStringLiteral("_disabled"));
    if (state == ArtState::Disabled && !ownDisabled) {
        MakeDisabled(image);
    }
    return QPixmap::fromImage(image);
}

} // namespace

bool HasArt(const QString& name)
{
    EnsureResources();
    return IsArtName(name) && QFile::exists(SvgPath(name));
}

QPixmap ArtPixmap(const QString& name, QSize size, ArtState state)
{
    if (!size.isValid() || size.isEmpty() || size.width() > kMaxArtSide || size.height() > kMaxArtSide ||
        !HasArt(name)) {
        return {};
    }
    const qreal ratio = ScreenRatio();
    const QString key = QStringLiteral("%1|%2x%3|%4|%5")
                            .arg(name)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(static_cast<int>(state))
                            .arg(ratio);
    // Pixmaps belong to the window thread, but a lock keeps the cache sound if a
    // worker ever asks.
    static QMutex lock;
    static QHash<QString, QPixmap> cache;
    QMutexLocker guard(&lock);
    auto found = cache.constFind(key);
    if (found != cache.constEnd()) {
        return found.value();
    }
    const QPixmap pixmap = Render(name, size, state, ratio);
    if (!pixmap.isNull()) {
        if (cache.size() >= kMaxCachedPixmaps) {
            cache.clear();
        }
        cache.insert(key, pixmap);
    }
    return pixmap;
}

QCursor ArtCursor(const QString& name)
{
    if (!HasArt(name)) {
        return QCursor(Qt::CrossCursor);
    }
    QSvgRenderer renderer(ReadSvg(name));
    const QSize natural = renderer.defaultSize();
    const QPixmap picture = ArtPixmap(name, natural);
    if (picture.isNull()) {
        return QCursor(Qt::CrossCursor);
    }
    // Odd sizes put the hotspot on the middle pixel of the crosshair.
    return QCursor(picture, natural.width() / 2, natural.height() / 2);
}

QIcon AppIcon()
{
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QPixmap picture = ArtPixmap(QStringLiteral("app_icon"), QSize(side, side));
        if (!picture.isNull()) {
            icon.addPixmap(picture);
        }
    }
    return icon;
}

QString SoundPath(int id)
{
    EnsureResources();
    const QString path = QStringLiteral(":/sounds/%1.wav").arg(id);
    return QFile::exists(path) ? path : QString();
}
