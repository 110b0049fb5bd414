#include "toolkit/text/EmbeddedImage.h"

#include "toolkit/text/TextReadLimits.h"

#include <QBuffer>
#include <QImageReader>

QImage DecodeEmbeddedImage(const QByteArray& bytes)
{
    if (bytes.isEmpty() || bytes.size() > TextReadLimits::kMaxEmbeddedObjectBytes)
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid()
        || static_cast<qint64>(size.width()) * size.height() > TextReadLimits::kMaxImagePixels)
        return {};
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}
