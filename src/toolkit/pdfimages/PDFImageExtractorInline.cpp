#include "toolkit/pdfimages/PDFImageExtractor.h"

#include "toolkit/pdf/PDFContentStreams.h"

#include <Object.h>
#include <Dict.h>
#include <Lexer.h>
#include <PDFDoc.h>
#include <Page.h>
#include <Parser.h>
#include <Stream.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

// The dictionary between "BI" and "ID"; none when the content ends first.
std::optional<Object> ReadInlineDictionary(Parser& parser, XRef* xref)
{
    Object dictionary(new Dict(xref));
    Object token = parser.getObj();
    while (!token.isCmd("ID") && !token.isEOF()) {
        if (token.isName()) {
            std::string key = token.getName();
            Object value = parser.getObj();
            if (value.isEOF() || value.isError())
                return std::nullopt;
            dictionary.dictAdd(key.c_str(), std::move(value));
        }
        token = parser.getObj();
    }
    if (token.isEOF())
        return std::nullopt;
    return dictionary;
}

// After the image's bytes: everything up to and including "EI" followed by white space or the end.
void SkipToEndOfImage(Stream& content)
{
    int previous = content.getChar();
    int current = content.getChar();
    while (current != EOF) {
        if (previous == 'E' && current == 'I') {
            const int next = content.lookChar();
            if (next == EOF || Lexer::isSpace(next))
                return;
        }
        previous = current;
        current = content.getChar();
    }
}

} // namespace

// Operands are kept only as far as "Do" needs them: the object just before the operator. The
// content's resources, when it has its own, are searched first while it runs.
void PDFImageExtractor::ExtractContentImages(const Object& contents, Dict* resources)
{
    std::optional<QByteArray> bytes = ReadPDFContentBytes(contents, m_pageContentLeft);
    if (!bytes) {
        m_pageOverLimit = true;
        return;
    }
    if (resources)
        m_resourceChain.push_back(resources);
    XRef* xref = m_pdfDocument->document()->getXRef();
    Object stream(static_cast<Stream*>(new MemStream(bytes->constData(), 0, bytes->size(), Object(objNull))));
    Parser parser(xref, &stream, false);
    Object operand;
    for (Object token = parser.getObj(); !token.isEOF() && !m_pageOverLimit; token = parser.getObj()) {
        if (token.isCmd("Do") && operand.isName())
            DrawXObject(operand.getName());
        else if (token.isCmd("BI"))
            ExtractInlineImage(parser);
        operand = std::move(token);
    }
    if (resources)
        m_resourceChain.pop_back();
}

void PDFImageExtractor::ExtractInlineImage(Parser& parser)
{
    XRef* xref = m_pdfDocument->document()->getXRef();
    std::optional<Object> dictionary = ReadInlineDictionary(parser, xref);
    Stream* content = parser.getStream();
    if (!dictionary || !content)
        return;
    // The image reads the content stream from just after "ID"; its filters are those the dictionary
    // names, abbreviations included.
    auto* embedded = new EmbedStream(content, dictionary->copy(), false, 0, false);
    std::unique_ptr<Stream> image(embedded->addFilters(dictionary->getDict()));
    SaveExtractedImage(*dictionary->getDict(), *image, true);
    SkipToEndOfImage(*image->getUndecodedStream());
}
