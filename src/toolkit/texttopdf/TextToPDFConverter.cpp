#include "toolkit/texttopdf/TextToPDFConverter.h"

#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/options/TextToPDFConversionOptions.h"
#include "toolkit/text/PlainTextFormat.h"
#include "toolkit/text/TextAttributes.h"
#include "toolkit/text/TextDocumentFiles.h"
#include "toolkit/text/TextDocumentIO.h"
#include "toolkit/text/TextReadLimits.h"
#include "toolkit/texttopdf/PlainTextPrinting.h"
#include "toolkit/texttopdf/TextDocumentPrinting.h"

#include <QTextDocument>

TextToPDFConverter::~TextToPDFConverter()
{
    m_destinationURL.clear();
}

void TextToPDFConverter::SetOptions(const TextToPDFConversionOptions* options)
{
    if (!options)
        return;
    m_items = options->items;
    m_destinationURL = options->destinationURL;
    m_printSettings.paperWidth = options->pageWidth;
    m_printSettings.paperHeight = options->pageHeight;
    m_printSettings.leftMargin = options->leftMargin;
    m_printSettings.rightMargin = options->rightMargin;
    m_printSettings.topMargin = options->topMargin;
    m_printSettings.bottomMargin = options->bottomMargin;
    m_printSettings.orientation = options->orientation;
    m_pdfWriteOptions = options->pdfWriteOptions;
    m_textAttributes = options->textAttributes;
    m_applyAttributesToRichText = options->applyAttributesToRichText != 0;
}

void TextToPDFConverter::SetConversionParameters(std::uint64_t orientation, const QVariantMap& writeOptions,
                                                 const QVariantMap& textAttributes, bool applyAttributesToRichText,
                                                 double width, double height, double left, double right, double top,
                                                 double bottom)
{
    m_printSettings = HTMLPrintSettings{width, height, left, right, top, bottom, orientation};
    m_pdfWriteOptions = writeOptions;
    m_textAttributes = textAttributes;
    m_applyAttributesToRichText = applyAttributesToRichText;
    m_items.clear();
    m_destinationURL.clear();
}

bool TextToPDFConverter::IsRichTextFile(const QString& path)
{
    switch (TextDocumentFiles::DocumentTypeOfPath(path)) {
    case DocumentTypeCode::Unknown:
    case DocumentTypeCode::Text:
    case DocumentTypeCode::PlainText:
    case DocumentTypeCode::MacPlainText:
        return false;
    default:
        return true;
    }
}

bool TextToPDFConverter::loadDocument(const QString& path, QTextDocument& document) const
{
    // A document that cannot be read is no empty document: printing a blank page for it would
    // report a conversion that did not happen.
    if (!TextDocumentIO::Read(path, document))
        return false;
    if (!m_textAttributes.isEmpty() && (m_applyAttributesToRichText || !IsRichTextFile(path)))
        TextAttributes::ApplyToDocument(document, m_textAttributes);
    return true;
}

PlainTextPrinting::Printed TextToPDFConverter::printedDocument(const QString& path) const
{
    if (IsRichTextFile(path)) {
        QTextDocument document;
        if (!loadDocument(path, document))
            return {};
        return {TextDocumentPrinting::PrintToPDF(document, m_printSettings), {}};
    }
    // Plain text is printed piece by piece: a text of millions of lines never becomes one layout.
    const auto bytes = TextDocumentFiles::ReadAtMost(path, TextReadLimits::kMaxDocumentBytes);
    if (!bytes)
        return {};
    const QString text = PlainTextFormat::Decode(*bytes);
    if (text.size() > TextReadLimits::kMaxDocumentCharacters)
        return {};
    return PlainTextPrinting::PrintToPDF(text, m_textAttributes, m_printSettings);
}

bool TextToPDFConverter::ConvertTextFileToPDF(const QUrl& source, const QUrl& output)
{
    if (!source.isLocalFile() || !output.isLocalFile())
        return false;
    const PlainTextPrinting::Printed printed = printedDocument(source.toLocalFile());
    if (printed.pdf.isEmpty())
        return false;
    return m_mergeMode ? writeForMerge(printed.pdf, output) : writeWithoutBlankPages(printed, output);
}
