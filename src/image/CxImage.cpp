#include "image/CxImage.h"

#include "image/DibFormat.h"
#include "image/JpegCodec.h"
#include "platform/files/AtomicFile.h"

#include <QPainter>

CxImage::CxImage(uint32_t imageType) : m_type(imageType) {}

CxImage::CxImage(const QString& path, uint32_t imageType) : m_type(imageType)
{
    LoadScaled(path, imageType, {});
}

bool CxImage::LoadScaled(const QString& path, uint32_t imageType, QSize atLeast)
{
    m_type = imageType;
    m_image = QImage();
    if (imageType == CXIMAGE_FORMAT_JPG) {
        m_image = DecodeJpegFile(path, atLeast);
    } else if (imageType == CXIMAGE_FORMAT_BMP) {
        m_image = DecodeBmpFile(path);
    }
    return IsValid();
}

bool CxImage::CreateFromBitmap(const QImage& bitmap)
{
    m_image = bitmap;
    return IsValid();
}

bool CxImage::Encode(uint32_t imageType, QByteArray* out) const
{
    if (!IsValid() || !out) {
        return false;
    }
    if (imageType == CXIMAGE_FORMAT_JPG) {
        return EncodeJpeg(m_image, m_jpegQuality, out);
    }
    if (imageType == CXIMAGE_FORMAT_BMP) {
        *out = BmpFileFromImage(m_image);
        return !out->isEmpty();
    }
    return false;
}

bool CxImage::Save(const QString& path, uint32_t imageType) const
{
    QByteArray bytes;
    return Encode(imageType, &bytes) && WriteFileAtomically(path, bytes);
}

bool CxImage::Stretch(QPainter* painter, int x, int y, int width, int height) const
{
    if (!IsValid() || !painter) {
        return false;
    }
    painter->drawImage(QRect(x, y, width, height), m_image);
    return true;
}

qsizetype CxImage::GetSize() const
{
    if (!IsValid()) {
        return 0;
    }
    return kDibHeaderSize + qsizetype(DibStride(m_image.width(), 24) * m_image.height());
}

QByteArray CxImage::GetDIB() const
{
    return PackedDibFromImage(m_image);
}
