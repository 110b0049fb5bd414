#pragma once

#include "toolkit/imageio/ImageRep.h"

#include <QSizeF>
#include <QUrl>

#include <memory>
#include <vector>

class BitmapImageRep;

using ImageRepList = std::vector<std::shared_ptr<ImageRep>>;

// An image with its representations (all pages of a TIFF, all sizes of an icon, all frames of a GIF, or a
// PDF). Shared by reference, as the converters hand images around and keep them.
class Image {
public:
    Image() = default;
    Image(ImageRepList representations, QUrl url = {});

    // The representations of the file, read at once; an image without any when the file cannot be read.
    static std::shared_ptr<Image> fromURL(const QUrl& url);
    // An image of one bitmap.
    static std::shared_ptr<Image> fromBitmap(std::shared_ptr<BitmapImageRep> bitmap);

    const ImageRepList& representations() const { return m_representations; }
    bool isValid() const { return !m_representations.empty(); }
    const QUrl& url() const { return m_url; }

    // The size in points: the first representation's, unless set.
    QSizeF size() const;
    void setSize(QSizeF size) { m_size = size; }

    // A bitmap of the whole image at its point size: the first representation when it is a bitmap,
    // otherwise the first representation drawn at 72 dots per inch. None when nothing can be drawn.
    std::shared_ptr<BitmapImageRep> makeBitmapRepresentation() const;

private:
    ImageRepList m_representations;
    QUrl m_url;
    QSizeF m_size;
};
