#include "toolkit/converter/ImageConverter.h"

#include "toolkit/codec/WebPCodec.h"
#include "common/TemporaryFileNames.h"

#include <QFile>
#include <QFileInfo>

bool ImageConverter::LoadSourceImage(const QUrl& url)
{
    m_image = Image::fromURL(url);
    m_representations = m_image->representations();
    m_currentRep = m_representations.empty() ? nullptr : m_representations.front();
    m_sourceURL = url;
    if (m_image && m_currentRep)
        return true;
    // The exact lower-case extension, as the file system's name says: "x.WEBP" is not taken for WebP.
    if (QFileInfo(url.path()).suffix() == QLatin1String("webp"))
        LoadWebPSource(url);
    return m_image && m_currentRep;
}

// Decodes a WebP file into a temporary TIFF and loads that instead; the TIFF is removed when the converter
// is destroyed, whatever the conversion's outcome.
bool ImageConverter::LoadWebPSource(const QUrl& url)
{
    QFile file(url.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return false;
    const QString tiffPath = WBQUtil::GetTemporaryURL().toLocalFile() + QStringLiteral(".tif");
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        return false;
    const QByteArray nativePath = QFile::encodeName(tiffPath);
    const int result = DecodeWebPToTiffFile(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                            static_cast<size_t>(bytes.size()), &config, nativePath.constData());
    const QUrl tiffURL = QUrl::fromLocalFile(tiffPath);
    if (result != 0) {
        QFile::remove(tiffPath); // the glue leaves nothing behind, but a failure must not either
        return false;
    }
    // From here on the temporary file is the converter's, read or not.
    m_sourceURL = tiffURL;
    m_deleteSourceOnClose = 1;
    m_image = Image::fromURL(tiffURL);
    m_currentRep = m_image->representations().empty() ? nullptr : m_image->representations().front();
    return m_currentRep != nullptr;
}

bool ImageConverter::LoadPDFImageRep(const QUrl& url)
{
    QFile file(url.toLocalFile());
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        if (!bytes.isEmpty()) {
            m_pdfImageRep = PDFImageRep::fromData(bytes);
            m_sourceURL = url;
        }
    }
    return m_pdfImageRep != nullptr;
}

bool ImageConverter::OpenPDFDocument(const QUrl& url)
{
    m_pdfDocument = url.isLocalFile() ? PDFSourceDocument::open(url.toLocalFile(), m_password.toUtf8()) : nullptr;
    m_sourceURL = url;
    return m_pdfDocument != nullptr;
}

bool ImageConverter::IsPDFEncrypted() const
{
    return m_pdfDocument && m_pdfDocument->isEncrypted();
}

bool ImageConverter::UnlockPDF()
{
    if (!m_pdfDocument)
        return false;
    // A document that every reader opens without a password is not refused for a wrong or missing one.
    if (m_pdfDocument->isUnlocked())
        return true;
    if (m_password.isEmpty())
        return false;
    return m_pdfDocument->unlock(m_password.toUtf8());
}

bool ImageConverter::PDFNeedsPassword()
{
    if (!m_pdfDocument || !m_pdfDocument->isEncrypted())
        return false;
    return !UnlockPDF();
}
