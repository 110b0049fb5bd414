// qpdf 11: only the standard smart pointers, not its old PointerHolder.
#define POINTERHOLDER_TRANSITION 4

#include "toolkit/imagewriter/PDFImageDocument.h"

#include "toolkit/imagewriter/ImageEncoder.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <string>

struct PDFImageDocument::Document {
    QPDF pdf;
};

namespace {

std::string Deflated(const std::string& bytes)
{
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                  static_cast<uLong>(bytes.size()), 6)
        != Z_OK)
        return {};
    out.resize(size);
    return out;
}

QPDFObjectHandle ImageStream(QPDF& pdf, int width, int height, const char* colorSpace, const std::string& samples)
{
    const std::string deflated = Deflated(samples);
    QPDFObjectHandle stream = QPDFObjectHandle::newStream(&pdf, deflated);
    QPDFObjectHandle dict = stream.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
    dict.replaceKey("/Width", QPDFObjectHandle::newInteger(width));
    dict.replaceKey("/Height", QPDFObjectHandle::newInteger(height));
    dict.replaceKey("/ColorSpace", QPDFObjectHandle::newName(colorSpace));
    dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
    dict.replaceKey("/Filter", QPDFObjectHandle::newName("/FlateDecode"));
    return stream;
}

// The colour samples (RGB, grey or CMYK) and, when the image has alpha, the mask's.
void SamplesOf(const BitmapImageRep& image, std::string& colour, std::string& alpha, const char*& space)
{
    const QImage& pixels = image.image();
    const int width = pixels.width();
    const int height = pixels.height();
    const QByteArray& inks = image.cmykSamples();
    const bool hasAlpha = pixels.hasAlphaChannel();
    const QImage rgba = pixels.convertToFormat(QImage::Format_RGBA8888);
    if (hasAlpha) {
        alpha.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y) {
            const uchar* row = rgba.constScanLine(y);
            for (int x = 0; x < width; ++x)
                alpha[static_cast<size_t>(y) * width + x] = static_cast<char>(row[x * 4 + 3]);
        }
    }
    if (image.colorSpace() == ColorSpaceModel::CMYK && inks.size() == static_cast<qsizetype>(width) * height * 4) {
        space = "/DeviceCMYK";
        colour.assign(inks.constData(), static_cast<size_t>(inks.size()));
        return;
    }
    if (image.colorSpace() == ColorSpaceModel::Grey && !hasAlpha) {
        const QImage grey = pixels.convertToFormat(QImage::Format_Grayscale8);
        space = "/DeviceGray";
        colour.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            std::memcpy(colour.data() + static_cast<size_t>(y) * width, grey.constScanLine(y), static_cast<size_t>(width));
        return;
    }
    space = "/DeviceRGB";
    colour.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const uchar* row = rgba.constScanLine(y);
        char* out = colour.data() + static_cast<size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            out[x * 3] = static_cast<char>(row[x * 4]);
            out[x * 3 + 1] = static_cast<char>(row[x * 4 + 1]);
            out[x * 3 + 2] = static_cast<char>(row[x * 4 + 2]);
        }
    }
}

QPDFObjectHandle Box(const QRectF& rect)
{
    QPDFObjectHandle box = QPDFObjectHandle::newArray();
    box.appendItem(QPDFObjectHandle::newReal(rect.left(), 3));
    box.appendItem(QPDFObjectHandle::newReal(rect.top(), 3));
    box.appendItem(QPDFObjectHandle::newReal(rect.right(), 3));
    box.appendItem(QPDFObjectHandle::newReal(rect.bottom(), 3));
    return box;
}

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

// The matrix that maps the image's unit square onto the rectangle so that samples stored in the Exif
// orientation appear upright (u to the right along the stored rows, v up from the last row).
std::string ImageMatrix(const QRectF& r, int orientation)
{
    const double x = r.left(), y = r.top(), w = r.width(), h = r.height();
    double m[6] = {w, 0, 0, h, x, y};
    switch (orientation) {
    case 2: m[0] = -w, m[3] = h, m[4] = x + w; break;
    case 3: m[0] = -w, m[3] = -h, m[4] = x + w, m[5] = y + h; break;
    case 4: m[3] = -h, m[5] = y + h; break;
    case 5: m[0] = 0, m[1] = -h, m[2] = -w, m[3] = 0, m[4] = x + w, m[5] = y + h; break;
    case 6: m[0] = 0, m[1] = -h, m[2] = w, m[3] = 0, m[5] = y + h; break;
    case 7: m[0] = 0, m[1] = h, m[2] = w, m[3] = 0; break;
    case 8: m[0] = 0, m[1] = h, m[2] = -w, m[3] = 0, m[4] = x + w; break;
    default: break;
    }
    std::string text;
    for (const double value : m)
        text += Number(value) + " ";
    return text;
}

void AppendImagePage(QPDF& pdf, const QPDFObjectHandle& picture, const PDFImagePageGeometry& geometry)
{
    const std::string content = "q " + ImageMatrix(geometry.imageRect, geometry.orientation) + "cm /Im0 Do Q\n";
    QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /Resources << /XObject << >> >> >>");
    page.getKey("/Resources").getKey("/XObject").replaceKey("/Im0", picture);
    page.replaceKey("/MediaBox", Box(geometry.mediaBox));
    if (!geometry.cropBox.isEmpty() && geometry.cropBox != geometry.mediaBox)
        page.replaceKey("/CropBox", Box(geometry.cropBox));
    page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, content));
    QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(page)), false);
}

} // namespace

PDFImageDocument::PDFImageDocument()
    : m_document(std::make_unique<Document>())
{
    m_document->pdf.emptyPDF();
}

PDFImageDocument::~PDFImageDocument() = default;

bool PDFImageDocument::addPage(const BitmapImageRep& image, double dpiX, double dpiY)
{
    const QImage& pixels = image.image();
    const double width = pixels.width() * 72.0 / (dpiX > 0 ? dpiX : 72.0);
    const double height = pixels.height() * 72.0 / (dpiY > 0 ? dpiY : 72.0);
    const QRectF page(0, 0, width, height);
    return addPage(image, PDFImagePageGeometry{page, page, page});
}

bool PDFImageDocument::addPage(const BitmapImageRep& image, const PDFImagePageGeometry& geometry)
{
    const QImage& pixels = image.image();
    if (pixels.isNull())
        return false;
    QPDF& pdf = m_document->pdf;
    std::string colour, alpha;
    const char* space = "/DeviceRGB";
    SamplesOf(image, colour, alpha, space);
    QPDFObjectHandle picture = ImageStream(pdf, pixels.width(), pixels.height(), space, colour);
    if (!alpha.empty()) {
        QPDFObjectHandle mask = ImageStream(pdf, pixels.width(), pixels.height(), "/DeviceGray", alpha);
        picture.getDict().replaceKey("/SMask", mask);
    }
    AppendImagePage(pdf, picture, geometry);
    ++m_pageCount;
    return true;
}

bool PDFImageDocument::addEncodedPage(const PDFEncodedImage& image, const PDFImagePageGeometry& geometry)
{
    if (image.width <= 0 || image.height <= 0 || image.bytes.isEmpty())
        return false;
    QPDF& pdf = m_document->pdf;
    QPDFObjectHandle picture =
        QPDFObjectHandle::newStream(&pdf, std::string(image.bytes.constData(), static_cast<size_t>(image.bytes.size())));
    QPDFObjectHandle dict = picture.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
    dict.replaceKey("/Width", QPDFObjectHandle::newInteger(image.width));
    dict.replaceKey("/Height", QPDFObjectHandle::newInteger(image.height));
    if (image.jpeg2000) {
        dict.replaceKey("/Filter", QPDFObjectHandle::newName("/JPXDecode"));
    } else {
        const char* space = image.components == 1 ? "/DeviceGray" : image.components == 4 ? "/DeviceCMYK"
                                                                                          : "/DeviceRGB";
        dict.replaceKey("/ColorSpace", QPDFObjectHandle::newName(space));
        dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
        dict.replaceKey("/Filter", QPDFObjectHandle::newName("/DCTDecode"));
    }
    AppendImagePage(pdf, picture, geometry);
    ++m_pageCount;
    return true;
}

QByteArray PDFImageDocument::data() const
{
    if (m_pageCount == 0)
        return {};
    try {
        QPDFWriter writer(m_document->pdf);
        writer.setOutputMemory();
        writer.write();
        std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), static_cast<qsizetype>(buffer->getSize()));
    } catch (const std::exception&) {
        return {};
    }
}

bool EncodePDFImage(const BitmapImageRep& image, const WriteProperties& properties, QByteArray& out)
{
    PDFImageDocument document;
    if (!document.addPage(image, properties.dpiX > 0 ? properties.dpiX : image.dpiX(),
                          properties.dpiY > 0 ? properties.dpiY : image.dpiY()))
        return false;
    out = document.data();
    return !out.isEmpty();
}
