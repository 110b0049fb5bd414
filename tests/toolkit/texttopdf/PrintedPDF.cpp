#include "toolkit/texttopdf/PrintedPDF.h"

#include "support/PdfReadBack.h"
#include "toolkit/imageio/PopplerGlobals.h"

#include <QFile>
#include <QStringList>

// Debian's Poppler is built with the word list: its text classes have the matching layout.
#define TEXTOUT_WORD_LIST 1
#include <PDFDoc.h>
#include <Stream.h>
#include <TextOutputDev.h>

#include <memory>

PrintedPDF::PrintedPDF(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        m_bytes = file.readAll();
    m_pageCount = PdfReadBack::pageCount(m_bytes);
}

bool PrintedPDF::isOpen() const
{
    return m_pageCount >= 0;
}

int PrintedPDF::pageCount() const
{
    return isOpen() ? m_pageCount : 0;
}

QSizeF PrintedPDF::pageSize(int page) const
{
    return PdfReadBack::pageSize(m_bytes, page - 1);
}

QString PrintedPDF::text(int page) const
{
    QStringList words;
    for (const PdfReadBack::Word& word : PdfReadBack::words(m_bytes, page - 1))
        words << word.text;
    return words.join(u' ');
}

QRectF PrintedPDF::textBox(int page) const
{
    return PdfReadBack::textBounds(m_bytes, page - 1);
}

std::vector<double> PrintedPDF::fontSizes(int page) const
{
    EnsurePopplerGlobals();
    PDFDoc document(new MemStream(m_bytes.constData(), 0, m_bytes.size(), Object(objNull)));
    std::vector<double> sizes;
    if (!document.isOk())
        return sizes;
    TextOutputDev device(nullptr, false, 0, false, false);
    document.displayPage(&device, page, 72, 72, 0, false, true, false);
    const std::unique_ptr<TextWordList> words = device.makeWordList();
    for (int index = 0; words && index < words->getLength(); ++index)
        sizes.push_back(words->get(index)->getFontSize());
    return sizes;
}
