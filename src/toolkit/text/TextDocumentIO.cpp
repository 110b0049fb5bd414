#include "toolkit/text/TextDocumentIO.h"

#include "toolkit/text/DOCXReader.h"
#include "toolkit/text/DOCXWriter.h"
#include "toolkit/text/HTMLReader.h"
#include "toolkit/text/LibreOfficeConversion.h"
#include "toolkit/text/ODTReader.h"
#include "toolkit/text/ODTWriter.h"
#include "toolkit/text/PlainTextFormat.h"
#include "toolkit/text/RTFDFolder.h"
#include "toolkit/text/RTFReader.h"
#include "toolkit/text/RTFWriter.h"
#include "toolkit/text/TextDocumentFiles.h"
#include "toolkit/text/TextReadLimits.h"

#include <QFileInfo>
#include <QTextDocument>
#include <QUrl>

namespace TextDocumentIO {

namespace {

// The plain text of a document: pictures have no text.
QString PlainText(const QTextDocument& document)
{
    QString text = document.toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

bool ReadBytes(const QString& path, uint32_t type, const QByteArray& bytes, QTextDocument& document, QString* error)
{
    switch (type) {
    case DocumentTypeCode::RTF:
        return RTFReader::Read(bytes, document, error);
    case DocumentTypeCode::HTML:
        return HTMLReader::ReadHTML(bytes, QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()), document, error);
    case DocumentTypeCode::WebArchive:
        return HTMLReader::ReadWebArchive(bytes, document, error);
    case DocumentTypeCode::ODT:
    case DocumentTypeCode::ODTTemplate:
    case DocumentTypeCode::OpenOfficeText:
    case DocumentTypeCode::OpenOfficeTextTemplate:
        return ODTReader::Read(bytes, document, error);
    case DocumentTypeCode::DOCX:
    case DocumentTypeCode::OfficeOpenXMLTemplate: // a spreadsheet template has no document part: refused there
        return DOCXReader::ReadDOCX(bytes, document, error);
    case DocumentTypeCode::WordML:
        return DOCXReader::ReadWordML(bytes, document, error);
    case DocumentTypeCode::DOC: {
        const auto docx = LibreOfficeConversion::Convert(bytes, QStringLiteral("doc"),
                                                         QStringLiteral("docx:MS Word 2007 XML"), QStringLiteral("docx"),
                                                         error);
        return docx && DOCXReader::ReadDOCX(*docx, document, error);
    }
    case DocumentTypeCode::Text:
    case DocumentTypeCode::PlainText:
    case DocumentTypeCode::MacPlainText:
    case DocumentTypeCode::Unknown:
        document.clear();
        document.setPlainText(PlainTextFormat::Decode(bytes));
        return true;
    default:
        if (error)
            *error = QStringLiteral("not a text document");
        return false;
    }
}

// Readers that hand the whole text to Qt (HTML, web archives, plain text) are bounded here, once the
// document is made: the same totals the structured readers keep while they read.
bool WithinDocumentBounds(const QTextDocument& document, QString* error)
{
    if (document.characterCount() <= TextReadLimits::kMaxDocumentCharacters
        && document.blockCount() <= TextReadLimits::kMaxDocumentParagraphs)
        return true;
    if (error)
        *error = QStringLiteral("a document beyond the readers' bounds (at most %1 characters and %2 paragraphs)")
                     .arg(TextReadLimits::kMaxDocumentCharacters)
                     .arg(TextReadLimits::kMaxDocumentParagraphs);
    return false;
}

} // namespace

bool OutputFormatFromNumber(uint32_t number, OutputFormat* format)
{
    if (number < 1 || number > 7)
        return false;
    *format = static_cast<OutputFormat>(number);
    return true;
}

bool Read(const QString& path, QTextDocument& document, QString* error, uint32_t type)
{
    if (type == DocumentTypeCode::Unknown) {
        type = TextDocumentFiles::DocumentTypeOfPath(path);
        if (type == DocumentTypeCode::Unknown && !QFileInfo(path).isFile()) {
            if (error)
                *error = QStringLiteral("no such document");
            return false;
        }
    }
    if (type == DocumentTypeCode::RTFD)
        return RTFDFolder::Read(path, document, error);
    const auto bytes = TextDocumentFiles::ReadAtMost(path, TextReadLimits::kMaxDocumentBytes, error);
    if (!bytes)
        return false;
    if (!ReadBytes(path, type, *bytes, document, error) || !WithinDocumentBounds(document, error)) {
        document.clear();
        return false;
    }
    return true;
}

bool Write(const QTextDocument& document, const QString& path, OutputFormat format, QString* error)
{
    QByteArray bytes;
    switch (format) {
    case OutputFormat::PlainTextUTF8:
        bytes = PlainTextFormat::EncodeUTF8(PlainText(document));
        break;
    case OutputFormat::PlainTextUTF16:
        bytes = PlainTextFormat::EncodeUTF16(PlainText(document));
        break;
    case OutputFormat::RTF:
        bytes = RTFWriter::Write(document);
        break;
    case OutputFormat::RTFD:
        return RTFDFolder::Write(document, path, error);
    case OutputFormat::DOC: {
        const QByteArray docx = DOCXWriter::Write(document, error);
        if (docx.isEmpty())
            return false;
        const auto doc = LibreOfficeConversion::Convert(docx, QStringLiteral("docx"), QStringLiteral("doc:MS Word 97"),
                                                        QStringLiteral("doc"), error);
        if (!doc)
            return false;
        bytes = *doc;
        break;
    }
    case OutputFormat::DOCX:
        bytes = DOCXWriter::Write(document, error);
        if (bytes.isEmpty())
            return false;
        break;
    case OutputFormat::ODT:
        bytes = ODTWriter::Write(document, error);
        if (bytes.isEmpty())
            return false;
        break;
    default:
        if (error)
            *error = QStringLiteral("unknown output format");
        return false;
    }
    return TextDocumentFiles::Save(path, bytes, error);
}

} // namespace TextDocumentIO
