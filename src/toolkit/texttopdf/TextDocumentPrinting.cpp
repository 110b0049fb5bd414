#include "toolkit/texttopdf/TextDocumentPrinting.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QFont>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextFrameFormat>

namespace {

// The writer works in points, so the document's units are points too.
constexpr int kPointsPerInch = 72;

// The layout takes frame lengths in screen pixels and scales them to its paint device: how many
// device units one length unit of a frame becomes on this device, measured on a frame of its own.
qreal FrameLengthScale(QPaintDevice& device)
{
    constexpr qreal kProbe = 1000;
    QTextDocument probe(QStringLiteral("x"));
    probe.documentLayout()->setPaintDevice(&device);
    probe.setDocumentMargin(0);
    probe.setPageSize(QSizeF(kProbe * 4, kProbe * 4));
    QTextFrameFormat format = probe.rootFrame()->frameFormat();
    format.setLeftMargin(kProbe);
    probe.rootFrame()->setFrameFormat(format);
    const qreal left = probe.documentLayout()->blockBoundingRect(probe.firstBlock()).left();
    return left > 0 ? left / kProbe : 1.0;
}

void SetRootFrameMargins(QTextDocument& document, const HTMLPrintSettings& settings, qreal scale)
{
    document.setDocumentMargin(0);
    QTextFrameFormat format = document.rootFrame()->frameFormat();
    format.setLeftMargin(settings.leftMargin / scale);
    format.setRightMargin(settings.rightMargin / scale);
    format.setTopMargin(settings.topMargin / scale);
    format.setBottomMargin(settings.bottomMargin / scale);
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

QTextCharFormat WithoutCosmeticShaping(QTextCharFormat format)
{
    format.setFontStyleStrategy(QFont::PreferNoShaping);
    return format;
}

void RemoveCosmeticShaping(QTextDocument& document)
{
    QFont font = document.defaultFont();
    font.setStyleStrategy(QFont::PreferNoShaping);
    document.setDefaultFont(font);
    QTextCursor cursor(&document);
    cursor.select(QTextCursor::Document);
    QTextCharFormat format;
    format.setFontStyleStrategy(QFont::PreferNoShaping);
    cursor.mergeCharFormat(format);
}

bool PrepareWriter(QPdfWriter& writer, const HTMLPrintSettings& settings)
{
    const QPageLayout layout = settings.pageLayout();
    if (!layout.isValid())
        return false;
    writer.setResolution(kPointsPerInch);
    writer.setPageLayout(QPageLayout(layout.pageSize(), layout.orientation(), QMarginsF(), QPageLayout::Point));
    return true;
}

void LayOutForWriter(QTextDocument& document, const HTMLPrintSettings& settings, QPdfWriter& writer)
{
    // Laid out against the writer, the text takes the sizes it will be drawn with.
    document.documentLayout()->setPaintDevice(&writer);
    SetRootFrameMargins(document, settings, FrameLengthScale(writer));
    document.setPageSize(settings.orientedPaperSize());
}

QByteArray PrintToPDF(QTextDocument& document, const HTMLPrintSettings& settings)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        if (!PrepareWriter(writer, settings))
            return {};
        RemoveCosmeticShaping(document);
        LayOutForWriter(document, settings, writer);
        document.print(&writer);
        document.documentLayout()->setPaintDevice(nullptr);
    }
    return bytes;
}

} // namespace TextDocumentPrinting
