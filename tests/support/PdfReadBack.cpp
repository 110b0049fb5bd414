#include "support/PdfReadBack.h"

// Debian's Poppler is built with the word list: its text classes have the matching layout.
#define TEXTOUT_WORD_LIST 1
#include <GlobalParams.h>
#include <PDFDoc.h>
#include <SplashOutputDev.h>
#include <splash/SplashBitmap.h>
#include <Stream.h>
#include <TextOutputDev.h>

#include <cstdlib>
#include <memory>

namespace PdfReadBack {
namespace {

std::unique_ptr<PDFDoc> openDocument(const QByteArray& pdf)
{
    if (!globalParams)
        globalParams = std::make_unique<GlobalParams>();
    auto document = std::make_unique<PDFDoc>(new MemStream(pdf.constData(), 0, pdf.size(), Object(objNull)));
    return document->isOk() ? std::move(document) : nullptr;
}

std::unique_ptr<TextPage, void (*)(TextPage*)> textOf(PDFDoc& document, int pageIndex)
{
    TextOutputDev device(nullptr, false, 0, false, false);
    document.displayPage(&device, pageIndex + 1, 72, 72, 0, false, true, false);
    return {device.takeText(), [](TextPage* page) { page->decRefCnt(); }};
}

} // namespace

int pageCount(const QByteArray& pdf)
{
    const std::unique_ptr<PDFDoc> document = openDocument(pdf);
    return document ? document->getNumPages() : -1;
}

QStringList pageTexts(const QByteArray& pdf)
{
    QStringList texts;
    const std::unique_ptr<PDFDoc> document = openDocument(pdf);
    if (!document)
        return texts;
    for (int i = 0; i < document->getNumPages(); ++i) {
        const auto page = textOf(*document, i);
        const std::unique_ptr<GooString> text(page->getText(-1e9, -1e9, 1e9, 1e9, eolUnix));
        texts << QString::fromUtf8(text->c_str()).simplified();
    }
    return texts;
}

QSizeF pageSize(const QByteArray& pdf, int pageIndex)
{
    const std::unique_ptr<PDFDoc> document = openDocument(pdf);
    if (!document)
        return {};
    const QSizeF size(document->getPageCropWidth(pageIndex + 1), document->getPageCropHeight(pageIndex + 1));
    return document->getPageRotate(pageIndex + 1) % 180 == 0 ? size : size.transposed();
}

QRectF textBounds(const QByteArray& pdf, int pageIndex)
{
    const std::unique_ptr<PDFDoc> document = openDocument(pdf);
    if (!document)
        return {};
    const auto page = textOf(*document, pageIndex);
    const std::unique_ptr<TextWordList> words = page->makeWordList(false);
    QRectF bounds;
    for (int i = 0; i < words->getLength(); ++i) {
        double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
        words->get(i)->getBBox(&xMin, &yMin, &xMax, &yMax);
        bounds = bounds.united(QRectF(QPointF(xMin, yMin), QPointF(xMax, yMax)));
    }
    return bounds;
}

std::vector<Word> words(const QByteArray& pdf, int pageIndex)
{
    std::vector<Word> found;
    const std::unique_ptr<PDFDoc> document = openDocument(pdf);
    if (!document)
        return found;
    const auto page = textOf(*document, pageIndex);
    const std::unique_ptr<TextWordList> list = page->makeWordList(false);
    for (int i = 0; i < list->getLength(); ++i) {
        TextWord* word = list->get(i);
        double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
        word->getBBox(&xMin, &yMin, &xMax, &yMax);
        const std::unique_ptr<GooString> text(word->getText());
        found.push_back({QString::fromUtf8(text->c_str()), QRectF(QPointF(xMin, yMin), QPointF(xMax, yMax))});
    }
    return found;
}

int pixelsOfColour(const QByteArray& pdf, int pageIndex, int red, int green, int blue)
{
    const std::unique_ptr<PDFDoc> document = openDocument(pdf);
    if (!document)
        return -1;
    SplashColor white;
    white[0] = white[1] = white[2] = 0xFF;
    SplashOutputDev device(splashModeRGB8, 4, false, white);
    device.startDoc(document.get());
    document->displayPage(&device, pageIndex + 1, 36, 36, 0, false, true, false);
    SplashBitmap* bitmap = device.getBitmap();
    int count = 0;
    for (int y = 0; y < bitmap->getHeight(); ++y) {
        const unsigned char* row = bitmap->getDataPtr() + static_cast<std::ptrdiff_t>(y) * bitmap->getRowSize();
        for (int x = 0; x < bitmap->getWidth(); ++x) {
            const unsigned char* pixel = row + 3 * x;
            if (std::abs(pixel[0] - red) <= 40 && std::abs(pixel[1] - green) <= 40 && std::abs(pixel[2] - blue) <= 40)
                ++count;
        }
    }
    return count;
}

QString infoEntry(const QByteArray& pdf, const char* key)
{
    const std::unique_ptr<PDFDoc> document = openDocument(pdf);
    const std::unique_ptr<GooString> value = document ? document->getDocInfoStringEntry(key) : nullptr;
    if (!value)
        return {};
    const std::string& bytes = value->toStr();
    if (!value->hasUnicodeMarker())
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        text.append(QChar(static_cast<char16_t>((static_cast<unsigned char>(bytes[i]) << 8) | static_cast<unsigned char>(bytes[i + 1]))));
    return text;
}

QByteArray xmpMetadata(const QByteArray& pdf)
{
    const std::unique_ptr<PDFDoc> document = openDocument(pdf);
    const std::unique_ptr<GooString> packet = document ? document->readMetadata() : nullptr;
    return packet ? QByteArray::fromStdString(packet->toStr()) : QByteArray();
}

} // namespace PdfReadBack
