#include "platform/PdfDocument.h"

#include "platform/PdfLinkJumps.h"
#include "platform/pdffonts/PdfSharedFonts.h"

#include <QSaveFile>

#include <qpdf/Buffer.hh>
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
            m_qpdf->addPage(pages[static_cast<size_t>(index)], false);
            const std::vector<QPDFObjectHandle>& copies = m_qpdf->getAllPages();
            if (m_sharedFonts)
                m_sharedFonts->pageCopied(copies.back());
            m_linkJumps->pageCopied(*source.m_qpdf, index, *m_qpdf, copies.back(), static_cast<int>(copies.size()) - 1);
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
}

bool PdfDocument::completeSharedFonts(QString* error) const
{
    std::string failure;
    if (!m_sharedFonts || m_sharedFonts->complete(&failure))
        return true;
    setError(error, QString::fromStdString(failure));
    return false;
}

bool PdfDocument::write(const QString& path, QString* error) const
{
    if (!completeSharedFonts(error))
        return false;
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
    try {
        // The writer keeps the description pointer until it is destroyed.
        const QByteArray description = path.toLocal8Bit();
        QPDFWriter writer(*m_qpdf);
        writer.setOutputFile(description.constData(), stream, true);
        writer.write();
    } catch (const std::exception& e) {
        setError(error, QString::fromUtf8(e.what()));
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
    if (!completeSharedFonts())
        return {};
    try {
        QPDFWriter writer(*m_qpdf);
        writer.setOutputMemory();
        writer.write();
        const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), static_cast<qsizetype>(buffer->getSize()));
    } catch (const std::exception&) {
        return {};
    }
}
