#pragma once
// The picture codec every file the program reads or writes goes through: one
// decoded picture in memory, loaded from or saved to BMP or JPEG.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>

class QPainter;

// Codec types, passed as numbers by callers.
enum CxImageFormat : uint32_t {
    CXIMAGE_FORMAT_UNKNOWN = 0,
    CXIMAGE_FORMAT_BMP = 1,
    CXIMAGE_FORMAT_JPG = 3,
};

class CxImage {
public:
    // An empty image (codec type 0).
    explicit CxImage(uint32_t imageType = CXIMAGE_FORMAT_UNKNOWN);
    // Decodes the file; the object reports itself invalid when that fails.
    CxImage(const QString& path, uint32_t imageType);

    // Loads a JPEG at reduced scale, at least `atLeast` in size where the picture
    // is that large (for thumbnails); other types load in full.
    bool LoadScaled(const QString& path, uint32_t imageType, QSize atLeast);

    bool IsValid() const { return !m_image.isNull(); }
    uint32_t GetWidth() const { return uint32_t(m_image.width()); }
    uint32_t GetHeight() const { return uint32_t(m_image.height()); }

    // Takes the pixels of a bitmap (no palette involved).
    bool CreateFromBitmap(const QImage& bitmap);

    void SetJpegQuality(uint8_t quality) { m_jpegQuality = quality; }
    uint8_t GetJpegQuality() const { return m_jpegQuality; }

    // Writes a standard BMP (1) or baseline JPEG (3). The file appears under its
    // name only once it is complete; a failed write leaves nothing behind.
    bool Save(const QString& path, uint32_t imageType) const;
    // Encodes without writing.
    bool Encode(uint32_t imageType, QByteArray* out) const;

    // Draws the picture scaled into the rectangle (plain source copy).
    bool Stretch(QPainter* painter, int x, int y, int width, int height) const;

    // The packed 24-bit bottom-up DIB (header followed by pixels) and its size.
    QByteArray GetDIB() const;
    qsizetype GetSize() const;

    void Destroy() { m_image = QImage(); }

    const QImage& Image() const { return m_image; }
    uint32_t GetType() const { return m_type; }

private:
    QImage m_image;
    uint32_t m_type = CXIMAGE_FORMAT_UNKNOWN;
    uint8_t m_jpegQuality = 90;
};
