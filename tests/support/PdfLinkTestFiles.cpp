#include "support/PdfLinkTestFiles.h"

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <memory>

namespace PdfLinkTestFiles {
namespace {

QPDFObjectHandle makeAnnotation(const Annotation& annotation)
{
    if (!annotation.uri.isNull()) {
        QPDFObjectHandle action = QPDFObjectHandle::parse("<< /S /URI >>");
        action.replaceKey("/URI", QPDFObjectHandle::newString(annotation.uri.toStdString()));
        // As the engine prints them: no border, printable, a rectangle to five decimals.
        QPDFObjectHandle link = QPDFObjectHandle::parse(
            "<< /Type /Annot /Subtype /Link /Border [0 0 0] /F 4 /Rect [72 600.21902 200.5 620.67084] >>");
        link.replaceKey("/A", action);
        return link;
    }
    if (!annotation.destName.isNull()) {
        QPDFObjectHandle link = QPDFObjectHandle::parse("<< /Type /Annot /Subtype /Link /Rect [72 500 200 520] >>");
        link.replaceKey("/Dest", QPDFObjectHandle::newName("/" + annotation.destName.toStdString()));
        return link;
    }
    return QPDFObjectHandle::parse("<< /Type /Annot /Subtype /Text /Rect [10 10 30 30] /Contents (note) >>");
}

QByteArray bytesOf(QPDF& pdf)
{
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), static_cast<qsizetype>(buffer->getSize()));
}

std::unique_ptr<QPDF> read(const QByteArray& bytes)
{
    auto pdf = std::make_unique<QPDF>();
    pdf->processMemoryFile("test", bytes.constData(), static_cast<size_t>(bytes.size()));
    return pdf;
}

int pageIndexOf(QPDF& pdf, QPDFObjectHandle page)
{
    const std::vector<QPDFObjectHandle>& pages = pdf.getAllPages();
    for (size_t index = 0; index < pages.size(); ++index) {
        if (pages[index].getObjGen() == page.getObjGen())
            return static_cast<int>(index);
    }
    return -1;
}

void readDestination(QPDF& pdf, QPDFObjectHandle dest, int& page, QPointF& point)
{
    if (!dest.isArray() || dest.getArrayNItems() < 4)
        return;
    page = pageIndexOf(pdf, dest.getArrayItem(0));
    QPDFObjectHandle left = dest.getArrayItem(2);
    QPDFObjectHandle top = dest.getArrayItem(3);
    point = QPointF(left.isNumber() ? left.getNumericValue() : 0, top.isNumber() ? top.getNumericValue() : 0);
}

ReadOutline readEntry(QPDF& pdf, QPDFOutlineObjectHelper& entry)
{
    ReadOutline read;
    read.title = QString::fromStdString(entry.getTitle());
    QPDFObjectHandle object = entry.getObjectHandle();
    readDestination(pdf, object.getKey("/Dest"), read.destPage, read.destPoint);
    for (QPDFOutlineObjectHelper& kid : entry.getKids())
        read.children.push_back(readEntry(pdf, kid));
    return read;
}

} // namespace

QByteArray pagesWithAnnotations(const std::vector<std::vector<Annotation>>& pages,
                                const std::map<QString, int>& namedPages, std::optional<double> top)
{
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle font = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"));
    for (size_t index = 0; index < pages.size(); ++index) {
        QPDFObjectHandle page = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>"));
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
        fonts.replaceKey("/F1", font);
        resources.replaceKey("/Font", fonts);
        page.replaceKey("/Resources", resources);
        page.replaceKey("/Contents", QPDFObjectHandle::newStream(
                                         &pdf, "BT /F1 24 Tf 72 700 Td (Page " + std::to_string(index) + ") Tj ET"));
        QPDFObjectHandle annotations = QPDFObjectHandle::newArray();
        for (const Annotation& annotation : pages[index])
            annotations.appendItem(pdf.makeIndirectObject(makeAnnotation(annotation)));
        page.replaceKey("/Annots", annotations);
        pdf.addPage(page, false);
    }
    if (!namedPages.empty()) {
        QPDFObjectHandle dests = QPDFObjectHandle::newDictionary();
        const std::vector<QPDFObjectHandle>& all = pdf.getAllPages();
        for (const auto& [name, pageIndex] : namedPages) {
            dests.replaceKey("/" + name.toStdString(),
                             QPDFObjectHandle::newArray({all.at(static_cast<size_t>(pageIndex)),
                                                         QPDFObjectHandle::newName("/XYZ"),
                                                         QPDFObjectHandle::newReal(72.0, 1),
                                                         top ? QPDFObjectHandle::newReal(*top, 1)
                                                             : QPDFObjectHandle::newNull(),
                                                         QPDFObjectHandle::newInteger(0)}));
        }
        pdf.getRoot().replaceKey("/Dests", pdf.makeIndirectObject(dests));
    }
    return bytesOf(pdf);
}

std::vector<ReadAnnotation> annotationsOfPage(const QByteArray& bytes, int pageIndex)
{
    std::unique_ptr<QPDF> pdf = read(bytes);
    QPDFObjectHandle page = pdf->getAllPages().at(static_cast<size_t>(pageIndex));
    QPDFObjectHandle annotations = page.getKey("/Annots");
    std::vector<ReadAnnotation> result;
    if (!annotations.isArray())
        return result;
    for (QPDFObjectHandle annotation : annotations.getArrayAsVector()) {
        ReadAnnotation read;
        QPDFObjectHandle subtype = annotation.getKey("/Subtype");
        read.subtype = subtype.isName() ? QString::fromStdString(subtype.getName()) : QString();
        QPDFObjectHandle action = annotation.getKey("/A");
        if (action.isDictionary() && action.getKey("/URI").isString())
            read.uri = QString::fromStdString(action.getKey("/URI").getStringValue());
        QPDFObjectHandle dest = annotation.getKey("/Dest");
        read.hasNamedDest = dest.isName() || dest.isString();
        readDestination(*pdf, dest, read.destPage, read.destPoint);
        if (annotation.getKey("/Rect").isRectangle()) {
            const QPDFObjectHandle::Rectangle rect = annotation.getKey("/Rect").getArrayAsRectangle();
            read.rect = QRectF(QPointF(rect.llx, rect.lly), QPointF(rect.urx, rect.ury));
        }
        read.flags = annotation.getKey("/F").isInteger() ? static_cast<int>(annotation.getKey("/F").getIntValue()) : -1;
        result.push_back(read);
    }
    return result;
}

std::vector<ReadOutline> outlineOf(const QByteArray& bytes)
{
    std::unique_ptr<QPDF> pdf = read(bytes);
    QPDFOutlineDocumentHelper outlines(*pdf);
    std::vector<ReadOutline> result;
    for (QPDFOutlineObjectHelper& entry : outlines.getTopLevelOutlines())
        result.push_back(readEntry(*pdf, entry));
    return result;
}

QString outlineShape(const std::vector<ReadOutline>& entries)
{
    QStringList parts;
    for (const ReadOutline& entry : entries) {
        QString part = QStringLiteral("%1(%2)").arg(entry.title).arg(entry.destPage);
        if (!entry.children.empty())
            part += QStringLiteral("[%1]").arg(outlineShape(entry.children));
        parts << part;
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace PdfLinkTestFiles
