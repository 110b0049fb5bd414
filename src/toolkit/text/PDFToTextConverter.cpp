#include "toolkit/text/PDFToTextConverter.h"

#include "common/UniqueFileNames.h"
#include "platform/MainThread.h"
#include "toolkit/imageio/PopplerGlobals.h"
#include "toolkit/text/PDFPageText.h"
#include "toolkit/text/TextDocumentBuilder.h"
#include "toolkit/text/TextDocumentIO.h"

#include <PDFDoc.h>
#include <goo/GooString.h>

#include <QFileInfo>
#include <QTextDocument>

#include <optional>
#include <vector>

namespace {

// The selected pages in order, or nothing when the selection is out of range.
std::optional<std::vector<int>> SelectedPages(const PDFToDocumentConversionOptions& options, int pageCount)
{
    std::vector<int> pages;
    const int64_t first = options.firstPage;
    const int64_t last = options.lastPage;
    if (options.pageMode == 1) {
        if (first < 1 || first > pageCount)
            return std::nullopt;
        pages.push_back(static_cast<int>(first));
    } else if (options.pageMode == 2) {
        if (first < 1 || first > pageCount)
            return std::nullopt;
        const int64_t end = last >= 1 && last <= pageCount ? last : pageCount;
        for (int64_t page = first; page <= end; ++page)
            pages.push_back(static_cast<int>(page));
    } else {
        for (int page = 1; page <= pageCount; ++page)
            pages.push_back(page);
    }
    return pages;
}

QString PageFileName(const QString& baseName, int page, int pageCount)
{
    const int digits = static_cast<int>(QString::number(pageCount).size());
    return baseName + u'-' + QStringLiteral("%1").arg(page, digits, 10, QLatin1Char('0'));
}

} // namespace

bool PDFToTextConverter::IsBlankText(const QString& text)
{
    if (text.size() >= 20)
        return false;
    for (const QChar c : text) {
        if (c != QChar::ObjectReplacementCharacter && !c.isSpace())
            return false;
    }
    return true;
}

PDFToTextConverter::PDFToTextConverter(const PDFToDocumentConversionOptions& options)
    : m_options(options)
{
    EnsurePopplerGlobals();
    const QString path = options.sourceURL.toLocalFile();
    if (path.isEmpty()) {
        m_openError = kCannotOpenError;
        return;
    }
    std::optional<GooString> password;
    if (!options.password.isEmpty())
        password.emplace(options.password.toUtf8().constData());
    m_document = std::make_unique<PDFDoc>(std::make_unique<GooString>(QFile::encodeName(path).constData()), password,
                                          password);
    if (m_document->isOk())
        return;
    // an encrypted document the password does not open stays locked: it has no text
    if (m_document->getErrorCode() == errEncrypted) {
        m_locked = true;
        return;
    }
    m_document.reset();
    m_openError = kCannotOpenError;
}

PDFToTextConverter::~PDFToTextConverter() = default;

bool PDFToTextConverter::isCancelled() const
{
    return m_options.progress.object && m_options.progress.object->isConversionCancelled();
}

void PDFToTextConverter::reportPage(long page) const
{
    const ProgressCallbackInfo progress = m_options.progress;
    if (!progress.object || !progress.selector)
        return;
    runOnMainAndWait([progress, page] { (progress.object->*progress.selector)(page); });
}

bool PDFToTextConverter::ConvertDocument()
{
    TextDocumentIO::OutputFormat format;
    if (!m_document || m_locked || !TextDocumentIO::OutputFormatFromNumber(m_options.documentType, &format))
        return false;
    const int pageCount = m_document->getNumPages();
    const auto pages = SelectedPages(m_options, pageCount);
    if (!pages || pages->empty())
        return false;
    const QString baseName = !m_options.baseName.isEmpty()
                                 ? m_options.baseName
                                 : QFileInfo(m_options.sourceURL.toLocalFile()).completeBaseName();
    const bool onlyFirstPage = pages->size() == 1 && pages->front() == 1;

    bool found = false;
    bool written = true;
    QTextDocument collected;
    std::unique_ptr<TextDocumentBuilder> collecting;
    for (const int page : *pages) {
        if (m_options.progress.object) {
            if (isCancelled())
                break;
            reportPage(page);
        }
        const PDFPageText text = PDFPageText::Extract(*m_document, page);
        if (text.isEmpty() || IsBlankText(text.plainText()))
            continue;
        if (m_options.pagePerFile) {
            QTextDocument document;
            {
                TextDocumentBuilder builder(document);
                text.appendTo(builder);
            }
            const QString name = onlyFirstPage ? baseName : PageFileName(baseName, page, pageCount);
            const QUrl output = WBQUtil::GetUniqueFileURL(m_options.destinationURL, name, m_options.extension, false);
            written = WriteTextDocument(output, document) && written;
        } else {
            if (!collecting)
                collecting = std::make_unique<TextDocumentBuilder>(collected);
            text.appendTo(*collecting);
        }
        found = true;
    }
    if (!m_options.pagePerFile && found) {
        collecting.reset(); // ends the document's edit
        const QUrl output = WBQUtil::GetUniqueFileURL(m_options.destinationURL, baseName, m_options.extension, false);
        written = WriteTextDocument(output, collected);
    }
    return found && written;
}

bool PDFToTextConverter::WriteTextDocument(const QUrl& outputURL, const QTextDocument& text) const
{
    TextDocumentIO::OutputFormat format;
    if (!TextDocumentIO::OutputFormatFromNumber(m_options.documentType, &format) || outputURL.isEmpty()
        || !outputURL.isLocalFile())
        return false;
    return TextDocumentIO::Write(text, outputURL.toLocalFile(), format);
}
