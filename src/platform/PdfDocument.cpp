#include "platform/PdfDocument.h"

#include "platform/PdfHeldLinks.h"
#include "platform/PdfLinkJumps.h"
#include "platform/PdfMergedDestinations.h"
#include "platform/PdfSharedPageParts.h"
#include "platform/PdfSpilledStreams.h"
#include "platform/pdffonts/PdfSharedFonts.h"

#include <QSaveFile>

#include <qpdf/Buffer.hh>
#include <qpdf/Pl_Buffer.hh>
#include <qpdf/Pl_StdioFile.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cstdio>
#include <exception>
#include <unistd.h>

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

PdfDocument::PdfDocument()
    : m_qpdf(std::make_unique<QPDF>())
    , m_linkJumps(std::make_unique<PdfLinkJumps>())
{
    m_qpdf->setSuppressWarnings(true);
}

PdfDocument::~PdfDocument() = default;

std::unique_ptr<PdfDocument> PdfDocument::create()
{
    std::unique_ptr<PdfDocument> document(new PdfDocument);
    document->m_qpdf->emptyPDF();
    return document;
}

int PdfDocument::pageCount() const
{
    try {
        return static_cast<int>(m_qpdf->getAllPages().size());
    } catch (const std::exception&) {
        return 0;
    }
}

bool PdfDocument::appendPageCopy(const PdfDocument& source, int index, QString* error)
{
    try {
        const std::vector<QPDFObjectHandle>& pages = source.m_qpdf->getAllPages();
        if (index < 0 || static_cast<size_t>(index) >= pages.size()) {
            setError(error, QStringLiteral("no page %1").arg(index));
            return false;
        }
        const std::size_t countBefore = m_qpdf->getAllPages().size();
        try {
            if (m_sharedFonts)
                m_sharedFonts->prepareSourcePage(*source.m_qpdf, pages[static_cast<size_t>(index)]);
            // Held links never become objects of this document.
            const std::unique_ptr<PdfHeldLinks::Taken> held = m_heldLinks ? m_heldLinks->take(*source.m_qpdf, pages[static_cast<size_t>(index)]) : nullptr;
            // After the fonts: a part that names a shared font is shared with it.
            const std::unique_ptr<PdfSharedPageParts::Taken> parts =
                m_sharedPageParts ? m_sharedPageParts->take(*source.m_qpdf, pages[static_cast<size_t>(index)]) : nullptr;
            m_qpdf->addPage(pages[static_cast<size_t>(index)], false);
            const std::vector<QPDFObjectHandle>& copies = m_qpdf->getAllPages();
            const int copiedIndex = static_cast<int>(copies.size()) - 1;
            if (parts)
                m_sharedPageParts->pageCopied(*parts, copies.back());
            if (m_sharedFonts)
                m_sharedFonts->pageCopied(copies.back());
            // Jumps are looked up by the names the source gave them, before those are rewritten.
            m_linkJumps->pageCopied(*source.m_qpdf, index, *m_qpdf, copies.back(), copiedIndex);
            if (m_mergedDestinations)
                m_mergedDestinations->pageCopied(*source.m_qpdf, index, copies.back());
            if (held)
                m_heldLinks->pageCopied(copiedIndex, *held);
            if (m_spilledStreams)
                m_spilledStreams->spillContents(copies.back());
            // Last: the spilled content's dictionary is the one the page keeps.
            if (m_sharedPageParts)
                m_sharedPageParts->shareValues(copies.back());
        } catch (const std::exception&) {
            // A failed copy leaves no page behind: callers count the pages they appended.
            std::vector<QPDFObjectHandle> copies = m_qpdf->getAllPages();
            if (copies.size() > countBefore)
                m_qpdf->removePage(copies.back());
            throw;
        }
    } catch (const std::exception& e) {
        setError(error, QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

void PdfDocument::shareFontsOfCopiedPages()
{
    if (!m_sharedFonts)
        m_sharedFonts = std::make_unique<PdfSharedFonts>(*m_qpdf);
    if (!m_sharedPageParts)
        m_sharedPageParts = std::make_unique<PdfSharedPageParts>(*m_qpdf);
}

void PdfDocument::keepNamedDestinationsOfCopiedPages()
{
    if (!m_mergedDestinations)
        m_mergedDestinations = std::make_unique<PdfMergedDestinations>(*m_qpdf);
}

bool PdfDocument::completeSharedFonts(QString* error) const
{
    std::string failure;
    if (!m_sharedFonts || m_sharedFonts->complete(&failure))
        return true;
    setError(error, QString::fromStdString(failure));
    return false;
}

bool PdfDocument::writeTo(Pipeline& out, QString* error) const
{
    if (!completeSharedFonts(error))
        return false;
    try {
        const bool withHeldLinks = m_heldLinks && m_heldLinks->hasLinksToWrite();
        PdfCountingPipeline counted(out);
        QPDFWriter writer(*m_qpdf);
        writer.setOutputPipeline(&counted);
        // The update section of the held links follows a plain cross-reference table.
        if (withHeldLinks)
            writer.setObjectStreamMode(qpdf_o_disable);
        writer.write();
        std::string failure;
        if (withHeldLinks && !m_heldLinks->writeUpdate(*m_qpdf, writer, counted, &failure)) {
            setError(error, QString::fromStdString(failure));
            return false;
        }
        out.finish();
    } catch (const std::exception& e) {
        setError(error, QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

bool PdfDocument::write(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    const int descriptor = ::dup(file.handle());
    FILE* stream = descriptor >= 0 ? ::fdopen(descriptor, "wb") : nullptr;
    if (stream == nullptr) {
        if (descriptor >= 0)
            ::close(descriptor);
        setError(error, QStringLiteral("cannot write %1").arg(path));
        file.cancelWriting();
        return false;
    }
    bool written = false;
    {
        Pl_StdioFile out("output", stream);
        written = writeTo(out, error);
    }
    written = (::fclose(stream) == 0) && written;
    if (!written) {
        if (error && error->isEmpty())
            setError(error, QStringLiteral("cannot write %1").arg(path));
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

QByteArray PdfDocument::toBytes() const
{
    Pl_Buffer out("output");
    if (!writeTo(out, nullptr))
        return {};
    const std::unique_ptr<Buffer> buffer(out.getBuffer());
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), static_cast<qsizetype>(buffer->getSize()));
}
