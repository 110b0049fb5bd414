#include "support/PdfTestFiles.h"

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

namespace PdfTestFiles {
namespace {

QPDFObjectHandle makePage(QPDF& pdf, const std::string& content, QSizeF size, int rotation)
{
    QPDFObjectHandle font = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"));
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
    fonts.replaceKey("/F1", font);
    resources.replaceKey("/Font", fonts);
    QPDFObjectHandle page = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Page /MediaBox [0 0 " + std::to_string(size.width()) + " " + std::to_string(size.height()) + "] >>"));
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, content));
    if (rotation != 0)
        page.replaceKey("/Rotate", QPDFObjectHandle::newInteger(rotation));
    return page;
}

QByteArray write(QPDF& pdf)
{
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), static_cast<qsizetype>(buffer->getSize()));
}

std::string textContent(const QString& text, const char* colour)
{
    if (text.isEmpty())
        return std::string();
    QByteArray escaped = text.toLatin1();
    escaped.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)");
    return std::string(colour) + " rg BT /F1 24 Tf 72 700 Td (" + escaped.toStdString() + ") Tj ET";
}

} // namespace

QByteArray pagesWithTexts(const QStringList& texts, QSizeF pageSize, int rotation)
{
    QPDF pdf;
    pdf.emptyPDF();
    for (const QString& text : texts)
        pdf.addPage(makePage(pdf, textContent(text, "0 0 0"), pageSize, rotation), false);
    return write(pdf);
}

QByteArray pageWithSquare(double x, double y, double side, QSizeF pageSize, int rotation)
{
    QPDF pdf;
    pdf.emptyPDF();
    const std::string content = "0 0 0 rg " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(side)
                                + " " + std::to_string(side) + " re f";
    pdf.addPage(makePage(pdf, content, pageSize, rotation), false);
    return write(pdf);
}

QByteArray pageWithWhiteText(const QString& text)
{
    QPDF pdf;
    pdf.emptyPDF();
    pdf.addPage(makePage(pdf, textContent(text, "1 1 1"), QSizeF(612, 792), 0), false);
    return write(pdf);
}

} // namespace PdfTestFiles
