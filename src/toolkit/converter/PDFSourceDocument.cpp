#include "toolkit/converter/PDFSourceDocument.h"

#include "toolkit/imageio/PopplerGlobals.h"

#include <poppler/ErrorCodes.h>
#include <poppler/PDFDoc.h>

#include <QFile>

namespace {

std::unique_ptr<PDFDoc> openWithPassword(const QString& path, const std::optional<GooString>& password)
{
    EnsurePopplerGlobals();
    return std::make_unique<PDFDoc>(std::make_unique<GooString>(QFile::encodeName(path).toStdString()), password, password);
}

} // namespace

PDFSourceDocument::PDFSourceDocument(QString path, std::unique_ptr<PDFDoc> document, bool unlocked)
    : m_path(std::move(path))
    , m_document(std::move(document))
    , m_unlocked(unlocked)
{
}

PDFSourceDocument::~PDFSourceDocument() = default;

std::unique_ptr<PDFSourceDocument> PDFSourceDocument::open(const QString& path)
{
    if (path.isEmpty())
        return nullptr;
    auto document = openWithPassword(path, std::nullopt);
    if (document->isOk())
        return std::unique_ptr<PDFSourceDocument>(new PDFSourceDocument(path, std::move(document), true));
    if (document->getErrorCode() == errEncrypted)
        return std::unique_ptr<PDFSourceDocument>(new PDFSourceDocument(path, nullptr, false));
    return nullptr;
}

bool PDFSourceDocument::isEncrypted() const
{
    return !m_unlocked || (m_document && m_document->isEncrypted());
}

bool PDFSourceDocument::unlock(const QByteArray& utf8Password)
{
    if (m_unlocked)
        return true;
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
