#include "export/PrintedPageSize.h"

#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cmath>
#include <exception>
#include <vector>

namespace {

// Closer than this the boxes are the same: the writers print two decimals.
constexpr double kSamePoints = 0.005;

bool hasSize(QPDFObjectHandle box, const QSizeF& paper)
{
    if (!box.isRectangle())
        return false;
    const QPDFObjectHandle::Rectangle rect = box.getArrayAsRectangle();
    return std::abs(rect.urx - rect.llx - paper.width()) < kSamePoints
           && std::abs(rect.ury - rect.lly - paper.height()) < kSamePoints;
}

} // namespace

QByteArray WithExactPageSize(const QByteArray& pdf, const QSizeF& paper)
{
    if (paper.width() <= 0 || paper.height() <= 0)
        return pdf;
    try {
        QPDF document;
        document.setSuppressWarnings(true);
        document.processMemoryFile("printed topic", pdf.constData(), static_cast<size_t>(pdf.size()));
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(document).getAllPages();
        bool changed = false;
        for (QPDFPageObjectHelper& page : pages) {
            QPDFObjectHandle object = page.getObjectHandle();
            const bool otherBoxes = object.hasKey("/CropBox") || object.hasKey("/BleedBox")
                                    || object.hasKey("/TrimBox") || object.hasKey("/ArtBox");
            if (hasSize(page.getMediaBox(), paper) && !otherBoxes)
                continue;
            // The engine draws from the page's top edge: the box keeps that edge where it was, so
            // that nothing drawn moves against the margins, and the bottom takes the difference.
            QPDFObjectHandle mediaBox = page.getMediaBox();
            const double top = mediaBox.isRectangle() ? mediaBox.getArrayAsRectangle().ury : paper.height();
            object.replaceKey("/MediaBox", QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(
                                               0, top - paper.height(), paper.width(), top)));
            for (const char* key : {"/CropBox", "/BleedBox", "/TrimBox", "/ArtBox"})
                object.removeKey(key);
            changed = true;
        }
        if (!changed)
            return pdf;
        QPDFWriter writer(document);
        writer.setOutputMemory();
        writer.write();
        const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), static_cast<qsizetype>(buffer->getSize()));
    } catch (const std::exception&) {
        return pdf;
    }
}
