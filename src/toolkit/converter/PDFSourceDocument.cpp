#include "toolkit/converter/PDFSourceDocument.h"

#include "toolkit/imageio/PopplerGlobals.h"

#include <poppler/ErrorCodes.h>
#include <poppler/PDFDoc.h>

#include <QFile>

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>

#include <exception>

namespace {

std::unique_ptr<PDFDoc> openWithPassword(const QString& path, const std::optional<GooString>& password)
{
    EnsurePopplerGlobals();
    return std::make_unique<PDFDoc>(std::make_unique<GooString>(QFile::encodeName(path).toStdString()), password, password);
}

// Whether the encrypted document opens without a password (its user password is empty), asked of
// qpdf, which says so silently: the core reports every password that fails.
bool OpensWithoutPassword(const QString& path)
{
    try {
        QPDF document;
        document.setSuppressWarnings(true);
        document.processFile(QFile::encodeName(path).constData(), "");
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

PDFSourceDocument::PDFSourceDocument(QString path, std::unique_ptr<PDFDoc> document, bool unlocked)
    : m_path(std::move(path))
    , m_document(std::move(document))
    , m_unlocked(unlocked)
{
}

PDFSourceDocument::~PDFSourceDocument() = default;

std::unique_ptr<PDFSourceDocument> PDFSourceDocument::open(const QString& path, const QByteArray& utf8Password)
{
    if (path.isEmpty())
        return nullptr;
    std::optional<GooString> password;
    if (!utf8Password.isEmpty())
        password.emplace(utf8Password.constData(), utf8Password.size());
    auto document = openWithPassword(path, password);
    std::unique_ptr<PDFSourceDocument> opened;
    if (document->isOk()) {
        opened.reset(new PDFSourceDocument(path, std::move(document), true));
        opened->m_password = utf8Password;
        return opened;
    }
    if (document->getErrorCode() != errEncrypted)
        return nullptr;
    // A wrong password does not lock a document every reader opens without one.
    if (password && OpensWithoutPassword(path)) {
        document = openWithPassword(path, std::nullopt);
        if (document->isOk())
            return std::unique_ptr<PDFSourceDocument>(new PDFSourceDocument(path, std::move(document), true));
    }
    opened.reset(new PDFSourceDocument(path, nullptr, false));
    if (password)
        opened->m_refusedPassword = utf8Password;
    return opened;
}

bool PDFSourceDocument::isEncrypted() const
{
    return !m_unlocked || (m_document && m_document->isEncrypted());
}

bool PDFSourceDocument::unlock(const QByteArray& utf8Password)
{
    if (m_unlocked)
        return true;
    if (m_refusedPassword == utf8Password)
        return false;
    auto document = openWithPassword(m_path, GooString(utf8Password.constData(), utf8Password.size()));
    if (!document->isOk())
        return false;
    m_document = std::move(document);
    m_unlocked = true;
    m_password = utf8Password;
    return true;
}

int PDFSourceDocument::pageCount() const
{
    return document() ? document()->getNumPages() : 0;
}
