#include "toolkit/imageio/Image.h"

#include "toolkit/imageio/ImageFileReader.h"

Image::Image(ImageRepList representations, QUrl url)
    : m_representations(std::move(representations))
    , m_url(std::move(url))
{}

std::shared_ptr<Image> Image::fromURL(const QUrl& url)
{
    return std::make_shared<Image>(ReadImageRepresentations(url), url);
}

std::shared_ptr<Image> Image::fromBitmap(std::shared_ptr<BitmapImageRep> bitmap)
{
    ImageRepList representations;
    if (bitmap)
        representations.push_back(std::move(bitmap));
    return std::make_shared<Image>(std::move(representations));
}

QSizeF Image::size() const
{
    if (m_size.isValid() || m_representations.empty())
        return m_size;
    return m_representations.front()->size();
}

std::shared_ptr<BitmapImageRep> Image::makeBitmapRepresentation() const
{
    if (m_representations.empty())
        return nullptr;
    const auto& first = m_representations.front();
    if (auto bitmap = std::dynamic_pointer_cast<BitmapImageRep>(first))
        return bitmap;
    if (const auto pdf = std::dynamic_pointer_cast<PDFImageRep>(first)) {
        // At the image's point size, which a caller may have set apart from the page's own.
        const double pageWidth = pdf->size().width();
        const double dpi = pageWidth > 0 && size().width() > 0 ? 72.0 * size().width() / pageWidth : 72.0;
        QImage page = pdf->render(dpi);
        if (page.isNull())
            return nullptr;
        return std::make_shared<BitmapImageRep>(std::move(page), BitmapImageRep::Description{});
    }
    return nullptr;
}
