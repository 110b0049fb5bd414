#include "toolkit/texttopdf/PrintedPDF.h"

#include "toolkit/text/PDFPageText.h"

#include <QFile>

// Debian's Poppler is built with the word list: its text classes have the matching layout.
#define TEXTOUT_WORD_LIST 1
#include <PDFDoc.h>
#include <TextOutputDev.h>
#include <goo/GooString.h>

namespace {

void discardText(void*, const char*, int) {}

template <typename Visit>
void forEachWord(PDFDoc& document, int page, Visit visit)
{
    TextOutputDev device(&discardText, nullptr, false, 0, false);
    document.displayPage(&device, page, 72, 72, 0, false, true, false);
    const std::unique_ptr<TextWordList> words = device.makeWordList();
    for (int index = 0; words && index < words->getLength(); ++index)
        visit(*words->get(index));
}

} // namespace

PrintedPDF::PrintedPDF(const QString& path)
{
    EnsurePopplerGlobalParams();
    m_document = std::make_unique<PDFDoc>(std::make_unique<GooString>(QFile::encodeName(path).constData()));
    if (!m_document->isOk())
        m_document.reset();
}

PrintedPDF::~PrintedPDF() = default;

bool PrintedPDF::isOpen() const
{
    return m_document != nullptr;
}

int PrintedPDF::pageCount() const
{
    return m_document ? m_document->getNumPages() : 0;
}

QSizeF PrintedPDF::pageSize(int page) const
{
    const QSizeF size(m_document->getPageCropWidth(page), m_document->getPageCropHeight(page));
    return m_document->getPageRotate(page) % 180 == 0 ? size : size.transposed();
}

QString PrintedPDF::text(int page) const
{
    QStringList words;
    forEachWord(*m_document, page, [&](TextWord& word) {
        const std::unique_ptr<GooString> text(word.getText());
        words << QString::fromUtf8(text->c_str());
    });
    return words.join(u' ');
}

QRectF PrintedPDF::textBox(int page) const
{
    QRectF box;
    forEachWord(*m_document, page, [&](TextWord& word) {
        double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
        word.getBBox(&xMin, &yMin, &xMax, &yMax);
        box |= QRectF(QPointF(xMin, yMin), QPointF(xMax, yMax));
    });
    return box;
}

std::vector<double> PrintedPDF::fontSizes(int page) const
{
    std::vector<double> sizes;
    forEachWord(*m_document, page, [&](TextWord& word) { sizes.push_back(word.getFontSize()); });
    return sizes;
}
