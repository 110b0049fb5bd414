#include "platform/PdfDocument.h"

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QUtil.hh>

#include <exception>
#include <string>
#include <vector>

// Opening encrypted documents and what their permissions allow.

namespace {

// The byte strings a typed password may stand for: documents of the newer (AES-256) handlers
// take it as UTF-8, the older ones as PDFDocEncoding, so a password with accents has to be
// tried both ways to open what its owner locked with it.
std::vector<std::string> passwordCandidates(const QString& password)
{
    std::vector<std::string> candidates{password.toStdString()};
    std::string pdfDoc;
    if (QUtil::utf8_to_pdf_doc(candidates.front(), pdfDoc) && pdfDoc != candidates.front())
        candidates.push_back(pdfDoc);
    // A document whose user password is empty opens whatever the user typed.
    if (!password.isEmpty())
        candidates.emplace_back();
    return candidates;
}

} // namespace

PdfDocument::LoadResult PdfDocument::load(const std::string& password, QString* error)
{
    // A QPDF reads one file once: every attempt starts from a fresh one.
    m_qpdf = std::make_unique<QPDF>();
    m_qpdf->setSuppressWarnings(true);
    try {
        m_qpdf->processMemoryFile("opened document", m_bytes.constData(), static_cast<size_t>(m_bytes.size()),
                                  password.c_str());
        // Copies then take the stream data along at once instead of reading it here later.
        m_qpdf->setImmediateCopyFrom(true);
        m_qpdf->getAllPages();
    } catch (const QPDFExc& e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return e.getErrorCode() == qpdf_e_password ? LoadResult::PasswordRefused : LoadResult::Unreadable;
    } catch (const std::exception& e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return LoadResult::Unreadable;
    }
    return LoadResult::Opened;
}

std::unique_ptr<PdfDocument> PdfDocument::open(const QByteArray& bytes, const QString& password,
                                               bool* passwordRefused, QString* error)
{
    if (passwordRefused)
        *passwordRefused = false;
    std::unique_ptr<PdfDocument> document(new PdfDocument);
    document->m_bytes = bytes;
    for (const std::string& candidate : passwordCandidates(password)) {
        switch (document->load(candidate, error)) {
        case LoadResult::Opened:
            return document;
        case LoadResult::Unreadable:
            return nullptr;
        case LoadResult::PasswordRefused:
            break;
        }
    }
    if (passwordRefused)
        *passwordRefused = true;
    return nullptr;
}

std::unique_ptr<PdfDocument> PdfDocument::open(const QByteArray& bytes, QString* error)
{
    return open(bytes, QString(), nullptr, error);
}

bool PdfDocument::isEncrypted() const
{
    try {
        return m_qpdf->isEncrypted();
    } catch (const std::exception&) {
        return false;
    }
}

bool PdfDocument::allowsPrinting() const
{
    try {
        if (!m_qpdf->isEncrypted() || m_qpdf->ownerPasswordMatched())
            return true;
        // The low-resolution bit is the one that allows printing at all; the high-resolution bit
        // only lifts the limit on quality.
        return m_qpdf->allowPrintLowRes();
    } catch (const std::exception&) {
        return false;
    }
}
