#include "toolkit/texttopdf/TextDocumentPrinting.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextFrameFormat>

namespace {

// The writer works in points, so the document's units are points too.
constexpr int kPointsPerInch = 72;

void setRootFrameMargins(QTextDocument& document, const HTMLPrintSettings& settings)
{
    document.setDocumentMargin(0);
    QTextFrameFormat format = document.rootFrame()->frameFormat();
    format.setLeftMargin(settings.leftMargin);
    format.setRightMargin(settings.rightMargin);
    format.setTopMargin(settings.topMargin);
    format.setBottomMargin(settings.bottomMargin);
    document.rootFrame()->setFrameFormat(format);
}

} // namespace

namespace TextDocumentPrinting {

QSizeF TextArea(const HTMLPrintSettings& settings)
{
    const QSizeF paper = settings.orientedPaperSize();
    return QSizeF(paper.width() - settings.leftMargin - settings.rightMargin,
                  paper.height() - settings.topMargin - settings.bottomMargin);
}

QByteArray PrintToPDF(QTextDocument& document, const HTMLPrintSettings& settings)
{
    const QPageLayout layout = settings.pageLayout();
    if (!layout.isValid())
        return {};
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kPointsPerInch);
        writer.setPageLayout(QPageLayout(layout.pageSize(), layout.orientation(), QMarginsF(), QPageLayout::Point));
        // Laid out against the writer, the text takes the sizes it will be drawn with.
        document.documentLayout()->setPaintDevice(&writer);
        setRootFrameMargins(document, settings);
        document.setPageSize(settings.orientedPaperSize());
        document.print(&writer);
        document.documentLayout()->setPaintDevice(nullptr);
    }
    return bytes;
}

} // namespace TextDocumentPrinting
