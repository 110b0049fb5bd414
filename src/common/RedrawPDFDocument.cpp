#include "common/RedrawPDFDocument.h"

// qpdf 11: PointerHolder is std::shared_ptr throughout, and its transition warning is off.
#ifndef POINTERHOLDER_TRANSITION
#define POINTERHOLDER_TRANSITION 4
#endif
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>

#include <algorithm>
#include <array>
#include <exception>
#include <string>

namespace WBQUtil {

namespace {

using Rectangle = QPDFObjectHandle::Rectangle;

Rectangle Normalized(const Rectangle& box)
{
    return {std::min(box.llx, box.urx), std::min(box.lly, box.ury), std::max(box.llx, box.urx),
            std::max(box.lly, box.ury)};
}

bool IsEmpty(const Rectangle& box)
{
    return box.urx - box.llx == 0 || box.ury - box.lly == 0;
}

Rectangle DrawingBox(QPDFPageObjectHelper& page)
{
    const Rectangle crop = Normalized(page.getCropBox().getArrayAsRectangle());
    return IsEmpty(crop) ? Normalized(page.getMediaBox().getArrayAsRectangle()) : crop;
}

// Clockwise quarter turns of the displayed page; the angle's quotient by 90 decides, as for any angle that
// is not a multiple of 90.
int QuarterTurns(QPDFPageObjectHelper& page)
{
    QPDFObjectHandle rotate = page.getAttribute("/Rotate", false);
    const int angle = rotate.isInteger() ? rotate.getIntValueAsInt() : 0;
    return ((angle / 90) % 4 + 4) % 4;
}

// Maps the box, turned clockwise, onto (0, 0, width, height) of the new page.
std::array<double, 6> PlacementMatrix(const Rectangle& box, int quarterTurns)
{
    switch (quarterTurns) {
    case 1:
        return {0, -1, 1, 0, -box.lly, box.urx};
    case 2:
        return {-1, 0, 0, -1, box.urx, box.ury};
    case 3:
        return {0, 1, -1, 0, box.ury, -box.llx};
    default:
        return {1, 0, 0, 1, -box.llx, -box.lly};
    }
}

std::string DrawFormContent(const std::array<double, 6>& matrix)
{
    std::string content = "q";
    for (const double value : matrix)
        content += ' ' + QUtil::double_to_string(value, 6);
    return content + " cm /Page Do Q\n";
}

QPDFObjectHandle RedrawnPage(QPDF& output, QPDFPageObjectHelper& source)
{
    const Rectangle box = DrawingBox(source);
    const int quarterTurns = QuarterTurns(source);
    const bool turnedSideways = quarterTurns % 2 == 1;
    const double width = turnedSideways ? box.ury - box.lly : box.urx - box.llx;
    const double height = turnedSideways ? box.urx - box.llx : box.ury - box.lly;

    QPDFObjectHandle form = output.copyForeignObject(source.getFormXObjectForPage(false));
    form.replaceKey("/BBox", QPDFObjectHandle::newArray(box));
    QPDFObjectHandle xobjects = QPDFObjectHandle::newDictionary();
    xobjects.replaceKey("/Page", form);
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/XObject", xobjects);

    QPDFObjectHandle page = QPDFObjectHandle::newDictionary();
    page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
    page.replaceKey("/MediaBox", QPDFObjectHandle::newArray(Rectangle(0, 0, width, height)));
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents", output.newStream(DrawFormContent(PlacementMatrix(box, quarterTurns))));
    return output.makeIndirectObject(page);
}

QByteArray WrittenData(QPDF& output)
{
    QPDFWriter writer(output);
    writer.setOutputMemory();
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), qsizetype(buffer->getSize()));
}

} // namespace

QByteArray RedrawPDFDocument(QPDF& document)
{
    try {
        QPDF output;
        output.emptyPDF();
        QPDFPageDocumentHelper outputPages(output);
        for (QPDFPageObjectHelper& source : QPDFPageDocumentHelper(document).getAllPages()) {
            try {
                outputPages.addPage(QPDFPageObjectHelper(RedrawnPage(output, source)), false);
            } catch (const std::exception&) {
                // An unreadable page is left out; the others are still redrawn.
            }
        }
        return WrittenData(output);
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace WBQUtil
